// Every transfer ends with the receiver's memory moved exactly or with a reported failure, for
// slow answers, lost, duplicated and damaged replies: the replies name no page or slot, so a
// late or doubled one must never be filed under the next request. The link runs against the
// software receiver on the fake clock, with the line's time in both directions.
#include "link/receiver_link.h"
#include "sim/receiver_simulator.h"
#include "support/fake_clock.h"
#include "support/simulated_line.h"

#include <functional>
#include <ostream>
#include <random>
#include <string>
#include <tuple>

#include <gtest/gtest.h>

namespace konfigor {
namespace {

using namespace std::chrono_literals;
using testing_support::FakeClock;
using testing_support::SimulatedLine;
using Milliseconds = Clock::Milliseconds;

enum class Fault { None, Lost, Duplicated, Damaged };

struct LineCase {
    int versionDelayMs;
    int replyDelayMs;
    Fault fault;
};

std::string faultName(Fault fault) {
    switch (fault) {
    case Fault::None:
        return "Clean";
    case Fault::Lost:
        return "Lost";
    case Fault::Duplicated:
        return "Duplicated";
    case Fault::Damaged:
        return "Damaged";
    }
    return "";
}

// So that gtest lists a case's fault by name.
void PrintTo(Fault fault, std::ostream* out) {
    *out << faultName(fault);
}

// Every page different, so that a page filed one place off shows.
void fillWithNoise(ReceiverMemory& memory, std::uint32_t seed) {
    std::mt19937 random(seed);
    for (std::size_t page = 0; page < ReceiverMemory::kPageCount; ++page) {
        std::array<std::uint8_t, ReceiverMemory::kPageSize> bytes{};
        for (std::uint8_t& byte : bytes)
            byte = static_cast<std::uint8_t>(random());
        memory.setPage(page, bytes);
    }
}

class LinkIntegrityTest : public testing::TestWithParam<std::tuple<int, int, Fault>> {
protected:
    LinkIntegrityTest() {
        const auto [versionDelay, replyDelay, fault] = GetParam();
        line_ = {versionDelay, replyDelay, fault};
        simulator.setReplyDelay('V', std::chrono::milliseconds(versionDelay));
        for (const char letter : {'E', 'S', 'L', 'C'})
            simulator.setReplyDelay(static_cast<std::uint8_t>(letter),
                                    std::chrono::milliseconds(replyDelay));
    }

    bool runUntil(const std::function<bool()>& done, Milliseconds limit) {
        const Milliseconds end = clock.now() + limit;
        while (!done() && clock.now() < end)
            link.runWorkerCycle();
        return done();
    }
    void connectAndProbe() {
        ASSERT_TRUE(link.connect("simulated"));
        ASSERT_TRUE(runUntil([&] { return link.isConfigurationProbed(); }, 60s));
        while (link.popMessage()) {
        }
    }
    // The fault strikes the receiver's next frame.
    void strike() {
        switch (line_.fault) {
        case Fault::None:
            break;
        case Fault::Lost:
            simulator.dropFrames(1);
            break;
        case Fault::Duplicated:
            simulator.duplicateFrames(1);
            break;
        case Fault::Damaged:
            simulator.corruptFrames(1);
            break;
        }
    }
    // Runs a bulk transfer; the fault strikes once it is under way.
    void runTransfer(const std::function<bool()>& complete) {
        bool struck = false;
        runUntil(
            [&] {
                if (!struck && link.transferPercent() >= 45) {
                    strike();
                    struck = true;
                }
                return complete() || link.hasTransferFailed();
            },
            3600s);
    }
    // One fault is repaired; only a flood of them may end in a reported failure.
    void expectExact(bool complete, const ReceiverMemory& expected, const ReceiverMemory& actual) {
        ASSERT_TRUE(complete || link.hasTransferFailed()) << "neither complete nor failed";
        ASSERT_FALSE(complete && link.hasTransferFailed());
        EXPECT_TRUE(complete) << "a single fault must not end the transfer";
        if (complete) {
            EXPECT_TRUE(expected == actual) << "complete with other data";
        }
    }

    LineCase line_{};
    ReceiverSimulator simulator;
    FakeClock clock;
    SimulatedLine port{simulator, clock};
    ReceiverLink link{port, clock, ReceiverLink::Worker::Manual};
};

TEST_P(LinkIntegrityTest, BulkReadIsExact) {
    fillWithNoise(simulator.memory(), 7);
    connectAndProbe();
    ASSERT_TRUE(link.startBulkRead());
    runTransfer([&] { return link.isReadComplete(); });
    expectExact(link.isReadComplete(), simulator.memory(),
                link.image().read([](const ReceiverMemory& m) { return m; }));
}

TEST_P(LinkIntegrityTest, BulkWriteIsExact) {
    connectAndProbe();
    link.image().update([](ReceiverMemory& m) { fillWithNoise(m, 11); });
    ASSERT_TRUE(link.startBulkWrite());
    runTransfer([&] { return link.isWriteComplete(); });
    expectExact(link.isWriteComplete(),
                link.image().read([](const ReceiverMemory& m) { return m; }), simulator.memory());
}

// Requests made back to back wait for the line; each answer lands on its own slot.
TEST_P(LinkIntegrityTest, SingleRecordsLandOnTheirSlots) {
    fillWithNoise(simulator.memory(), 13);
    connectAndProbe();
    const std::size_t readSlots[] = {0, 1, 2, 350, 703};
    for (const std::size_t slot : readSlots)
        ASSERT_TRUE(link.requestRecord(slot));
    const std::size_t writtenSlots[] = {3, 4, 5, 400, 702};
    for (const std::size_t slot : writtenSlots)
        ASSERT_TRUE(link.sendRecord(slot, static_cast<std::uint32_t>(0x4000'0000u + slot),
                                    static_cast<std::uint16_t>(slot), {1, 2, 4, 8}, slot % 2 == 0));
    int answers = 0;
    runUntil(
        [&] {
            while (auto message = link.popMessage()) {
                if (message->letter() == 'L' || message->letter() == 'Y') {
                    if (++answers == 2)
                        strike();
                }
            }
            return answers == 10;
        },
        600s);
    EXPECT_EQ(answers, 10) << "one answer for each request, no more, no fewer";
    for (const std::size_t slot : readSlots)
        EXPECT_EQ(link.image().readRecord(slot),
                  ReceiverImage::Record::of(simulator.storedRemote(slot)))
            << "slot " << slot;
    for (const std::size_t slot : writtenSlots) {
        const RemoteRecord stored = simulator.storedRemote(slot);
        EXPECT_EQ(stored.serialField & 0x7FFF'FFFFu, 0x4000'0000u + slot) << "slot " << slot;
        EXPECT_EQ(stored.buttonWord, 0x8421) << "slot " << slot;
    }
    link.image().read([&](const ReceiverMemory& m) {
        EXPECT_EQ(m.record(6), RemoteRecord{}) << "no answer lands on a slot nobody asked for";
    });
}

std::string caseName(const testing::TestParamInfo<std::tuple<int, int, Fault>>& info) {
    const auto [versionDelay, replyDelay, fault] = info.param;
    return "Version" + std::to_string(versionDelay) + "ms_Replies" + std::to_string(replyDelay) +
           "ms_" + faultName(fault);
}

INSTANTIATE_TEST_SUITE_P(
    ReplyDelaysAndFaults, LinkIntegrityTest,
    testing::Combine(testing::Values(0, 15, 30, 100, 250), testing::Values(0, 45, 250, 600),
                     testing::Values(Fault::None, Fault::Lost, Fault::Duplicated, Fault::Damaged)),
    caseName);

// A line that keeps doubling and losing replies may end a transfer in failure, never in success
// with wrong data.
TEST(LinkIntegrityUnderStorms, EndsExactOrFailed) {
    for (const std::uint64_t seed : {1u, 2u, 3u, 4u, 5u}) {
        ReceiverSimulator simulator;
        fillWithNoise(simulator.memory(), static_cast<std::uint32_t>(seed));
        simulator.setReplyDelay('E', 180ms);
        FakeClock clock;
        SimulatedLine port{simulator, clock};
        ReceiverLink link{port, clock, ReceiverLink::Worker::Manual};
        ASSERT_TRUE(link.connect("simulated"));
        const Milliseconds end = clock.now() + 7200s;
        while (!link.isConfigurationProbed() && clock.now() < end)
            link.runWorkerCycle();
        simulator.setSeed(seed);
        simulator.setDropProbability(0.05);
        simulator.setDuplicateProbability(0.02);
        simulator.setCorruptProbability(0.05);
        ASSERT_TRUE(link.startBulkRead());
        while (!link.isReadComplete() && !link.hasTransferFailed() && clock.now() < end)
            link.runWorkerCycle();
        ASSERT_TRUE(link.isReadComplete() || link.hasTransferFailed()) << "seed " << seed;
        if (link.isReadComplete()) {
            EXPECT_TRUE(link.image().read([&](const ReceiverMemory& m) {
                return m == simulator.memory();
            })) << "seed "
                << seed;
        }
    }
}

} // namespace
} // namespace konfigor
