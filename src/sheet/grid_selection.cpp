#include "sheet/grid_selection.h"

#include <algorithm>

namespace konfigor {

bool GridSelection::isInDragRange(int row) const {
    if (!dragging_ || dragEndRow_ == kNone)
        return false;
    const auto [low, high] = std::minmax(dragStartRow_, dragEndRow_);
    return row >= low && row <= high;
}

void GridSelection::moveCurrentRow(int row) {
    currentRow_ = std::clamp(row, kFirstRow, kLastRow);
}

GridSelection::KeyResult GridSelection::keyPressed(Key key, Modifiers modifiers, int visibleRows) {
    if (key == Key::Enter)
        return KeyResult::OpenEditor;
    if (!modifiers.ctrl)
        return KeyResult::LeftToTheGrid;
    switch (key) {
    case Key::Space:
        markOrInvert(currentRow_, true);
        break;
    case Key::Up:
        moveCurrentRow(currentRow_ - 1);
        break;
    case Key::Down:
        moveCurrentRow(currentRow_ + 1);
        break;
    case Key::PageUp:
        // Never strands the row at 1 < row < 2: below row 2 means the top.
        moveCurrentRow(currentRow_ - visibleRows < kFirstRow + 1 ? kFirstRow
                                                                 : currentRow_ - visibleRows);
        break;
    case Key::PageDown:
        moveCurrentRow(currentRow_ + visibleRows);
        break;
    case Key::Enter:
    case Key::Other:
        return KeyResult::LeftToTheGrid;
    }
    anchorRow_ = currentRow_;
    return KeyResult::Handled;
}

void GridSelection::followCurrentRow(int row) {
    moveCurrentRow(row);
    anchorRow_ = currentRow_;
}

bool GridSelection::wheelTurned(int stepsDown, Modifiers modifiers) {
    if (!modifiers.ctrl)
        return false;
    moveCurrentRow(currentRow_ + stepsDown * kWheelRows);
    return true;
}

void GridSelection::leftPressed(std::optional<int> row, Modifiers modifiers) {
    if (!row)
        return;
    moveCurrentRow(*row);
    dragStartRow_ = currentRow_;
    buttonPressed(modifiers);
}

void GridSelection::middlePressed(std::optional<int> row, Modifiers modifiers) {
    if (!row)
        return;
    moveCurrentRow(*row);
    buttonPressed(modifiers);
}

void GridSelection::rightPressed(std::optional<int> row) {
    if (row)
        moveCurrentRow(*row);
}

// Shift extends from the anchor (Ctrl+Shift inverts the range); a plain press keeps only the
// pressed row's mark; Ctrl alone waits for the release.
void GridSelection::buttonPressed(Modifiers modifiers) {
    if (modifiers.shift)
        markRange(anchorRow_, currentRow_, modifiers.ctrl);
    else if (!modifiers.ctrl)
        clearMarksExcept(currentRow_);
    anchorRow_ = currentRow_;
}

void GridSelection::pointerMoved(std::optional<int> row, bool leftButtonHeld) {
    if (!leftButtonHeld && !dragging_) {
        dragStartRow_ = kNone;
        dragEndRow_ = kNone;
    }
    if (dragStartRow_ == kNone)
        return;
    dragging_ = true;
    if (row)
        dragEndRow_ = std::clamp(*row, kFirstRow, kLastRow);
}

void GridSelection::leftReleased(std::optional<int> row, bool onDataCell, Modifiers modifiers) {
    if (!dragging_ && !modifiers.shift) {
        if (row && onDataCell)
            markOrInvert(std::clamp(*row, kFirstRow, kLastRow), true);
    } else if (dragEndRow_ != kNone && dragEndRow_ != dragStartRow_) {
        markRange(dragStartRow_, dragEndRow_, modifiers.ctrl);
    } else if (dragEndRow_ != kNone) {
        markOrInvert(currentRow_, modifiers.ctrl);
    }
    // A Shift click without a move has no end row: the press already marked the range from the
    // anchor, and the release adds nothing. (Taking row 1 as the end would mark rows the
    // installer never pointed at.)
    dragStartRow_ = kNone;
    dragEndRow_ = kNone;
    dragging_ = false;
}

void GridSelection::markRange(int from, int to, bool invert) {
    const auto [low, high] = std::minmax(from, to);
    for (int row = std::max(low, kFirstRow); row <= std::min(high, kLastRow); ++row)
        markOrInvert(row, invert);
}

void GridSelection::markOrInvert(int row, bool invert) {
    RemoteEntry& entry = entryAt(row);
    entry.marked = invert ? !entry.marked : true;
}

void GridSelection::clearMarksExcept(int row) {
    const bool kept = entryAt(row).marked;
    sheet_.clearMarks();
    entryAt(row).marked = kept;
}

} // namespace konfigor
