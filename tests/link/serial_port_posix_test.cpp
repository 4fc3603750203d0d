#include "link/serial_port_posix.h"
#include "support/temp_folder.h"

#include <array>
#include <cerrno>
#include <chrono>
#include <cstdint>
#include <fcntl.h>
#include <fstream>
#include <functional>
#include <future>
#include <optional>
#include <poll.h>
#include <stdexcept>
#include <stdlib.h>
#include <string>
#include <sys/stat.h>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>
#include <vector>

#include <gtest/gtest.h>

namespace konfigor {
namespace {

using Bytes = std::vector<std::uint8_t>;
using namespace std::chrono_literals;

// Long enough for a loaded CI machine; only ever waited out when a test fails.
constexpr auto kPatience = 5s;

// The interface's end of a pseudo-terminal; the port opens the slave path.
class PseudoTerminal {
public:
    PseudoTerminal() {
        master_ = ::posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
        std::array<char, 128> name{};
        if (master_ < 0 || ::grantpt(master_) != 0 || ::unlockpt(master_) != 0 ||
            ::ptsname_r(master_, name.data(), name.size()) != 0)
            throw std::runtime_error("no pseudo-terminal");
        slavePath_ = name.data();
    }
    ~PseudoTerminal() { closeMaster(); }
    PseudoTerminal(const PseudoTerminal&) = delete;
    PseudoTerminal& operator=(const PseudoTerminal&) = delete;

    const std::string& slavePath() const { return slavePath_; }
    int master() const { return master_; }

    void send(const Bytes& bytes) const {
        ASSERT_EQ(::write(master_, bytes.data(), bytes.size()), static_cast<ssize_t>(bytes.size()));
    }
    // What the port wrote, once `count` bytes have arrived or the patience ran out.
    Bytes receive(std::size_t count) const {
        Bytes received;
        const auto deadline = std::chrono::steady_clock::now() + kPatience;
        while (received.size() < count && std::chrono::steady_clock::now() < deadline) {
            pollfd watched{.fd = master_, .events = POLLIN, .revents = 0};
            if (::poll(&watched, 1, 50) <= 0)
                continue;
            std::array<std::uint8_t, 64> chunk{};
            const ssize_t n = ::read(master_, chunk.data(), chunk.size());
            if (n > 0)
                received.insert(received.end(), chunk.begin(), chunk.begin() + n);
        }
        return received;
    }
    // What the port wrote up to and including `last`, or all that came within the patience.
    Bytes receiveThrough(std::uint8_t last) const {
        Bytes received;
        while (received.empty() || received.back() != last) {
            auto more = receive(1);
            if (more.empty())
                break;
            received.insert(received.end(), more.begin(), more.end());
        }
        return received;
    }
    void closeMaster() {
        if (master_ >= 0)
            ::close(master_);
        master_ = -1;
    }

private:
    int master_ = -1;
    std::string slavePath_;
};

// Reads until `count` bytes came or the patience ran out, waiting on the port between reads.
Bytes readFromPort(SerialPort& port, std::size_t count) {
    Bytes received;
    const auto deadline = std::chrono::steady_clock::now() + kPatience;
    while (received.size() < count && std::chrono::steady_clock::now() < deadline) {
        if (!port.waitForInput(100ms).value)
            continue;
        std::array<std::uint8_t, 64> chunk{};
        const auto result = port.read(chunk);
        if (!result.ok())
            break;
        received.insert(received.end(), chunk.begin(),
                        chunk.begin() + static_cast<std::ptrdiff_t>(result.value));
    }
    return received;
}

class PosixSerialPortTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_FALSE(port_.open(pty_.slavePath())); }
    void configureLine() { ASSERT_FALSE(port_.configure()); }

    PseudoTerminal pty_;
    PosixSerialPort port_;
};

TEST_F(PosixSerialPortTest, ConfiguresRawNineThousandSixHundredEightNoneOneWithoutFlowControl) {
    ASSERT_FALSE(port_.configure());

    // A master's terminal calls act on its slave.
    termios settings{};
    ASSERT_EQ(::tcgetattr(pty_.master(), &settings), 0);
    EXPECT_EQ(::cfgetispeed(&settings), B9600);
    EXPECT_EQ(::cfgetospeed(&settings), B9600);
    EXPECT_EQ(settings.c_cflag & CSIZE, static_cast<tcflag_t>(CS8));
    EXPECT_EQ(settings.c_cflag & (PARENB | CSTOPB | CRTSCTS), 0u);
    EXPECT_EQ(settings.c_cflag & (CLOCAL | CREAD), static_cast<tcflag_t>(CLOCAL | CREAD));
    EXPECT_EQ(settings.c_iflag & (IXON | IXOFF | IXANY | ICRNL | INLCR | ISTRIP), 0u);
    EXPECT_EQ(settings.c_oflag & OPOST, 0u);
    EXPECT_EQ(settings.c_lflag & (ICANON | ECHO | ISIG | IEXTEN), 0u);
    EXPECT_EQ(settings.c_cc[VMIN], 1);
    EXPECT_EQ(settings.c_cc[VTIME], 0);
}

TEST_F(PosixSerialPortTest, BytesCrossUnchangedInBothDirections) {
    configureLine();
    // Bytes a cooked line would translate or act on.
    const Bytes toInterface = {0x5A, 0x0D, 0x0A, 0x00, 0x03, 0x11, 0x13, 0xFF};
    const Bytes fromInterface = {0x4D, 0x58, 0x0A, 0x0D, 0x04, 0x1A, 0x00, 0x80};

    const auto written = port_.write(toInterface);
    ASSERT_TRUE(written.ok());
    EXPECT_EQ(written.value, toInterface.size());
    EXPECT_EQ(pty_.receive(toInterface.size()), toInterface);

    pty_.send(fromInterface);
    EXPECT_EQ(readFromPort(port_, fromInterface.size()), fromInterface);
}

TEST_F(PosixSerialPortTest, ReadsNothingWithoutWaitingWhenNothingArrived) {
    configureLine();
    std::array<std::uint8_t, 16> buffer{};
    const auto result = port_.read(buffer);
    EXPECT_TRUE(result.ok());
    EXPECT_EQ(result.value, 0u);
}

TEST_F(PosixSerialPortTest, WaitForInputReportsArrivalAndTimeout) {
    configureLine();
    const auto quiet = port_.waitForInput(20ms);
    ASSERT_TRUE(quiet.ok());
    EXPECT_FALSE(quiet.value);

    pty_.send({0x4D});
    // Far longer than the byte needs: returning true at all means it did not wait it out.
    const auto arrived = port_.waitForInput(kPatience);
    ASSERT_TRUE(arrived.ok());
    EXPECT_TRUE(arrived.value);
}

TEST_F(PosixSerialPortTest, DiscardInputDropsArrivedInputAndKeepsWrittenOutput) {
    configureLine();
    pty_.send({1, 2, 3});
    ASSERT_TRUE(port_.waitForInput(kPatience).value);
    ASSERT_EQ(port_.write(Bytes{0x5A, 0x4D}).value, 2u);

    ASSERT_FALSE(port_.discardInput());
    std::array<std::uint8_t, 16> buffer{};
    EXPECT_EQ(port_.read(buffer).value, 0u);
    EXPECT_EQ(pty_.receive(2), (Bytes{0x5A, 0x4D}));
}

// What the link does on every connect and reconnection. Nobody reads the master before the
// sequence ends, so the wake byte is still unread when the input is discarded.
TEST_F(PosixSerialPortTest, WakeByteIsTheFirstByteTheInterfaceReadsAfterEveryOpen) {
    ASSERT_FALSE(port_.close());
    for (int open = 1; open <= 20; ++open) {
        SCOPED_TRACE(open);
        ASSERT_FALSE(port_.open(pty_.slavePath()));
        ASSERT_EQ(port_.write(Bytes{0x5A}).value, 1u);
        ASSERT_FALSE(port_.discardInput());
        ASSERT_FALSE(port_.configure());

        ASSERT_EQ(pty_.receive(1), Bytes{0x5A});
        ASSERT_FALSE(port_.close());
    }
}

// Writes until the line takes nothing more, as to a device that stopped reading; how much it
// took.
std::size_t fillOutput(SerialPort& port) {
    const Bytes chunk(4096, 0x33);
    std::size_t taken = 0;
    for (int attempt = 0; attempt < 4096; ++attempt) {
        const auto written = port.write(chunk);
        if (!written.ok() || written.value == 0)
            break;
        taken += written.value;
    }
    return taken;
}

TEST_F(PosixSerialPortTest, CloseGivesUpOutputNobodyTakes) {
    configureLine();
    const std::size_t written = fillOutput(port_);
    ASSERT_GT(written, 0u);

    ASSERT_FALSE(port_.close());
    EXPECT_FALSE(port_.isOpen());

    // The master's own buffer is the far end of the line: what reached it stays, what still
    // waited to be sent must not follow.
    ASSERT_FALSE(port_.open(pty_.slavePath()));
    ASSERT_EQ(port_.write(Bytes{0x5A}).value, 1u);
    const Bytes received = pty_.receiveThrough(0x5A);
    ASSERT_FALSE(received.empty());
    EXPECT_EQ(received.back(), 0x5A);
    EXPECT_LT(received.size() - 1, written);
}

TEST_F(PosixSerialPortTest, OutputQueueAndErrorStateAnswerOnAPseudoTerminal) {
    configureLine();
    EXPECT_TRUE(port_.outputQueueSize().ok());
    EXPECT_FALSE(port_.clearErrors());
}

TEST_F(PosixSerialPortTest, SecondOpenerInThisProcessIsBusyUntilTheFirstCloses) {
    PosixSerialPort second;
    const auto refused = second.open(pty_.slavePath());
    ASSERT_TRUE(refused);
    EXPECT_EQ(refused->fault, SerialFault::Busy);
    EXPECT_NE(refused->errorNumber, 0);
    EXPECT_FALSE(second.isOpen());

    ASSERT_FALSE(port_.close());
    EXPECT_FALSE(second.open(pty_.slavePath()));
}

// How another program fares with the port: one like us that locks it, or one that merely opens
// it without privileges (as ModemManager or a terminal program would).
enum class OtherProgram { LockingOpener, UnprivilegedPlainOpener };
enum class OtherOutcome { Opened, Busy, OtherFailure };

[[noreturn]] void runOtherProgram(OtherProgram program, const std::string& path) {
    if (program == OtherProgram::LockingOpener) {
        PosixSerialPort port;
        const auto error = port.open(path);
        // _exit skips the destructor; the port must still give up its exclusive flag.
        port.close();
        ::_exit(!error ? 0 : error->fault == SerialFault::Busy ? 1 : 2);
    }
    constexpr uid_t kNobody = 65534;
    if (::getuid() == 0 && (::setgid(kNobody) != 0 || ::setuid(kNobody) != 0))
        ::_exit(2);
    const int fd = ::open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK);
    ::_exit(fd >= 0 ? 0 : errno == EBUSY ? 1 : 2);
}

OtherOutcome openFromOtherProgram(OtherProgram program, const std::string& path) {
    const pid_t child = ::fork();
    if (child == 0)
        runOtherProgram(program, path);
    int status = 0;
    if (child < 0 || ::waitpid(child, &status, 0) != child || !WIFEXITED(status))
        return OtherOutcome::OtherFailure;
    return static_cast<OtherOutcome>(WEXITSTATUS(status));
}

TEST_F(PosixSerialPortTest, OtherProgramsAreRefusedUntilThePortCloses) {
    // Unprivileged users get pseudo-terminals of their own; here one must reach ours.
    ASSERT_EQ(::chmod(pty_.slavePath().c_str(), 0666), 0);
    const auto programs = {OtherProgram::LockingOpener, OtherProgram::UnprivilegedPlainOpener};
    for (const auto program : programs) {
        SCOPED_TRACE(static_cast<int>(program));
        EXPECT_EQ(openFromOtherProgram(program, pty_.slavePath()), OtherOutcome::Busy);
    }

    ASSERT_FALSE(port_.close());
    for (const auto program : programs) {
        SCOPED_TRACE(static_cast<int>(program));
        EXPECT_EQ(openFromOtherProgram(program, pty_.slavePath()), OtherOutcome::Opened);
    }
}

TEST_F(PosixSerialPortTest, ReportsThePortGoneOnceTheOtherEndHangsUp) {
    configureLine();
    pty_.closeMaster();

    std::array<std::uint8_t, 16> buffer{};
    const std::vector<std::pair<const char*, std::function<bool()>>> calls = {
        {"read", [&] { return port_.read(buffer).gone(); }},
        {"wait for input", [&] { return port_.waitForInput(kPatience).gone(); }},
        {"write", [&] { return port_.write(Bytes{0x5A}).gone(); }},
    };
    for (const auto& [name, reportsGone] : calls) {
        SCOPED_TRACE(name);
        EXPECT_TRUE(reportsGone());
    }
    EXPECT_TRUE(port_.isOpen()) << "the link decides when to close";
    EXPECT_FALSE(port_.close()) << "nothing left to send holds it up";
}

TEST_F(PosixSerialPortTest, AWaitInProgressEndsWithGoneWhenTheOtherEndHangsUp) {
    configureLine();
    auto waiting = std::async(std::launch::async, [this] { return port_.waitForInput(kPatience); });

    pty_.closeMaster();

    // Had the wait missed the hang-up it would run out its time and report no input.
    EXPECT_TRUE(waiting.get().gone());
}

TEST_F(PosixSerialPortTest, CloseIsIdempotentAndLeavesEveryCallFailing) {
    ASSERT_FALSE(port_.close());
    EXPECT_FALSE(port_.isOpen());
    EXPECT_FALSE(port_.close());

    std::array<std::uint8_t, 4> buffer{};
    const std::vector<std::pair<const char*, std::optional<SerialError>>> calls = {
        {"configure", port_.configure()},
        {"discard input", port_.discardInput()},
        {"read", port_.read(buffer).error},
        {"wait for input", port_.waitForInput(0ms).error},
        {"write", port_.write(Bytes{1}).error},
        {"clear errors", port_.clearErrors()},
        {"output queue", port_.outputQueueSize().error},
    };
    for (const auto& [name, error] : calls) {
        SCOPED_TRACE(name);
        ASSERT_TRUE(error);
        EXPECT_EQ(error->fault, SerialFault::Other);
        EXPECT_EQ(error->errorNumber, EBADF);
    }
}

class PosixSerialPortOpenFailure : public testing_support::TempFolderTest {};

TEST_F(PosixSerialPortOpenFailure, NamesTheReason) {
    std::ofstream(path("plain-file")) << "not a terminal";
    struct Case {
        const char* name;
        std::filesystem::path path;
        SerialFault fault;
        int errorNumber;
    };
    const std::vector<Case> cases = {
        {"missing device", path("ttyACM9"), SerialFault::NotFound, ENOENT},
        {"folder", folder_, SerialFault::Other, EISDIR},
        {"plain file", path("plain-file"), SerialFault::Other, ENOTTY},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        PosixSerialPort port;
        const auto error = port.open(c.path.string());
        ASSERT_TRUE(error);
        EXPECT_EQ(error->fault, c.fault);
        EXPECT_EQ(error->errorNumber, c.errorNumber);
        EXPECT_FALSE(port.isOpen());
    }
}

} // namespace
} // namespace konfigor
