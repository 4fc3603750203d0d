#include "eventlog/event_grid_look.h"

#include "eventlog/events_log.h"
#include "sheet/serial_word.h"
#include "sheet/settings_sheet.h"
#include "texts/text_table.h"

#include <cstddef>
#include <string>

namespace konfigor {
namespace {

constexpr int kDateColumn = 0;
constexpr int kTimeColumn = 1;
constexpr int kPositionColumn = 2;
constexpr int kDescriptionColumn = 3;
constexpr int kFirstChannelColumn = 4;
constexpr int kLastChannelColumn = 7;
constexpr int kSerialColumn = 8;
constexpr int kHeaderInset = 2;
constexpr int kDataInset = 1;
constexpr Rgb kFlashRed{255, 0, 0};

CellLook headerLook(const SettingsSheet& sheet, int column, const EventGridState& state,
                    const TextTable& texts, const GridPalette& palette) {
    CellLook look{.background = palette.fixedFace, .text = palette.windowText, .fixed = true};
    const Msg title = kEventGridColumns.at(static_cast<std::size_t>(column)).title;
    std::string text = texts.text(title);
    if (column >= kFirstChannelColumn && column <= kLastChannelColumn) {
        const auto channel = static_cast<std::size_t>(column - kFirstChannelColumn);
        text = texts.format(title, sheet.channels.at(channel).description.toUtf8());
    }
    const std::size_t lineBreak = text.find('\n');
    if (lineBreak == std::string::npos) {
        // Centred in the tall header row for the grid's font.
        const int y = (state.fontPointSize + 4) / 2 * state.pixelsPerInch / 72 + kHeaderInset;
        look.label = {text, CellText::Align::Left, kHeaderInset, y};
        return look;
    }
    look.label = {text.substr(0, lineBreak), CellText::Align::Left, kHeaderInset, kHeaderInset};
    look.secondLine = {text.substr(lineBreak + 1), CellText::Align::Left, kHeaderInset,
                       kHeaderInset};
    return look;
}

std::string cellText(const EventRecord& event, int column) {
    switch (column) {
    case kDateColumn:
        return formatEventDate(event.time);
    case kTimeColumn:
        return formatEventClock(event.time);
    case kPositionColumn:
        return event.position == EventRecord::kUnknownRemote ||
                       event.position == EventRecord::kVirtualRemote
                   ? std::string()
                   : std::to_string(event.position);
    case kDescriptionColumn:
        return event.description.toUtf8();
    case kSerialColumn:
        return static_cast<std::int32_t>(event.serialNumber) > 0
                   ? serial_word::formatSerial(event.serialNumber)
                   : std::string();
    default:
        return {};
    }
}

void addChannelIcon(CellLook& look, const EventRecord& event, int column, int cellWidth) {
    const int channel = column - kFirstChannelColumn;
    if ((event.channelMask & (1U << channel)) == 0)
        return;
    const int icon = event.position == EventRecord::kUnknownRemote
                         ? kUnknownRemoteIcon
                         : kFirstButtonIcon - 1 + event.button;
    look.icons.push_back({icon, cellWidth / 2 - kGridIconSize / 2});
}

} // namespace

CellLook eventCellLook(const EventsLog& log, const SettingsSheet& sheet, int row, int column,
                       int cellWidth, const EventGridState& state, const TextTable& texts,
                       const GridPalette& palette) {
    if (row == 0)
        return headerLook(sheet, column, state, texts, palette);

    const bool selected = row == state.selectedRow;
    const bool lastRow = row == state.rowCount - 1;
    CellLook look;
    look.bold = lastRow;
    if (lastRow)
        look.text = state.flashOn ? kFlashRed : palette.windowText;
    else
        look.text = selected && !state.hasFocus ? palette.window : palette.windowText;
    if (selected)
        look.background = palette.inactiveBorder;
    else
        look.background = column % 2 == 0 ? darkened(palette.window) : palette.window;

    const auto index = static_cast<std::size_t>(row - 1);
    if (index >= log.count())
        return look;
    const EventRecord& event = log.item(index);
    if (column >= kFirstChannelColumn && column <= kLastChannelColumn)
        addChannelIcon(look, event, column, cellWidth);
    else
        look.label = {cellText(event, column), CellText::Align::Left, kDataInset, kDataInset};
    return look;
}

} // namespace konfigor
