#include "report/sheet_report.h"

#include "sheet/serial_word.h"
#include "sheet/settings_sheet.h"
#include "texts/text_table.h"

namespace konfigor::report {
namespace {

constexpr std::array<Column, 8> kRemoteColumns{{{0, 15, false, false},
                                                {15, 20, false, false},
                                                {35, 80, true, false},
                                                {115, 15, false, true},
                                                {130, 15, false, true},
                                                {145, 15, false, true},
                                                {160, 15, false, true},
                                                {175, 15, false, false}}};
constexpr std::array<Column, 3> kChannelColumns{
    {{0, 15, false, false}, {15, 135, true, false}, {150, 40, true, false}}};

std::string joined(const TextTable& texts, Msg first, Msg second) {
    return texts.text(first) + ' ' + texts.text(second);
}

Table remoteTable(const SettingsSheet& sheet, const TextTable& texts) {
    Table table;
    table.columns.assign(kRemoteColumns.begin(), kRemoteColumns.end());
    table.headers = {texts.text(Msg::ReportRemotePositionHeader),
                     joined(texts, Msg::ReportSerialHeaderStart, Msg::ReportSerialHeaderEnd),
                     texts.text(Msg::ReportRemoteDescriptionHeader),
                     texts.text(Msg::ReportButton1Header),
                     texts.text(Msg::ReportButton2Header),
                     texts.text(Msg::ReportButton3Header),
                     texts.text(Msg::ReportButton4Header),
                     joined(texts, Msg::ReportCopyLockHeaderStart, Msg::ReportCopyLockHeaderEnd)};
    for (std::size_t slot = 0; slot < sheet.remotes.size(); ++slot) {
        const RemoteEntry& remote = sheet.remotes[slot];
        if (remote.isEmpty())
            continue;
        std::vector<std::string> row{std::to_string(slot + 1),
                                     serial_word::formatSerial(remote.serialWord),
                                     remote.description.toUtf8()};
        for (const std::uint16_t mask : remote.buttonMasks)
            row.push_back(buttonCell(mask, texts));
        row.push_back(texts.text(remote.copyLock ? Msg::ReportCopyLockYes : Msg::ReportCopyLockNo));
        table.rows.push_back(std::move(row));
    }
    return table;
}

Table channelTable(const SettingsSheet& sheet, const TextTable& texts) {
    Table table;
    table.columns.assign(kChannelColumns.begin(), kChannelColumns.end());
    table.headers = {texts.text(Msg::ReportChannelPositionHeader),
                     texts.text(Msg::ReportChannelDescriptionHeader),
                     texts.text(Msg::ReportChannelModeHeader)};
    for (std::size_t channel = 0; channel < sheet.channels.size(); ++channel) {
        const ChannelEntry& entry = sheet.channels[channel];
        table.rows.push_back(
            {std::to_string(channel + 1), entry.description.toUtf8(), modeText(entry, texts)});
    }
    return table;
}

} // namespace

std::string buttonCell(std::uint16_t mask, const TextTable& texts) {
    const std::string& channelWord = texts.text(Msg::ReportChannelWord);
    std::string cell(1, mask != 0 && !channelWord.empty() ? channelWord.front() : ' ');
    for (std::size_t channel = 0; channel < kChannelCount; ++channel)
        cell += (mask & (1U << channel)) != 0 ? static_cast<char>('1' + channel) : ' ';
    return cell;
}

std::string modeText(const ChannelEntry& channel, const TextTable& texts) {
    switch (channel.mode()) {
    case ChannelEntry::Mode::Momentary:
        return texts.text(Msg::ReportModeMomentary);
    case ChannelEntry::Mode::Monostable: {
        std::string text = texts.format(Msg::ReportModeMonostable, channel.time / 10.0);
        if (channel.doublePress)
            text += ' ' + texts.text(Msg::ReportDoublePress);
        return text;
    }
    case ChannelEntry::Mode::Bistable:
        break;
    }
    return texts.text(Msg::ReportModeBistable);
}

std::string pageText(const SheetReport& report, int page) {
    return report.pageWord + ": " + std::to_string(page);
}

SheetReport buildSheetReport(const SettingsSheet& sheet, const TextTable& texts) {
    return SheetReport{.documentTitle = texts.text(Msg::ReportDocumentTitle),
                       .title = texts.text(Msg::ReportTitle),
                       .remoteSection = texts.text(Msg::ReportRemotesSection),
                       .remotes = remoteTable(sheet, texts),
                       .channelSection = texts.text(Msg::ReportChannelsSection),
                       .channels = channelTable(sheet, texts),
                       .pageWord = texts.text(Msg::ReportPageWord)};
}

} // namespace konfigor::report
