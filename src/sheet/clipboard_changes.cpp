#include "sheet/clipboard_changes.h"

#include "sheet/history_change.h"
#include "sheet/history_commands.h"
#include "sheet/save_state.h"
#include "sheet/sheet_session.h"

#include <utility>

namespace konfigor {

void ClipboardChanges::recordCut(std::span<const std::size_t> clearedSlots) {
    ClearedSlots cleared;
    for (std::size_t slot : clearedSlots)
        cleared.slots.push_back(static_cast<std::uint32_t>(slot));
    history_.recordChange(HistoryKind::RemotesCut, std::move(cleared));
}

void ClipboardChanges::recordPaste(std::span<const PastedRecord> placed) {
    SlotRecords records;
    for (const PastedRecord& pasted : placed)
        records.records.push_back({static_cast<std::uint16_t>(pasted.slot), pasted.record});
    history_.recordChange(HistoryKind::RemotesPasted, std::move(records));
}

void ClipboardChanges::remotesChanged() {
    changed_ = true;
    saveState_.setSavedToDisk(false);
    saveState_.setSavedToReceiver(false);
}

void ClipboardChanges::writeSheetIfAutosave() {
    const bool changed = std::exchange(changed_, false);
    if (!session_.isAutosaveActive())
        return;
    const bool started = session_.writeSheetToReceiver();
    if (changed && started)
        saveState_.setSavedToReceiver(true);
}

} // namespace konfigor
