#include "sheet/clipboard_text.h"

#include "texts/message_format.h"

#include <string_view>

namespace konfigor::clipboard_text {

namespace {

// Fixed by the exchange with other programs, so no language file replaces them.
constexpr std::string_view kLineFormat = "%s; %u; %u; %s\r\n";
constexpr std::string_view kGridCellFormat = "%s%s";
constexpr std::string_view kOperates = "T";
constexpr std::string_view kDoesNotOperate = "N";
constexpr std::string_view kButtonSeparator = " ";

std::string gridCell(bool operates, bool lastOfButton) {
    return formatMessage(kGridCellFormat, {operates ? kOperates : kDoesNotOperate,
                                           lastOfButton ? kButtonSeparator : std::string_view{}})
        .value_or(std::string{});
}

} // namespace

std::string channelGrid(const std::array<std::uint16_t, kButtonCount>& masks) {
    std::string grid;
    for (const std::uint16_t mask : masks)
        for (std::size_t channel = 0; channel < kChannelCount; ++channel)
            grid += gridCell((mask >> channel & 1u) != 0, channel + 1 == kChannelCount);
    return grid;
}

std::string line(const RemoteEntry& remote) {
    return formatMessage(kLineFormat,
                         {remote.description.view(), unsigned{remote.serialWord},
                          unsigned{remote.codeCounter}, channelGrid(remote.buttonMasks)})
        .value_or(std::string{});
}

std::string lines(std::span<const RemoteEntry> remotes) {
    std::string text;
    for (const RemoteEntry& remote : remotes)
        text += line(remote);
    return text;
}

std::string linesOfMarked(const SettingsSheet& sheet) {
    std::string text;
    for (const RemoteEntry& remote : sheet.remotes)
        if (remote.marked)
            text += line(remote);
    return text;
}

} // namespace konfigor::clipboard_text
