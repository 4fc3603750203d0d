#pragma once

#include "common/little_endian.h"

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
    // Where the remote reports 'T' and 'N' keep their fields; the slot is in 'T' only.
    static constexpr std::size_t kSerialOffset = 3;
    static constexpr std::size_t kCounterOffset = 7;
    static constexpr std::size_t kButtonOffset = 9;
    static constexpr std::size_t kSlotOffset = 10;

    struct RemoteReport {
        std::uint32_t serialWord = 0;
        std::uint16_t counter = 0;
        int button = 0;
        std::size_t slot = 0;
    };

    std::array<std::uint8_t, kSize> bytes{};

    std::uint8_t letter() const { return bytes[2]; }
    std::span<const std::uint8_t> payload() const { return std::span(bytes).subspan(3); }

    // The fields of a converted 'T' or 'N'.
    RemoteReport remoteReport() const {
        const auto fields = std::span(bytes);
        return {.serialWord = little_endian::get<std::uint32_t>(fields.subspan(kSerialOffset, 4)),
                .counter = little_endian::get<std::uint16_t>(fields.subspan(kCounterOffset, 2)),
                .button = bytes[kButtonOffset],
                .slot = little_endian::get<std::uint16_t>(fields.subspan(kSlotOffset, 2))};
    }
};

} // namespace konfigor
