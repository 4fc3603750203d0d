#include "link/requests.h"
#include "sheet/settings_sheet.h"
#include "sim/receiver_simulator.h"

#include <algorithm>
#include <functional>
#include <ostream>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

namespace konfigor {
namespace {

using namespace std::chrono_literals;
using Bytes = std::vector<std::uint8_t>;
using Time = ReceiverSimulator::Time;

// Ten bits at 9600 baud, rounded down: no byte can be faster.
constexpr Time kByteLowerBound = 1041us;
constexpr Time kByteUpperBound = 1050us;

std::vector<Frame> reportsIn(const Bytes& bytes) {
    std::vector<Frame> frames;
    std::span<const std::uint8_t> rest(bytes);
    for (;;) {
        const FrameCut cut = cutFrame(rest, FrameDirection::Report);
        rest = rest.subspan(cut.consumed);
        if (!cut.frame)
            return frames;
        frames.push_back(*cut.frame);
    }
}

Bytes bytesOf(std::span<const std::uint8_t> bytes) {
    return {bytes.begin(), bytes.end()};
}

Bytes lettersOf(const std::vector<Frame>& frames) {
    Bytes letters;
    for (const Frame& frame : frames)
        letters.push_back(frame.letter());
    return letters;
}

constexpr RemoteRecord kStored{
    .serialField = 0x4000'1234, .counter = 10, .counterCopy = 10, .buttonWord = 0x8421};

class ReceiverSimulatorTest : public ::testing::Test {
protected:
    // A request and everything the interface says within the next second.
    std::vector<Frame> exchange(const Frame& request) {
        sim.receive(request.bytes(), now);
        return reportsSoon();
    }
    std::vector<Frame> reportsSoon() {
        now += 1s;
        return reportsIn(sim.takeOutput(now));
    }
    // The one frame of an exchange that must be answered by exactly one frame.
    Frame answerTo(const Frame& request) {
        const auto frames = exchange(request);
        EXPECT_EQ(frames.size(), 1u);
        return frames.empty() ? Frame{} : frames.front();
    }

    ReceiverSimulator sim;
    Time now{0};
};

TEST_F(ReceiverSimulatorTest, VersionReportTellsSingleFromMulti) {
    struct Case {
        ReceiverSimulator::Firmware firmware;
        std::uint8_t letter;
        std::uint8_t versionByte;
    };
    for (const Case& c : {Case{{2, 7, false}, 'V', 0x27}, Case{{3, 1, true}, 'Q', 0x31}}) {
        sim.setFirmware(c.firmware);
        const Frame report = answerTo(requests::requestVersion());
        EXPECT_EQ(report.letter(), c.letter);
        EXPECT_EQ(bytesOf(report.payload()), Bytes{c.versionByte});
        EXPECT_TRUE(report.hasValidChecksum());
    }
}

TEST_F(ReceiverSimulatorTest, EveryPageWrittenReadsBack) {
    const auto pattern = [](std::size_t page) {
        std::array<std::uint8_t, 32> data{};
        for (std::size_t i = 0; i < data.size(); ++i)
            data[i] = static_cast<std::uint8_t>(page * 7 + i);
        return data;
    };
    for (std::size_t page = 0; page < ReceiverMemory::kPageCount; ++page)
        ASSERT_EQ(answerTo(requests::sendPage(page, pattern(page))).letter(), 'Y') << page;
    for (std::size_t page = 0; page < ReceiverMemory::kPageCount; ++page) {
        const Frame report = answerTo(requests::requestPage(page));
        ASSERT_EQ(report.letter(), 'E');
        EXPECT_EQ(bytesOf(report.payload()), bytesOf(pattern(page))) << page;
        EXPECT_EQ(bytesOf(sim.memory().page(page)), bytesOf(pattern(page))) << page;
    }
}

TEST_F(ReceiverSimulatorTest, RecordWriteStoresTheCounterTwiceAndReadsBack) {
    for (const std::size_t slot : {std::size_t{0}, std::size_t{703}}) {
        SCOPED_TRACE(slot);
        EXPECT_EQ(
            answerTo(requests::sendRecord(slot, 0x4000'1234, 0x1357, {1, 2, 4, 8}, true)).letter(),
            'Y');
        const RemoteRecord expected{.serialField = 0xC000'1234,
                                    .counter = 0x1357,
                                    .counterCopy = 0x1357,
                                    .buttonWord = 0x8421};
        EXPECT_EQ(sim.storedRemote(slot), expected);
        const Frame report = answerTo(requests::requestRecord(slot));
        EXPECT_EQ(report.letter(), 'L');
        EXPECT_EQ(bytesOf(report.payload()), bytesOf(expected.toBytes()));
    }
}

TEST_F(ReceiverSimulatorTest, StoredRemoteReportsItsSlotAndKeepsTheCounter) {
    sim.storeRemote(7, kStored);
    EXPECT_EQ(sim.pressRemote(0x4000'1234, 4, 0x0102, now), 7u);
    const auto frames = reportsSoon();
    ASSERT_EQ(frames.size(), 1u);
    EXPECT_EQ(bytesOf(frames[0].bytes()),
              (Bytes{0x4D, 0x58, 'T', 0x34, 0x12, 0x00, 0x40, 0x02, 0x01, 0x04, 39, 0x00, 0x07}));
    EXPECT_EQ(sim.storedRemote(7).counter, 0x0102);
    EXPECT_EQ(sim.storedRemote(7).counterCopy, 0x0102);
}

TEST_F(ReceiverSimulatorTest, UnknownRemoteIsReportedWithoutAnyChange) {
    sim.storeRemote(7, kStored);
    const ReceiverMemory before = sim.memory();
    EXPECT_EQ(sim.pressRemote(0x0000'1234, 8, 0x0102, now), std::nullopt);
    const auto frames = reportsSoon();
    ASSERT_EQ(frames.size(), 1u);
    EXPECT_EQ(bytesOf(frames[0].bytes()),
              (Bytes{0x4D, 0x58, 'N', 0x34, 0x12, 0x00, 0x00, 0x02, 0x01, 0x08, 0x76}));
    EXPECT_EQ(sim.memory(), before);
}

TEST_F(ReceiverSimulatorTest, WhichPressesFindAStoredRemote) {
    struct Case {
        const char* name;
        std::uint32_t storedSerial;
        std::uint32_t pressedSerial;
        std::optional<std::size_t> slot;
    };
    const std::vector<Case> cases = {
        {"same word", 0x4000'1234, 0x4000'1234, 3},
        {"copy lock is not part of the identity", 0xC000'1234, 0x4000'1234, 3},
        {"multi flag is", 0x4000'1234, 0x0000'1234, std::nullopt},
        {"an empty slot is no remote", 0x8000'0000, 0, std::nullopt},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        sim.storeRemote(3, {.serialField = c.storedSerial});
        EXPECT_EQ(sim.pressRemote(c.pressedSerial, 1, 1, now), c.slot);
        EXPECT_EQ(lettersOf(reportsSoon()), Bytes{c.slot ? std::uint8_t{'T'} : std::uint8_t{'N'}});
    }
}

TEST_F(ReceiverSimulatorTest, AnswersThatDoNotAdvanceTransfers) {
    struct Case {
        const char* name;
        Frame request;
        Bytes answers;
    };
    const std::vector<Case> cases = {
        {"ping", requests::sendPing(), {'A'}},
        {"press", requests::sendPress(0x05), {'A'}},
        {"reset", requests::requestReset(), {'R'}},
        {"end of connection", requests::endConnection(), {}},
        {"answer to our call", requests::sendAnswer(), {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(lettersOf(exchange(c.request)), c.answers);
        EXPECT_EQ(sim.requestCount(c.request.letter()), 1u);
    }
    EXPECT_EQ(sim.lastPressChannels(), 0x05);
}

TEST_F(ReceiverSimulatorTest, CallsTheTool) {
    sim.callTool(now);
    EXPECT_EQ(lettersOf(reportsSoon()), Bytes{'A'});
}

TEST_F(ReceiverSimulatorTest, RequestsSplitAndMergedAnyHowAreAnsweredInOrder) {
    Bytes stream = {0x5A}; // the wake byte after opening
    for (const Frame& request :
         {requests::requestVersion(), requests::requestPage(0), requests::requestRecord(0)})
        stream.insert(stream.end(), request.bytes().begin(), request.bytes().end());
    for (std::size_t at = 0; at < stream.size(); at += 3) {
        sim.receive(std::span(stream).subspan(at, std::min<std::size_t>(3, stream.size() - at)),
                    now);
        now += 1ms;
    }
    EXPECT_EQ(lettersOf(reportsSoon()), (Bytes{'V', 'E', 'L'}));
}

TEST_F(ReceiverSimulatorTest, DamagedOrUnknownRequestsAreNotCarriedOut) {
    std::array<std::uint8_t, 32> data{};
    data.fill(0xEE);
    const Frame write = requests::sendPage(3, data);
    Bytes damaged = bytesOf(write.bytes());
    damaged.back() ^= 0x01;
    sim.receive(damaged, now);
    EXPECT_EQ(lettersOf(reportsSoon()), Bytes{'B'});
    EXPECT_EQ(sim.damagedRequestCount(), 1u);

    // A head with a letter no request has loses its 'M'; the frame behind it still counts.
    const Bytes unknownThenVersion = {0x4D, 0x58, 'Z', 0x4D, 0x58, 0x56, 0x43};
    sim.receive(unknownThenVersion, now);
    EXPECT_EQ(lettersOf(reportsSoon()), Bytes{'V'});
    EXPECT_EQ(sim.memory(), ReceiverSimulator().memory());
}

TEST_F(ReceiverSimulatorTest, AddressesOutsideTheMemoryGetNoAnswer) {
    std::array<std::uint8_t, 33> pageWrite{};
    pageWrite.back() = 222;
    const std::array<std::uint8_t, 12> recordWrite{0x01, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0xE0, 0x02};
    for (const Frame& request : {
             Frame::encode('E', std::array<std::uint8_t, 1>{0}),
             Frame::encode('E', std::array<std::uint8_t, 1>{222}),
             Frame::encode('S', pageWrite),
             Frame::encode('L', std::array<std::uint8_t, 2>{31, 0}),
             Frame::encode('L', std::array<std::uint8_t, 2>{0xE0, 0x02}),
             Frame::encode('C', recordWrite),
         }) {
        EXPECT_TRUE(exchange(request).empty()) << request.letter();
    }
    EXPECT_EQ(sim.memory(), ReceiverSimulator().memory());
}

TEST_F(ReceiverSimulatorTest, DroppedAnswersStillTookEffect) {
    sim.dropFrames(2);
    EXPECT_TRUE(exchange(requests::sendRecord(1, 11, 0, {}, false)).empty());
    EXPECT_TRUE(exchange(requests::sendRecord(2, 22, 0, {}, false)).empty());
    EXPECT_EQ(lettersOf(exchange(requests::requestVersion())), Bytes{'V'});
    EXPECT_EQ(sim.storedRemote(1).serialField, 11u);
    EXPECT_EQ(sim.storedRemote(2).serialField, 22u);
}

TEST_F(ReceiverSimulatorTest, DuplicatedFramesGoOutTwiceBackToBack) {
    sim.storeRemote(0, kStored);
    sim.duplicateFrames(2);
    sim.pressRemote(kStored.serialField, 1, 11, now);
    EXPECT_EQ(lettersOf(exchange(requests::requestPage(4))), (Bytes{'T', 'T', 'E', 'E'}));

    const Frame version = requests::requestVersion();
    sim.duplicateFrames(1);
    sim.receive(version.bytes(), now);
    const Bytes twice = sim.takeOutput(now + 1s);
    ASSERT_EQ(twice.size(), 10u);
    EXPECT_TRUE(std::equal(twice.begin(), twice.begin() + 5, twice.begin() + 5));
    EXPECT_EQ(lettersOf(exchange(version)), Bytes{'V'});

    // A dropped frame is not sent, so it does not use up a duplicate.
    sim.dropFrames(1);
    sim.duplicateFrames(1);
    EXPECT_TRUE(exchange(version).empty());
    EXPECT_EQ(lettersOf(exchange(version)), (Bytes{'V', 'V'}));
}

std::size_t differingBytes(const Frame& a, const Frame& b) {
    std::size_t count = 0;
    for (std::size_t i = 0; i < std::min(a.size(), b.size()); ++i)
        count += a.bytes()[i] != b.bytes()[i] ? 1 : 0;
    return count;
}

TEST(ReceiverSimulatorFaults, CorruptedFramesDifferInOneByteAfterTheHead) {
    struct Case {
        const char* name;
        std::function<void(ReceiverSimulator&)> corrupt;
    };
    const std::vector<Case> cases = {
        {"counted", [](ReceiverSimulator& s) { s.corruptFrames(3); }},
        {"by chance", [](ReceiverSimulator& s) { s.setCorruptProbability(1.0); }},
    };
    // Frame by frame, since a tool drops everything buffered after a bad checksum.
    const auto traffic = [](ReceiverSimulator& sim) {
        sim.setBaudRate(0);
        sim.storeRemote(0, kStored);
        sim.pressRemote(kStored.serialField, 1, 11, Time{0});
        std::vector<Frame> frames = reportsIn(sim.takeOutput(Time{0}));
        for (const Frame& request : {requests::requestVersion(), requests::requestPage(4)}) {
            sim.receive(request.bytes(), Time{0});
            const auto answers = reportsIn(sim.takeOutput(Time{0}));
            frames.insert(frames.end(), answers.begin(), answers.end());
        }
        return frames;
    };
    ReceiverSimulator intact;
    const auto expected = traffic(intact);
    ASSERT_EQ(lettersOf(expected), (Bytes{'T', 'V', 'E'}));
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ReceiverSimulator sim;
        c.corrupt(sim);
        const auto damaged = traffic(sim);
        ASSERT_EQ(lettersOf(damaged), lettersOf(expected));
        for (std::size_t i = 0; i < damaged.size(); ++i) {
            SCOPED_TRACE(damaged[i].letter());
            EXPECT_FALSE(damaged[i].hasValidChecksum());
            EXPECT_EQ(damaged[i].size(), expected[i].size());
            EXPECT_EQ(differingBytes(damaged[i], expected[i]), 1u);
        }
    }
}

// Which of a run of version requests went unanswered, which were answered damaged and which
// were answered twice.
struct FaultPattern {
    std::vector<int> dropped;
    std::vector<int> corrupted;
    std::vector<int> duplicated;
    friend bool operator==(const FaultPattern&, const FaultPattern&) = default;
};

constexpr int kRequestsInARun = 400;
constexpr double kFaultChance = 0.1;

FaultPattern faultsWithSeed(std::uint64_t seed) {
    ReceiverSimulator sim;
    sim.setBaudRate(0);
    sim.setSeed(seed);
    sim.setDropProbability(kFaultChance);
    sim.setCorruptProbability(kFaultChance);
    sim.setDuplicateProbability(kFaultChance);
    FaultPattern faults;
    for (int i = 0; i < kRequestsInARun; ++i) {
        sim.receive(requests::requestVersion().bytes(), Time{0});
        const auto answers = reportsIn(sim.takeOutput(Time{0}));
        if (answers.empty()) {
            faults.dropped.push_back(i);
            continue;
        }
        if (!answers.front().hasValidChecksum())
            faults.corrupted.push_back(i);
        if (answers.size() > 1)
            faults.duplicated.push_back(i);
    }
    return faults;
}

TEST(ReceiverSimulatorFaults, TheSameSeedGivesTheSameFaults) {
    const FaultPattern faults = faultsWithSeed(7);
    EXPECT_EQ(faultsWithSeed(7), faults);
    EXPECT_NE(faultsWithSeed(8), faults);
    // About one in ten each; far off means the chance is not what was asked for.
    for (const auto* hits : {&faults.dropped, &faults.corrupted, &faults.duplicated}) {
        EXPECT_GT(hits->size(), kRequestsInARun * kFaultChance / 2);
        EXPECT_LT(hits->size(), kRequestsInARun * kFaultChance * 2);
    }
}

TEST_F(ReceiverSimulatorTest, RepeatsAskedForTransfersOnly) {
    std::array<std::uint8_t, 32> data{};
    data.fill(0x77);
    sim.askRepeats(1);
    EXPECT_EQ(answerTo(requests::requestVersion()).letter(), 'V');
    EXPECT_EQ(answerTo(requests::sendPage(9, data)).letter(), 'B');
    EXPECT_EQ(sim.memory().page(9)[0], 0);
    EXPECT_EQ(answerTo(requests::sendPage(9, data)).letter(), 'Y');
    EXPECT_EQ(sim.memory().page(9)[0], 0x77);
}

TEST_F(ReceiverSimulatorTest, SilentInterfaceLosesEverythingButTheReceiverGoesOn) {
    sim.storeRemote(0, kStored);
    sim.receive(requests::requestVersion().bytes(), now);
    sim.setSilent(true);
    EXPECT_TRUE(reportsSoon().empty());
    EXPECT_TRUE(exchange(requests::sendRecord(1, 11, 0, {}, false)).empty());
    EXPECT_EQ(sim.storedRemote(1), RemoteRecord{});
    EXPECT_EQ(sim.pressRemote(kStored.serialField, 1, 99, now), 0u);
    EXPECT_TRUE(reportsSoon().empty());
    EXPECT_EQ(sim.storedRemote(0).counter, 99);

    sim.setSilent(false);
    EXPECT_EQ(lettersOf(exchange(requests::requestVersion())), Bytes{'V'});
}

TEST_F(ReceiverSimulatorTest, DelayedAnswerComesAtItsTime) {
    sim.setAnswerDelay(500ms);
    sim.receive(requests::requestVersion().bytes(), now);
    ASSERT_TRUE(sim.nextOutputTime());
    EXPECT_GE(*sim.nextOutputTime(), now + 500ms);
    EXPECT_TRUE(sim.takeOutput(now + 500ms).empty());
    EXPECT_EQ(sim.takeOutput(now + 600ms).size(), 5u);
    EXPECT_EQ(sim.nextOutputTime(), std::nullopt);
}

struct TimedRequest {
    Frame request;
    Time at;
};

struct TimedAnswer {
    std::uint8_t letter;
    Time at;
    friend bool operator==(const TimedAnswer&, const TimedAnswer&) = default;
    friend void PrintTo(const TimedAnswer& answer, std::ostream* out) {
        *out << "'" << answer.letter << "' at " << answer.at.count() << "us";
    }
};

// Without a line every byte of a frame is there at the time the frame is ready.
std::vector<TimedAnswer> answersWithoutALine(ReceiverSimulator& sim) {
    std::vector<TimedAnswer> answers;
    while (const auto at = sim.nextOutputTime()) {
        for (const Frame& frame : reportsIn(sim.takeOutput(*at)))
            answers.push_back({frame.letter(), *at});
    }
    return answers;
}

TEST(ReceiverSimulatorReplyDelay, AnswersWaitTheirLettersDelayAndKeepTheirOrder) {
    const Frame version = requests::requestVersion();
    const Frame page = requests::requestPage(3);
    Bytes damaged = bytesOf(page.bytes());
    damaged.back() ^= 0x01;
    const Frame damagedPage = Frame::fromBytes(damaged);
    const Frame pageOutside = Frame::encode('E', std::array<std::uint8_t, 1>{0});
    struct Case {
        const char* name;
        std::vector<std::pair<std::uint8_t, Time>> delays;
        std::vector<TimedRequest> requests;
        std::vector<TimedAnswer> answers;
    };
    const std::vector<Case> cases = {
        {"a listed letter waits its delay, the others the answer delay",
         {{'V', 30ms}},
         {{version, 0ms}, {page, 100ms}},
         {{'V', 30ms}, {'E', 105ms}}},
        {"a quick answer waits for a slow one before it",
         {{'V', 100ms}, {'E', 0ms}},
         {{version, 0ms}, {page, 1ms}},
         {{'V', 100ms}, {'E', 100ms}}},
        {"a repeated request is answered again at its own time",
         {{'E', 250ms}},
         {{page, 0ms}, {page, 200ms}},
         {{'E', 250ms}, {'E', 450ms}}},
        {"a damaged request is asked again after its letter's delay",
         {{'E', 250ms}},
         {{damagedPage, 0ms}},
         {{'B', 250ms}}},
        {"a request left unanswered still holds up the next",
         {{'E', 250ms}},
         {{pageOutside, 0ms}, {version, 10ms}},
         {{'V', 250ms}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ReceiverSimulator sim;
        sim.setBaudRate(0);
        sim.setAnswerDelay(5ms);
        for (const auto& [letter, delay] : c.delays)
            sim.setReplyDelay(letter, delay);
        for (const TimedRequest& sent : c.requests)
            sim.receive(sent.request.bytes(), sent.at);
        EXPECT_EQ(answersWithoutALine(sim), c.answers);
    }
}

struct WireCase {
    const char* name;
    std::function<void(ReceiverSimulator&)> act;
    std::size_t answerBytes;
    // Bytes the line carries before the last answer byte is in, both directions.
    int byteTimes;
};

TEST(ReceiverSimulatorWire, AnswersComeNoSoonerThanTheLineAllows) {
    const auto send = [](const Frame& request) {
        return [request](ReceiverSimulator& sim) { sim.receive(request.bytes(), Time{0}); };
    };
    const Frame version = requests::requestVersion();
    Bytes twoVersions = bytesOf(version.bytes());
    twoVersions.insert(twoVersions.end(), version.bytes().begin(), version.bytes().end());
    const std::vector<WireCase> cases = {
        {"version request and its answer", send(version), 5, 4 + 5},
        {"page read request and its page", send(requests::requestPage(0)), 36, 5 + 36},
        {"a remote's report", [](ReceiverSimulator& sim) { sim.pressRemote(5, 1, 1, Time{0}); }, 11,
         11},
        {"the second answer waits for the first",
         [&](ReceiverSimulator& sim) { sim.receive(twoVersions, Time{0}); }, 10, 4 + 5 + 5},
        {"a duplicate follows its original at once",
         [&](ReceiverSimulator& sim) {
             sim.duplicateFrames(1);
             send(version)(sim);
         },
         10, 4 + 5 + 5},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ReceiverSimulator sim;
        c.act(sim);
        const std::size_t early = sim.takeOutput(c.byteTimes * kByteLowerBound).size();
        EXPECT_LT(early, c.answerBytes);
        EXPECT_EQ(early + sim.takeOutput(c.byteTimes * kByteUpperBound).size(), c.answerBytes);
    }
}

TEST(ReceiverSimulatorWire, ByteTrickleInLineTime) {
    ReceiverSimulator sim;
    sim.receive(requests::requestVersion().bytes(), Time{0});
    EXPECT_EQ(sim.takeOutput(6 * kByteUpperBound).size(), 2u);
    EXPECT_EQ(sim.takeOutput(9 * kByteUpperBound).size(), 3u);
}

TEST(ReceiverSimulatorWire, WithoutALineEverythingIsThereAtOnce) {
    ReceiverSimulator sim;
    sim.setBaudRate(0);
    sim.receive(requests::requestVersion().bytes(), Time{0});
    EXPECT_EQ(sim.takeOutput(Time{0}).size(), 5u);
}

TEST(ReceiverSimulatorSheet, LoadsRemotesAndChannelsAsABulkWriteWould) {
    SettingsSheet sheet;
    sheet.remotes[3].serialWord = 0x4000'0042;
    sheet.remotes[3].codeCounter = 7;
    sheet.remotes[3].buttonMasks = {1, 0, 0, 8};
    sheet.remotes[3].copyLock = false;
    sheet.channels[1].time = 0;
    sheet.channels[2].transientMode = true;
    sheet.channels[3].doublePress = true;

    ReceiverSimulator sim;
    ASSERT_TRUE(sim.memory().setPin("24680"));
    sim.loadSheet(sheet);
    EXPECT_EQ(
        sim.storedRemote(3),
        (RemoteRecord{
            .serialField = 0x4000'0042, .counter = 7, .counterCopy = 7, .buttonWord = 0x8001}));
    // An empty sheet slot is copy-locked, and so is its record.
    EXPECT_EQ(sim.storedRemote(0), RemoteRecord{.serialField = RemoteRecord::kCopyLockBit});
    EXPECT_EQ(sim.memory().channelTime(0), 5);
    EXPECT_EQ(sim.memory().channelTime(1), 0);
    EXPECT_TRUE(sim.memory().isChannelMomentary(2));
    EXPECT_TRUE(sim.memory().isChannelDoublePress(3));
    EXPECT_EQ(sim.memory().pinText(), "24680");
}

} // namespace
} // namespace konfigor
