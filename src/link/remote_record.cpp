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

} // namespace konfigor
