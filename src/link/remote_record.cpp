#include "link/remote_record.h"

#include "common/little_endian.h"

namespace konfigor {

RemoteRecord::Bytes RemoteRecord::toBytes() const {
    Bytes bytes{};
    const std::span<std::uint8_t> out(bytes);
    little_endian::put(out.subspan(0, 4), serialField);
    little_endian::put(out.subspan(4, 2), counter);
    little_endian::put(out.subspan(6, 2), counterCopy);
    little_endian::put(out.subspan(8, 2), buttonWord);
    return bytes;
}

RemoteRecord RemoteRecord::fromBytes(std::span<const std::uint8_t, kSize> bytes) {
    return {.serialField = little_endian::get<std::uint32_t>(bytes.subspan(0, 4)),
            .counter = little_endian::get<std::uint16_t>(bytes.subspan(4, 2)),
            .counterCopy = little_endian::get<std::uint16_t>(bytes.subspan(6, 2)),
            .buttonWord = little_endian::get<std::uint16_t>(bytes.subspan(8, 2))};
}

std::uint16_t packButtonMasks(const std::array<std::uint16_t, kButtonCount>& masks) {
    std::uint16_t word = 0;
    for (std::size_t button = 0; button < kButtonCount; ++button)
        word =
            static_cast<std::uint16_t>(word | (masks[button] & kChannelMaskBits) << (4 * button));
    return word;
}

std::array<std::uint16_t, kButtonCount> unpackButtonMasks(std::uint16_t word) {
    std::array<std::uint16_t, kButtonCount> masks{};
    for (std::size_t button = 0; button < kButtonCount; ++button)
        masks[button] = static_cast<std::uint16_t>((word >> (4 * button)) & kChannelMaskBits);
    return masks;
}

} // namespace konfigor
