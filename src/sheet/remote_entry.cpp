#include "sheet/remote_entry.h"

namespace konfigor {

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

void RemoteEntry::takeReceiverRecord(const RemoteRecord& record) {
    serialWord = record.serialField & ~RemoteRecord::kCopyLockBit;
    copyLock = (record.serialField & RemoteRecord::kCopyLockBit) != 0;
    codeCounter = record.counter;
    buttonMasks = unpackButtonMasks(record.buttonWord);
}

RemoteRecord RemoteEntry::toReceiverRecord() const {
    return {.serialField = serialWord | (copyLock ? RemoteRecord::kCopyLockBit : 0u),
            .counter = codeCounter,
            .counterCopy = codeCounter,
            .buttonWord = packButtonMasks(buttonMasks)};
}

} // namespace konfigor
