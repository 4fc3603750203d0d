// The real link, with its worker thread, over a real pseudo-terminal to the software receiver.
#include "link/receiver_link.h"
#include "link/serial_port_posix.h"
#include "link/steady_clock.h"
#include "sim/receiver_simulator.h"
#include "sim/simulator_thread.h"
#include "support/eventually.h"

#include <filesystem>
#include <functional>
#include <ostream>
#include <thread>
#include <unistd.h>

#include <gtest/gtest.h>

namespace konfigor {
namespace {

using testing_support::eventually;

using namespace std::chrono_literals;

class LinkSimulatorTest : public testing::Test {
protected:
    LinkSimulatorTest() {
        // Line time off: 221 pages at 9600 baud would take ten seconds.
        simulator.setBaudRate(0);
        for (std::uint32_t slot = 0; slot < 704; slot += 50)
            simulator.storeRemote(slot, {.serialField = 0x4000'0000u | (700 + slot),
                                         .counter = 11,
                                         .counterCopy = 11,
                                         .buttonWord = 0x8421});
    }
    ~LinkSimulatorTest() override {
        link.disconnect();
        stopServer();
    }

    void startServer(std::optional<std::filesystem::path> symlink = {}) {
        served.emplace(simulator, SimulatorThread::Options{.link = std::move(symlink)});
    }
    void stopServer() {
        if (served)
            served->stop();
    }
    std::string portPath() const { return served->portPath(); }

    ReceiverSimulator simulator;
    std::optional<SimulatorThread> served;
    SteadyClock clock;
    PosixSerialPort port;
    ReceiverLink link{port, clock};
};

TEST_F(LinkSimulatorTest, ConnectsLearnsTheVersionAndReadsTheWholeMemory) {
    startServer();
    ASSERT_TRUE(link.connect(portPath()));
    ASSERT_TRUE(eventually([&] { return link.isConfigurationProbed(); }));
    EXPECT_EQ(link.version().major, 2);
    EXPECT_EQ(link.version().minor, 7);

    ASSERT_TRUE(link.startBulkRead());
    ASSERT_TRUE(eventually([&] { return link.isReadComplete(); }));
    for (std::size_t slot = 0; slot < 704; ++slot) {
        const auto record = link.image().readRecord(slot);
        if (slot % 50 == 0)
            EXPECT_EQ(record.serialNumber, 0x4000'0000u | (700 + slot)) << "slot " << slot;
        else
            EXPECT_EQ(record.serialNumber, 0u) << "slot " << slot;
    }
    std::string letters;
    while (auto message = link.popMessage())
        letters += static_cast<char>(message->letter());
    EXPECT_EQ(letters.substr(0, 1), "V");
    // The probe's page and every page once at least; a busy machine may see a page repeated.
    EXPECT_GE(std::count(letters.begin(), letters.end(), 'E'), 1 + 221);
}

TEST_F(LinkSimulatorTest, ASecondProgramCannotOpenTheConnectedPort) {
    startServer();
    ASSERT_TRUE(link.connect(portPath()));
    PosixSerialPort other;
    SteadyClock otherClock;
    ReceiverLink second(other, otherClock);
    EXPECT_FALSE(second.connect(portPath()));
    EXPECT_EQ(second.lastError(), LinkError::OpenFailed);
    EXPECT_EQ(second.lastOpenFault(), SerialFault::Busy);
}

TEST_F(LinkSimulatorTest, DisconnectEndsTheWorkerAndTheTraffic) {
    startServer();
    ASSERT_TRUE(link.connect(portPath()));
    ASSERT_TRUE(eventually([&] { return link.isConfigurationProbed(); }));
    ASSERT_TRUE(link.endConnection());
    EXPECT_TRUE(link.disconnect());
    EXPECT_FALSE(link.isRunning());
    EXPECT_FALSE(port.isOpen());
}

TEST_F(LinkSimulatorTest, ReconnectsByItselfWhenTheInterfaceComesBack) {
    const auto stablePath =
        std::filesystem::temp_directory_path() / ("kvr-zor-test-" + std::to_string(::getpid()));
    startServer(stablePath);
    ASSERT_TRUE(link.connect(stablePath.string()));
    ASSERT_TRUE(eventually([&] { return link.isConfigurationProbed(); }));

    // The interface vanishes: after the ping the link keeps trying to reopen it.
    served.reset();
    ASSERT_TRUE(eventually([&] { return link.isReconnecting(); }));
    EXPECT_EQ(link.version().major, 0);

    // It returns under the same name: the link reopens it and learns the version anew.
    simulator = ReceiverSimulator(ReceiverSimulator::Firmware{.major = 3, .minor = 1});
    simulator.setBaudRate(0);
    startServer(stablePath);
    ASSERT_TRUE(eventually([&] { return !link.isReconnecting() && link.isConfigurationProbed(); }));
    EXPECT_EQ(link.version().major, 3);
    EXPECT_EQ(link.lastError(), LinkError::None);
}

// Images are compared only once the server has stopped: the simulator is not thread-safe.
TEST_F(LinkSimulatorTest, WholeMemoryTransfersSurviveLostAndDamagedFrames) {
    simulator.setSeed(7);
    simulator.setDropProbability(0.02);
    simulator.setCorruptProbability(0.02);
    startServer();
    ASSERT_TRUE(link.connect(portPath()));
    ASSERT_TRUE(eventually([&] { return link.isConfigurationProbed(); }));

    ASSERT_TRUE(link.startBulkRead());
    ASSERT_TRUE(eventually([&] { return link.isReadComplete(); }, 60s));
    const ReceiverMemory read = link.image().read([](const ReceiverMemory& m) { return m; });

    for (std::uint32_t slot = 1; slot < 704; slot += 3)
        link.image().writeRecord(slot,
                                 {.serialNumber = 90'000 + slot, .copyLock = true, .counter = 5});
    ASSERT_TRUE(link.startBulkWrite());
    ASSERT_TRUE(eventually([&] { return link.isWriteComplete(); }, 60s));
    const ReceiverMemory written = link.image().read([](const ReceiverMemory& m) { return m; });
    link.disconnect();
    stopServer();

    EXPECT_TRUE(written == simulator.memory());
    for (std::uint32_t slot = 0; slot < 704; slot += 50)
        EXPECT_EQ(read.record(slot).serialField, 0x4000'0000u | (700 + slot)) << "slot " << slot;
}

TEST_F(LinkSimulatorTest, ATransferCompletesAfterTheInterfaceVanishesAndReturns) {
    const auto stablePath =
        std::filesystem::temp_directory_path() / ("kvr-zor-vanish-" + std::to_string(::getpid()));
    startServer(stablePath);
    ASSERT_TRUE(link.connect(stablePath.string()));
    ASSERT_TRUE(eventually([&] { return link.isConfigurationProbed(); }));
    for (std::uint32_t slot = 0; slot < 704; slot += 7)
        link.image().writeRecord(slot, {.serialNumber = 1'000'000 + slot, .counter = 9});

    ASSERT_TRUE(link.startBulkWrite());
    ASSERT_TRUE(eventually([&] { return link.transferPercent() >= 30; }));
    served->server().unplug();
    ASSERT_TRUE(eventually([&] { return link.isReconnecting(); }));
    served->server().plug();
    ASSERT_TRUE(eventually([&] { return link.isWriteComplete(); }, 60s));
    EXPECT_FALSE(link.isReconnecting());
    const ReceiverMemory written = link.image().read([](const ReceiverMemory& m) { return m; });
    link.disconnect();
    stopServer();
    EXPECT_TRUE(written == simulator.memory());
}

// At the line's own speed, with a receiver slow to answer and a line that loses and damages
// frames: read and write end with the memory moved exactly, or fail; never complete with other
// data. The image is filled so that every page differs. (Doubled replies cost a fresh start
// of the transfer; they are covered on the fake clock, where that costs nothing.)
struct RealLineCase {
    // Shown by its name in the test list, not as a dump of its bytes.
    friend void PrintTo(const RealLineCase& shown, std::ostream* out) { *out << shown.name; }
    const char* name;
    int versionDelayMs;
    int pageDelayMs;
    double faultProbability;
};

class LinkAtLineSpeedTest : public LinkSimulatorTest,
                            public testing::WithParamInterface<RealLineCase> {};

TEST_P(LinkAtLineSpeedTest, ReadAndWriteAreExactOrFail) {
    const RealLineCase& line = GetParam();
    simulator.setBaudRate(ReceiverSimulator::kBaudRate);
    simulator.setReplyDelay('V', std::chrono::milliseconds(line.versionDelayMs));
    for (const char letter : {'E', 'S'})
        simulator.setReplyDelay(static_cast<std::uint8_t>(letter),
                                std::chrono::milliseconds(line.pageDelayMs));
    for (std::size_t page = 1; page < ReceiverMemory::kPageCount; ++page) {
        std::array<std::uint8_t, ReceiverMemory::kPageSize> bytes{};
        bytes.fill(static_cast<std::uint8_t>(page));
        simulator.memory().setPage(page, bytes);
    }
    simulator.setSeed(3);
    simulator.setDropProbability(line.faultProbability);
    simulator.setCorruptProbability(line.faultProbability);
    const ReceiverMemory original = simulator.memory();
    startServer();
    ASSERT_TRUE(link.connect(portPath()));
    ASSERT_TRUE(eventually([&] { return link.isConfigurationProbed(); }));

    const auto ended = [&](bool (ReceiverLink::*complete)() const) {
        return eventually([&] { return (link.*complete)() || link.hasTransferFailed(); }, 120s);
    };
    ASSERT_TRUE(link.startBulkRead());
    ASSERT_TRUE(ended(&ReceiverLink::isReadComplete));
    if (link.isReadComplete()) {
        EXPECT_TRUE(link.image().read([](const ReceiverMemory& m) { return m; }) == original);
    }

    link.image().update([](ReceiverMemory& m) {
        for (std::size_t page = 1; page < ReceiverMemory::kPageCount; ++page) {
            std::array<std::uint8_t, ReceiverMemory::kPageSize> bytes{};
            bytes.fill(static_cast<std::uint8_t>(255 - page));
            m.setPage(page, bytes);
        }
    });
    ASSERT_TRUE(link.startBulkWrite());
    ASSERT_TRUE(ended(&ReceiverLink::isWriteComplete));
    const bool writeComplete = link.isWriteComplete();
    const ReceiverMemory written = link.image().read([](const ReceiverMemory& m) { return m; });
    link.disconnect();
    stopServer();
    if (writeComplete) {
        EXPECT_TRUE(written == simulator.memory());
    }
    if (line.faultProbability == 0) {
        EXPECT_TRUE(writeComplete) << "a clean line never fails";
    }
}

std::string lineName(const testing::TestParamInfo<RealLineCase>& lineCase) {
    return lineCase.param.name;
}

INSTANTIATE_TEST_SUITE_P(SlowAndFaultyLines, LinkAtLineSpeedTest,
                         testing::Values(RealLineCase{"SlowReceiver", 30, 45, 0},
                                         RealLineCase{"FaultyLine", 0, 0, 0.02}),
                         lineName);

} // namespace
} // namespace konfigor
