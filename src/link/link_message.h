#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>

namespace konfigor {

// A received frame after the link's own conversion ('T' and 'N' carry the button number 1-4
// instead of its mask, 'T' the slot 0-703 instead of its wire address), as the main window
// dispatches it. Bytes beyond the frame's length carry no meaning.
struct LinkMessage {
    static constexpr std::size_t kSize = 36;

    std::array<std::uint8_t, kSize> bytes{};

    std::uint8_t letter() const { return bytes[2]; }
    std::span<const std::uint8_t> payload() const { return std::span(bytes).subspan(3); }
};

} // namespace konfigor
