#pragma once

#include "sheet/remote_entry.h"
#include "sheet/settings_sheet.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string_view>
#include <vector>

// The private clipboard form: whole remote records, the only form the tool reads back. Another
// running copy of the tool (or any other program) may have put it there, so decoding trusts
// nothing in it.
namespace konfigor::clipboard_block {

inline constexpr std::string_view kFormatName = "Dane Konfigora KVR";

inline constexpr std::size_t kCountSize = 4;
inline constexpr std::size_t kRecordSize = 280;
// Always room for every slot, whatever the count: written and read in one piece.
inline constexpr std::size_t kBlockSize = kCountSize + kRecordSize * kRemoteSlotCount;
static_assert(kBlockSize == 197'124);

// Byte offsets inside one record.
inline constexpr std::size_t kDescriptionOffset = 0;
inline constexpr std::size_t kMarkedOffset = 256;
inline constexpr std::size_t kSerialWordOffset = 260;
inline constexpr std::size_t kCodeCounterOffset = 264;
inline constexpr std::size_t kButtonMasksOffset = 266;
inline constexpr std::size_t kCopyLockOffset = 276;

// A full-size block, zero-filled, holding `records` in the given order (at most 704 are taken).
std::vector<std::uint8_t> encode(std::span<const RemoteEntry> records);

// The block the copy and cut commands put on the clipboard: every marked slot, ascending.
std::vector<std::uint8_t> encodeMarked(const SettingsSheet& sheet);

// The records of a block; nothing when the block is refused: shorter than its count field,
// a count above 704, or fewer bytes than its count's records need. A block may end right after
// its last record.
std::optional<std::vector<RemoteEntry>> decode(std::span<const std::uint8_t> block);

} // namespace konfigor::clipboard_block
