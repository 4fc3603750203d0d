#include "kvr/button_channels.h"

#include "sheet/remote_entry.h"

namespace konfigor::kvr {

std::string channelNumbers(std::uint16_t mask, std::string_view separator) {
    std::string text;
    for (std::size_t channel = 0; channel < kChannelCount; ++channel) {
        if ((mask & (1u << channel)) == 0)
            continue;
        if (!text.empty())
            text += separator;
        text += static_cast<char>('1' + channel);
    }
    return text;
}

} // namespace konfigor::kvr
