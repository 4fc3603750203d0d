#include "sheet/history_rebuild.h"

#include "link/receiver_image.h"
#include "sheet/image_transfer.h"
#include "sheet/settings_sheet.h"
#include "sheet/sheet_session.h"
#include "sheet/sheet_surface.h"

#include <cstdint>
#include <memory>
#include <utility>

namespace konfigor {
namespace {

template <class Payload>
const Payload& payloadOf(const HistoryEntry& entry) {
    return std::get<Payload>(entry.payload);
}

// Adding and editing remotes leave the marks as the scratch has them.
void takeSlotRecordKeepingMark(const SlotRecord& record, SettingsSheet& sheet) {
    RemoteEntry& slot = sheet.remotes.at(record.slot);
    const RemoteEntry& recorded = record.entry;
    slot.description.assign(recorded.description.view());
    slot.serialWord = recorded.serialWord;
    slot.codeCounter = recorded.codeCounter;
    slot.buttonMasks = recorded.buttonMasks;
    slot.copyLock = recorded.copyLock;
}

void takeSlotRecords(const SlotRecords& records, SettingsSheet& sheet) {
    for (const SlotRecord& record : records.records)
        takeSlotRecordKeepingMark(record, sheet);
}

void clearSlots(const ClearedSlots& cleared, SettingsSheet& sheet) {
    for (const std::uint32_t slot : cleared.slots)
        sheet.clearSlot(slot);
}

void eraseSheet(const SheetErase& erase, SettingsSheet& sheet) {
    sheet.remotes.fill(RemoteEntry::cleared());
    if (erase.channelsReset)
        sheet.channels.fill(ChannelEntry::factory());
}

// Switching one lock on switches the other off; switching it off leaves the other alone.
void switchLock(bool on, bool& lock, bool& otherLock) {
    lock = on;
    if (on)
        otherLock = false;
}

void swapSlots(const SlotSwap& swap, SettingsSheet& sheet) {
    std::swap(sheet.remotes.at(swap.first), sheet.remotes.at(swap.second));
}

} // namespace

void HistoryRebuild::rebuild(std::size_t target) {
    auto scratch = std::make_unique<SheetSnapshot>();
    replay(replayStart(target), target, *scratch);
    history_.setPosition(target);
    takeSlotsAndChannels(*scratch);
    writeImage(*scratch);
    takeIdentifierAndFileName(*scratch);
    showRebuiltState();
    writeReceiverIfAutosaving();
}

// The latest load of the receiver or of a file at or before the target. A description search
// also holds a snapshot, but replaying through it gives the same state.
std::size_t HistoryRebuild::replayStart(std::size_t target) const {
    for (std::size_t index = target; index >= 1; --index) {
        const HistoryKind kind = history_.kindAt(index);
        if (kind == HistoryKind::ReceiverLoad || kind == HistoryKind::FileLoad)
            return index;
    }
    return 0;
}

void HistoryRebuild::replay(std::size_t from, std::size_t to, SheetSnapshot& scratch) {
    for (std::size_t index = from; index <= to; ++index)
        replayEntry(history_.entryAt(index), scratch);
}

void HistoryRebuild::replayEntry(const HistoryEntry& entry, SheetSnapshot& scratch) {
    SettingsSheet& sheet = scratch.sheet;
    switch (entry.kind) {
    case HistoryKind::EmptySheet:
        scratch = SheetSnapshot{};
        return;
    case HistoryKind::ReceiverLoad:
    case HistoryKind::FileLoad:
    case HistoryKind::DescriptionSearch:
        scratch = *payloadOf<SharedSnapshot>(entry);
        return;
    case HistoryKind::PinChange:
        applyPinChange(payloadOf<PinChange>(entry));
        return;
    case HistoryKind::GlobalCopyLock:
        switchLock(payloadOf<CopyLockSwitch>(entry).on, scratch.globalCopyLock,
                   scratch.adminCopyLock);
        return;
    case HistoryKind::AdminCopyLock:
        switchLock(payloadOf<CopyLockSwitch>(entry).on, scratch.adminCopyLock,
                   scratch.globalCopyLock);
        return;
    case HistoryKind::ChannelEdit: {
        const ChannelEdit& edit = payloadOf<ChannelEdit>(entry);
        sheet.channels.at(edit.channel) = edit.entry;
        return;
    }
    case HistoryKind::RemoteAdded:
        takeSlotRecordKeepingMark(payloadOf<SlotRecord>(entry), sheet);
        return;
    case HistoryKind::RemotesEdited:
    case HistoryKind::RemotesPasted:
        takeSlotRecords(payloadOf<SlotRecords>(entry), sheet);
        return;
    case HistoryKind::RemotesDeleted:
    case HistoryKind::RemotesCut:
        clearSlots(payloadOf<ClearedSlots>(entry), sheet);
        return;
    case HistoryKind::RemoteRead: {
        const SlotRecord& record = payloadOf<SlotRecord>(entry);
        sheet.remotes.at(record.slot) = record.entry;
        return;
    }
    case HistoryKind::SheetErased:
        eraseSheet(payloadOf<SheetErase>(entry), sheet);
        return;
    case HistoryKind::SheetCompacted:
        sheet.remotes = *payloadOf<SharedSlots>(entry);
        return;
    case HistoryKind::IdentifierRenamed:
        sheet.identifier = payloadOf<IdentifierRename>(entry).identifier;
        return;
    case HistoryKind::RemotesSwapped:
        swapSlots(payloadOf<SlotSwap>(entry), sheet);
        return;
    }
}

// The PIN lives only in the receiver, so it is set at once rather than in the scratch: a PIN
// change is made again when a rebuild passes it, and never taken back.
void HistoryRebuild::applyPinChange(const PinChange& change) {
    session_.image().update([&](ReceiverMemory& memory) {
        memory.setPinRequired(change.pinRequired);
        memory.setPin(change.pinText());
    });
    session_.setEnteredPin(change.pinText());
}

void HistoryRebuild::takeSlotsAndChannels(const SheetSnapshot& scratch) {
    sheet_.remotes = scratch.sheet.remotes;
    sheet_.channels = scratch.sheet.channels;
}

void HistoryRebuild::writeImage(const SheetSnapshot& scratch) {
    session_.image().update([&](ReceiverMemory& memory) {
        copySheetToImage(sheet_, memory);
        memory.setAdminCopyLock(scratch.adminCopyLock);
        memory.setGlobalCopyLock(scratch.globalCopyLock);
    });
}

void HistoryRebuild::takeIdentifierAndFileName(const SheetSnapshot& scratch) {
    sheet_.identifier = scratch.sheet.identifier;
    sheet_.fileName = scratch.sheet.fileName;
    surface_.showIdentifierAndTitle();
}

void HistoryRebuild::showRebuiltState() {
    surface_.showCopyLocks();
    surface_.repaintGrids();
}

void HistoryRebuild::writeReceiverIfAutosaving() {
    if (session_.isAutosaveActive())
        session_.writeSheetToReceiver();
}

} // namespace konfigor
