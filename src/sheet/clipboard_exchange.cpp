#include "sheet/clipboard_exchange.h"

#include "common/codepage1250.h"
#include "sheet/clipboard.h"
#include "sheet/clipboard_block.h"
#include "sheet/clipboard_text.h"
#include "texts/text_table.h"
#include "texts/untranslated_texts.h"

#include <algorithm>
#include <string>
#include <utility>

namespace konfigor {

ClipboardExchange::ClipboardExchange(SettingsSheet& sheet, Clipboard& clipboard, Clock& clock,
                                     UserPrompts& prompts, const TextTable& texts,
                                     ClipboardChangeSink& changes)
    : sheet_(sheet), clipboard_(clipboard), clock_(clock), prompts_(prompts), texts_(texts),
      changes_(changes) {}

bool ClipboardExchange::copy(std::size_t currentSlot) {
    markCurrentIfNoneMarked(currentSlot);
    return writeClipboard();
}

CutResult ClipboardExchange::cut(std::size_t currentSlot) {
    markCurrentIfNoneMarked(currentSlot);
    if (!writeClipboard())
        return {};
    CutResult result{.done = true, .clearedSlots = sheet_.markedSlots()};
    changes_.recordCut(result.clearedSlots);
    for (const std::size_t slot : result.clearedSlots)
        sheet_.clearSlot(slot);
    changes_.remotesChanged();
    changes_.writeSheetIfAutosave();
    return result;
}

PasteResult ClipboardExchange::paste(std::size_t currentSlot) {
    readStaged();
    if (stagedHasDuplicates()) {
        if (ask(Msg::PasteDuplicatesQuestion, PromptButtons::YesNo, PromptAnswer::No,
                PromptIcon::Question) != PromptAnswer::Yes)
            return {.outcome = PasteOutcome::DuplicatesDeclined};
        while (dropDuplicatePass()) {
        }
    }
    sheet_.clearMarks();
    if (const std::optional<PasteOutcome> refusal = checkRoom(currentSlot))
        return {.outcome = *refusal};
    const std::optional<Placement> placement = choosePlacement(currentSlot);
    if (!placement)
        return {.outcome = PasteOutcome::OccupiedTargetsCancelled};

    PasteResult result{.outcome = PasteOutcome::Pasted, .placed = place(currentSlot, *placement)};
    if (!result.placed.empty())
        changes_.remotesChanged();
    changes_.recordPaste(result.placed);
    changes_.writeSheetIfAutosave();
    return result;
}

ClipboardCommands ClipboardExchange::mainMenuCommands(bool remoteGridHasFocus) const {
    return {.cut = remoteGridHasFocus,
            .copy = remoteGridHasFocus,
            .paste = remoteGridHasFocus && clipboard_.offersPrivateBlock()};
}

ClipboardCommands ClipboardExchange::popupMenuCommands() const {
    return {.cut = true, .copy = true, .paste = clipboard_.offersPrivateBlock()};
}

void ClipboardExchange::markCurrentIfNoneMarked(std::size_t currentSlot) {
    if (sheet_.countMarked() == 0)
        sheet_.remotes.at(currentSlot).marked = true;
}

// Another program may hold the clipboard for a moment.
bool ClipboardExchange::openClipboard() {
    for (int attempt = 0; attempt < kOpenAttempts; ++attempt) {
        if (clipboard_.open())
            return true;
        clock_.sleepFor(kOpenRetryPause);
    }
    return false;
}

bool ClipboardExchange::writeClipboard() {
    if (!openClipboard())
        return false;
    clipboard_.put(clipboard_block::encodeMarked(sheet_),
                   cp1250::toUtf8(clipboard_text::linesOfMarked(sheet_)));
    clipboard_.close();
    return true;
}

// A busy clipboard, a clipboard without our block and a refused block all stage nothing.
void ClipboardExchange::readStaged() {
    staged_.clear();
    if (!openClipboard())
        return;
    if (const std::optional<std::vector<std::uint8_t>> block = clipboard_.privateBlock())
        if (std::optional<std::vector<RemoteEntry>> records = clipboard_block::decode(*block))
            staged_ = std::move(*records);
    clipboard_.close();
}

bool ClipboardExchange::stagedHasDuplicates() const {
    return std::any_of(staged_.begin(), staged_.end(), [this](const RemoteEntry& record) {
        return !record.isEmpty() && sheet_.findSerial(record.serialWord).has_value();
    });
}

// A dropped record's place is taken by the last staged record, which this pass then does not
// look at again; the next pass does.
bool ClipboardExchange::dropDuplicatePass() {
    bool dropped = false;
    for (const RemoteEntry& remote : sheet_.remotes) {
        if (remote.isEmpty())
            continue;
        for (std::size_t position = 0; position < staged_.size(); ++position) {
            if (staged_[position].serialWord != remote.serialWord)
                continue;
            staged_[position] = staged_.back();
            staged_.pop_back();
            dropped = true;
        }
    }
    return dropped;
}

std::optional<PasteOutcome> ClipboardExchange::checkRoom(std::size_t currentSlot) {
    const std::size_t count = staged_.size();
    if (sheet_.countEmpty() < count) {
        ask(Msg::PasteTooManyRemotes, PromptButtons::Ok, PromptAnswer::Ok, PromptIcon::None);
        return PasteOutcome::NoRoomInSheet;
    }
    if (sheet_.countEmptyFrom(currentSlot) < count) {
        ask(Msg::PasteNeedsHigherPosition, PromptButtons::Ok, PromptAnswer::Ok, PromptIcon::None);
        return PasteOutcome::NoRoomBelowCurrentSlot;
    }
    return std::nullopt;
}

// The room check guarantees that the slots from the current one on can take every record.
std::optional<ClipboardExchange::Placement>
ClipboardExchange::choosePlacement(std::size_t currentSlot) {
    if (staged_.empty())
        return Placement::Consecutive;
    const auto targets = std::span(sheet_.remotes).subspan(currentSlot, staged_.size());
    if (std::all_of(targets.begin(), targets.end(),
                    [](const RemoteEntry& remote) { return remote.isEmpty(); }))
        return Placement::Consecutive;
    switch (ask(Msg::PasteSkipOccupiedQuestion, PromptButtons::YesNoCancel, PromptAnswer::Cancel,
                PromptIcon::Question)) {
    case PromptAnswer::Yes:
        return Placement::SkipOccupied;
    case PromptAnswer::No:
        return Placement::Overwrite;
    default:
        return std::nullopt;
    }
}

std::vector<PastedRecord> ClipboardExchange::place(std::size_t currentSlot, Placement placement) {
    std::vector<PastedRecord> placed;
    placed.reserve(staged_.size());
    std::size_t next = currentSlot;
    for (const RemoteEntry& record : staged_) {
        const std::optional<std::size_t> target =
            placement == Placement::SkipOccupied ? sheet_.firstEmptyFrom(next) : next;
        if (!target || *target >= kRemoteSlotCount)
            break;
        RemoteEntry& slot = sheet_.remotes[*target];
        slot = record;
        slot.marked = false;
        placed.push_back({.slot = *target, .record = record});
        next = *target + 1;
    }
    return placed;
}

PromptAnswer ClipboardExchange::ask(Msg text, PromptButtons buttons, PromptAnswer defaultAnswer,
                                    PromptIcon icon) {
    return prompts_.ask({.caption = std::string(untranslated(Untranslated::ProgramTitle)),
                         .text = texts_.text(text),
                         .buttons = buttons,
                         .defaultAnswer = defaultAnswer,
                         .icon = icon});
}

} // namespace konfigor
