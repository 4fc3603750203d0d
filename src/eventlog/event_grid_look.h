#pragma once

#include "sheet/grid_cell_look.h"

#include <array>

namespace konfigor {

class EventsLog;
struct SettingsSheet;

inline constexpr std::array<GridColumn, 9> kEventGridColumns{{
    {Msg::EventGridDateTitle, 60},
    {Msg::EventGridTimeTitle, 52},
    {Msg::EventGridPositionTitle, 30},
    {Msg::EventGridDescriptionTitle, 220},
    {Msg::EventGridChannel1Title, 100},
    {Msg::EventGridChannel2Title, 100},
    {Msg::EventGridChannel3Title, 100},
    {Msg::EventGridChannel4Title, 100},
    {Msg::EventGridSerialTitle, 70},
}};

// The header row holds two-line titles.
inline constexpr int kEventGridHeaderHeight = 35;

struct EventGridState {
    // Grid rows: row 0 is the header, row r shows event r - 1.
    int selectedRow = 1;
    int rowCount = 2;
    bool flashOn = false;
    bool hasFocus = false;
    // The grid's font, for placing the header titles.
    int fontPointSize = 9;
    int pixelsPerInch = 96;
};

// One cell of the events grid. The last row is bold and flashes red; the channel columns show
// the pressed button's image, or the unknown remote's; the header names each channel by its
// description in the sheet as it stands now.
CellLook eventCellLook(const EventsLog& log, const SettingsSheet& sheet, int row, int column,
                       int cellWidth, const EventGridState& state, const TextTable& texts,
                       const GridPalette& palette);

} // namespace konfigor
