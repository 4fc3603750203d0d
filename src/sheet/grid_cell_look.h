#pragma once

#include "sheet/settings_sheet.h"
#include "texts/text_lines.h"

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace konfigor {

class TextTable;

struct Rgb {
    std::uint8_t red = 0;
    std::uint8_t green = 0;
    std::uint8_t blue = 0;

    friend bool operator==(const Rgb&, const Rgb&) = default;
};

// Each part times 0.95, truncated: the shade of alternate columns (white gives 242).
Rgb darkened(Rgb colour);

// The named system colours the grids are drawn with.
struct GridPalette {
    Rgb window;
    Rgb windowText;
    Rgb highlight;
    Rgb highlightText;
    Rgb activeBorder;
    Rgb inactiveBorder;
    Rgb appWorkspace;
    Rgb infoBackground;
    Rgb infoText;
    Rgb fixedFace;
};

struct GridColumn {
    Msg title;
    int width;
};

inline constexpr int kGridRowHeight = 17;
inline constexpr int kGridIconSize = 16;

inline constexpr std::array<GridColumn, 8> kRemoteGridColumns{{
    {Msg::RemoteGridPositionTitle, 30},
    {Msg::RemoteGridSerialTitle, 74},
    {Msg::RemoteGridDescriptionTitle, 320},
    {Msg::RemoteGridButton1Title, 64},
    {Msg::RemoteGridButton2Title, 64},
    {Msg::RemoteGridButton3Title, 64},
    {Msg::RemoteGridButton4Title, 64},
    {Msg::RemoteGridCopyLockTitle, 100},
}};

inline constexpr std::array<GridColumn, 4> kChannelGridColumns{{
    {Msg::ChannelGridPositionTitle, 30},
    {Msg::ChannelGridDescriptionTitle, 180},
    {Msg::ChannelGridModeTitle, 160},
    {Msg::ChannelGridDoublePressTitle, 120},
}};

// Icon indices of the grids' image list.
inline constexpr int kFirstChannelIcon = 0; // 0-3: channels 1-4
inline constexpr int kFirstButtonIcon = 4;  // 4-7: buttons 1-4, in the event grid
inline constexpr int kUnknownRemoteIcon = 8;
inline constexpr int kNoChannelIcon = 9;
inline constexpr int kCopyLockIcon = 10;

// A text placed in a cell. Left: `x` from the cell's left edge; Right: `x` from its right edge.
struct CellText {
    enum class Align { Left, Right };

    std::string utf8;
    Align align = Align::Left;
    int x = 1;
    int y = 1;

    friend bool operator==(const CellText&, const CellText&) = default;
};

// An icon of the grids' image list at `x` from the cell's left edge, on the cell's top.
struct CellIcon {
    int index = 0;
    int x = 0;

    friend bool operator==(const CellIcon&, const CellIcon&) = default;
};

// Everything needed to paint one cell. A fixed cell (header row, number column) is filled with
// `background` (the fixed face) and gets a raised edge.
struct CellLook {
    Rgb background;
    Rgb text;
    bool fixed = false;
    bool bold = false;
    CellText label;
    // A title's second line; its `y` counts from one and a half font heights below the top.
    CellText secondLine;
    std::vector<CellIcon> icons;
};

struct RemoteGridState {
    // The grid's current row, 1-704.
    int selectedRow = 1;
    // The administrative copy lock is on and access to the receiver is granted.
    bool adminLockRowsShaded = false;
    // Rows of a drag under way, start and end in either order.
    std::optional<std::pair<int, int>> dragRange;
};

// Rows and columns are grid rows and columns: row 0 is the header, row r (1-704) shows slot
// r - 1; `cellWidth` is the column's width in pixels, for centring the lock icon.
CellLook remoteCellLook(const SettingsSheet& sheet, int row, int column, int cellWidth,
                        const RemoteGridState& state, const TextTable& texts,
                        const GridPalette& palette);

// Row 0 is the header, row r (1-4) shows channel r.
CellLook channelCellLook(const SettingsSheet& sheet, int row, int column, int selectedRow,
                         const TextTable& texts, const GridPalette& palette);

} // namespace konfigor
