#pragma once

#include "common/user_prompts.h"
#include "link/clock.h"
#include "sheet/remote_entry.h"
#include "sheet/settings_sheet.h"
#include "texts/text_lines.h"

#include <cstddef>
#include <optional>
#include <span>
#include <vector>

namespace konfigor {

class Clipboard;
class TextTable;

// A record a paste placed: the slot it went to and the record as it was read from the clipboard.
struct PastedRecord {
    std::size_t slot = 0;
    RemoteEntry record;

    friend bool operator==(const PastedRecord&, const PastedRecord&) = default;
};

// What cut and paste need of the rest of the program: the change history, the save state and
// the automatic writing to the receiver. The application wires it; the clipboard commands
// themselves know none of those.
class ClipboardChangeSink {
public:
    virtual ~ClipboardChangeSink() = default;

    // History entry "Wycięty pilot z arkusza": the slots the cut cleared, ascending.
    virtual void recordCut(std::span<const std::size_t> clearedSlots) = 0;
    // History entry "Wklejony pilot do arkusza", also when nothing was placed.
    virtual void recordPaste(std::span<const PastedRecord> placed) = 0;
    // Remotes changed: the sheet counts as saved neither to disk nor to the receiver.
    virtual void remotesChanged() = 0;
    // When automatic writing applies: the whole sheet goes to the receiver and counts as
    // written there. Otherwise nothing.
    virtual void writeSheetIfAutosave() = 0;
};

// Enabled state of Cut, Copy and Paste; the toolbar buttons take the main menu's.
struct ClipboardCommands {
    bool cut = false;
    bool copy = false;
    bool paste = false;

    friend bool operator==(const ClipboardCommands&, const ClipboardCommands&) = default;
};

struct CutResult {
    bool done = false; // false: the clipboard was unavailable and the sheet is unchanged
    std::vector<std::size_t> clearedSlots;
};

enum class PasteOutcome {
    Pasted,
    DuplicatesDeclined,      // nothing changed, marks included
    NoRoomInSheet,           // marks cleared, nothing placed
    NoRoomBelowCurrentSlot,  // marks cleared, nothing placed
    OccupiedTargetsCancelled // marks cleared, nothing placed
};

struct PasteResult {
    PasteOutcome outcome = PasteOutcome::Pasted;
    std::vector<PastedRecord> placed;
};

// Cut, copy and paste of whole remotes through the system clipboard. Every command may change
// marks, so the caller repaints the remote grid after each.
class ClipboardExchange {
public:
    static constexpr int kOpenAttempts = 3;
    static constexpr Clock::Milliseconds kOpenRetryPause{500};

    ClipboardExchange(SettingsSheet& sheet, Clipboard& clipboard, Clock& clock,
                      UserPrompts& prompts, const TextTable& texts, ClipboardChangeSink& changes);

    // currentSlot is the current row's slot, 0-703.
    // With nothing marked, the current slot is marked first, empty or not. False when the
    // clipboard stayed busy; the marks are kept either way.
    bool copy(std::size_t currentSlot);
    CutResult cut(std::size_t currentSlot);
    PasteResult paste(std::size_t currentSlot);

    ClipboardCommands mainMenuCommands(bool remoteGridHasFocus) const;
    ClipboardCommands popupMenuCommands() const;

private:
    enum class Placement { Consecutive, SkipOccupied, Overwrite };

    void markCurrentIfNoneMarked(std::size_t currentSlot);
    bool openClipboard();
    bool writeClipboard();
    void readStaged();
    bool stagedHasDuplicates() const;
    bool dropDuplicatePass();
    std::optional<PasteOutcome> checkRoom(std::size_t currentSlot);
    std::optional<Placement> choosePlacement(std::size_t currentSlot);
    std::vector<PastedRecord> place(std::size_t currentSlot, Placement placement);
    PromptAnswer ask(Msg text, PromptButtons buttons, PromptAnswer defaultAnswer, PromptIcon icon);

    SettingsSheet& sheet_;
    Clipboard& clipboard_;
    Clock& clock_;
    UserPrompts& prompts_;
    const TextTable& texts_;
    ClipboardChangeSink& changes_;
    // The records of the last paste, as read from the clipboard.
    std::vector<RemoteEntry> staged_;
};

} // namespace konfigor
