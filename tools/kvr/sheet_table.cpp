#include "kvr/sheet_table.h"

#include "common/utf8.h"
#include "kvr/button_channels.h"
#include "sheet/serial_word.h"
#include "texts/text_table.h"

#include <algorithm>
#include <vector>

namespace konfigor::kvr {
namespace {

using Row = std::vector<std::string>;

constexpr std::size_t kColumnGap = 2;

// A line break or tab inside a description would tear its row apart.
std::string onOneLine(std::string text) {
    std::replace_if(
        text.begin(), text.end(), [](char c) { return static_cast<unsigned char>(c) < 0x20; }, ' ');
    return text;
}

// Widths count characters, not bytes: the texts are UTF-8.
void printColumns(const std::vector<Row>& rows, std::ostream& out) {
    std::vector<std::size_t> widths;
    for (const Row& row : rows) {
        widths.resize(std::max(widths.size(), row.size()));
        for (std::size_t column = 0; column < row.size(); ++column)
            widths[column] = std::max(widths[column], utf8::count(row[column]));
    }
    for (const Row& row : rows) {
        std::string line;
        for (std::size_t column = 0; column < row.size(); ++column) {
            line += row[column];
            if (column + 1 < row.size())
                line.append(widths[column] - utf8::count(row[column]) + kColumnGap, ' ');
        }
        out << line << '\n';
    }
}

std::string buttonCell(std::uint16_t mask) {
    const std::string channels = channelNumbers(mask, ",");
    return channels.empty() ? "-" : channels;
}

std::vector<Row> remoteRows(const SettingsSheet& sheet, const TextTable& texts) {
    std::vector<Row> rows{
        {texts.text(Msg::RemoteGridPositionTitle), texts.text(Msg::RemoteGridSerialTitle),
         texts.text(Msg::RemoteGridDescriptionTitle), texts.text(Msg::RemoteGridButton1Title),
         texts.text(Msg::RemoteGridButton2Title), texts.text(Msg::RemoteGridButton3Title),
         texts.text(Msg::RemoteGridButton4Title), texts.text(Msg::RemoteGridCopyLockTitle)}};
    for (std::size_t slot = 0; slot < sheet.remotes.size(); ++slot) {
        const RemoteEntry& remote = sheet.remotes[slot];
        if (remote.isEmpty())
            continue;
        Row row{std::to_string(slot + 1), serial_word::formatSerial(remote.serialWord),
                remote.description.toUtf8()};
        for (const std::uint16_t mask : remote.buttonMasks)
            row.push_back(buttonCell(mask));
        row.push_back(texts.text(remote.copyLock ? Msg::SheetCopyLockYes : Msg::SheetCopyLockNo));
        rows.push_back(std::move(row));
    }
    return rows;
}

std::vector<Row> channelRows(const SettingsSheet& sheet, const TextTable& texts) {
    std::vector<Row> rows{
        {texts.text(Msg::ChannelGridPositionTitle), texts.text(Msg::ChannelGridDescriptionTitle),
         texts.text(Msg::ChannelGridModeTitle), texts.text(Msg::ChannelGridDoublePressTitle)}};
    for (std::size_t index = 0; index < sheet.channels.size(); ++index) {
        const ChannelEntry& channel = sheet.channels[index];
        rows.push_back({std::to_string(index + 1), channel.description.toUtf8(),
                        channelModeText(channel, texts), doublePressText(channel, texts)});
    }
    return rows;
}

std::vector<Row> rowsOnOneLine(std::vector<Row> rows) {
    for (Row& row : rows)
        std::transform(row.begin(), row.end(), row.begin(),
                       [](std::string& cell) { return onOneLine(std::move(cell)); });
    return rows;
}

// The caption of the identifier's field in the main window.
std::string identifierLabel(const TextTable& texts) {
    const auto lines = controlLines();
    const auto found = std::find_if(lines.begin(), lines.end(), [](const ControlLine& line) {
        return line.control == "IdMemorySheetLabel" && line.property == ControlProperty::Caption;
    });
    const auto index = static_cast<std::size_t>(found - lines.begin());
    return found == lines.end() ? std::string() : texts.controlText(index);
}

} // namespace

void printSheetTable(const SettingsSheet& sheet, const TextTable& texts, std::ostream& out) {
    printColumns(rowsOnOneLine(remoteRows(sheet, texts)), out);
    out << '\n';
    printColumns(rowsOnOneLine(channelRows(sheet, texts)), out);
    out << '\n' << identifierLabel(texts) << ": " << onOneLine(sheet.identifier.toUtf8()) << '\n';
}

} // namespace konfigor::kvr
