#include "remote/virtual_remote_picture.h"

#include <ostream>
#include <string>
#include <string_view>

#include <gtest/gtest.h>

namespace konfigor {
namespace {

using namespace std::string_view_literals;

constexpr int kPictureWidth = 147;
constexpr int kPictureHeight = 146;

// A picture opaque everywhere but at one pixel.
PictureAlpha opaqueBut(int holeX, int holeY, int holeAlpha = 0) {
    return [=](int x, int y) { return x == holeX && y == holeY ? holeAlpha : 255; };
}

RemotePicture builtInPicture(PictureAlpha alpha = opaqueBut(-1, -1)) {
    auto picture = RemotePicture::load(builtInPictureTable(), kPictureWidth, kPictureHeight, alpha);
    EXPECT_TRUE(picture);
    return std::move(*picture);
}

std::string visibleSlots(const RemotePicture& picture) {
    std::string slots;
    for (std::size_t s = 0; s < kRemoteElementCount; ++s) {
        if (picture.elements()[s].visible)
            slots += std::to_string(s) + " ";
    }
    return slots;
}

TEST(PictureTableTest, BuiltInTableGivesTheWindowAndItsElements) {
    EXPECT_EQ(builtInPictureTable().size(), 348u);
    const auto layout = parsePictureTable(builtInPictureTable());
    ASSERT_TRUE(layout);
    EXPECT_EQ(layout->width, 77);
    EXPECT_EQ(layout->height, 146);
    const RemoteElements& e = layout->elements;
    EXPECT_EQ(e[0], (RemoteElement{true, 123, 0, 145, 21, 27, 68})) << "button 4";
    EXPECT_EQ(e[3], (RemoteElement{true, 123, 73, 145, 101, 12, 49})) << "button 1";
    EXPECT_EQ(e[6], (RemoteElement{false, 100, 44, 122, 72, 46, 49})) << "button 2 highlighted";
    EXPECT_EQ(e[9], (RemoteElement{false, 78, 22, 99, 43, 28, 37})) << "button 3 pressed";
    EXPECT_EQ(e[12], RemoteElement{});
    EXPECT_EQ(e[kLedOffSlot], (RemoteElement{true, 78, 102, 114, 109, 20, 26}));
    EXPECT_EQ(e[kLedOnSlot], (RemoteElement{false, 78, 110, 114, 117, 19, 26}));
    EXPECT_EQ(e[kBodySlot], (RemoteElement{true, 0, 0, 77, 146, 0, 0}));
}

struct TableCase {
    std::string_view table;
    bool parses;

    // Shown as the start of its table with the bytes outside ASCII in hexadecimal.
    friend void PrintTo(const TableCase& shown, std::ostream* out) {
        const std::string_view text = shown.table.substr(0, 24);
        for (const char c : text) {
            const auto byte = static_cast<unsigned char>(c);
            if (byte >= 0x20 && byte < 0x7F)
                *out << c;
            else
                *out << '<' << std::hex << static_cast<int>(byte) << std::dec << '>';
        }
    }
};

class PictureTableParseTest : public testing::TestWithParam<TableCase> {};

TEST_P(PictureTableParseTest, RefusesDamagedTables) {
    EXPECT_EQ(parsePictureTable(GetParam().table).has_value(), GetParam().parses)
        << GetParam().table;
}

INSTANTIATE_TEST_SUITE_P(
    Tables, PictureTableParseTest,
    testing::Values(TableCase{"c 0 0 77 146 0 0 *\r\n"sv, true},
                    TableCase{"c 0 0 77 146 0 0"sv, true},        // no end mark
                    TableCase{"c  0 0 77 146 0 0 *"sv, true},     // doubled space
                    TableCase{"c 0 0 7 9 1 1 * bx 1"sv, true},    // nothing read after the mark
                    TableCase{"c 0 0 7 9 1 1 \0bx 1"sv, true},    // the loader's terminator
                    TableCase{"lx 0 0 7 9 0 0"sv, true},          // any "l" but "ln" is the lit LED
                    TableCase{""sv, false},                       // no window
                    TableCase{"*\r\n"sv, false},                  // no window
                    TableCase{"c 0 0 0 0 0 0"sv, false},          // no window
                    TableCase{"c 0 0 77 146 0"sv, false},         // short record
                    TableCase{"c 0 0 77 146 0 *"sv, false},       // mark inside a record
                    TableCase{"x 0 0 77 146 0 0"sv, false},       // unknown tag
                    TableCase{"bn5 0 0 7 9 0 0"sv, false},        // no button 5
                    TableCase{"bn 0 0 7 9 0 0"sv, false},         // no button digit
                    TableCase{"bq1 0 0 7 9 0 0"sv, false},        // unknown look
                    TableCase{"c 0 0 -7 9 0 0"sv, false},         // negative
                    TableCase{"c 0 0 0x7 9 0 0"sv, false},        // not decimal
                    TableCase{"c 0 0 999999 9 0 0"sv, false},     // beyond any picture
                    TableCase{"c 9 0 7 9 0 0"sv, false},          // right before left
                    TableCase{"c 0 0 77 146 0 0\r\n"sv, false})); // line end inside a number

TEST(PictureTableTest, LoadRefusesATableReachingOutsideThePicture) {
    EXPECT_FALSE(RemotePicture::load(builtInPictureTable(), 144, kPictureHeight, opaqueBut(0, 0)));
    EXPECT_FALSE(RemotePicture::load(builtInPictureTable(), kPictureWidth, 100, opaqueBut(0, 0)));
    EXPECT_FALSE(RemotePicture::load("c 0 0 7 9 0 0 *", 10, 10, nullptr));
}

struct HitCase {
    // Shown by its name in the test list, not as a dump of its bytes.
    friend void PrintTo(const HitCase& shown, std::ostream* out) { *out << shown.name; }
    const char* name;
    int x;
    int y;
    int holeAlpha; // at the picture point of window (30, 70) in the element
    bool hit;
};

class HitTest : public testing::TestWithParam<HitCase> {};

// Button 4's normal look: picture 123..144 × 0..20, shown at window 27, 68.
TEST_P(HitTest, OpaqueInsideTheRectangleOnly) {
    const RemoteElement element{true, 123, 0, 145, 21, 27, 68};
    const HitCase& c = GetParam();
    EXPECT_EQ(hitsElement(element, c.x, c.y, opaqueBut(126, 2, c.holeAlpha)), c.hit);
}

INSTANTIATE_TEST_SUITE_P(
    Points, HitTest,
    testing::Values(HitCase{"Inside", 40, 80, 0, true},
                    HitCase{"TransparentPixel", 30, 70, 0, false},
                    HitCase{"AlphaBelowHalf", 30, 70, 127, false},
                    HitCase{"AlphaHalf", 30, 70, 128, true}, HitCase{"TopLeft", 27, 68, 0, true},
                    HitCase{"LeftOf", 26, 70, 0, false},
                    HitCase{"RightIsExclusive", 27 + 22, 70, 0, false},
                    HitCase{"LastColumn", 27 + 21, 70, 0, true},
                    HitCase{"BottomIsExclusive", 30, 68 + 21, 0, false},
                    HitCase{"FarAway", 2'147'483'000, -2'147'483'000, 0, false}),
    [](const testing::TestParamInfo<HitCase>& testCase) { return testCase.param.name; });

// Inside button 4 alone: the buttons' rectangles overlap, their round shapes do not.
constexpr int kOnButton4X = 40;
constexpr int kOnButton4Y = 80;
constexpr int kOnBodyX = 5;
constexpr int kOnBodyY = 5;

TEST(RemotePictureTest, HoverHighlightsAndLeavingRestores) {
    RemotePicture picture = builtInPicture();
    EXPECT_EQ(visibleSlots(picture), "0 1 2 3 13 15 ");
    picture.mouseMove(kOnButton4X, kOnButton4Y);
    EXPECT_EQ(picture.hoveredElement(), 4);
    EXPECT_EQ(visibleSlots(picture), "1 2 3 4 13 15 ");
    EXPECT_TRUE(picture.isDirty());
    picture.clearDirty();
    picture.mouseMove(kOnButton4X + 1, kOnButton4Y);
    EXPECT_FALSE(picture.isDirty()) << "still on the same button";
    picture.mouseMove(kOnBodyX, kOnBodyY);
    EXPECT_EQ(picture.hoveredElement(), kNoElement);
    EXPECT_EQ(visibleSlots(picture), "0 1 2 3 13 15 ");
}

TEST(RemotePictureTest, TransparentPixelOfAButtonFallsThroughToTheBody) {
    // The point is picture (136, 12) in button 4's normal look.
    RemotePicture picture = builtInPicture(opaqueBut(136, 12));
    picture.mouseMove(kOnButton4X, kOnButton4Y);
    EXPECT_EQ(picture.hoveredElement(), kNoElement);
    picture.mouseDown();
    EXPECT_EQ(picture.pressedButtonNumber(), 0) << "a press there drags the window";
}

TEST(RemotePictureTest, PressShowsThePressedLookWhileOverTheButton) {
    RemotePicture picture = builtInPicture();
    picture.mouseMove(kOnButton4X, kOnButton4Y);
    picture.mouseDown();
    EXPECT_EQ(picture.pressedButtonNumber(), 4);
    EXPECT_EQ(visibleSlots(picture), "1 2 3 8 13 15 ");
    picture.mouseMove(kOnBodyX, kOnBodyY);
    EXPECT_EQ(visibleSlots(picture), "0 1 2 3 13 15 ") << "dragged off: normal look";
    picture.mouseMove(kOnButton4X, kOnButton4Y);
    EXPECT_EQ(visibleSlots(picture), "1 2 3 8 13 15 ") << "back on it: pressed again";
    picture.mouseUp();
    EXPECT_EQ(picture.pressedButtonNumber(), 0);
    EXPECT_EQ(visibleSlots(picture), "1 2 3 4 13 15 ");
}

TEST(RemotePictureTest, LedTogglesAndSwitchesOff) {
    RemotePicture picture = builtInPicture();
    picture.setLed(false);
    EXPECT_TRUE(picture.isLedOn());
    EXPECT_EQ(visibleSlots(picture), "0 1 2 3 14 15 ");
    picture.setLed(false);
    EXPECT_FALSE(picture.isLedOn());
    picture.setLed(false);
    picture.clearDirty();
    picture.setLed(true);
    EXPECT_FALSE(picture.isLedOn());
    EXPECT_TRUE(picture.isDirty());
    EXPECT_EQ(visibleSlots(picture), "0 1 2 3 13 15 ");
}

} // namespace
} // namespace konfigor
