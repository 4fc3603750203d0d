#include "sheet/grid_selection.h"

#include <string>

#include <gtest/gtest.h>

namespace konfigor {
namespace {

using Key = GridSelection::Key;
using KeyResult = GridSelection::KeyResult;
using Modifiers = GridSelection::Modifiers;

constexpr Modifiers kPlain{};
constexpr Modifiers kCtrl{.ctrl = true};
constexpr Modifiers kShift{.shift = true};
constexpr Modifiers kCtrlShift{.shift = true, .ctrl = true};

class GridSelectionTest : public testing::Test {
protected:
    // The marked rows as "r,r,r", for readable expectations.
    std::string markedRows() const {
        std::string rows;
        for (std::size_t slot : sheet.markedSlots())
            rows += (rows.empty() ? "" : ",") + std::to_string(slot + 1);
        return rows;
    }
    void mark(std::initializer_list<int> rows) {
        for (int row : rows)
            sheet.remotes[static_cast<std::size_t>(row - 1)].marked = true;
    }
    void click(int row, Modifiers modifiers = kPlain) {
        selection.leftPressed(row, modifiers);
        selection.leftReleased(row, true, modifiers);
    }
    void drag(int from, int to, Modifiers modifiers = kPlain) {
        selection.leftPressed(from, modifiers);
        const int step = from < to ? 1 : -1;
        for (int row = from; row != to + step; row += step)
            selection.pointerMoved(row, true);
        selection.leftReleased(to, true, modifiers);
    }

    SettingsSheet sheet;
    GridSelection selection{sheet};
};

TEST_F(GridSelectionTest, CtrlKeysMoveTheCurrentRowWithinTheGrid) {
    const struct {
        int from;
        Key key;
        int to;
    } cases[] = {
        {1, Key::Up, 1},           {5, Key::Up, 4},           {704, Key::Down, 704},
        {703, Key::Down, 704},     {700, Key::PageDown, 704}, {600, Key::PageDown, 625},
        {679, Key::PageDown, 704}, {26, Key::PageUp, 1},      {27, Key::PageUp, 2},
        {10, Key::PageUp, 1},
    };
    for (const auto& c : cases) {
        selection.followCurrentRow(c.from);
        EXPECT_EQ(selection.keyPressed(c.key, kCtrl, 25), KeyResult::Handled);
        EXPECT_EQ(selection.currentRow(), c.to) << "from " << c.from;
        EXPECT_EQ(selection.anchorRow(), c.to) << "the anchor follows";
    }
    EXPECT_EQ(markedRows(), "") << "moving never marks";
}

TEST_F(GridSelectionTest, CtrlSpaceTogglesOneRowAndPlainKeysAreTheGrids) {
    selection.followCurrentRow(3);
    selection.keyPressed(Key::Space, kCtrl, 25);
    selection.followCurrentRow(8);
    selection.keyPressed(Key::Space, kCtrl, 25);
    EXPECT_EQ(markedRows(), "3,8");
    selection.keyPressed(Key::Space, kCtrl, 25);
    EXPECT_EQ(markedRows(), "3");
    EXPECT_EQ(selection.keyPressed(Key::Down, kPlain, 25), KeyResult::LeftToTheGrid);
    EXPECT_EQ(selection.keyPressed(Key::Enter, kCtrl, 25), KeyResult::OpenEditor);
}

TEST_F(GridSelectionTest, CtrlWheelMovesTenRowsAndOnlyThen) {
    selection.followCurrentRow(700);
    EXPECT_TRUE(selection.wheelTurned(1, kCtrl));
    EXPECT_EQ(selection.currentRow(), 704);
    EXPECT_TRUE(selection.wheelTurned(-2, kCtrl));
    EXPECT_EQ(selection.currentRow(), 684);
    EXPECT_FALSE(selection.wheelTurned(1, kPlain));
    EXPECT_EQ(selection.currentRow(), 684);
}

TEST_F(GridSelectionTest, ClicksMarkAsTheModifiersSay) {
    mark({2, 4});
    click(7);
    EXPECT_EQ(markedRows(), "7") << "a plain click marks one row and clears the others";
    click(7);
    EXPECT_EQ(markedRows(), "") << "clicking the marked row unmarks it";
    click(3, kCtrl);
    click(9, kCtrl);
    click(12, kCtrl);
    EXPECT_EQ(markedRows(), "3,9,12") << "Ctrl clicks mark scattered rows";
    click(9, kCtrl);
    EXPECT_EQ(markedRows(), "3,12");
}

TEST_F(GridSelectionTest, ShiftPressesMarkOrInvertFromTheAnchor) {
    selection.followCurrentRow(10);
    mark({12});
    selection.leftPressed(14, kShift);
    EXPECT_EQ(markedRows(), "10,11,12,13,14") << "marked at the press";
    selection.leftReleased(14, true, kShift);
    EXPECT_EQ(markedRows(), "10,11,12,13,14") << "a Shift click without a move adds nothing";
    EXPECT_EQ(selection.anchorRow(), 14);

    selection.followCurrentRow(12);
    selection.leftPressed(16, kCtrlShift);
    EXPECT_EQ(markedRows(), "10,11,15,16") << "Ctrl+Shift inverts the range";
}

TEST_F(GridSelectionTest, DragsMarkTheRowsBetweenBothWays) {
    drag(20, 25);
    EXPECT_EQ(markedRows(), "20,21,22,23,24,25");
    sheet.clearMarks();
    drag(25, 20);
    EXPECT_EQ(markedRows(), "20,21,22,23,24,25");
    drag(22, 23, kCtrl);
    EXPECT_EQ(markedRows(), "20,21,24,25") << "a Ctrl drag inverts";
}

TEST_F(GridSelectionTest, DragRangeIsShownWhileDragging) {
    selection.leftPressed(30, kPlain);
    selection.pointerMoved(30, true);
    selection.pointerMoved(33, true);
    EXPECT_TRUE(selection.isInDragRange(31));
    EXPECT_FALSE(selection.isInDragRange(34));
    selection.leftReleased(33, true, kPlain);
    EXPECT_FALSE(selection.isDragging());
    EXPECT_FALSE(selection.isInDragRange(31));
}

TEST_F(GridSelectionTest, RightPressAndHeaderPressesChangeNoMarks) {
    mark({5});
    selection.rightPressed(40);
    EXPECT_EQ(selection.currentRow(), 40);
    selection.leftPressed(std::nullopt, kPlain);
    selection.leftReleased(std::nullopt, false, kPlain);
    EXPECT_EQ(markedRows(), "5");
    selection.leftPressed(6, kPlain);
    selection.leftReleased(6, false, kPlain);
    EXPECT_EQ(markedRows(), "") << "a release on the number column inverts nothing";
}

} // namespace
} // namespace konfigor
