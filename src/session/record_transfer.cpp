#include "session/record_transfer.h"

#include "link/receiver_link.h"
#include "session/session_state.h"
#include "sheet/history_commands.h"
#include "sheet/save_state.h"
#include "sheet/settings_sheet.h"
#include "texts/main_window_prompts.h"
#include "texts/text_table.h"

namespace konfigor {

bool RecordTransfer::writeRemoteRecord(std::size_t slot) {
    const RemoteEntry& entry = s_.sheet.remotes.at(slot);
    if (!s_.link.sendRecord(slot, entry.serialWord, entry.codeCounter, entry.buttonMasks,
                            entry.copyLock)) {
        showMainWindowError(s_.prompts, s_.texts, Msg::NoCommunicationWithReceiver);
        return false;
    }
    s_.state.pendingOperation = PendingOperation::RecordWrite;
    s_.surface.setStatusText(StatusPanel::Operation,
                             s_.texts.format(Msg::SendingRemoteWriteRequest, slot + 1));
    // The image follows at once, without waiting for the receiver's answer.
    s_.link.image().writeRecord(slot, ReceiverImage::Record::of(s_.sheet.toReceiverRecord(slot)));
    return true;
}

void RecordTransfer::readRemoteRecord(std::size_t slot) {
    if (!s_.link.requestRecord(slot)) {
        showMainWindowError(s_.prompts, s_.texts, Msg::NoCommunicationWithReceiver);
        return;
    }
    s_.state.recordReadSlot = slot;
    s_.state.pendingOperation = PendingOperation::RecordRead;
    s_.surface.setStatusText(StatusPanel::Operation,
                             s_.texts.format(Msg::SendingRemoteReadRequest, slot + 1));
}

bool RecordTransfer::writeConfigurationPage() {
    if (!s_.link.writeConfiguration()) {
        showMainWindowError(s_.prompts, s_.texts, Msg::NoCommunicationWithReceiver);
        s_.saveState.apply(SaveEvent::ConfigurationNotSent);
        return false;
    }
    s_.state.pendingOperation = PendingOperation::ConfigurationWrite;
    s_.surface.setStatusText(StatusPanel::Operation, s_.texts.text(Msg::WritingReceiverConfig));
    return true;
}

bool RecordTransfer::writeChannelSettings() {
    if (!s_.link.writeConfiguration()) {
        s_.prompts.ask({.caption = s_.texts.text(Msg::ChannelConfigWriteFailedTitle),
                        .text = s_.texts.text(Msg::ChannelConfigWriteFailed),
                        .icon = PromptIcon::Error});
        return false;
    }
    s_.state.pendingOperation = PendingOperation::ChannelWrite;
    s_.surface.setStatusText(StatusPanel::Operation, s_.texts.text(Msg::WritingChannelConfig));
    return true;
}

void RecordTransfer::requestGivenUp() {
    switch (s_.state.pendingOperation) {
    case PendingOperation::ConfigurationWrite:
    case PendingOperation::RecordWrite:
    case PendingOperation::ChannelWrite:
        // The receiver may hold the old data: only a whole write brings it level again.
        s_.saveState.apply(SaveEvent::ConfigurationNotSent);
        break;
    case PendingOperation::RecordRead:
        break;
    default:
        return; // nothing single was waited for
    }
    s_.state.pendingOperation = PendingOperation::None;
    s_.state.secondRecordSlot.reset();
    s_.surface.setStatusText(StatusPanel::Operation,
                             s_.texts.text(Msg::NoCommunicationWithReceiver));
    showMainWindowError(s_.prompts, s_.texts, Msg::NoCommunicationWithReceiver);
}

void RecordTransfer::onWriteAccepted() {
    switch (s_.state.pendingOperation) {
    case PendingOperation::ConfigurationWrite:
        finish(Msg::ReceiverConfigWritten);
        return;
    case PendingOperation::RecordWrite:
        if (const auto second = s_.state.secondRecordSlot) {
            s_.state.secondRecordSlot.reset();
            writeRemoteRecord(*second);
            return;
        }
        finish(Msg::RemoteWrittenToReceiver);
        return;
    case PendingOperation::ChannelWrite:
        s_.surface.repaintGrids();
        finish(Msg::ChannelSettingsWritten);
        return;
    default:
        return;
    }
}

void RecordTransfer::onRecordRead(const LinkMessage& message) {
    const std::size_t slot = s_.state.recordReadSlot;
    const auto payload = message.payload().first<RemoteRecord::kSize>();
    s_.sheet.fromReceiverRecord(slot, RemoteRecord::fromBytes(payload));
    s_.history.recordChange(
        HistoryKind::RemoteRead,
        SlotRecord{.slot = static_cast<std::uint16_t>(slot), .entry = s_.sheet.remotes.at(slot)});
    s_.state.pendingOperation = PendingOperation::None;
    s_.surface.repaintGrids();
    s_.surface.setStatusText(StatusPanel::Operation, s_.texts.text(Msg::RemoteRecordRead));
}

void RecordTransfer::finish(Msg status) {
    s_.surface.setStatusText(StatusPanel::Operation, s_.texts.text(status));
    s_.state.pendingOperation = PendingOperation::None;
}

} // namespace konfigor
