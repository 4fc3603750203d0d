#include "session/bulk_transfer.h"

#include "common/user_prompts.h"
#include "link/receiver_link.h"
#include "session/receiver_controls.h"
#include "session/session_dialogs.h"
#include "session/session_state.h"
#include "sheet/history_commands.h"
#include "sheet/image_transfer.h"
#include "sheet/save_commands.h"
#include "sheet/save_state.h"
#include "sheet/settings_sheet.h"
#include "texts/main_window_prompts.h"
#include "texts/text_table.h"
#include "texts/untranslated_texts.h"

namespace konfigor {
void BulkTransfer::loadFromReceiver() {
    if (!s_.saveState.askBeforeReplacing(ReplacingCommand::ReceiverLoad))
        return;
    if (!start(&ReceiverLink::startBulkRead, &SessionState::bulkReadActive))
        return;
    s_.state.pendingOperation = PendingOperation::BulkLoad;
    if (!runDialog(Msg::LoadingFromReceiverCaption))
        return; // cancelled or cut short: the sheet is as it was
    recordLoad();
}

void BulkTransfer::saveToReceiver() {
    if (!s_.saveState.savedToDisk() &&
        askMainWindowYesNo(s_.prompts, s_.texts.text(Msg::AlsoUpdateSettingsFileQuestion),
                           PromptAnswer::Yes))
        s_.saveCommands.runSaveToFile();
    writeSheetToReceiver();
}

bool BulkTransfer::writeSheetToReceiver() {
    s_.link.image().update([&](ReceiverMemory& memory) { copySheetToImage(s_.sheet, memory); });
    if (!start(&ReceiverLink::startBulkWrite, &SessionState::bulkWriteActive))
        return false;
    s_.state.pendingOperation = PendingOperation::BulkWrite;
    // A dialog of an earlier command is still open: the write goes on under it.
    if (!s_.dialog.isVisible())
        runDialog(Msg::WritingToReceiverCaption);
    return true;
}

bool BulkTransfer::start(bool (ReceiverLink::*startTransfer)(), bool SessionState::*active) {
    if (!(s_.link.*startTransfer)()) {
        s_.link.abortTransfers();
        showMainWindowError(s_.prompts, s_.texts, Msg::NoCommunicationWithReceiver);
        return false;
    }
    s_.state.*active = true;
    return true;
}

bool BulkTransfer::runDialog(Msg caption) {
    showReceiverControls(false);
    const TransferResult result = s_.dialog.run(s_.texts.text(caption));
    showReceiverControls(true);
    s_.saveState.refreshStatusText();
    return result == TransferResult::Ok;
}

void BulkTransfer::cancelRequested() {
    s_.state.searchAfterLoad = false;
    const Prompt question{.caption = std::string(untranslated(Untranslated::DialogTitle)),
                          .text = s_.texts.text(Msg::AbortTransferQuestion),
                          .buttons = PromptButtons::YesNo,
                          .defaultAnswer = PromptAnswer::No,
                          .icon = PromptIcon::Question};
    if (s_.prompts.ask(question) != PromptAnswer::Yes)
        return;
    if (s_.state.pendingOperation == PendingOperation::None) {
        s_.dialog.finish(TransferResult::Ok);
        return;
    }
    s_.state.bulkReadActive = false;
    s_.state.bulkWriteActive = false;
    s_.link.abortTransfers();
    s_.state.pendingOperation = PendingOperation::None;
    s_.dialog.finish(TransferResult::Abort);
}

void BulkTransfer::watch() {
    if (s_.link.hasTransferFailed()) {
        giveUp();
        return;
    }
    if (s_.state.bulkReadActive) {
        s_.dialog.setPercent(s_.link.transferPercent());
        if (s_.link.isReadComplete())
            finishLoad();
    } else if (s_.state.bulkWriteActive) {
        s_.dialog.setPercent(s_.link.transferPercent());
        if (s_.link.isWriteComplete())
            finishWrite();
    }
}

void BulkTransfer::abortOnDisconnection() {
    s_.state.bulkReadActive = false;
    s_.state.bulkWriteActive = false;
    s_.state.searchAfterLoad = false;
    if (s_.state.pendingOperation == PendingOperation::BulkLoad ||
        s_.state.pendingOperation == PendingOperation::BulkWrite)
        s_.state.pendingOperation = PendingOperation::None;
    s_.dialog.finish(TransferResult::Abort);
}

// The receiver's replies kept going out of step: nothing read is taken, and nothing written
// counts as saved.
void BulkTransfer::giveUp() {
    abortOnDisconnection();
    showMainWindowError(s_.prompts, s_.texts, Msg::NoCommunicationWithReceiver);
}

void BulkTransfer::finishLoad() {
    s_.state.bulkReadActive = false;
    s_.link.image().read([&](const ReceiverMemory& memory) { copyImageToSheet(memory, s_.sheet); });
    s_.sheetSurface.repaintGrids();
    s_.dialog.finish(TransferResult::Ok);
    s_.saveState.apply(SaveEvent::ReceiverLoaded);
    s_.state.pendingOperation = PendingOperation::None;
    if (s_.state.searchAfterLoad) {
        s_.state.searchAfterLoad = false;
        if (descriptionSearch)
            descriptionSearch();
    }
}

void BulkTransfer::finishWrite() {
    s_.state.bulkWriteActive = false;
    s_.dialog.finish(TransferResult::Ok);
    s_.state.pendingOperation = PendingOperation::None;
    s_.saveState.apply(SaveEvent::SheetWrittenToReceiver);
    if (s_.saveState.closeAfterWrite())
        s_.sessionSurface.closeMainWindow();
}

void BulkTransfer::recordLoad() {
    const SheetSnapshot snapshot = s_.link.image().read(
        [&](const ReceiverMemory& memory) { return takeSnapshot(s_.sheet, memory); });
    s_.history.recordChange(HistoryKind::ReceiverLoad, snapshotPayload(snapshot));
}

void BulkTransfer::showReceiverControls(bool on) {
    s_.sessionSurface.showReceiverControls(receiverControls(on, s_.link, s_.options));
}

} // namespace konfigor
