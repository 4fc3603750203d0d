#include "config/configuration.h"
#include "remote/floating_remote.h"
#include "remote/virtual_remote_fixture.h"

#include <gtest/gtest.h>

namespace konfigor {
namespace {

using namespace std::chrono_literals;
using Milliseconds = FloatingRemote::Milliseconds;
using MouseButton = FloatingRemote::MouseButton;
using PressOutcome = FloatingRemote::PressOutcome;

RemotePicture opaquePicture() {
    return *RemotePicture::load(builtInPictureTable(), 147, 146, [](int, int) { return 255; });
}

struct OpacityCase {
    int stored;
    int percent;
    int alpha;

    friend void PrintTo(const OpacityCase& shown, std::ostream* out) {
        *out << "stored " << shown.stored;
    }
};

class OpacityTest : public testing::TestWithParam<OpacityCase> {};

TEST_P(OpacityTest, StoredValueGivesItemAndAlpha) {
    EXPECT_EQ(opacityPercentFromStored(GetParam().stored), GetParam().percent);
    EXPECT_EQ(alphaForPercent(opacityPercentFromStored(GetParam().stored)), GetParam().alpha);
}

INSTANTIATE_TEST_SUITE_P(Items, OpacityTest,
                         testing::Values(OpacityCase{20, 20, 51}, OpacityCase{40, 40, 102},
                                         OpacityCase{60, 60, 153}, OpacityCase{80, 80, 204},
                                         OpacityCase{100, 100, 255}, OpacityCase{0, 100, 255},
                                         OpacityCase{50, 100, 255}, OpacityCase{256 + 20, 20, 51},
                                         OpacityCase{-1, 100, 255}));

struct PlaceCase {
    // Shown by its name in the test list, not as a dump of its bytes.
    friend void PrintTo(const PlaceCase& shown, std::ostream* out) { *out << shown.name; }
    const char* name;
    std::optional<int> left;
    std::optional<int> top;
    WindowPlace expected;
};

class PlaceTest : public testing::TestWithParam<PlaceCase> {};

// A 1024 × 768 screen, the main window at 100, 50, the remote 77 × 146.
TEST_P(PlaceTest, KeepsTheWindowOnTheScreen) {
    const PlaceCase& c = GetParam();
    EXPECT_EQ(floatingRemotePlace(c.left, c.top, {100, 50}, 1024, 768, 77, 146), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Places, PlaceTest,
    testing::Values(PlaceCase{"BesideTheMainWindow", std::nullopt, std::nullopt, {300, 150}},
                    PlaceCase{"Stored", 10, 20, {10, 20}},
                    PlaceCase{"FlushWithTheFarEdges", 2000, 700, {1024 - 77, 768 - 146}},
                    PlaceCase{"NegativeAtZero", -30, -1, {0, 0}}),
    [](const testing::TestParamInfo<PlaceCase>& testCase) { return testCase.param.name; });

class FloatingRemoteTest : public testing_support::VirtualRemoteTest {
protected:
    Milliseconds now() const { return clock.now(); }

    Configuration configuration;
    FloatingRemote floating{remote, opaquePicture(), 100};
};

TEST_F(FloatingRemoteTest, ChosenOpacityIsStoredAndTheWindowFadesToIt) {
    floating.chooseOpacity(configuration, 20);
    EXPECT_EQ(configuration.ini().readString("Pilot", "", ""), "20");
    EXPECT_EQ(floating.picture().alpha(), 51);

    const Milliseconds start = now();
    floating.shown(start);
    EXPECT_EQ(floating.picture().alpha(), 255);
    floating.mouseEntered();
    EXPECT_FALSE(floating.nextDeadline()) << "no fade while the mouse is over the window";
    floating.mouseLeft(start);
    floating.advanceTo(start + 2999ms);
    EXPECT_EQ(floating.picture().alpha(), 255);
    floating.advanceTo(start + 3025ms);
    EXPECT_EQ(floating.picture().alpha(), 252);
    floating.advanceTo(start + 3000ms + 67 * 25ms);
    EXPECT_EQ(floating.picture().alpha(), 54);
    floating.advanceTo(start + 3000ms + 68 * 25ms);
    EXPECT_EQ(floating.picture().alpha(), 51);
    EXPECT_FALSE(floating.nextDeadline());

    floating.mouseEntered();
    EXPECT_EQ(floating.picture().alpha(), 255);
}

TEST_F(FloatingRemoteTest, ReturningMouseStopsTheFade) {
    floating.chooseOpacity(configuration, 60);
    floating.shown(now());
    floating.advanceTo(now() + 3100ms);
    EXPECT_LT(floating.picture().alpha(), 255);
    floating.mouseEntered();
    floating.advanceTo(now() + 10s);
    EXPECT_EQ(floating.picture().alpha(), 255);
}

// Button 2's normal look is shown at window 46, 49.
TEST_F(FloatingRemoteTest, ShortClickOnAButtonSendsOneFrameAndBlinksTheLed) {
    connectToReceiver();
    setMomentaryChannels({false, true, false, false});
    const Milliseconds start = now();
    floating.mouseEntered();
    floating.mouseMoved(50, 60);
    EXPECT_EQ(floating.mousePressed(MouseButton::Left, start), PressOutcome::ButtonPressed);
    EXPECT_EQ(remote.heldButton(), 2);
    EXPECT_TRUE(floating.picture().isLedOn());
    floating.advanceTo(start + 50ms);
    EXPECT_FALSE(floating.picture().isLedOn());
    floating.advanceTo(start + 100ms);
    EXPECT_TRUE(floating.picture().isLedOn());
    floating.mouseReleased();
    EXPECT_FALSE(floating.picture().isLedOn());
    EXPECT_EQ(remote.heldButton(), 0);
    EXPECT_FALSE(floating.nextDeadline());

    cycles(30);
    EXPECT_EQ(takePressFrames(), std::vector<std::uint8_t>{0b0010});
    ASSERT_EQ(events.size(), 1u);
    EXPECT_EQ(events[0].button, 2);
}

TEST_F(FloatingRemoteTest, BodyDragsAndTheRightButtonOpensTheMenu) {
    floating.mouseMoved(5, 5);
    EXPECT_EQ(floating.mousePressed(MouseButton::Left, now()), PressOutcome::DragWindow);
    floating.mouseReleased();
    floating.mouseMoved(50, 60);
    EXPECT_EQ(floating.mousePressed(MouseButton::Right, now()), PressOutcome::OpenMenu);
    EXPECT_EQ(remote.heldButton(), 0);
    EXPECT_TRUE(events.empty());
}

} // namespace
} // namespace konfigor
