#include "link/requests.h"
#include "sim/pty_server.h"
#include "sim/simulator_console.h"
#include "sim/simulator_options.h"

#include <array>
#include <cerrno>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <functional>
#include <future>
#include <iostream>
#include <optional>
#include <poll.h>
#include <termios.h>
#include <thread>
#include <unistd.h>
#include <vector>

#include <gtest/gtest.h>

namespace konfigor {
namespace {

using namespace std::chrono_literals;
using Bytes = std::vector<std::uint8_t>;

// Generous: only a server that is stuck or silent should ever reach it.
constexpr auto kPatience = 5s;
// Long enough for the server to notice that nobody has the slave open.
constexpr auto kClosedLongEnough = 200ms;

Bytes bytesOf(std::span<const std::uint8_t> bytes) {
    return {bytes.begin(), bytes.end()};
}

// A tool's end of the line, opened the way a serial port is.
class PtyClient {
public:
    explicit PtyClient(const std::filesystem::path& path)
        : fd_(::open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC)) {
        if (fd_ < 0)
            throw std::system_error(errno, std::generic_category(), "open " + path.string());
        termios settings{};
        ::tcgetattr(fd_, &settings);
        ::cfmakeraw(&settings);
        ::tcsetattr(fd_, TCSANOW, &settings);
    }
    ~PtyClient() { ::close(fd_); }
    PtyClient(const PtyClient&) = delete;
    PtyClient& operator=(const PtyClient&) = delete;

    void send(std::span<const std::uint8_t> bytes) {
        ASSERT_EQ(::write(fd_, bytes.data(), bytes.size()), static_cast<ssize_t>(bytes.size()));
    }

    // The next whole report, or nothing if none comes in time.
    std::optional<Frame> nextReport() {
        const auto deadline = std::chrono::steady_clock::now() + kPatience;
        for (;;) {
            const FrameCut cut = cutFrame(received_, FrameDirection::Report);
            received_.erase(received_.begin(),
                            received_.begin() + static_cast<std::ptrdiff_t>(cut.consumed));
            if (cut.frame)
                return cut.frame;
            if (std::chrono::steady_clock::now() > deadline || !receiveSome())
                return std::nullopt;
        }
    }

    // Whether some bytes come in time, without taking them.
    bool awaitInput() {
        pollfd watched{fd_, POLLIN, 0};
        constexpr int kPatienceMs = 5000;
        return ::poll(&watched, 1, kPatienceMs) > 0 && (watched.revents & POLLIN) != 0;
    }

    std::optional<Frame> exchange(const Frame& request) {
        send(request.bytes());
        return nextReport();
    }

    // Whether the line goes dead, as a serial port does when its device is unplugged.
    bool hangsUp() {
        pollfd watched{fd_, POLLIN, 0};
        constexpr int kPatienceMs = 5000;
        if (::poll(&watched, 1, kPatienceMs) <= 0)
            return false;
        if ((watched.revents & (POLLHUP | POLLERR)) != 0)
            return true;
        std::array<std::uint8_t, 64> buffer{};
        const ssize_t count = ::read(fd_, buffer.data(), buffer.size());
        return count == 0 || (count < 0 && errno == EIO);
    }

private:
    bool receiveSome() {
        pollfd watched{fd_, POLLIN, 0};
        if (::poll(&watched, 1, 100) < 0)
            return errno == EINTR;
        std::array<std::uint8_t, 64> buffer{};
        const ssize_t count = ::read(fd_, buffer.data(), buffer.size());
        if (count > 0)
            received_.insert(received_.end(), buffer.begin(), buffer.begin() + count);
        return count > 0 || errno == EAGAIN || errno == EINTR;
    }

    int fd_;
    Bytes received_;
};

class PtyServerTest : public ::testing::Test {
protected:
    void TearDown() override {
        if (thread_.joinable())
            stopServer();
    }

    PtyServer& makeServer(std::optional<std::filesystem::path> link = {}) {
        return server_.emplace(sim, std::move(link));
    }
    void startServer() {
        if (!server_)
            makeServer();
        std::packaged_task<void()> serve([this] { server_->run(); });
        finished_ = serve.get_future();
        thread_ = std::thread(std::move(serve));
    }
    void stopServer() {
        server_->stop();
        if (finished_.wait_for(kPatience) != std::future_status::ready) {
            // The thread still uses the server, so nothing can be cleaned up safely.
            std::cerr << "the server did not stop\n";
            std::abort();
        }
        thread_.join();
        server_.reset();
        finished_.get(); // rethrows what run() threw
    }
    std::string slavePath() const { return server_->slavePath(); }
    bool finished() const { return finished_.wait_for(kPatience) == std::future_status::ready; }
    PtyClient client() { return PtyClient(slavePath()); }

    ReceiverSimulator sim;

private:
    std::optional<PtyServer> server_;
    std::future<void> finished_;
    std::thread thread_;
};

TEST_F(PtyServerTest, VersionRequestIsAnsweredAsTheFirmwareSays) {
    struct Case {
        ReceiverSimulator::Firmware firmware;
        std::uint8_t letter;
        std::uint8_t versionByte;
    };
    const Bytes versionRequest = {0x4D, 0x58, 0x56, 0x43};
    for (const Case& c : {Case{{2, 7, false}, 'V', 0x27}, Case{{3, 1, true}, 'Q', 0x31}}) {
        SCOPED_TRACE(c.letter);
        sim.setFirmware(c.firmware);
        startServer();
        PtyClient tool = client();
        tool.send(versionRequest);
        const auto report = tool.nextReport();
        ASSERT_TRUE(report);
        EXPECT_EQ(report->letter(), c.letter);
        EXPECT_EQ(bytesOf(report->payload()), Bytes{c.versionByte});
        EXPECT_TRUE(report->hasValidChecksum());
        stopServer();
    }
}

TEST_F(PtyServerTest, PageWrittenOverTheLineReadsBack) {
    std::array<std::uint8_t, ReceiverMemory::kPageSize> pattern{};
    for (std::size_t i = 0; i < pattern.size(); ++i)
        pattern[i] = static_cast<std::uint8_t>(0xA0 + i);
    startServer();
    PtyClient tool = client();

    const auto accepted = tool.exchange(requests::sendPage(5, pattern));
    ASSERT_TRUE(accepted);
    EXPECT_EQ(accepted->letter(), 'Y');
    const auto page = tool.exchange(requests::requestPage(5));
    ASSERT_TRUE(page);
    EXPECT_EQ(page->letter(), 'E');
    EXPECT_EQ(bytesOf(page->payload()), bytesOf(pattern));
}

TEST_F(PtyServerTest, ToolThatReopensTheSlaveIsServedAgain) {
    startServer();
    for (int connection = 0; connection < 3; ++connection) {
        SCOPED_TRACE(connection);
        PtyClient tool = client();
        const auto report = tool.exchange(requests::requestVersion());
        ASSERT_TRUE(report);
        EXPECT_EQ(report->letter(), 'V');
        std::this_thread::sleep_for(kClosedLongEnough);
    }
}

TEST_F(PtyServerTest, WhatIsSentWhileNobodyListensIsLost) {
    struct Case {
        const char* name;
        std::function<void(ReceiverSimulator&)> beforeServing;
        // Asks for the version and leaves before the (delayed) answer.
        bool toolLeaves;
        std::uint8_t unheardLetter;
    };
    const std::vector<Case> cases = {
        {"before the first tool", [](ReceiverSimulator& s) { s.callTool({}); }, false, 'A'},
        {"after a tool left", [](ReceiverSimulator& s) { s.setAnswerDelay(100ms); }, true, 'V'},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        sim = ReceiverSimulator(); // a new server's clock starts again at zero
        c.beforeServing(sim);
        startServer();
        if (c.toolLeaves)
            client().send(requests::requestVersion().bytes());
        std::this_thread::sleep_for(kClosedLongEnough);
        const auto report = client().exchange(requests::requestPage(0));
        ASSERT_TRUE(report);
        EXPECT_EQ(report->letter(), 'E');
        stopServer();
        // Otherwise nothing was left unheard and nothing was proven.
        EXPECT_EQ(sim.requestCount(c.unheardLetter), c.unheardLetter == 'V' ? 1u : 0u);
    }
}

TEST_F(PtyServerTest, StopsOnRequestWithOrWithoutATool) {
    for (const bool toolConnected : {false, true}) {
        SCOPED_TRACE(toolConnected);
        startServer();
        std::optional<PtyClient> tool;
        if (toolConnected) {
            tool.emplace(slavePath());
            ASSERT_TRUE(tool->exchange(requests::sendPing()));
        }
        stopServer();
    }
}

TEST_F(PtyServerTest, StopRequestedBeforeServingEndsServingAtOnce) {
    PtyServer& server = makeServer();
    server.stop();
    server.run();
}

TEST_F(PtyServerTest, PressesStoredRemotesInTurn) {
    sim.storeRemote(3, {.serialField = 0xC000'0003, .counter = 41, .buttonWord = 0x0020});
    sim.storeRemote(10, {.serialField = 0x0000'0010, .counter = 7, .buttonWord = 0x0001});
    PtyServer& server = makeServer();
    // Open before serving starts, so that no press goes out while nobody listens.
    PtyClient tool(server.slavePath());
    server.pressStoredRemotesEvery(20ms);
    startServer();

    struct Expected {
        std::size_t slot;
        std::uint32_t serial;
        std::uint16_t counter;
        std::uint8_t button;
    };
    for (const Expected& press : {Expected{3, 0x4000'0003, 42, 2}, Expected{10, 0x10, 8, 1},
                                  Expected{3, 0x4000'0003, 43, 2}}) {
        SCOPED_TRACE(press.slot);
        const auto report = tool.nextReport();
        ASSERT_TRUE(report);
        const Frame expected = [&] {
            ReceiverSimulator reference;
            reference.storeRemote(press.slot, {.serialField = press.serial});
            reference.pressRemote(press.serial, press.button, press.counter, {});
            return Frame::fromBytes(reference.takeOutput(1s));
        }();
        EXPECT_EQ(bytesOf(report->bytes()), bytesOf(expected.bytes()));
    }
}

TEST_F(PtyServerTest, WireTimingTakesTheLineTimeBothWays) {
    SimulatorOptions options;
    options.wireTiming = true;
    configureSimulator(options, sim);
    PtyServer& server = makeServer();
    PtyClient tool(server.slavePath());
    startServer();
    // Ten bits at 9600 baud, rounded down: no byte can be faster.
    constexpr auto kByteTime = std::chrono::microseconds(10 * 1'000'000 / 9600);
    const Frame request = requests::requestPage(0);

    const PtyServer::Time sent = server.now();
    tool.send(request.bytes());
    ASSERT_TRUE(tool.awaitInput());
    const PtyServer::Time firstIn = server.now();
    const auto page = tool.nextReport();
    const PtyServer::Time allIn = server.now();
    ASSERT_TRUE(page);
    EXPECT_EQ(page->letter(), 'E');
    // The whole request has to be in before the first byte of its answer can start.
    EXPECT_GE(firstIn - sent, static_cast<int>(request.size() + 1) * kByteTime);
    EXPECT_GE(allIn - sent, static_cast<int>(request.size() + page->size()) * kByteTime);
}

class PtyServerLinkTest : public PtyServerTest {
protected:
    void SetUp() override {
        std::string pattern =
            (std::filesystem::temp_directory_path() / "pty_server_test.XXXXXX").string();
        ASSERT_NE(::mkdtemp(pattern.data()), nullptr);
        folder = pattern;
        link = folder / "kvr";
    }
    void TearDown() override {
        PtyServerTest::TearDown();
        std::filesystem::remove_all(folder);
    }

    std::filesystem::path folder;
    std::filesystem::path link;
};

TEST_F(PtyServerLinkTest, LinkLeadsToTheSlaveWhileServing) {
    const std::string slave = makeServer(link).slavePath();
    EXPECT_EQ(std::filesystem::read_symlink(link), slave);
    startServer();
    const auto report = PtyClient(link).exchange(requests::requestVersion());
    ASSERT_TRUE(report);
    EXPECT_EQ(report->letter(), 'V');
    stopServer();
    EXPECT_FALSE(std::filesystem::exists(std::filesystem::symlink_status(link)));
}

TEST_F(PtyServerLinkTest, StaleLinkIsReplacedButAFileIsNot) {
    std::filesystem::create_symlink("/dev/pts/nonexistent", link);
    EXPECT_EQ(std::filesystem::read_symlink(link), makeServer(link).slavePath());

    const auto file = folder / "file";
    std::ofstream(file) << "keep";
    EXPECT_THROW(PtyServer(sim, file), std::filesystem::filesystem_error);
    EXPECT_TRUE(std::filesystem::is_regular_file(std::filesystem::symlink_status(file)));
}

TEST_F(PtyServerLinkTest, UnplugAndPlugFromAnotherThread) {
    PtyServer& server = makeServer(link);
    startServer();
    PtyClient before(link);
    ASSERT_TRUE(before.exchange(requests::requestVersion()));

    server.unplug();
    EXPECT_TRUE(before.hangsUp());
    server.plug();
    for (const auto deadline = std::chrono::steady_clock::now() + kPatience;
         !server.isPlugged() && std::chrono::steady_clock::now() < deadline;)
        std::this_thread::sleep_for(1ms);
    ASSERT_TRUE(server.isPlugged());
    EXPECT_EQ(std::filesystem::read_symlink(link), server.slavePath());
    const auto report = PtyClient(link).exchange(requests::requestVersion());
    ASSERT_TRUE(report);
    EXPECT_EQ(report->letter(), 'V');
}

// A pipe whose ends close with it.
class Pipe {
public:
    Pipe() {
        std::array<int, 2> ends{};
        if (::pipe2(ends.data(), O_CLOEXEC) < 0)
            throw std::system_error(errno, std::generic_category(), "pipe");
        read_ = ends[0];
        write_ = ends[1];
    }
    ~Pipe() {
        ::close(read_);
        closeWriteEnd();
    }
    Pipe(const Pipe&) = delete;
    Pipe& operator=(const Pipe&) = delete;

    int readEnd() const { return read_; }
    int writeEnd() const { return write_; }
    void closeWriteEnd() {
        if (write_ >= 0)
            ::close(write_);
        write_ = -1;
    }

    void writeLine(std::string_view line) {
        const std::string text = std::string(line) + '\n';
        ASSERT_EQ(::write(write_, text.data(), text.size()), static_cast<ssize_t>(text.size()));
    }
    // Without its line end; empty if none comes in time.
    std::string readLine() {
        std::string line;
        char c = 0;
        pollfd watched{read_, POLLIN, 0};
        while (::poll(&watched, 1, 5000) > 0 && ::read(read_, &c, 1) == 1 && c != '\n')
            line += c;
        return line;
    }

private:
    int read_ = -1;
    int write_ = -1;
};

// kvr-sim's commands as its standard input and output carry them.
class SimulatorCommandsTest : public PtyServerLinkTest {
protected:
    void SetUp() override {
        PtyServerLinkTest::SetUp();
        server = &makeServer(link);
        console.emplace(sim, *server);
        server->serveCommands(input.readEnd(), replies.writeEnd(),
                              [this](std::string_view line) { return console->execute(line); });
    }

    std::string command(std::string_view line) {
        input.writeLine(line);
        return replies.readLine();
    }

    PtyServer* server = nullptr;
    std::optional<SimulatorConsole> console;
    Pipe input;
    Pipe replies;
};

TEST_F(SimulatorCommandsTest, PressesAreReportedToTheTool) {
    // Multi remote number 66 whose word also carries bit 28, copy-locked.
    sim.storeRemote(5, {.serialField = 0xD000'0042, .counter = 9});
    startServer();
    PtyClient tool(link);
    ASSERT_TRUE(tool.exchange(requests::sendPing()));

    struct Case {
        const char* line;
        std::uint8_t letter;
        std::uint32_t serialWord;
        std::uint8_t buttonMask;
    };
    for (const Case& c :
         {Case{"press (M) 66 2", 'T', 0x5000'0042, 2}, Case{"press M66 4", 'T', 0x5000'0042, 8},
          Case{"press 66 1", 'N', 0x0000'0042, 1}}) {
        SCOPED_TRACE(c.line);
        EXPECT_EQ(command(c.line), "ok");
        const auto report = tool.nextReport();
        ASSERT_TRUE(report);
        EXPECT_EQ(report->letter(), c.letter);
        EXPECT_TRUE(report->hasValidChecksum());
        const auto payload = report->payload();
        EXPECT_EQ(payload[0] | payload[1] << 8 | payload[2] << 16 | std::uint32_t{payload[3]} << 24,
                  c.serialWord);
        EXPECT_EQ(payload[6], c.buttonMask);
    }
    EXPECT_EQ(command("quit"), "ok");
    ASSERT_TRUE(finished());
    // Each press counted on from the stored counter.
    EXPECT_EQ(sim.storedRemote(5).counter, 11);
}

TEST_F(SimulatorCommandsTest, UnplugHangsUpThePortAndPlugServesTheLinkAgain) {
    startServer();
    const std::array<std::uint16_t, 4> buttons{1, 0, 0, 0};
    {
        PtyClient tool(link);
        ASSERT_EQ(tool.exchange(requests::sendRecord(9, 0x77, 5, buttons, false))->letter(), 'Y');
        EXPECT_EQ(command("unplug"), "ok");
        EXPECT_TRUE(tool.hangsUp());
    }
    EXPECT_TRUE(std::filesystem::is_symlink(std::filesystem::symlink_status(link)));
    EXPECT_THROW(PtyClient{link}, std::system_error);
    EXPECT_EQ(command("unplug"), "error: already unplugged");

    EXPECT_EQ(command("plug"), "ok");
    EXPECT_EQ(command("plug"), "error: already plugged in");
    PtyClient tool(link);
    const auto record = tool.exchange(requests::requestRecord(9));
    ASSERT_TRUE(record);
    EXPECT_EQ(record->letter(), 'L');
    EXPECT_EQ(RemoteRecord::fromBytes(record->payload().first<RemoteRecord::kSize>()).serialField,
              0x77u);
}

TEST_F(SimulatorCommandsTest, DumpWritesTheWholeMemory) {
    sim.storeRemote(700, {.serialField = 0x1234, .counter = 3, .counterCopy = 3});
    startServer();
    const auto file = folder / "memory.bin";
    EXPECT_EQ(command("dump " + file.string()), "ok");
    EXPECT_EQ(command("quit"), "ok");
    ASSERT_TRUE(finished());
    std::ifstream in(file, std::ios::binary);
    const Bytes dumped{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    EXPECT_EQ(dumped, bytesOf(sim.memory().bytes()));
}

TEST_F(SimulatorCommandsTest, EndOfInputEndsServing) {
    startServer();
    EXPECT_EQ(command("unplug"), "ok");
    input.writeLine("   ");
    // The last line counts without its line end.
    ASSERT_EQ(::write(input.writeEnd(), "plug", 4), 4);
    input.closeWriteEnd();
    EXPECT_EQ(replies.readLine(), "ok");
    EXPECT_TRUE(finished());
    EXPECT_TRUE(server->isPlugged());
}

TEST_F(SimulatorCommandsTest, MistakesAreAnsweredWithoutServing) {
    struct Case {
        std::string line;
        std::string reply;
    };
    const std::vector<Case> cases = {
        {"", ""},
        {"press", "error: usage: press SERIAL BUTTON"},
        {"press 12", "error: usage: press SERIAL BUTTON"},
        {"press 12 1 2", "error: usage: press SERIAL BUTTON"},
        {"press x12 1",
         "error: invalid serial 'x12' (expected 0-268435455, M before it for multi)"},
        {"press 268435456 1",
         "error: invalid serial '268435456' (expected 0-268435455, M before it for multi)"},
        {"press 12 0", "error: invalid button '0' (expected 1-4)"},
        {"press 12 5", "error: invalid button '5' (expected 1-4)"},
        {"dump", "error: usage: dump FILE.bin"},
        {"dump /nonexistent/memory.bin",
         "error: cannot write /nonexistent/memory.bin: No such file or directory"},
        {"quit now", "error: quit takes nothing after it"},
        {"reset", "error: unknown command 'reset' (press, unplug, plug, dump, quit)"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.line);
        EXPECT_EQ(console->execute(c.line), c.reply);
    }
    EXPECT_EQ(sim.nextOutputTime(), std::nullopt);
}

} // namespace
} // namespace konfigor
