// kvr's receiver commands in-process, over a real pseudo-terminal to the software receiver.
#include "files/settings_file.h"
#include "kvr/kvr_commands.h"
#include "kvr/receiver_commands.h"
#include "link/port_source.h"
#include "link/serial_port_posix.h"
#include "sim/receiver_simulator.h"
#include "sim/simulator_thread.h"
#include "support/temp_folder.h"
#include "texts/text_table.h"
#include "tools/input_pipe.h"

#include <optional>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

namespace konfigor::kvr {
namespace {

using testing::HasSubstr;
using testing::Not;

constexpr std::uint32_t kMulti = 0x4000'0000;
constexpr std::uint32_t kLock = RemoteRecord::kCopyLockBit;
// A configuration byte the tool does not interpret.
constexpr std::size_t kUnknownByte = 20;

struct Outcome {
    int status;
    std::string out;
    std::string err;
};

// Remotes in the first and last slot and channel settings away from the factory ones.
SettingsSheet sheetToWrite() {
    SettingsSheet sheet;
    sheet.remotes[0].serialWord = 4242;
    sheet.remotes[0].codeCounter = 7;
    sheet.remotes[0].buttonMasks = {1, 2, 4, 8};
    sheet.remotes[0].copyLock = false;
    sheet.remotes[0].description.assign("Brama");
    sheet.remotes[703].serialWord = kMulti | 99;
    sheet.remotes[703].buttonMasks = {15, 0, 0, 3};
    sheet.channels[1] = {.time = 0, .transientMode = false, .doublePress = true};
    sheet.channels[3] = {.time = 120, .transientMode = true, .doublePress = false};
    return sheet;
}

class KvrReceiverCommands : public testing_support::TempFolderTest {
protected:
    ~KvrReceiverCommands() override { stopServer(); }

    // A fresh receiver each time: a simulator's line belongs to one server's clock.
    void serve(ReceiverSimulator::Firmware firmware = {}) {
        stopServer();
        simulator.emplace(firmware);
        // No line time: the whole memory moves in a moment.
        simulator->setBaudRate(0);
    }
    void startServer() { served.emplace(*simulator); }
    // The engine is not thread-safe: look at its memory only after this.
    void stopServer() { served.reset(); }
    std::string port() const { return served->portPath(); }

    // The PIN required; both locks on; a byte nobody interprets.
    void protectWithPin(std::string_view pin = "01234") {
        ReceiverMemory& memory = simulator->memory();
        ASSERT_TRUE(memory.setPin(pin));
        memory.setPinRequired(true);
        memory.setGlobalCopyLock(true);
        memory.setAdminCopyLock(true);
        auto page0 = memory.page(0);
        std::array<std::uint8_t, ReceiverMemory::kPageSize> changed{};
        std::copy(page0.begin(), page0.end(), changed.begin());
        changed[kUnknownByte] = 0x5A;
        memory.setPage(0, changed);
    }

    // `input` is the whole of standard input: no test waits for a terminal.
    static Outcome run(std::vector<std::string> args, std::string_view input = {}) {
        const std::vector<std::string_view> words(args.begin(), args.end());
        std::ostringstream out;
        std::ostringstream err;
        const InputPipe stdinPipe(input);
        const int status = runKvr(words, out, err, false, stdinPipe.fd());
        return {status, out.str(), err.str()};
    }

    std::string writeSheetFile(const SettingsSheet& sheet) const {
        const auto file = path("sheet.kvr");
        EXPECT_FALSE(
            SettingsFile(texts).write(file, sheet.remotes, sheet.channels, sheet.identifier));
        return file.string();
    }

    SettingsSheet readSheetFile(const std::filesystem::path& file) const {
        SettingsSheet sheet;
        bool newer = false;
        const auto failure = SettingsFile(texts).read(
            file, {sheet.remotes, sheet.channels, sheet.identifier, newer});
        EXPECT_FALSE(failure) << *failure;
        return sheet;
    }

    TextTable texts;
    std::optional<ReceiverSimulator> simulator;
    std::optional<SimulatorThread> served;
};

TEST_F(KvrReceiverCommands, InfoTellsVersionVariantAndPin) {
    const struct {
        ReceiverSimulator::Firmware firmware;
        bool pin;
        std::string printed;
    } cases[] = {
        {{}, false, "firmware: 2.7\nmulti variant: no\nPIN required: no\n"},
        {{.major = 3, .minor = 1, .multi = true},
         true,
         "firmware: 3.1\nmulti variant: yes\nPIN required: yes\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.printed);
        serve(c.firmware);
        if (c.pin)
            protectWithPin();
        startServer();
        const Outcome outcome = run({"info", "--port", port()});

        EXPECT_EQ(outcome.status, kExitSuccess) << outcome.err;
        EXPECT_EQ(outcome.out, c.printed);
    }
}

TEST_F(KvrReceiverCommands, ReadGivesASettingsFileOfTheReceiversRemotesAndChannels) {
    serve();
    simulator->storeRemote(
        0, {.serialField = 4242, .counter = 7, .counterCopy = 7, .buttonWord = 0x8421});
    simulator->storeRemote(
        703,
        {.serialField = kLock | kMulti | 99, .counter = 1, .counterCopy = 1, .buttonWord = 0xF});
    simulator->memory().setChannelTime(1, 0);
    simulator->memory().setChannelDoublePress(1, true);
    simulator->memory().setChannelMomentary(3, true);
    startServer();
    const auto file = path("read.kvr");
    std::ostringstream err;
    const ReadRequest request{.receiver = {.port = port(), .pin = std::nullopt},
                              .output = file,
                              .format = ReadFormat::Settings};
    ASSERT_EQ(runRead(request, err, {.showProgress = true, .limits = {}}), kExitSuccess)
        << err.str();
    // The progress line is rewritten in place and ended once done.
    EXPECT_THAT(err.str(), testing::StartsWith("\rreading "));
    EXPECT_THAT(err.str(), testing::EndsWith("\rreading 100%\n"));

    const SettingsSheet sheet = readSheetFile(file);
    EXPECT_EQ(sheet.remotes[0].serialWord, 4242u);
    EXPECT_FALSE(sheet.remotes[0].copyLock);
    EXPECT_EQ(sheet.remotes[0].codeCounter, 7);
    EXPECT_EQ(sheet.remotes[0].buttonMasks, (std::array<std::uint16_t, 4>{1, 2, 4, 8}));
    EXPECT_EQ(sheet.remotes[703].serialWord, kMulti | 99);
    EXPECT_TRUE(sheet.remotes[703].copyLock);
    EXPECT_EQ(sheet.countEmpty(), 702u);
    EXPECT_EQ(sheet.channels[1].time, 0);
    EXPECT_TRUE(sheet.channels[1].doublePress);
    EXPECT_TRUE(sheet.channels[3].transientMode);
    EXPECT_EQ(sheet.channels[0], ChannelEntry::factory());
}

TEST_F(KvrReceiverCommands, ImageReadGivesTheReceiversBytes) {
    serve();
    protectWithPin();
    simulator->storeRemote(
        350, {.serialField = 77, .counter = 0x1234, .counterCopy = 0x4321, .buttonWord = 0x21});
    startServer();
    const auto file = path("memory.bin");
    const Outcome outcome =
        run({"read", "--port", port(), "--pin", "01234", "--image", file.string()});
    ASSERT_EQ(outcome.status, kExitSuccess) << outcome.err;
    stopServer();

    const auto bytes = simulator->memory().bytes();
    EXPECT_EQ(readBytes(file), testing_support::Bytes(bytes.begin(), bytes.end()));
}

TEST_F(KvrReceiverCommands, WriteStoresTheSheetAndKeepsWhatTheFileDoesNotHold) {
    serve();
    protectWithPin();
    // A remote the sheet does not have: the whole memory is written, so it goes.
    simulator->storeRemote(5, {.serialField = 555, .counter = 1, .counterCopy = 1});
    startServer();
    const SettingsSheet sheet = sheetToWrite();
    const Outcome outcome =
        run({"write", "--port", port(), writeSheetFile(sheet), "--pin", "01234", "--verify"});
    ASSERT_EQ(outcome.status, kExitSuccess) << outcome.err;
    EXPECT_EQ(outcome.out, "");
    stopServer();

    const ReceiverMemory& memory = simulator->memory();
    for (std::size_t slot = 0; slot < ReceiverMemory::kSlotCount; ++slot)
        ASSERT_EQ(memory.record(slot), sheet.toReceiverRecord(slot)) << "slot " << slot;
    EXPECT_EQ(memory.record(5).serialField, kLock);
    for (std::size_t channel = 0; channel < 4; ++channel) {
        SCOPED_TRACE(channel);
        EXPECT_EQ(memory.channelTime(channel), sheet.channels[channel].time);
        EXPECT_EQ(memory.isChannelMomentary(channel), sheet.channels[channel].transientMode);
        EXPECT_EQ(memory.isChannelDoublePress(channel), sheet.channels[channel].doublePress);
    }
    EXPECT_EQ(memory.pinText(), "01234");
    EXPECT_TRUE(memory.isPinRequired());
    EXPECT_TRUE(memory.isGlobalCopyLock());
    EXPECT_TRUE(memory.isAdminCopyLock());
    EXPECT_EQ(memory.page(0)[kUnknownByte], 0x5A);
}

TEST_F(KvrReceiverCommands, PinIsCheckedBeforeAnythingIsWritten) {
    const struct {
        bool required;
        std::vector<std::string> pin;
        int status;
        std::string message;
    } cases[] = {
        {true, {}, kExitReceiverError, "kvr: the receiver requires a PIN; give it with --pin"},
        {true, {"--pin", "01235"}, kExitReceiverError, "kvr: wrong PIN\n"},
        {true, {"--pin", "01234"}, kExitSuccess, ""},
        // The receiver does not ask for it: whatever is given is ignored.
        {false, {"--pin", "99999"}, kExitSuccess, ""},
    };
    const SettingsSheet sheet = sheetToWrite();
    const std::string file = writeSheetFile(sheet);
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.required << ' ' << testing::PrintToString(c.pin));
        serve();
        protectWithPin();
        simulator->memory().setPinRequired(c.required);
        const ReceiverMemory before = simulator->memory();
        startServer();
        std::vector<std::string> args{"write", "--port", port(), file};
        args.insert(args.end(), c.pin.begin(), c.pin.end());
        const Outcome outcome = run(args);
        stopServer();

        EXPECT_EQ(outcome.status, c.status);
        if (c.message.empty()) {
            EXPECT_EQ(outcome.err, "");
        } else {
            EXPECT_THAT(outcome.err, testing::StartsWith(c.message));
        }
        const bool written = simulator->memory().record(0) == sheet.toReceiverRecord(0);
        EXPECT_EQ(written, c.status == kExitSuccess);
        if (c.status != kExitSuccess) {
            EXPECT_EQ(simulator->memory(), before);
        }
    }
}

TEST_F(KvrReceiverCommands, ConnectionFailuresAreToldAndExitWithOne) {
    serve();
    const Outcome missing = run({"info", "--port", path("no-such-tty").string()});
    EXPECT_EQ(missing.status, kExitReceiverError);
    EXPECT_EQ(missing.err, "kvr: no such port: " + path("no-such-tty").string() + "\n");
    EXPECT_EQ(missing.out, "");

    startServer();
    PosixSerialPort holder;
    ASSERT_FALSE(holder.open(port()));
    const Outcome busy = run({"read", "--port", port(), "-o", path("x.kvr").string()});
    EXPECT_EQ(busy.status, kExitReceiverError);
    EXPECT_EQ(busy.err, "kvr: " + port() + " is in use by another program\n");
    holder.close();

    simulator.reset();
    serve();
    simulator->setSilent(true);
    startServer();
    std::ostringstream out;
    std::ostringstream err;
    const ReceiverCommandOptions quick{.showProgress = false,
                                       .limits = {.answer = std::chrono::milliseconds(300)}};
    EXPECT_EQ(runInfo({.receiver = {.port = port(), .pin = std::nullopt}}, out, err, quick),
              kExitReceiverError);
    EXPECT_EQ(err.str(), "kvr: no receiver answered on " + port() + "\n");
    EXPECT_FALSE(std::filesystem::exists(path("x.kvr")));
}

TEST_F(KvrReceiverCommands, VerifyNamesTheSlotsThatChangedMeanwhile) {
    serve();
    simulator->storeRemote(0,
                           {.serialField = 4242, .counter = 7, .counterCopy = 7, .buttonWord = 1});
    // The remotes are pressed all the time, so their counters move on after they were written.
    served.emplace(*simulator,
                   SimulatorThread::Options{.pressEvery = std::chrono::milliseconds(1)});
    SettingsSheet sheet;
    sheet.remotes[9].serialWord = 4242;
    sheet.remotes[9].buttonMasks = {1, 0, 0, 0};
    const Outcome outcome = run({"write", "--port", port(), writeSheetFile(sheet), "--verify"});

    EXPECT_EQ(outcome.status, kExitReceiverError);
    EXPECT_EQ(outcome.err, "kvr: verification failed: the receiver holds other data in slot 10\n");
}

// A backup that must be right: two readings that differ save nothing.
TEST_F(KvrReceiverCommands, ReadWithVerifySavesOnlyWhatTwoReadingsAgreeOn) {
    const RemoteRecord remote{.serialField = 4242, .counter = 7, .counterCopy = 7, .buttonWord = 1};
    serve();
    simulator->storeRemote(4, remote);
    startServer();
    const Outcome steady = run({"read", "--port", port(), "--image", path("a.bin"), "--verify"});
    EXPECT_EQ(steady.status, kExitSuccess) << steady.err;
    EXPECT_TRUE(std::filesystem::exists(path("a.bin")));

    // The stored remote is pressed all the time, so its counter moves between the readings.
    serve();
    simulator->storeRemote(4, remote);
    served.emplace(*simulator,
                   SimulatorThread::Options{.pressEvery = std::chrono::milliseconds(1)});
    const Outcome moving = run({"read", "--port", port(), "--image", path("b.bin"), "--verify"});
    EXPECT_EQ(moving.status, kExitReceiverError);
    EXPECT_EQ(moving.err, "kvr: verification failed: the two readings differ in slot 5\n");
    EXPECT_FALSE(std::filesystem::exists(path("b.bin")));
}

// Every PIN the cases below give; none may ever be printed.
const std::vector<std::string> kPinsGiven{"00123", "00124", "54321", "5432", "0012", "00000"};

void expectNoPinShown(const Outcome& outcome) {
    for (const std::string& pin : kPinsGiven) {
        EXPECT_THAT(outcome.out, Not(HasSubstr(pin)));
        EXPECT_THAT(outcome.err, Not(HasSubstr(pin)));
    }
}

void expectMessage(const Outcome& outcome, const std::string& message) {
    if (message.empty()) {
        EXPECT_EQ(outcome.err, "");
    } else {
        EXPECT_THAT(outcome.err, testing::StartsWith(message));
    }
}

TEST_F(KvrReceiverCommands, PinChangesOnlyThePinSettingOfTheReceiver) {
    const struct {
        std::string name;
        // PIN 00123, required or not.
        bool required;
        std::vector<std::string> args;
        std::string input;
        int status;
        std::string message;
        // After success.
        bool requiredAfter = false;
        std::string digitsAfter;
    } cases[] = {
        {"new PIN",
         true,
         {"--pin", "00123", "--new", "54321"},
         "",
         kExitSuccess,
         "",
         true,
         "54321"},
        {"off keeps the digits",
         true,
         {"--pin", "00123", "--off"},
         "",
         kExitSuccess,
         "",
         false,
         "00123"},
        {"both from the input, in order",
         true,
         {"--new", "-", "--pin", "-"},
         "00123\n54321\n",
         kExitSuccess,
         "",
         true,
         "54321"},
        {"no requirement, no PIN asked",
         false,
         {"--new", "54321"},
         "",
         kExitSuccess,
         "",
         true,
         "54321"},
        {"wrong PIN",
         true,
         {"--pin", "00124", "--new", "54321"},
         "",
         kExitReceiverError,
         "kvr: wrong PIN\n"},
        {"wrong PIN from the input",
         true,
         {"--pin", "-", "--off"},
         "00124\n",
         kExitReceiverError,
         "kvr: wrong PIN\n"},
        {"PIN missing",
         true,
         {"--off"},
         "",
         kExitReceiverError,
         "kvr: the receiver requires a PIN"},
        {"all zeros",
         true,
         {"--pin", "00123", "--new", "00000"},
         "",
         kExitUsage,
         "kvr: pin: the new PIN cannot be all zeros\n"},
        {"four digits",
         true,
         {"--pin", "00123", "--new", "5432"},
         "",
         kExitUsage,
         "kvr: pin: the new PIN is five digits\n"},
        {"all zeros from the input",
         true,
         {"--pin", "-", "--new", "-"},
         "00123\n00000\n",
         kExitUsage,
         "kvr: pin: the new PIN cannot be all zeros\n"},
        {"input ends before the new PIN",
         true,
         {"--pin", "-", "--new", "-"},
         "00123\n",
         kExitUsage,
         "kvr: pin: no PIN on standard input\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        serve();
        protectWithPin("00123");
        simulator->memory().setPinRequired(c.required);
        const ReceiverMemory before = simulator->memory();
        startServer();
        std::vector<std::string> args{"pin", "--port", port()};
        args.insert(args.end(), c.args.begin(), c.args.end());
        const Outcome outcome = run(args, c.input);
        stopServer();

        EXPECT_EQ(outcome.status, c.status);
        expectMessage(outcome, c.message);
        EXPECT_EQ(outcome.out, "");
        expectNoPinShown(outcome);
        if (c.status != kExitSuccess) {
            EXPECT_EQ(simulator->requestCount('S'), 0u);
            EXPECT_EQ(simulator->memory(), before);
            continue;
        }
        // Locks, channels, the byte nobody interprets and every remote as they were.
        ReceiverMemory expected = before;
        expected.setPinRequired(c.requiredAfter);
        ASSERT_TRUE(expected.setPin(c.digitsAfter));
        EXPECT_EQ(simulator->memory(), expected);
    }
}

TEST_F(KvrReceiverCommands, EveryCommandTakesTheReceiversPinFromTheInput) {
    const std::string settings = writeSheetFile(sheetToWrite());
    const std::string image = path("memory.bin").string();
    const struct {
        std::string command;
        std::vector<std::string> args;
    } commands[] = {
        {"info", {"--pin", "-"}},
        {"read", {"--pin", "-", "--image", image}},
        {"write", {settings, "--pin", "-"}},
    };
    const struct {
        std::string input;
        int status;
        std::string message;
    } inputs[] = {
        {"00123\n", kExitSuccess, ""},
        {"00124\n", kExitReceiverError, "kvr: wrong PIN\n"},
        {"0012\n", kExitUsage, ": the PIN is five digits\n"},
        {"", kExitUsage, ": no PIN on standard input\n"},
    };
    for (const auto& command : commands) {
        for (const auto& input : inputs) {
            SCOPED_TRACE(command.command + ' ' + testing::PrintToString(input.input));
            serve();
            protectWithPin("00123");
            startServer();
            std::vector<std::string> args{command.command, "--port", port()};
            args.insert(args.end(), command.args.begin(), command.args.end());
            const Outcome outcome = run(args, input.input);

            EXPECT_EQ(outcome.status, input.status) << outcome.err;
            const bool usage = input.status == kExitUsage;
            expectMessage(outcome,
                          usage ? "kvr: " + command.command + input.message : input.message);
            expectNoPinShown(outcome);
        }
    }
}

// Memories that differ in the given places.
TEST(DescribeDifferences, NamesTheConfigurationAndSlotsCountedFromOne) {
    const struct {
        bool configuration;
        std::vector<std::size_t> slots;
        std::string text;
    } cases[] = {
        {true, {}, "the configuration"},
        {false, {0}, "slot 1"},
        {false, {2, 703}, "slots 3, 704"},
        {true, {16}, "the configuration and slot 17"},
        {false,
         {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 17, 18, 19, 20, 21},
         "slots 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 17, 18, 19, 20 and 2 more"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        const ReceiverMemory expected;
        ReceiverMemory actual;
        if (c.configuration)
            actual.setChannelTime(0, 99);
        for (const std::size_t slot : c.slots)
            actual.setRecord(slot, {.serialField = 1});
        EXPECT_EQ(describeDifferences(expected, actual), c.text);
    }
}

// A source in memory: what the system would list.
class ListedPorts final : public PortSource {
public:
    explicit ListedPorts(std::vector<InterfacePort> ports) : ports_(std::move(ports)) {}
    std::vector<InterfacePort> listPorts() override { return ports_; }
    int notificationFd() const override { return -1; }
    std::vector<PortEvent> drainEvents() override { return {}; }

private:
    std::vector<InterfacePort> ports_;
};

TEST(KvrPorts, ListsEachInterfaceOrSaysThereIsNone) {
    ListedPorts two({{"/dev/ttyACM0", "ttyACM0", "/sys/a"}, {"/dev/ttyACM3", "ttyACM3", "/sys/b"}});
    ListedPorts none({});
    std::ostringstream out;
    std::ostringstream err;
    EXPECT_EQ(runPorts(&two, out, err), kExitSuccess);
    EXPECT_EQ(out.str(), "/dev/ttyACM0\n/dev/ttyACM3\n");
    EXPECT_EQ(err.str(), "");

    out.str("");
    EXPECT_EQ(runPorts(&none, out, err), kExitSuccess);
    EXPECT_EQ(out.str(), "");
    EXPECT_EQ(err.str(), "kvr: no programming interface found\n");
}

} // namespace
} // namespace konfigor::kvr
