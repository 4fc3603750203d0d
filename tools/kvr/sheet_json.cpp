#include "kvr/sheet_json.h"

#include "files/settings_file.h"
#include "sheet/serial_word.h"

#include <nlohmann/json.hpp>

namespace konfigor::kvr {
namespace {

using Json = nlohmann::ordered_json;

Json remoteToJson(std::size_t slot, const RemoteEntry& remote) {
    Json buttons = Json::array();
    for (const std::uint16_t mask : remote.buttonMasks)
        buttons.push_back(mask);
    // serial and multi repeat what serialWord holds, for people reading the file; the import
    // checks that they still agree.
    return Json{{"position", slot + 1},
                {"serialWord", remote.serialWord},
                {"serial", serial_word::serialNumber(remote.serialWord)},
                {"multi", serial_word::isMulti(remote.serialWord)},
                {"codeCounter", remote.codeCounter},
                {"buttons", std::move(buttons)},
                {"copyLock", remote.copyLock},
                {"description", remote.description.toUtf8()}};
}

Json channelToJson(std::size_t index, const ChannelEntry& channel) {
    return Json{{"channel", index + 1},
                {"time", channel.time},
                {"transientMode", channel.transientMode},
                {"doublePress", channel.doublePress},
                {"description", channel.description.toUtf8()}};
}

} // namespace

std::string sheetToJson(const SettingsSheet& sheet, std::uint16_t version,
                        SlotSelection selection) {
    Json remotes = Json::array();
    for (std::size_t slot = 0; slot < sheet.remotes.size(); ++slot) {
        if (isListed(sheet.remotes[slot], selection))
            remotes.push_back(remoteToJson(slot, sheet.remotes[slot]));
    }
    Json channels = Json::array();
    for (std::size_t index = 0; index < sheet.channels.size(); ++index)
        channels.push_back(channelToJson(index, sheet.channels[index]));

    const Json document{{"version", version},
                        {"identifier", sheet.identifier.toUtf8()},
                        {"remotes", std::move(remotes)},
                        {"channels", std::move(channels)}};
    return document.dump();
}

} // namespace konfigor::kvr
