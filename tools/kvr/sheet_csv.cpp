#include "kvr/sheet_csv.h"

#include "kvr/button_channels.h"
#include "sheet/serial_word.h"

#include <vector>

namespace konfigor::kvr {
namespace {

constexpr std::string_view kLineEnd = "\r\n";
constexpr std::string_view kHeader = "position,serial,multi,description,button1,button2,button3,"
                                     "button4,copyLock,codeCounter";

std::string csvRow(const std::vector<std::string>& fields) {
    std::string row;
    for (const std::string& field : fields) {
        if (!row.empty())
            row += ',';
        row += csvField(field);
    }
    return row.append(kLineEnd);
}

std::string_view booleanText(bool value) {
    return value ? "true" : "false";
}

std::string remoteRow(std::size_t slot, const RemoteEntry& remote) {
    std::vector<std::string> fields{
        std::to_string(slot + 1), serial_word::formatSerial(remote.serialWord),
        std::string(booleanText(serial_word::isMulti(remote.serialWord))),
        remote.description.toUtf8()};
    for (const std::uint16_t mask : remote.buttonMasks)
        fields.push_back(channelNumbers(mask, ""));
    fields.emplace_back(booleanText(remote.copyLock));
    fields.push_back(std::to_string(remote.codeCounter));
    return csvRow(fields);
}

} // namespace

std::string csvField(std::string_view text) {
    if (text.find_first_of(",\"\r\n") == std::string_view::npos)
        return std::string(text);
    std::string quoted = "\"";
    for (const char c : text) {
        if (c == '"')
            quoted += '"';
        quoted += c;
    }
    return quoted + '"';
}

std::string sheetToCsv(const SettingsSheet& sheet, SlotSelection selection) {
    std::string csv = std::string(kHeader).append(kLineEnd);
    for (std::size_t slot = 0; slot < sheet.remotes.size(); ++slot) {
        if (isListed(sheet.remotes[slot], selection))
            csv += remoteRow(slot, sheet.remotes[slot]);
    }
    return csv;
}

} // namespace konfigor::kvr
