#pragma once

#include "common/fixed_text.h"

#include <cstdint>
#include <string>

namespace konfigor {

class TextTable;

// The settings of one output channel. Descriptions live only in the tool and its files.
struct ChannelEntry {
    static constexpr std::uint16_t kFactoryTime = 5; // 0.5 s

    ChannelDescriptionText description;
    // Relay time of a monostable channel in tenths of a second; 0 means bistable.
    std::uint16_t time = kFactoryTime;
    // Momentary: on only while the button is held; time and double press then do not apply.
    bool transientMode = false;
    bool doublePress = false;

    static ChannelEntry factory() { return {}; }

    enum class Mode { Momentary, Monostable, Bistable };
    Mode mode() const;

    friend bool operator==(const ChannelEntry&, const ChannelEntry&) = default;
};

// "Chwilowy", "Monostabilny [0.5]" or "Bistabilny", in the current language.
std::string channelModeText(const ChannelEntry& channel, const TextTable& texts);
// "Tak" only when a double press applies, that is not in momentary mode.
std::string doublePressText(const ChannelEntry& channel, const TextTable& texts);

} // namespace konfigor
