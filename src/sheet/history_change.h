#pragma once

#include "common/fixed_text.h"
#include "link/receiver_memory.h"
#include "sheet/channel_entry.h"
#include "sheet/remote_entry.h"
#include "sheet/settings_sheet.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace konfigor {

class TextTable;

// What one history entry changed; the values are the kinds' numbers.
enum class HistoryKind : std::int32_t {
    EmptySheet = 0,
    ReceiverLoad = 1,
    PinChange = 2,
    GlobalCopyLock = 3,
    AdminCopyLock = 4,
    ChannelEdit = 5,
    RemoteAdded = 6,
    RemotesEdited = 7,
    RemotesDeleted = 8,
    RemoteRead = 9,
    RemotesCut = 10,
    RemotesPasted = 11,
    SheetErased = 12,
    SheetCompacted = 13,
    IdentifierRenamed = 14,
    FileLoad = 15,
    DescriptionSearch = 16,
    RemotesSwapped = 17,
};

inline constexpr std::size_t kHistoryKindCount = 18;

// The kind's display name in the current language.
std::string historyKindName(HistoryKind kind, const TextTable& texts);

// Everything the history can take back: the sheet and the receiver's two copy locks, which live
// in the link's image rather than in the sheet.
struct SheetSnapshot {
    SettingsSheet sheet;
    bool adminCopyLock = false;
    bool globalCopyLock = false;
};

// The sheet as it is now, with the locks as the image holds them.
SheetSnapshot takeSnapshot(const SettingsSheet& sheet, const ReceiverMemory& memory);

// --- payloads: each holds the new data of its change, never the old ---

// Recorded entries never change, so the copies entryAt() hands out may share the large blocks.
using SharedSnapshot = std::shared_ptr<const SheetSnapshot>;
using SharedSlots = std::shared_ptr<const RemoteSlots>;

struct PinChange {
    std::array<char, ReceiverMemory::kPinLength> pin{};
    bool pinRequired = false;

    // The characters up to the first zero: an empty PIN field records no digits.
    std::string_view pinText() const;
};
struct CopyLockSwitch {
    bool on = false;
};
struct ChannelEdit {
    std::uint8_t channel = 0;
    ChannelEntry entry;
};
struct SlotRecord {
    std::uint16_t slot = 0;
    RemoteEntry entry;
};
struct SlotRecords {
    std::vector<SlotRecord> records;
};
struct ClearedSlots {
    std::vector<std::uint32_t> slots; // ascending
};
struct SheetErase {
    bool channelsReset = false;
};
struct IdentifierRename {
    IdentifierText identifier;
};
struct SlotSwap {
    std::uint32_t first = 0; // the first marked slot
    std::uint32_t second = 0;
};

using HistoryPayload =
    std::variant<std::monostate, SharedSnapshot, PinChange, CopyLockSwitch, ChannelEdit, SlotRecord,
                 SlotRecords, ClearedSlots, SheetErase, SharedSlots, IdentifierRename, SlotSwap>;

// Kinds 1, 15 and 16.
HistoryPayload snapshotPayload(const SheetSnapshot& snapshot);
// Kind 13: all slots after the compaction.
HistoryPayload compactionPayload(const RemoteSlots& slots);
PinChange pinChange(std::string_view pin, bool pinRequired);

// Whether the payload is the one the kind carries; the history records nothing else, so the
// rebuild can rely on it.
bool payloadFitsKind(HistoryKind kind, const HistoryPayload& payload);

} // namespace konfigor
