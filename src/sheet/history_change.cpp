#include "sheet/history_change.h"

#include "link/receiver_memory.h"
#include "texts/text_table.h"
#include "texts/untranslated_texts.h"

#include <algorithm>

namespace konfigor {
namespace {

constexpr std::string_view kSwapName = untranslated(Untranslated::HistorySwapName);

constexpr std::array<Msg, kHistoryKindCount - 1> kKindNames{
    Msg::HistoryEmptySheet,     Msg::HistoryReceiverLoad,      Msg::HistoryPinChange,
    Msg::HistoryGlobalCopyLock, Msg::HistoryAdminCopyLock,     Msg::HistoryChannelEdit,
    Msg::HistoryRemoteAdded,    Msg::HistoryRemoteEdited,      Msg::HistoryRemoteDeleted,
    Msg::HistoryRemoteRead,     Msg::HistoryRemoteCut,         Msg::HistoryRemotePasted,
    Msg::HistoryErase,          Msg::HistoryCompaction,        Msg::HistoryRename,
    Msg::HistoryFileLoad,       Msg::HistoryDescriptionSearch,
};

std::size_t kindIndex(HistoryKind kind) {
    return static_cast<std::size_t>(kind);
}

template <class Payload>
bool holds(const HistoryPayload& payload) {
    return std::holds_alternative<Payload>(payload);
}

// The large blocks must be there: a null one would leave the rebuild nothing to take.
template <class Shared>
bool holdsBlock(const HistoryPayload& payload) {
    const auto* block = std::get_if<Shared>(&payload);
    return block != nullptr && *block != nullptr;
}

} // namespace

std::string historyKindName(HistoryKind kind, const TextTable& texts) {
    if (kind == HistoryKind::RemotesSwapped)
        return std::string(kSwapName);
    return texts.text(kKindNames.at(kindIndex(kind)));
}

SheetSnapshot takeSnapshot(const SettingsSheet& sheet, const ReceiverMemory& memory) {
    return {.sheet = sheet,
            .adminCopyLock = memory.isAdminCopyLock(),
            .globalCopyLock = memory.isGlobalCopyLock()};
}

std::string_view PinChange::pinText() const {
    const auto end = std::find(pin.begin(), pin.end(), '\0');
    return {pin.data(), static_cast<std::size_t>(end - pin.begin())};
}

HistoryPayload snapshotPayload(const SheetSnapshot& snapshot) {
    return std::make_shared<const SheetSnapshot>(snapshot);
}

HistoryPayload compactionPayload(const RemoteSlots& slots) {
    return std::make_shared<const RemoteSlots>(slots);
}

PinChange pinChange(std::string_view pin, bool pinRequired) {
    PinChange change{.pinRequired = pinRequired};
    std::copy_n(pin.begin(), std::min(pin.size(), change.pin.size()), change.pin.begin());
    return change;
}

bool payloadFitsKind(HistoryKind kind, const HistoryPayload& payload) {
    switch (kind) {
    case HistoryKind::EmptySheet:
        return holds<std::monostate>(payload);
    case HistoryKind::ReceiverLoad:
    case HistoryKind::FileLoad:
    case HistoryKind::DescriptionSearch:
        return holdsBlock<SharedSnapshot>(payload);
    case HistoryKind::PinChange:
        return holds<PinChange>(payload);
    case HistoryKind::GlobalCopyLock:
    case HistoryKind::AdminCopyLock:
        return holds<CopyLockSwitch>(payload);
    case HistoryKind::ChannelEdit:
        return holds<ChannelEdit>(payload);
    case HistoryKind::RemoteAdded:
    case HistoryKind::RemoteRead:
        return holds<SlotRecord>(payload);
    case HistoryKind::RemotesEdited:
    case HistoryKind::RemotesPasted:
        return holds<SlotRecords>(payload);
    case HistoryKind::RemotesDeleted:
    case HistoryKind::RemotesCut:
        return holds<ClearedSlots>(payload);
    case HistoryKind::SheetErased:
        return holds<SheetErase>(payload);
    case HistoryKind::SheetCompacted:
        return holdsBlock<SharedSlots>(payload);
    case HistoryKind::IdentifierRenamed:
        return holds<IdentifierRename>(payload);
    case HistoryKind::RemotesSwapped:
        return holds<SlotSwap>(payload);
    }
    return false;
}

} // namespace konfigor
