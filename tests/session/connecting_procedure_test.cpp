#include "link/receiver_link.h"
#include "session/connecting_procedure.h"
#include "support/fake_clock.h"
#include "support/fake_serial_port.h"

#include <cerrno>
#include <map>

#include <gtest/gtest.h>

namespace konfigor {
namespace {

using testing_support::FakeClock;
using testing_support::FakeSerialPort;
using Mode = ConnectingProcedure::Mode;

constexpr const char* kPort = "/dev/ttyACM0";
constexpr int kSecond = ConnectingProcedure::kTicksPerAttempt;

class ConnectingProcedureTest : public testing::Test {
protected:
    void makePortBusy() { port.failOpenWith(SerialError{SerialFault::Busy, EBUSY}); }

    // The label changes seen during `count` ticks, by tick number (1-based, continuing).
    std::map<int, Msg> labelChangesOver(int count) {
        std::map<int, Msg> changes;
        for (int i = 0; i < count; ++i) {
            ++ticks;
            const auto step = procedure.tick();
            EXPECT_FALSE(step.closeDialog) << "tick " << ticks;
            if (step.newLabel)
                changes.emplace(ticks, *step.newLabel);
        }
        return changes;
    }

    FakeClock clock;
    FakeSerialPort port{&clock};
    ReceiverLink link{port, clock, ReceiverLink::Worker::Manual};
    ConnectingProcedure procedure{link};
    int ticks = 0;
};

TEST_F(ConnectingProcedureTest, ConnectAttemptsOnTheFirstTickAndThenOnceASecond) {
    makePortBusy();
    procedure.startConnect(kPort);
    EXPECT_EQ(procedure.label(), Msg::ConnectingToReceiver);

    const std::vector<std::pair<int, int>> opensAfterTicks{
        {1, 1}, {kSecond, 1}, {kSecond + 1, 2}, {2 * kSecond, 2}, {2 * kSecond + 1, 3}};
    for (const auto& [tickCount, opens] : opensAfterTicks) {
        while (ticks < tickCount) {
            ++ticks;
            procedure.tick();
        }
        EXPECT_EQ(port.openCount(), opens) << "after tick " << tickCount;
    }
    EXPECT_EQ(port.openedPath(), kPort);
}

TEST_F(ConnectingProcedureTest, BusyPortAlternatesTheLabelEverySecond) {
    makePortBusy();
    procedure.startConnect(kPort);

    // The first tick's attempt fails; the busy ticks are counted from the second on.
    const std::map<int, Msg> expected{{kSecond + 1, Msg::DeviceBusy},
                                      {2 * kSecond + 1, Msg::ConnectingToReceiver},
                                      {3 * kSecond + 1, Msg::DeviceBusy},
                                      {4 * kSecond + 1, Msg::ConnectingToReceiver}};
    EXPECT_EQ(labelChangesOver(4 * kSecond + 5), expected);
    EXPECT_EQ(procedure.label(), Msg::ConnectingToReceiver);
    EXPECT_EQ(procedure.mode(), Mode::Connect);
}

TEST_F(ConnectingProcedureTest, ClosesOnTheTickAfterThePortOpens) {
    makePortBusy();
    procedure.startConnect(kPort);
    labelChangesOver(kSecond + 3); // busy label shown
    port.failOpenWith(std::nullopt);

    labelChangesOver(2 * kSecond + 1 - ticks); // up to the next attempt, which opens the port
    EXPECT_TRUE(link.isRunning());
    const auto step = procedure.tick();
    EXPECT_TRUE(step.closeDialog);
    EXPECT_EQ(procedure.mode(), Mode::Idle);
    EXPECT_FALSE(procedure.tick().closeDialog); // closes once
    EXPECT_EQ(port.openCount(), 3);
}

TEST_F(ConnectingProcedureTest, FreePortConnectsAtOnceWithoutTheBusyLabel) {
    procedure.startConnect(kPort);
    EXPECT_EQ(procedure.tick(), ConnectingProcedure::Step{});
    EXPECT_TRUE(link.isRunning());
    EXPECT_EQ(procedure.tick(), ConnectingProcedure::Step{.closeDialog = true});
}

TEST_F(ConnectingProcedureTest, StartingAgainRestartsTheCountsAndTheLabel) {
    makePortBusy();
    procedure.startConnect(kPort);
    labelChangesOver(kSecond + 1);
    ASSERT_EQ(procedure.label(), Msg::DeviceBusy);

    procedure.startConnect(kPort);
    EXPECT_EQ(procedure.label(), Msg::ConnectingToReceiver);
    const int opensBefore = port.openCount();
    procedure.tick();
    EXPECT_EQ(port.openCount(), opensBefore + 1);
}

TEST_F(ConnectingProcedureTest, DisconnectWithTheLinkStoppedNeedsNoDialog) {
    EXPECT_FALSE(procedure.startDisconnect());
    EXPECT_EQ(procedure.mode(), Mode::Idle);
    EXPECT_EQ(procedure.tick(), ConnectingProcedure::Step{});
}

TEST_F(ConnectingProcedureTest, DisconnectStopsTheLinkAndThenCloses) {
    ASSERT_TRUE(link.connect(kPort));
    ASSERT_TRUE(procedure.startDisconnect());
    EXPECT_EQ(procedure.label(), Msg::DisconnectingFromReceiver);

    EXPECT_FALSE(procedure.tick().closeDialog); // disconnects
    EXPECT_FALSE(link.isRunning());
    EXPECT_EQ(port.closeCount(), 1);
    EXPECT_TRUE(procedure.tick().closeDialog);
    EXPECT_EQ(procedure.mode(), Mode::Idle);
}

TEST_F(ConnectingProcedureTest, StoppedProcedureIgnoresTicks) {
    makePortBusy();
    procedure.startConnect(kPort);
    procedure.stop();
    EXPECT_EQ(procedure.tick(), ConnectingProcedure::Step{});
    EXPECT_EQ(port.openCount(), 0);
}

} // namespace
} // namespace konfigor
