#pragma once

#include "sheet/history.h"

#include <cstddef>

namespace konfigor {

class SheetSession;
class SheetSurface;
struct SettingsSheet;

// Puts the sheet and the receiver-wide settings into the state after one history entry by
// replaying the entries from the latest load up to it. Undo and redo are nothing but this.
class HistoryRebuild {
public:
    HistoryRebuild(History& history, SettingsSheet& sheet, SheetSession& session,
                   SheetSurface& surface)
        : history_(history), sheet_(sheet), session_(session), surface_(surface) {}

    // Leaves the undo captions and the clipboard commands to the caller.
    void rebuild(std::size_t target);

private:
    std::size_t replayStart(std::size_t target) const;
    void replay(std::size_t from, std::size_t to, SheetSnapshot& scratch);
    void replayEntry(const HistoryEntry& entry, SheetSnapshot& scratch);
    void applyPinChange(const PinChange& change);
    void takeSlotsAndChannels(const SheetSnapshot& scratch);
    void writeImage(const SheetSnapshot& scratch);
    void takeIdentifierAndFileName(const SheetSnapshot& scratch);
    void showRebuiltState();
    void writeReceiverIfAutosaving();

    History& history_;
    SettingsSheet& sheet_;
    SheetSession& session_;
    SheetSurface& surface_;
};

} // namespace konfigor
