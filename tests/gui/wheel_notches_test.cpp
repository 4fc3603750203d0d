#include "gui/wheel_notches.h"

#include <vector>

#include <gtest/gtest.h>

namespace konfigor {
namespace {

TEST(WheelNotchesTest, StepsAddUpToWholeNotches) {
    const struct {
        const char* name;
        std::vector<int> angleDeltas;
        std::vector<int> notchesDown;
    } cases[] = {
        {"MouseNotchDown", {-120}, {1}},
        {"MouseNotchUp", {120}, {-1}},
        {"TwoNotchesInOneEvent", {-240}, {2}},
        {"TouchpadThirtiesMakeANotchOnTheFourth", {-30, -30, -30, -30}, {0, 0, 0, 1}},
        {"TouchpadFifteensUp", {15, 15, 15, 15, 15, 15, 15, 15}, {0, 0, 0, 0, 0, 0, 0, -1}},
        {"RestCarriesIntoTheNextNotch", {-90, -90, -60}, {0, 1, 1}},
        {"NotchAndAHalfLeavesTheHalf", {-180, -60}, {1, 1}},
        {"TurningBackStartsAfresh", {-90, 30, 90}, {0, 0, -1}},
        {"NoStepNoChange", {-60, 0, -60}, {0, 0, 1}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        WheelNotches wheel;
        std::vector<int> notches;
        for (const int delta : c.angleDeltas)
            notches.push_back(wheel.turnedDown(delta));
        EXPECT_EQ(notches, c.notchesDown);
    }
}

TEST(WheelNotchesTest, ResetDropsTheRest) {
    WheelNotches wheel;
    EXPECT_EQ(wheel.turnedDown(-90), 0);
    wheel.reset();
    EXPECT_EQ(wheel.turnedDown(-60), 0);
    EXPECT_EQ(wheel.turnedDown(-60), 1);
}

} // namespace
} // namespace konfigor
