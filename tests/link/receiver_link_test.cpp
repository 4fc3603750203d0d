#include "link/receiver_link.h"
#include "link/requests.h"
#include "sim/receiver_simulator.h"
#include "support/fake_clock.h"
#include "support/fake_serial_port.h"

#include <atomic>
#include <thread>

#include <gtest/gtest.h>

namespace konfigor {
namespace {

using namespace std::chrono_literals;
using testing_support::FakeClock;
using testing_support::FakeSerialPort;
using Bytes = std::vector<std::uint8_t>;

constexpr const char* kPort = "/dev/ttyACM0";

// The requests the link wrote, cut into frames; the wake byte and noise are skipped.
std::vector<Frame> framesIn(Bytes bytes) {
    std::vector<Frame> frames;
    while (!bytes.empty()) {
        const FrameCut cut = cutFrame(bytes, FrameDirection::Request);
        if (!cut.frame)
            break;
        frames.push_back(*cut.frame);
        bytes.erase(bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(cut.consumed));
    }
    return frames;
}

std::string lettersOf(const std::vector<Frame>& frames) {
    std::string letters;
    for (const Frame& frame : frames)
        letters += static_cast<char>(frame.letter());
    return letters;
}

Frame report(std::uint8_t letter, Bytes payload = {}) {
    return Frame::encode(letter, payload);
}

// A link on a port in memory, its worker cycles run by the test.
class ReceiverLinkTest : public testing::Test {
protected:
    void connect() {
        ASSERT_TRUE(link.connect(kPort));
        port.takeWritten();
    }
    void feed(const Frame& frame) { port.feed(frame.bytes()); }
    void cycles(int count = 1) {
        for (int i = 0; i < count; ++i)
            link.runWorkerCycle();
    }
    std::vector<Frame> sent() { return framesIn(port.takeWritten()); }
    // Cycles until the probe's exchange has settled: its answer counts only once the line
    // stayed quiet.
    void cyclesUntilProbed() {
        for (int i = 0; i < 100 && !link.isConfigurationProbed(); ++i)
            cycles();
    }
    // Connected, version 2.7 known and the probe answered.
    void connectToReceiver() {
        connect();
        feed(report('V', {0x27}));
        cycles();
        feed(report('E', Bytes(32, 0)));
        cyclesUntilProbed();
        ASSERT_TRUE(link.isConfigurationProbed());
        port.takeWritten();
        while (link.popMessage()) {
        }
    }

    FakeClock clock;
    FakeSerialPort port{&clock};
    ReceiverLink link{port, clock, ReceiverLink::Worker::Manual};
};

TEST_F(ReceiverLinkTest, ConnectWakesTheInterfaceBeforeConfiguringIt) {
    ASSERT_TRUE(link.connect(kPort));
    EXPECT_EQ(port.written(), Bytes{0x5A});
    EXPECT_EQ(port.configureCount(), 1);
    EXPECT_EQ(port.discardInputCount(), 1);
    EXPECT_TRUE(link.isRunning());
    EXPECT_EQ(link.lastError(), LinkError::None);
    EXPECT_FALSE(link.areWritesBlocked());
}

TEST_F(ReceiverLinkTest, ABusyPortLeavesTheLinkClosed) {
    port.failOpenWith(SerialError{SerialFault::Busy, EWOULDBLOCK});
    EXPECT_FALSE(link.connect(kPort));
    EXPECT_EQ(link.lastError(), LinkError::OpenFailed);
    EXPECT_EQ(link.lastOpenFault(), SerialFault::Busy);
    EXPECT_FALSE(link.isRunning());
    EXPECT_TRUE(port.written().empty());
}

TEST_F(ReceiverLinkTest, ConnectingAgainClosesTheOldConnectionFirst) {
    connect();
    ASSERT_TRUE(link.connect(kPort));
    EXPECT_EQ(port.closeCount(), 1);
    EXPECT_EQ(port.openCount(), 2);
    EXPECT_EQ(port.written(), Bytes{0x5A});
}

TEST_F(ReceiverLinkTest, AsksForTheVersionAtTheLinesPaceUntilAnswered) {
    connect();
    cycles(10);
    const auto asked = sent();
    EXPECT_EQ(lettersOf(asked), std::string(asked.size(), 'V'));
    // Ten cycles of at least 1 ms each: at most one request every 20 ms.
    EXPECT_LE(asked.size(), 1 + static_cast<std::size_t>((clock.slept() / 20ms)));

    feed(report('V', {0x27}));
    cycles();
    EXPECT_EQ(link.version().major, 2);
    EXPECT_EQ(link.version().minor, 7);
    EXPECT_FALSE(link.isMulti());
    EXPECT_FALSE(link.isConfigurationProbed());
    const auto probe = sent();
    ASSERT_EQ(probe.size(), 1u);
    EXPECT_EQ(probe[0], requests::requestPage(0)) << "the configuration probe";
}

// The version is asked for every 20 ms, so several answers can be on their way: only the
// first starts the probe, or several page-0 answers would be on the line at once.
TEST_F(ReceiverLinkTest, LateVersionAnswersDoNotProbeAgain) {
    connect();
    for (int i = 0; i < 3; ++i)
        feed(report('V', {0x27}));
    cycles();
    EXPECT_EQ(lettersOf(sent()), "E");
}

TEST_F(ReceiverLinkTest, ALostProbeAnswerIsAskedForAgain) {
    connect();
    const auto start = clock.now();
    feed(report('V', {0x27}));
    cycles();
    ASSERT_EQ(lettersOf(sent()), "E");
    std::string asked;
    for (int i = 0; i < 100 && asked.empty(); ++i) {
        cycles();
        asked = lettersOf(sent());
    }
    EXPECT_EQ(asked, "E") << "the probe again, its answer being lost";
    EXPECT_GE(clock.now() - start, 200ms);
    feed(report('E', Bytes(32, 0)));
    cyclesUntilProbed();
    EXPECT_TRUE(link.isConfigurationProbed());
    EXPECT_LT(clock.now() - start, 1000ms);
}

TEST_F(ReceiverLinkTest, ProbeTakesOnlyThePinAndCanOnlySetItsRequiredBit) {
    link.image().update([](ReceiverMemory& m) { m.setPinRequired(true); });
    connect();
    feed(report('Q', {0x31}));
    cycles();
    EXPECT_TRUE(link.isMulti());
    Bytes page0(32, 0);
    page0[0] = 0x02; // global lock, PIN bit clear
    page0[2] = 99;   // a channel time the probe ignores
    std::copy_n(Bytes{5, 4, 3, 2, 1}.begin(), 5, page0.begin() + 10);
    feed(report('E', page0));
    cyclesUntilProbed();
    EXPECT_TRUE(link.isConfigurationProbed());
    EXPECT_EQ(link.configChangeCount(), 0u);
    link.image().read([](const ReceiverMemory& m) {
        EXPECT_TRUE(m.isPinRequired());
        EXPECT_FALSE(m.isGlobalCopyLock());
        EXPECT_EQ(m.channelTime(0), 5);
        EXPECT_EQ(m.pinText(), "12345");
    });
}

TEST_F(ReceiverLinkTest, FramesAreCutFromNoiseSplitsAndBursts) {
    connectToReceiver();
    const Frame r = report('R');
    const Frame y = report('N', {1, 0, 0, 0, 7, 0, 1});
    Bytes noisy{0x00, 'M', 0x13};
    noisy.insert(noisy.end(), r.bytes().begin(), r.bytes().end());
    port.feed(noisy);
    port.feed(y.bytes().first(2));
    cycles();
    port.feed(y.bytes().subspan(2));
    port.feed(r.bytes());
    cycles();
    std::string letters;
    while (auto message = link.popMessage())
        letters += static_cast<char>(message->letter());
    EXPECT_EQ(letters, "RNR");
}

TEST_F(ReceiverLinkTest, ADamagedFrameIsDroppedWithWhatFollowsIt) {
    connectToReceiver();
    const Frame y = report('Y');
    Bytes damaged(y.bytes().begin(), y.bytes().end());
    damaged.back() ^= 0xFF;
    const Frame r = report('R');
    damaged.insert(damaged.end(), r.bytes().begin(), r.bytes().end());
    port.feed(damaged);
    cycles();
    EXPECT_EQ(link.lastError(), LinkError::BadChecksum);
    EXPECT_FALSE(link.popMessage());
    feed(report('R'));
    cycles();
    ASSERT_TRUE(link.popMessage());
}

TEST_F(ReceiverLinkTest, RemotePressesArriveWithSlotAndButtonNumbers) {
    connectToReceiver();
    link.image().writeRecord(5, {.serialNumber = 123, .counter = 1});
    const struct {
        std::uint8_t letter;
        std::uint8_t mask;
        std::uint8_t button;
    } cases[] = {{'T', 1, 1}, {'T', 2, 2}, {'T', 4, 3}, {'T', 8, 4},
                 {'T', 3, 3}, {'N', 4, 3}, {'N', 8, 4}};
    for (const auto& c : cases) {
        Bytes payload{123, 0, 0, 0, 0x34, 0x12, c.mask};
        if (c.letter == 'T')
            payload.insert(payload.end(), {5 + 32, 0});
        feed(report(c.letter, payload));
        cycles();
        const auto message = link.popMessage();
        ASSERT_TRUE(message);
        EXPECT_EQ(message->bytes[9], c.button) << c.letter << " mask " << int{c.mask};
        if (c.letter == 'T') {
            EXPECT_EQ(message->bytes[10], 5);
        }
    }
    EXPECT_EQ(link.image().readRecord(5).counter, 0x1234)
        << "a stored remote's press refreshes its counter";
}

TEST_F(ReceiverLinkTest, TheInterfacesCallIsAlwaysAnswered) {
    connectToReceiver();
    feed(report('A'));
    cycles();
    EXPECT_EQ(lettersOf(sent()), "A");
}

TEST_F(ReceiverLinkTest, SilenceLeadsToBackOffThenPingThenReconnection) {
    connect();
    std::string letters;
    // Cycles until the pause after more than ten unanswered requests.
    auto sleptBefore = clock.slept();
    while (clock.slept() - sleptBefore < 8000ms) {
        sleptBefore = clock.slept();
        cycles();
        letters += lettersOf(sent());
    }
    EXPECT_EQ(letters, std::string(11, 'V'));

    // The liveness window passed during the pause: one ping, then, still silent, a reconnection.
    cycles();
    EXPECT_EQ(lettersOf(sent()), "D");
    Bytes reopeningCycle;
    for (int i = 0; i < 1000 && port.openCount() < 2; ++i) {
        port.takeWritten();
        cycles();
        reopeningCycle = port.takeWritten();
    }
    EXPECT_EQ(port.openCount(), 2);
    EXPECT_EQ(link.lastError(), LinkError::None);
    EXPECT_EQ(reopeningCycle, Bytes{0x5A}) << "the wake byte again, first on the line";
    EXPECT_EQ(link.version().major, 0);
}

TEST_F(ReceiverLinkTest, AnUnpluggedInterfaceEndsThePauseAndIsNotReopened) {
    connect();
    port.unplug();
    link.setPortPresent(false);
    cycles(3000);
    EXPECT_LT(clock.slept(), 8000ms) << "no back-off pause while unplugged";
    EXPECT_EQ(port.openCount(), 1);
    EXPECT_TRUE(link.isReconnecting());
    EXPECT_FALSE(link.requestRecord(0));
    EXPECT_EQ(link.lastError(), LinkError::Reconnecting);

    port.plugIn();
    link.setPortPresent(true);
    cycles(3);
    EXPECT_EQ(port.openCount(), 2);
    EXPECT_FALSE(link.isReconnecting());
}

// A hung-up line does not come back by itself: the port is closed at once and reopened as soon
// as the interface is there, without waiting for the liveness window to run out.
TEST_F(ReceiverLinkTest, AHangUpClosesThePortAtOnce) {
    connectToReceiver();
    const auto start = clock.now();
    port.unplug();
    cycles();
    EXPECT_FALSE(port.isOpen());
    port.plugIn();
    for (int i = 0; i < 10 && port.openCount() < 2; ++i)
        cycles();
    EXPECT_EQ(port.openCount(), 2);
    EXPECT_LT(clock.now() - start, 400ms) << "reopened before any liveness window ran out";
}

TEST_F(ReceiverLinkTest, BulkTransfersRefuseEachOther) {
    connectToReceiver();
    ASSERT_TRUE(link.startBulkRead());
    EXPECT_FALSE(link.startBulkRead()) << "already reading";
    const struct {
        const char* what;
        std::function<bool()> request;
        LinkError error;
    } cases[] = {
        {"startBulkWrite", [&] { return link.startBulkWrite(); }, LinkError::BulkReadInProgress},
        {"sendPage", [&] { return link.sendPage(3, {}); }, LinkError::BulkReadInProgress},
        {"writeConfiguration", [&] { return link.writeConfiguration(); },
         LinkError::BulkReadInProgress},
        {"probeConfiguration", [&] { return link.probeConfiguration(); },
         LinkError::BulkReadInProgress},
    };
    for (const auto& c : cases) {
        EXPECT_FALSE(c.request()) << c.what;
        EXPECT_EQ(link.lastError(), c.error) << c.what;
    }
    link.abortTransfers();
    ASSERT_TRUE(link.startBulkWrite());
    EXPECT_FALSE(link.requestPage(0));
    EXPECT_EQ(link.lastError(), LinkError::BulkWriteInProgress);
    EXPECT_FALSE(link.startBulkRead());
    EXPECT_EQ(link.lastError(), LinkError::BulkWriteInProgress);
}

TEST_F(ReceiverLinkTest, TransferPercentFollowsTheReadCursor) {
    connectToReceiver();
    EXPECT_EQ(link.transferPercent(), 0);
    ASSERT_TRUE(link.startBulkRead());
    const struct {
        std::size_t page;
        int percent;
    } cases[] = {{0, 0}, {100, 45}, {220, 99}};
    std::size_t page = 0;
    for (const auto& c : cases) {
        for (; page < c.page; ++page) {
            feed(report('E', Bytes(32, 0)));
            cycles();
        }
        EXPECT_EQ(link.transferPercent(), c.percent) << "page " << c.page;
    }
    feed(report('E', Bytes(32, 0)));
    // The last page counts once the line has stayed quiet after it.
    for (int i = 0; i < 100 && !link.isReadComplete(); ++i)
        cycles();
    EXPECT_TRUE(link.isReadComplete());
    EXPECT_EQ(link.transferPercent(), 0);
}

TEST_F(ReceiverLinkTest, PageZeroAnsweredWithRepeatThenAcceptedCountsOneChange) {
    connectToReceiver();
    std::uint32_t seen = link.configChangeCount();
    ASSERT_TRUE(link.startBulkWrite());
    feed(report('B'));
    cycles();
    EXPECT_FALSE(link.takeConfigChange(seen));
    feed(report('Y'));
    cycles();
    EXPECT_TRUE(link.takeConfigChange(seen));
    feed(report('Y'));
    cycles();
    EXPECT_FALSE(link.takeConfigChange(seen));
}

TEST_F(ReceiverLinkTest, EndOfConnectionSilencesWritesWithoutAnError) {
    connectToReceiver();
    ASSERT_TRUE(link.endConnection());
    EXPECT_EQ(lettersOf(sent()), "K");
    EXPECT_FALSE(link.requestRecord(1));
    EXPECT_EQ(link.lastError(), LinkError::None);
    EXPECT_TRUE(port.written().empty());
}

TEST_F(ReceiverLinkTest, PartialWritesGoOnAndAStalledWriteIsReported) {
    connectToReceiver();
    port.limitBytesPerWrite(2);
    ASSERT_TRUE(link.requestRecord(0));
    EXPECT_EQ(port.takeWritten(), (Bytes{0x4D, 0x58, 0x4C, 0x20, 0x00, 0x79}));
    port.stallWrites();
    EXPECT_FALSE(link.requestReset());
    EXPECT_TRUE(link.isWriteStalled());
}

TEST_F(ReceiverLinkTest, PinMustBeFiveDigits) {
    EXPECT_FALSE(link.setPin("12a45"));
    EXPECT_EQ(link.lastError(), LinkError::PinNotDigits);
    EXPECT_FALSE(link.setPin("1234"));
    ASSERT_TRUE(link.setPin("01234"));
    link.image().read([](const ReceiverMemory& m) { EXPECT_EQ(m.pinText(), "01234"); });
}

// Time that stands still while the worker pauses: its back-off would never end by itself, so
// only disconnect() can end it. A regression hangs here until the suite's timeout.
class StandingClock final : public Clock {
public:
    Milliseconds now() const override { return now_.load(); }
    void sleepFor(Milliseconds) override { std::this_thread::sleep_for(1ms); }
    void advance(Milliseconds by) { now_ = now_.load() + by; }

private:
    std::atomic<Milliseconds> now_{Milliseconds{1000}};
};

TEST(ReceiverLinkThread, DisconnectEndsABackOffPause) {
    StandingClock clock;
    FakeSerialPort port;
    ReceiverLink link(port, clock);
    ASSERT_TRUE(link.connect(kPort));
    // Requests go out every 20 ms of this clock; push it on until eleven went unanswered.
    while (framesIn(port.written()).size() < 11) {
        clock.advance(20ms);
        std::this_thread::sleep_for(1ms);
    }
    std::this_thread::sleep_for(20ms); // the worker is now in its pause
    EXPECT_TRUE(link.disconnect());
    EXPECT_FALSE(link.isRunning());
}

TEST(LinkMessageQueue, DeliversInOrderAndGrowsFiveAtATime) {
    LinkMessageQueue queue;
    EXPECT_FALSE(queue.pop());
    EXPECT_EQ(queue.capacity(), 0u);
    for (std::uint8_t i = 0; i < 6; ++i) {
        LinkMessage message;
        message.bytes[2] = i;
        queue.push(message);
        EXPECT_EQ(queue.capacity(), i < 5 ? 5u : 10u);
    }
    for (std::uint8_t i = 0; i < 6; ++i)
        EXPECT_EQ(queue.pop()->letter(), i);
    EXPECT_FALSE(queue.pop());
}

// The link against the software receiver, bytes passed straight through without line time.
class LinkWithSimulatorTest : public ReceiverLinkTest {
protected:
    LinkWithSimulatorTest() {
        simulator.setBaudRate(0);
        port.setWriteHandler([this](std::span<const std::uint8_t> bytes) {
            const auto now = std::chrono::duration_cast<ReceiverSimulator::Time>(clock.now());
            simulator.receive(bytes, now);
            port.feed(simulator.takeOutput(now));
        });
    }
    // The interface answers every press with a call of its own, which the link answers.
    std::vector<Frame> pressesSent() {
        std::vector<Frame> presses;
        for (const Frame& frame : sent()) {
            if (frame.letter() == 'P')
                presses.push_back(frame);
        }
        return presses;
    }
    void runUntil(const std::function<bool()>& done, int limit = 5000) {
        for (int i = 0; i < limit && !done(); ++i)
            cycles();
    }

    ReceiverSimulator simulator;
};

TEST_F(LinkWithSimulatorTest, BulkReadMirrorsTheReceiverAndSurvivesALostReply) {
    for (std::uint32_t slot = 0; slot < 704; slot += 37)
        simulator.storeRemote(
            slot,
            {.serialField = 1000 + slot, .counter = 7, .counterCopy = 7, .buttonWord = 0x8421});
    ASSERT_TRUE(link.connect(kPort));
    runUntil([&] { return link.isConfigurationProbed(); });
    ASSERT_TRUE(link.isConfigurationProbed());
    ASSERT_TRUE(link.startBulkRead());
    int lastPercent = 0;
    bool dropped = false;
    runUntil([&] {
        if (link.isReadComplete())
            return true;
        const int percent = link.transferPercent();
        EXPECT_GE(percent, lastPercent);
        lastPercent = percent;
        if (!dropped && percent >= 45) {
            simulator.dropFrames(1); // the next reply is lost; the page is asked for again
            dropped = true;
        }
        return link.isReadComplete();
    });
    ASSERT_TRUE(link.isReadComplete());
    EXPECT_FALSE(link.isBulkReadInProgress());
    EXPECT_EQ(link.transferPercent(), 0);
    link.image().read([&](const ReceiverMemory& m) { EXPECT_TRUE(m == simulator.memory()); });
}

TEST_F(LinkWithSimulatorTest, BulkWriteStoresTheImageInTheReceiver) {
    ASSERT_TRUE(link.connect(kPort));
    runUntil([&] { return link.isConfigurationProbed(); });
    for (std::uint32_t slot = 0; slot < 704; slot += 11)
        link.image().writeRecord(
            slot, {.serialNumber = 0x4000'0000u + slot, .copyLock = slot % 2 == 0, .counter = 3});
    link.image().update([](ReceiverMemory& m) { m.setChannelTime(2, 125); });
    std::uint32_t seen = link.configChangeCount();
    ASSERT_TRUE(link.startBulkWrite());
    runUntil([&] { return link.isWriteComplete(); });
    ASSERT_TRUE(link.isWriteComplete());
    EXPECT_TRUE(link.takeConfigChange(seen));
    link.image().read([&](const ReceiverMemory& m) { EXPECT_TRUE(m == simulator.memory()); });
}

TEST_F(LinkWithSimulatorTest, SingleRecordReadAndWrite) {
    ASSERT_TRUE(link.connect(kPort));
    runUntil([&] { return link.isConfigurationProbed(); });
    simulator.storeRemote(
        9,
        {.serialField = 0x8000'0000u | 555, .counter = 42, .counterCopy = 0, .buttonWord = 0x0025});
    ASSERT_TRUE(link.requestRecord(9));
    runUntil([&] { return link.image().readRecord(9).serialNumber != 0; }, 50);
    EXPECT_EQ(link.image().readRecord(9),
              (ReceiverImage::Record{
                  .serialNumber = 555, .copyLock = true, .counter = 42, .buttonWord = 0x0025}));

    ASSERT_TRUE(link.sendRecord(10, 0x4000'0077, 9, {1, 2, 4, 8}, false));
    EXPECT_EQ(
        simulator.storedRemote(10),
        (RemoteRecord{
            .serialField = 0x4000'0077, .counter = 9, .counterCopy = 9, .buttonWord = 0x8421}));
}

TEST_F(LinkWithSimulatorTest, VirtualButtonPressesUntilReleased) {
    ASSERT_TRUE(link.connect(kPort));
    runUntil([&] { return link.isConfigurationProbed(); });
    port.takeWritten();
    link.image().update([](ReceiverMemory& m) { m.setChannelMomentary(0, true); });
    link.pressVirtualButton(1, {0x4, 0x3, 0x8, 0x1}); // button 2: channels 1 and 2
    cycles(40);
    const auto presses = pressesSent();
    ASSERT_GE(presses.size(), 3u);
    EXPECT_EQ(presses[0], requests::sendPress(0b11));
    for (std::size_t i = 1; i < presses.size(); ++i)
        EXPECT_EQ(presses[i], requests::sendPress(0b01)) << "press " << i;
    link.releaseVirtualButton();
    cycles(20);
    EXPECT_TRUE(pressesSent().empty());
}

} // namespace
} // namespace konfigor
