#include "sheet/grid_cell_look.h"

#include "common/codepage1250.h"
#include "sheet/serial_word.h"
#include "texts/text_table.h"

#include <algorithm>
#include <cstddef>
#include <span>

namespace konfigor {

namespace {

constexpr int kNumberColumn = 0;
constexpr int kSerialColumn = 1;
constexpr int kDescriptionColumn = 2;
constexpr int kFirstButtonColumn = 3;
constexpr int kCopyLockColumn = 7;
constexpr int kChannelDescriptionColumn = 1;
constexpr int kChannelModeColumn = 2;
constexpr int kChannelDoublePressColumn = 3;
constexpr int kAdminLockRows = 3;
constexpr int kNoChannelIconX = 24;
constexpr int kFixedTextInset = 2;

std::uint8_t darkenPart(std::uint8_t part) {
    return static_cast<std::uint8_t>(part * 95 / 100);
}

std::uint8_t averagePart(std::uint8_t a, std::uint8_t b) {
    return static_cast<std::uint8_t>((a + b) / 2);
}

Rgb average(Rgb a, Rgb b) {
    return {averagePart(a.red, b.red), averagePart(a.green, b.green), averagePart(a.blue, b.blue)};
}

bool isFixedCell(int row, int column) {
    return row == 0 || column == kNumberColumn;
}

// Header texts sit at the top left; the number column shows the row number near its left edge.
CellText fixedCellText(int row, int column, const TextTable& texts,
                       std::span<const GridColumn> columns) {
    if (row == 0)
        return {texts.text(columns[static_cast<std::size_t>(column)].title), CellText::Align::Left,
                kFixedTextInset, kFixedTextInset};
    return {std::to_string(row), CellText::Align::Left, kFixedTextInset, kFixedTextInset};
}

bool inDragRange(int row, const std::optional<std::pair<int, int>>& range) {
    if (!range || row < 1)
        return false;
    const auto [from, to] = std::minmax(range->first, range->second);
    return row >= from && row <= to;
}

const RemoteEntry& slotOfRow(const SettingsSheet& sheet, int row) {
    return sheet.remotes.at(static_cast<std::size_t>(row - 1));
}

void colourRemoteCell(CellLook& look, const SettingsSheet& sheet, int row, int column,
                      const RemoteGridState& state, const GridPalette& palette) {
    look.text = palette.windowText;
    const bool marked = row > 0 && slotOfRow(sheet, row).marked;
    if (row > 0 && row == state.selectedRow) {
        look.background =
            average(palette.activeBorder, marked ? palette.highlight : palette.window);
    } else if (!marked) {
        const bool shaded =
            state.adminLockRowsShaded && column > 0 && row >= 1 && row <= kAdminLockRows;
        const Rgb base = shaded ? palette.appWorkspace : palette.window;
        look.background = column % 2 == 0 ? darkened(base) : base;
    } else {
        look.background = palette.highlight;
        if (column > 0)
            look.text = palette.highlightText;
    }
    if (inDragRange(row, state.dragRange)) {
        look.background = palette.infoBackground;
        look.text = palette.infoText;
    }
}

std::vector<CellIcon> buttonIcons(const RemoteEntry& entry, std::size_t button) {
    std::vector<CellIcon> icons;
    const unsigned mask = entry.buttonMasks.at(button) & kChannelMaskBits;
    if (!entry.isEmpty() && mask == 0)
        icons.push_back({kNoChannelIcon, kNoChannelIconX});
    for (int channel = 0; channel < static_cast<int>(kChannelCount); ++channel) {
        if ((mask & (1U << channel)) != 0)
            icons.push_back({kFirstChannelIcon + channel, kGridIconSize * channel});
    }
    return icons;
}

void fillRemoteContent(CellLook& look, const RemoteEntry& entry, int column, int cellWidth) {
    if (column == kSerialColumn) {
        if (!entry.isEmpty())
            look.label.utf8 = serial_word::formatSerial(entry.serialWord);
    } else if (column == kDescriptionColumn) {
        look.label.utf8 = entry.description.toUtf8();
    } else if (column >= kFirstButtonColumn && column < kCopyLockColumn) {
        look.icons = buttonIcons(entry, static_cast<std::size_t>(column - kFirstButtonColumn));
    } else if (column == kCopyLockColumn && entry.copyLock) {
        look.icons.push_back({kCopyLockIcon, cellWidth / 2 - kGridIconSize / 2});
    }
}

} // namespace

Rgb darkened(Rgb colour) {
    return {darkenPart(colour.red), darkenPart(colour.green), darkenPart(colour.blue)};
}

CellLook remoteCellLook(const SettingsSheet& sheet, int row, int column, int cellWidth,
                        const RemoteGridState& state, const TextTable& texts,
                        const GridPalette& palette) {
    CellLook look;
    colourRemoteCell(look, sheet, row, column, state, palette);
    if (isFixedCell(row, column)) {
        look.fixed = true;
        look.background = palette.fixedFace;
        look.label = fixedCellText(row, column, texts, kRemoteGridColumns);
        return look;
    }
    fillRemoteContent(look, slotOfRow(sheet, row), column, cellWidth);
    return look;
}

CellLook channelCellLook(const SettingsSheet& sheet, int row, int column, int selectedRow,
                         const TextTable& texts, const GridPalette& palette) {
    CellLook look;
    look.text = palette.windowText;
    if (isFixedCell(row, column)) {
        look.fixed = true;
        look.background = palette.fixedFace;
        look.label = fixedCellText(row, column, texts, kChannelGridColumns);
        return look;
    }
    look.background = row == selectedRow ? palette.inactiveBorder : palette.window;
    const ChannelEntry& channel = sheet.channels.at(static_cast<std::size_t>(row - 1));
    if (column == kChannelDescriptionColumn)
        look.label.utf8 = channel.description.toUtf8();
    else if (column == kChannelModeColumn)
        look.label.utf8 = channelModeText(channel, texts);
    else if (column == kChannelDoublePressColumn)
        look.label.utf8 = doublePressText(channel, texts);
    return look;
}

} // namespace konfigor
