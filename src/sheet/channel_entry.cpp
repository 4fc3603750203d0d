#include "sheet/channel_entry.h"

#include "texts/text_table.h"

namespace konfigor {

ChannelEntry::Mode ChannelEntry::mode() const {
    if (transientMode)
        return Mode::Momentary;
    return time != 0 ? Mode::Monostable : Mode::Bistable;
}

std::string channelModeText(const ChannelEntry& channel, const TextTable& texts) {
    switch (channel.mode()) {
    case ChannelEntry::Mode::Momentary:
        return texts.text(Msg::ChannelModeMomentary);
    case ChannelEntry::Mode::Monostable:
        return texts.format(Msg::ChannelModeMonostable, channel.time / 10.0);
    case ChannelEntry::Mode::Bistable:
        break;
    }
    return texts.text(Msg::ChannelModeBistable);
}

std::string doublePressText(const ChannelEntry& channel, const TextTable& texts) {
    const bool applies = channel.doublePress && !channel.transientMode;
    return texts.text(applies ? Msg::DoublePressYes : Msg::DoublePressNo);
}

} // namespace konfigor
