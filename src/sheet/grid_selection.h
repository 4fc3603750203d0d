#pragma once

#include "sheet/settings_sheet.h"

#include <optional>

namespace konfigor {

// How the remote grid's keys, wheel and mouse mark slots and move the current row. The Qt grid
// feeds it events with row numbers (1-704; row r shows slot r - 1) and repaints from the marks
// and rows it keeps; nothing here knows a widget.
class GridSelection {
public:
    static constexpr int kFirstRow = 1;
    static constexpr int kLastRow = static_cast<int>(kRemoteSlotCount);
    static constexpr int kNone = 0;
    static constexpr int kWheelRows = 10;

    struct Modifiers {
        bool shift = false;
        bool ctrl = false;
    };
    enum class Key { Enter, Space, Up, Down, PageUp, PageDown, Other };
    enum class KeyResult {
        OpenEditor,    // Enter: the remote editor, when a receiver is there and idle
        Handled,       // done here; the grid must not handle the key itself
        LeftToTheGrid, // the grid moves its current row, then calls followCurrentRow()
    };

    explicit GridSelection(SettingsSheet& sheet) : sheet_(sheet) {}

    int currentRow() const { return currentRow_; }
    int anchorRow() const { return anchorRow_; }
    int dragStartRow() const { return dragStartRow_; }
    int dragEndRow() const { return dragEndRow_; }
    bool isDragging() const { return dragging_; }
    // The rows drawn in the drag colours.
    bool isInDragRange(int row) const;

    KeyResult keyPressed(Key key, Modifiers modifiers, int visibleRows);
    // After the grid moved its current row by a key of its own.
    void followCurrentRow(int row);
    // True when the wheel moved the current row, so the grid must not scroll by itself.
    bool wheelTurned(int stepsDown, Modifiers modifiers);

    // Presses and moves name the data row under the pointer, or nothing over the header or
    // outside the rows; the grid has already made a pressed data row current.
    void leftPressed(std::optional<int> row, Modifiers modifiers);
    void middlePressed(std::optional<int> row, Modifiers modifiers);
    void rightPressed(std::optional<int> row);
    void pointerMoved(std::optional<int> row, bool leftButtonHeld);
    // `onDataCell` is false over the number column and the header.
    void leftReleased(std::optional<int> row, bool onDataCell, Modifiers modifiers);

private:
    RemoteEntry& entryAt(int row) { return sheet_.remotes[static_cast<std::size_t>(row - 1)]; }
    void markRange(int from, int to, bool invert);
    void markOrInvert(int row, bool invert);
    void clearMarksExcept(int row);
    void buttonPressed(Modifiers modifiers);
    void moveCurrentRow(int row);

    SettingsSheet& sheet_;
    int currentRow_ = kFirstRow;
    int anchorRow_ = kFirstRow;
    int dragStartRow_ = kNone;
    int dragEndRow_ = kNone;
    bool dragging_ = false;
};

} // namespace konfigor
