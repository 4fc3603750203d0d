#include "support/fake_clock.h"
#include "support/fake_serial_port.h"

#include <array>
#include <cerrno>
#include <chrono>
#include <vector>

#include <gtest/gtest.h>

namespace konfigor::testing_support {
namespace {

using namespace std::chrono_literals;

class FakeSerialPortTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_FALSE(port_.open("/dev/ttyACM0")); }

    FakeClock clock_;
    FakeSerialPort port_{&clock_};
};

TEST_F(FakeSerialPortTest, HandsOutFedBytesInChunksAndDiscardInputDropsTheRest) {
    port_.feed(std::vector<std::uint8_t>{1, 2, 3, 4, 5});
    std::array<std::uint8_t, 2> chunk{};
    ASSERT_EQ(port_.read(chunk).value, 2u);
    EXPECT_EQ(chunk, (std::array<std::uint8_t, 2>{1, 2}));
    ASSERT_EQ(port_.write(std::vector<std::uint8_t>{0x5A}).value, 1u);

    ASSERT_FALSE(port_.discardInput());
    EXPECT_EQ(port_.read(chunk).value, 0u);
    EXPECT_EQ(port_.written(), (std::vector<std::uint8_t>{0x5A})) << "output is not input";
    EXPECT_EQ(port_.discardInputCount(), 1);
}

TEST_F(FakeSerialPortTest, WaitingWithoutInputMovesTheClockByTheTimeout) {
    const auto start = clock_.now();
    EXPECT_FALSE(port_.waitForInput(7ms).value);
    EXPECT_EQ(clock_.now() - start, 7ms);

    port_.feed(std::vector<std::uint8_t>{9});
    EXPECT_TRUE(port_.waitForInput(7ms).value);
    EXPECT_EQ(clock_.now() - start, 7ms);
}

TEST_F(FakeSerialPortTest, WritesTakeUpToTheLimitAndTheHandlerSeesWhatWasTaken) {
    std::vector<std::uint8_t> seen;
    port_.setWriteHandler([&](auto bytes) { seen.assign(bytes.begin(), bytes.end()); });
    const std::vector<std::uint8_t> frame = {'M', 'X', 'V', 'C'};

    port_.limitBytesPerWrite(3);
    EXPECT_EQ(port_.write(frame).value, 3u);
    EXPECT_EQ(seen, (std::vector<std::uint8_t>{'M', 'X', 'V'}));

    port_.stallWrites();
    const auto stalled = port_.write(frame);
    EXPECT_TRUE(stalled.ok());
    EXPECT_EQ(stalled.value, 0u);
    EXPECT_EQ(port_.takeWritten(), (std::vector<std::uint8_t>{'M', 'X', 'V'}));
    EXPECT_EQ(port_.writeCount(), 2);
}

TEST_F(FakeSerialPortTest, UnpluggedPortIsGoneForTheHolderAndMissingForTheNextOpener) {
    port_.unplug();
    std::array<std::uint8_t, 4> buffer{};
    EXPECT_TRUE(port_.read(buffer).gone());
    EXPECT_TRUE(port_.write(buffer).gone());

    EXPECT_FALSE(port_.close());
    const auto reopened = port_.open("/dev/ttyACM0");
    ASSERT_TRUE(reopened);
    EXPECT_EQ(reopened->fault, SerialFault::NotFound);

    port_.plugIn();
    EXPECT_FALSE(port_.open("/dev/ttyACM0"));
    EXPECT_EQ(port_.openCount(), 3);
}

TEST_F(FakeSerialPortTest, InjectedFailuresComeBackAsGiven) {
    port_.failWritesWith(SerialError{SerialFault::Other, EINVAL});
    EXPECT_EQ(port_.write(std::vector<std::uint8_t>{1}).error->errorNumber, EINVAL);

    FakeSerialPort busy;
    busy.failOpenWith(SerialError{SerialFault::Busy, EWOULDBLOCK});
    const auto refused = busy.open("/dev/ttyACM0");
    ASSERT_TRUE(refused);
    EXPECT_EQ(refused->fault, SerialFault::Busy);
    EXPECT_FALSE(busy.isOpen());
}

} // namespace
} // namespace konfigor::testing_support
