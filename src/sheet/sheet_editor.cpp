#include "sheet/sheet_editor.h"

#include "common/codepage1250.h"
#include "sheet/history_change.h"
#include "sheet/history_commands.h"
#include "sheet/save_state.h"
#include "sheet/settings_sheet.h"
#include "sheet/sheet_session.h"
#include "sheet/sheet_surface.h"
#include "texts/text_table.h"
#include "texts/untranslated_texts.h"

#include <utility>

namespace konfigor {
namespace {

std::size_t slotOf(int row) {
    return static_cast<std::size_t>(row - 1);
}

} // namespace

// ---------------------------------------------------------------------------------------------
// Marks: they are not changes of the sheet, so nothing is recorded or saved.

void SheetEditor::mark(int row) {
    sheet_.remotes.at(slotOf(row)).marked = true;
    services_.surface.repaintGrids();
}

void SheetEditor::unmark(int row) {
    sheet_.remotes.at(slotOf(row)).marked = false;
    services_.surface.repaintGrids();
}

void SheetEditor::markAll() {
    sheet_.markAll();
    services_.surface.repaintGrids();
}

void SheetEditor::unmarkAll() {
    sheet_.clearMarks();
    services_.surface.repaintGrids();
}

void SheetEditor::invertMarks() {
    sheet_.invertMarks();
    services_.surface.repaintGrids();
}

// ---------------------------------------------------------------------------------------------

bool SheetEditor::confirm(Msg question, std::string_view caption, PromptIcon icon) {
    const Prompt prompt{.caption = std::string(caption),
                        .text = services_.texts.text(question),
                        .buttons = PromptButtons::YesNo,
                        .defaultAnswer = PromptAnswer::No,
                        .icon = icon};
    return services_.prompts.ask(prompt) == PromptAnswer::Yes;
}

void SheetEditor::warnNothingToDelete() {
    services_.prompts.ask({.caption = std::string(untranslated(Untranslated::ProgramTitle)),
                           .text = services_.texts.text(Msg::SelectRemoteToDelete),
                           .buttons = PromptButtons::Ok,
                           .defaultAnswer = PromptAnswer::Ok,
                           .icon = PromptIcon::Warning});
}

// The first two marked slots change places, or the one marked slot and the current row; the
// marks move with their remotes.
void SheetEditor::swap(int currentRow) {
    const auto marked = sheet_.markedSlots();
    if (marked.empty())
        return;
    const std::size_t first = marked[0];
    const std::size_t second = marked.size() > 1 ? marked[1] : slotOf(currentRow);
    if (second == first)
        return;
    std::swap(sheet_.remotes.at(first), sheet_.remotes.at(second));
    services_.history.recordChange(HistoryKind::RemotesSwapped,
                                   SlotSwap{.first = static_cast<std::uint32_t>(first),
                                            .second = static_cast<std::uint32_t>(second)});
    AutoWrite write = AutoWrite::NotApplied;
    if (services_.session.isAutosaveActive()) {
        write = services_.session.writeRemoteRecord(first) ? AutoWrite::Sent : AutoWrite::NotSent;
        services_.session.setSecondRecordSlot(second);
    }
    services_.saveState.apply(RemoteEdit::Swap, write);
    services_.surface.repaintGrids();
}

void SheetEditor::deleteRemotes(int currentRow) {
    const std::size_t current = slotOf(currentRow);
    std::size_t marked = sheet_.countMarked();
    std::size_t used = sheet_.countMarkedUsed();
    if (marked == 0 && !sheet_.isEmpty(current)) {
        sheet_.remotes[current].marked = true;
        marked = used = 1;
    }
    if (marked <= 1) {
        if (used == 0)
            warnNothingToDelete();
        else
            deleteCurrentRow(current);
        return;
    }
    if (used == 0) {
        if (sheet_.isEmpty(current))
            warnNothingToDelete();
        return;
    }
    deleteMarked();
}

void SheetEditor::deleteCurrentRow(std::size_t slot) {
    const std::string_view caption = untranslated(Untranslated::ProgramTitle);
    if (!confirm(Msg::DeleteRemoteQuestion, caption, PromptIcon::Warning))
        return;
    services_.history.recordChange(HistoryKind::RemotesDeleted,
                                   ClearedSlots{{static_cast<std::uint32_t>(slot)}});
    sheet_.clearSlot(slot);
    services_.surface.repaintGrids();
    AutoWrite write = AutoWrite::NotApplied;
    if (services_.session.isAutosaveActive())
        write = services_.session.writeRemoteRecord(slot) ? AutoWrite::Sent : AutoWrite::NotSent;
    services_.saveState.apply(RemoteEdit::DeleteOne, write);
}

// Every marked slot is cleared, the empty ones too, which drops their descriptions.
void SheetEditor::deleteMarked() {
    const std::string_view caption = untranslated(Untranslated::ProgramTitle);
    if (!confirm(Msg::DeleteMarkedRemotesQuestion, caption, PromptIcon::Warning))
        return;
    ClearedSlots cleared;
    for (std::size_t slot : sheet_.markedSlots())
        cleared.slots.push_back(static_cast<std::uint32_t>(slot));
    services_.history.recordChange(HistoryKind::RemotesDeleted, cleared);
    for (std::uint32_t slot : cleared.slots)
        sheet_.clearSlot(slot);
    services_.surface.repaintGrids();
    AutoWrite write = AutoWrite::NotApplied;
    if (services_.session.isAutosaveActive())
        write = services_.session.writeSheetToReceiver() ? AutoWrite::Sent : AutoWrite::NotSent;
    services_.saveState.apply(RemoteEdit::DeleteSeveral, write);
}

void SheetEditor::compact() {
    const std::string_view caption = untranslated(Untranslated::ProgramTitle);
    if (!confirm(Msg::CompactSheetQuestion, caption, PromptIcon::Warning))
        return;
    if (compactSlots()) {
        services_.history.recordChange(HistoryKind::SheetCompacted,
                                       compactionPayload(sheet_.remotes));
        AutoWrite write = AutoWrite::NotApplied;
        if (services_.session.isAutosaveActive())
            write = services_.session.writeSheetToReceiver() ? AutoWrite::Sent : AutoWrite::NotSent;
        services_.saveState.apply(RemoteEdit::Compaction, write);
    }
    services_.surface.repaintGrids();
}

// Moves every remote, with its description and mark, to the first empty slot before it,
// keeping their order. True when anything moved.
bool SheetEditor::compactSlots() {
    bool moved = false;
    std::size_t next = 0;
    for (std::size_t slot = 0; slot < kRemoteSlotCount; ++slot) {
        if (!sheet_.isEmpty(slot))
            continue;
        next = std::max(next, slot + 1);
        while (next < kRemoteSlotCount && sheet_.isEmpty(next))
            ++next;
        if (next == kRemoteSlotCount)
            break;
        sheet_.remotes[slot] = sheet_.remotes[next];
        sheet_.clearSlot(next);
        moved = true;
    }
    return moved;
}

void SheetEditor::erase(bool autosaveToggleDown) {
    const std::string caption = services_.texts.text(Msg::EraseQuestionTitle);
    const Msg question =
        autosaveToggleDown ? Msg::EraseSheetAndReceiverQuestion : Msg::EraseSheetOnlyQuestion;
    if (!confirm(question, caption, PromptIcon::Question))
        return;
    const bool resetChannels = confirm(Msg::ResetChannelsQuestion, caption, PromptIcon::Question);
    clearSheet(resetChannels);
    services_.history.recordChange(HistoryKind::SheetErased,
                                   SheetErase{.channelsReset = resetChannels});
    services_.surface.showIdentifierAndTitle();
    services_.surface.repaintGrids();
    services_.saveState.apply(SaveEvent::SheetErased);
    if (services_.session.isAutosaveActive())
        services_.session.writeSheetToReceiver();
}

void SheetEditor::clearSheet(bool resetChannels) {
    services_.session.clearImage(resetChannels);
    sheet_.erase(resetChannels);
}

void SheetEditor::identifierFocused(std::string_view text) {
    identifierOnFocus_ = IdentifierText{};
    identifierOnFocus_.assignUtf8(text);
}

// Compared as the sheet stores it, byte by byte; renaming changes neither save flag.
void SheetEditor::identifierLeft(std::string_view text) {
    IdentifierText left;
    left.assignUtf8(text);
    if (left.sameText(identifierOnFocus_))
        return;
    sheet_.identifier.assign(left.view());
    services_.history.recordChange(HistoryKind::IdentifierRenamed, IdentifierRename{left});
}

} // namespace konfigor
