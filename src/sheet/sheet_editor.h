#pragma once

#include "common/fixed_text.h"
#include "common/user_prompts.h"
#include "texts/text_lines.h"

#include <cstddef>
#include <string_view>

namespace konfigor {

class HistoryCommands;
class SaveState;
class SheetSession;
class SheetSurface;
class TextTable;
struct SettingsSheet;

// The main window's commands that change the sheet without a dialog: marks, swap, delete,
// compaction, erase and the rename of the receiver identifier. Each records its change, keeps
// the save state and, with automatic writing, sends the result to the receiver. Rows are 1-704.
class SheetEditor {
public:
    struct Services {
        HistoryCommands& history;
        SaveState& saveState;
        SheetSession& session;
        UserPrompts& prompts;
        SheetSurface& surface;
        const TextTable& texts;
    };

    SheetEditor(SettingsSheet& sheet, Services services) : sheet_(sheet), services_(services) {}

    void mark(int row);
    void unmark(int row);
    void markAll();
    void unmarkAll();
    void invertMarks();

    void swap(int currentRow);
    void deleteRemotes(int currentRow);
    void compact();
    // `autosaveToggleDown`: the toolbar toggle, which decides how the question is put.
    void erase(bool autosaveToggleDown);

    // The identifier field got or lost the focus, with its text (UTF-8).
    void identifierFocused(std::string_view text);
    void identifierLeft(std::string_view text);

private:
    bool confirm(Msg question, std::string_view caption, PromptIcon icon);
    void warnNothingToDelete();
    void deleteCurrentRow(std::size_t slot);
    void deleteMarked();
    bool compactSlots();
    void clearSheet(bool resetChannels);

    SettingsSheet& sheet_;
    Services services_;
    IdentifierText identifierOnFocus_;
};

} // namespace konfigor
