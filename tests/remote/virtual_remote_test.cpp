#include "config/configuration.h"
#include "remote/virtual_remote.h"
#include "remote/virtual_remote_fixture.h"

#include <functional>
#include <ostream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

namespace konfigor {
namespace {

using testing_support::VirtualRemoteTest;
using Masks = Configuration::ButtonMasks;

struct PressCase {
    // Shown by its name in the test list, not as a dump of its bytes.
    friend void PrintTo(const PressCase& shown, std::ostream* out) { *out << shown.name; }
    const char* name;
    int button;
    Masks masks;
    std::array<bool, 4> momentary;
    std::uint8_t firstFrame;
    std::uint8_t heldFrame;
    std::uint16_t loggedMask;
};

class PressSequenceTest : public VirtualRemoteTest,
                          public testing::WithParamInterface<PressCase> {};

// While held, the first frame carries every channel of the button and the later ones only its
// momentary channels; the release stops them.
TEST_P(PressSequenceTest, FramesWhileHeldAndAfterRelease) {
    const PressCase& c = GetParam();
    Configuration configuration;
    configuration.setVirtualRemoteName("Brama");
    configuration.setVirtualButtonMasks(c.masks);
    remote.loadFrom(configuration);
    connectToReceiver();
    setMomentaryChannels(c.momentary);

    remote.pressVirtualButton(c.button);
    cycles(40);
    const auto held = takePressFrames();
    ASSERT_GE(held.size(), 3u);
    EXPECT_EQ(held.front(), c.firstFrame);
    for (std::size_t i = 1; i < held.size(); ++i)
        EXPECT_EQ(held[i], c.heldFrame) << "frame " << i;

    remote.releaseVirtualButton();
    cycles(20);
    EXPECT_TRUE(takePressFrames().empty());

    ASSERT_EQ(events.size(), 1u);
    EXPECT_EQ(events[0].position, -2);
    EXPECT_EQ(events[0].description.view(), "Brama");
    EXPECT_EQ(events[0].button, c.button);
    EXPECT_EQ(events[0].channelMask, c.loggedMask);
    EXPECT_EQ(events[0].serialNumber, 0u);
}

INSTANTIATE_TEST_SUITE_P(
    Buttons, PressSequenceTest,
    testing::Values(
        PressCase{"OneOfTwoMomentary",
                  1,
                  {0b0011, 2, 4, 8},
                  {true, false, false, false},
                  0b0011,
                  0b0001,
                  0b0011},
        PressCase{"NoneMomentary",
                  2,
                  {1, 0b0110, 4, 8},
                  {false, false, false, false},
                  0b0110,
                  0b0000,
                  0b0110},
        // A momentary channel the button does not operate stays off.
        PressCase{"AllOwnMomentary",
                  4,
                  {1, 2, 4, 0b1001},
                  {true, true, false, true},
                  0b1001,
                  0b1001,
                  0b1001},
        PressCase{"NoChannels", 3, {1, 2, 0, 8}, {true, true, true, true}, 0b0000, 0b0000, 0},
        // Bits above channel 4 reach neither the receiver nor the log's channel columns.
        PressCase{
            "HighBits", 1, {0x0305, 2, 4, 8}, {false, false, false, false}, 0b0101, 0b0000, 0x05}),
    [](const testing::TestParamInfo<PressCase>& testCase) { return testCase.param.name; });

TEST_F(VirtualRemoteTest, ClickShorterThanACycleStillSendsOneFrame) {
    connectToReceiver();
    setMomentaryChannels({false, true, false, false});
    remote.buttonMouseDown(2);
    remote.buttonMouseUp();
    cycles(30);
    EXPECT_EQ(takePressFrames(), std::vector<std::uint8_t>{0b0010});
    ASSERT_EQ(events.size(), 1u);
    EXPECT_EQ(events[0].button, 2);
    EXPECT_EQ(events[0].channelMask, 0b0010);
}

// The link wakes its worker on a press; a worker that sends the first frame before the press
// returns must not cost the press its event.
TEST_F(VirtualRemoteTest, APressIsLoggedEvenWhenTheWokenWorkerSendsItsFrameFirst) {
    connectToReceiver();
    bool woken = false;
    port.onInterrupt = [this, &woken] {
        if (!std::exchange(woken, true))
            link.runWorkerCycle();
    };
    remote.buttonMouseDown(3);
    port.onInterrupt = nullptr;
    remote.buttonMouseUp();
    cycles(10);
    EXPECT_EQ(takePressFrames(), std::vector<std::uint8_t>{0b0100});
    ASSERT_EQ(events.size(), 1u);
    EXPECT_EQ(events[0].button, 3);
}

TEST_F(VirtualRemoteTest, MousePressReplacesAHeldButton) {
    connectToReceiver();
    remote.buttonMouseDown(1);
    cycles(10);
    takePressFrames();
    remote.buttonMouseDown(3);
    cycles(10);
    const auto frames = takePressFrames();
    ASSERT_FALSE(frames.empty());
    EXPECT_EQ(frames.front(), 0b0100);
    EXPECT_EQ(remote.heldButton(), 3);
    EXPECT_EQ(events.size(), 2u);
}

TEST_F(VirtualRemoteTest, EmptyNameIsLoggedUnderTheDefaultName) {
    remote.confirm("", {});
    remote.pressVirtualButton(1);
    ASSERT_EQ(events.size(), 1u);
    EXPECT_EQ(events[0].description.toUtf8(), "Pilot wirtualny");
}

// --- which input starts and which ends a press ---

using Step = std::function<void(VirtualRemote&)>;

struct InputCase {
    // Shown by its name in the test list, not as a dump of its bytes.
    friend void PrintTo(const InputCase& shown, std::ostream* out) { *out << shown.name; }
    const char* name;
    std::vector<Step> steps;
    int heldAfter;
    std::size_t pressesLogged;
};

class InputRulesTest : public VirtualRemoteTest, public testing::WithParamInterface<InputCase> {};

TEST_P(InputRulesTest, StartsAndEndsPresses) {
    for (const Step& step : GetParam().steps)
        step(remote);
    EXPECT_EQ(remote.heldButton(), GetParam().heldAfter);
    EXPECT_EQ(events.size(), GetParam().pressesLogged);
}

const Step mouseDown2 = [](VirtualRemote& r) { r.buttonMouseDown(2); };
const Step spaceDown2 = [](VirtualRemote& r) { r.buttonKeyDown(2, VirtualButtonKey::Space); };
const Step spaceDown3 = [](VirtualRemote& r) { r.buttonKeyDown(3, VirtualButtonKey::Space); };
const Step enterDown2 = [](VirtualRemote& r) { r.buttonKeyDown(2, VirtualButtonKey::Enter); };
const Step otherKeyDown2 = [](VirtualRemote& r) { r.buttonKeyDown(2, VirtualButtonKey::Other); };
const Step altDigit2 = [](VirtualRemote& r) { r.buttonClicked(2, false, true); };
const Step spaceClick2 = [](VirtualRemote& r) { r.buttonClicked(2, true, false); };
const Step plainClick2 = [](VirtualRemote& r) { r.buttonClicked(2, false, false); };
const Step altDigit4 = [](VirtualRemote& r) { r.buttonClicked(4, false, true); };
const Step mouseUp = [](VirtualRemote& r) { r.buttonMouseUp(); };
const Step keyUp = [](VirtualRemote& r) { r.buttonKeyUp(); };
const Step focusLost = [](VirtualRemote& r) { r.buttonFocusLost(); };
const Step deactivated = [](VirtualRemote& r) { r.mainWindowDeactivated(); };
const Step anyKeyReleased = [](VirtualRemote& r) { r.keyReleasedAnywhere(); };

INSTANTIATE_TEST_SUITE_P(
    Inputs, InputRulesTest,
    testing::Values(InputCase{"MouseDownHolds", {mouseDown2}, 2, 1},
                    InputCase{"MouseUpEnds", {mouseDown2, mouseUp}, 0, 1},
                    InputCase{"SpaceHolds", {spaceDown2}, 2, 1},
                    InputCase{"EnterHolds", {enterDown2}, 2, 1},
                    InputCase{"OtherKeyDoesNot", {otherKeyDown2}, 0, 0},
                    InputCase{
                        "KeyRepeatDoesNotRestart", {spaceDown2, spaceDown2, spaceDown2}, 2, 1},
                    InputCase{"KeyNeedsIdle", {spaceDown2, spaceDown3}, 2, 1},
                    InputCase{"KeyUpEnds", {spaceDown2, keyUp}, 0, 1},
                    InputCase{"AltDigitHolds", {altDigit2}, 2, 1},
                    InputCase{"AltDigitNeedsIdle", {mouseDown2, altDigit4}, 2, 1},
                    InputCase{"ClickWithSpaceHolds", {spaceClick2}, 2, 1},
                    // The click that follows a mouse press and release.
                    InputCase{"ClickWithoutKeysDoesNot", {mouseDown2, mouseUp, plainClick2}, 0, 1},
                    InputCase{"AnyKeyReleaseEnds", {altDigit2, anyKeyReleased}, 0, 1},
                    InputCase{"FocusLossEnds", {enterDown2, focusLost}, 0, 1},
                    InputCase{"DeactivationEnds", {mouseDown2, deactivated}, 0, 1},
                    InputCase{"MouseReplacesKeyboardPress", {spaceDown3, mouseDown2}, 2, 2}),
    [](const testing::TestParamInfo<InputCase>& testCase) { return testCase.param.name; });

// --- configuration ---

TEST_F(VirtualRemoteTest, StartsWithTheBuiltInNameAndMasks) {
    EXPECT_EQ(remote.name(), "Pilot wirtualny");
    EXPECT_EQ(remote.buttonMasks(), (VirtualRemote::ButtonMasks{1, 2, 4, 8}));
}

TEST_F(VirtualRemoteTest, WithoutConfigurationTheDialogRestoresBuiltIns) {
    remote.loadFrom(Configuration{});
    EXPECT_EQ(remote.name(), "");
    EXPECT_EQ(remote.buttonMasks(), (VirtualRemote::ButtonMasks{0, 0, 0, 0}));
    remote.restoreBuiltIns();
    EXPECT_EQ(remote.name(), "Wirtualny pilot");
    EXPECT_EQ(remote.buttonMasks(), (VirtualRemote::ButtonMasks{1, 2, 4, 8}));
}

// A button left without channels gets its own channel back at the next start; the others keep
// what was chosen.
TEST_F(VirtualRemoteTest, ButtonWithoutChannelsGetsItsChannelBackAtTheNextStart) {
    VirtualRemote::ChannelBoxes boxes{};
    boxes[0] = {true, true, false, false};
    boxes[1] = {false, false, false, true};
    boxes[3] = {true, false, true, false};
    remote.confirm("Garaż", boxes);
    EXPECT_EQ(remote.buttonMasks(), (VirtualRemote::ButtonMasks{0b0011, 0b1000, 0, 0b0101}));
    EXPECT_EQ(remote.channelBoxes(), boxes);
    Configuration configuration;
    remote.storeTo(configuration);

    VirtualRemote next(link, texts);
    next.loadFrom(configuration);
    next.restoreBuiltIns();
    EXPECT_EQ(next.name(), "Garaż");
    EXPECT_EQ(next.buttonMasks(), (VirtualRemote::ButtonMasks{0b0011, 0b1000, 0b0100, 0b0101}));
}

} // namespace
} // namespace konfigor
