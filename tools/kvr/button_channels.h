#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace konfigor::kvr {

// The channels a button's mask operates, lowest first, joined by `separator`: "1,3" or "13".
// Empty when the button operates none.
std::string channelNumbers(std::uint16_t mask, std::string_view separator);

} // namespace konfigor::kvr
