#include "kvr/event_table.h"

#include "common/utf8.h"
#include "kvr/sheet_csv.h"
#include "sheet/serial_word.h"
#include "texts/text_table.h"

#include <algorithm>
#include <array>
#include <vector>

namespace konfigor::kvr {
namespace {

using Row = std::vector<std::string>;

constexpr std::size_t kColumnGap = 2;
constexpr std::string_view kCsvHeader =
    "date,time,position,description,channel1,channel2,channel3,channel4,serial";
constexpr std::array<Msg, 4> kChannelTitles{
    Msg::EventGridChannel1Title, Msg::EventGridChannel2Title, Msg::EventGridChannel3Title,
    Msg::EventGridChannel4Title};

// The grid's two-line titles on one line, without the sheet's channel description.
std::string onOneLine(std::string text) {
    std::replace_if(
        text.begin(), text.end(), [](char c) { return static_cast<unsigned char>(c) < 0x20; }, ' ');
    while (!text.empty() && text.back() == ' ')
        text.pop_back();
    return text;
}

std::string channelCell(const EventRecord& event, std::size_t channel) {
    return (event.channelMask >> channel) & 1U ? std::to_string(event.button) : std::string();
}

// Shown only when positive as a signed number, as the grid shows it.
std::string serialCell(const EventRecord& event) {
    return static_cast<std::int32_t>(event.serialNumber) > 0
               ? serial_word::formatSerial(event.serialNumber)
               : std::string();
}

Row cells(const EventRecord& event, bool positionAsWritten) {
    const bool stored = event.position != EventRecord::kUnknownRemote &&
                        event.position != EventRecord::kVirtualRemote;
    Row row{formatEventDate(event.time), formatEventClock(event.time),
            positionAsWritten || stored ? std::to_string(event.position) : std::string(),
            onOneLine(event.description.toUtf8())};
    for (std::size_t channel = 0; channel < 4; ++channel)
        row.push_back(channelCell(event, channel));
    row.push_back(serialCell(event));
    return row;
}

// Widths count characters, not bytes: the texts are UTF-8.
std::string columns(const std::vector<Row>& rows) {
    std::vector<std::size_t> widths(rows.front().size());
    for (const Row& row : rows) {
        for (std::size_t column = 0; column < row.size(); ++column)
            widths[column] = std::max(widths[column], utf8::count(row[column]));
    }
    std::string text;
    for (const Row& row : rows) {
        std::string line;
        for (std::size_t column = 0; column < row.size(); ++column) {
            line += row[column];
            line.append(widths[column] - utf8::count(row[column]) + kColumnGap, ' ');
        }
        line.erase(line.find_last_not_of(' ') + 1);
        text += line + '\n';
    }
    return text;
}

} // namespace

std::string eventsTable(std::span<const EventRecord> events, const TextTable& texts) {
    Row titles{texts.text(Msg::EventGridDateTitle), texts.text(Msg::EventGridTimeTitle),
               texts.text(Msg::EventGridPositionTitle), texts.text(Msg::EventGridDescriptionTitle)};
    for (const Msg title : kChannelTitles)
        titles.push_back(onOneLine(texts.format(title, "")));
    titles.push_back(onOneLine(texts.text(Msg::EventGridSerialTitle)));
    std::vector<Row> rows{titles};
    for (const EventRecord& event : events)
        rows.push_back(cells(event, false));
    return columns(rows);
}

std::string eventsCsv(std::span<const EventRecord> events) {
    std::string csv = std::string(kCsvHeader) + "\r\n";
    for (const EventRecord& event : events) {
        const Row row = cells(event, true);
        for (std::size_t column = 0; column < row.size(); ++column)
            csv += (column == 0 ? "" : ",") + csvField(row[column]);
        csv += "\r\n";
    }
    return csv;
}

} // namespace konfigor::kvr
