#pragma once

#include "sheet/history.h"
#include "sheet/history_rebuild.h"
#include "sheet/sheet_surface.h"
#include "texts/text_lines.h"

#include <cstddef>
#include <string>

namespace konfigor {

class SheetSession;
class TextTable;
struct SettingsSheet;

// "Cofnij" and "Ponów", each followed by ": " and the change's name while it is enabled.
UndoRedoCaptions undoRedoCaptions(const History& history, const TextTable& texts);

// The main window's use of the history: recording the commands' changes, the undo and redo
// commands and the resets that start a new history.
class HistoryCommands {
public:
    HistoryCommands(History& history, SettingsSheet& sheet, SheetSession& session,
                    SheetSurface& surface, const TextTable& texts)
        : history_(history), rebuild_(history, sheet, session, surface), surface_(surface),
          texts_(texts) {}

    // After the sheet is initialised at start-up.
    void resetAtStartup();
    // Empties the sheet, the identifier, the file name and both copy locks of the image. The
    // save flags are the caller's: a disconnection sets both afterwards.
    void resetAtDisconnection();

    // Records under the kind's current name; a change that cannot be recorded is simply
    // missing from the history and the command goes on.
    bool recordChange(HistoryKind kind, HistoryPayload payload);
    void undo();
    void redo();
    void rebuild(std::size_t position);
    // The undo and redo items' captions, as the texts read now.
    void refreshCaptions();

private:
    void resetToEmptySheet();
    void showStep(Msg status, const std::string& name);

    History& history_;
    HistoryRebuild rebuild_;
    SheetSurface& surface_;
    const TextTable& texts_;
};

} // namespace konfigor
