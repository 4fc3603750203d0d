#include "sheet/clipboard_block.h"

#include "common/little_endian.h"

#include <algorithm>
#include <cstring>

namespace konfigor::clipboard_block {

namespace {

using Bytes = std::span<std::uint8_t>;
using ConstBytes = std::span<const std::uint8_t>;

static_assert(DescriptionText::kSize == kMarkedOffset - kDescriptionOffset);
static_assert(kButtonMasksOffset + 2 * kButtonCount <= kCopyLockOffset);

void encodeRecord(const RemoteEntry& remote, Bytes record) {
    const auto& text = remote.description.bytes();
    std::memcpy(record.data() + kDescriptionOffset, text.data(), text.size());
    little_endian::put<std::uint32_t>(record.subspan(kMarkedOffset), remote.marked ? 1u : 0u);
    little_endian::put<std::uint32_t>(record.subspan(kSerialWordOffset), remote.serialWord);
    little_endian::put<std::uint16_t>(record.subspan(kCodeCounterOffset), remote.codeCounter);
    for (std::size_t button = 0; button < kButtonCount; ++button)
        little_endian::put<std::uint16_t>(record.subspan(kButtonMasksOffset + 2 * button),
                                          remote.buttonMasks[button]);
    little_endian::put<std::uint32_t>(record.subspan(kCopyLockOffset), remote.copyLock ? 1u : 0u);
}

// The description keeps every byte, also those after its terminator. Only a field that holds no
// terminator at all gets one in its last byte, so its text stays within 255 characters.
void decodeDescription(ConstBytes record, DescriptionText& description) {
    auto& text = description.bytes();
    std::memcpy(text.data(), record.data() + kDescriptionOffset, text.size());
    if (std::find(text.begin(), text.end() - 1, '\0') == text.end() - 1)
        text.back() = '\0';
}

RemoteEntry decodeRecord(ConstBytes record) {
    RemoteEntry remote;
    decodeDescription(record, remote.description);
    // Flags written by someone else may hold any value; the sheet holds them as 0 or 1.
    remote.marked = little_endian::get<std::uint32_t>(record.subspan(kMarkedOffset)) != 0;
    remote.serialWord = little_endian::get<std::uint32_t>(record.subspan(kSerialWordOffset));
    remote.codeCounter = little_endian::get<std::uint16_t>(record.subspan(kCodeCounterOffset));
    for (std::size_t button = 0; button < kButtonCount; ++button)
        remote.buttonMasks[button] = static_cast<std::uint16_t>(
            little_endian::get<std::uint16_t>(record.subspan(kButtonMasksOffset + 2 * button)) &
            kChannelMaskBits);
    remote.copyLock = little_endian::get<std::uint32_t>(record.subspan(kCopyLockOffset)) != 0;
    return remote;
}

constexpr std::size_t recordOffset(std::size_t index) {
    return kCountSize + kRecordSize * index;
}

} // namespace

std::vector<std::uint8_t> encode(std::span<const RemoteEntry> records) {
    std::vector<std::uint8_t> block(kBlockSize, 0);
    const std::size_t count = std::min(records.size(), kRemoteSlotCount);
    little_endian::put<std::uint32_t>(block, static_cast<std::uint32_t>(count));
    for (std::size_t index = 0; index < count; ++index)
        encodeRecord(records[index], Bytes(block).subspan(recordOffset(index), kRecordSize));
    return block;
}

std::vector<std::uint8_t> encodeMarked(const SettingsSheet& sheet) {
    std::vector<RemoteEntry> marked;
    for (const RemoteEntry& remote : sheet.remotes)
        if (remote.marked)
            marked.push_back(remote);
    return encode(marked);
}

std::optional<std::vector<RemoteEntry>> decode(std::span<const std::uint8_t> block) {
    if (block.size() < kCountSize)
        return std::nullopt;
    const std::uint32_t count = little_endian::get<std::uint32_t>(block);
    if (count > kRemoteSlotCount || (block.size() - kCountSize) / kRecordSize < count)
        return std::nullopt;
    std::vector<RemoteEntry> records;
    records.reserve(count);
    for (std::size_t index = 0; index < count; ++index)
        records.push_back(decodeRecord(block.subspan(recordOffset(index), kRecordSize)));
    return records;
}

} // namespace konfigor::clipboard_block
