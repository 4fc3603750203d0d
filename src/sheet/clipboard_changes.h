#pragma once

#include "sheet/clipboard_exchange.h"

namespace konfigor {

class HistoryCommands;
class SaveState;
class SheetSession;

// Cut and paste as the rest of the program takes them: a history entry each, the save flags,
// and the whole-sheet write when automatic writing applies.
class ClipboardChanges final : public ClipboardChangeSink {
public:
    ClipboardChanges(HistoryCommands& history, SaveState& saveState, SheetSession& session)
        : history_(history), saveState_(saveState), session_(session) {}

    void recordCut(std::span<const std::size_t> clearedSlots) override;
    void recordPaste(std::span<const PastedRecord> placed) override;
    void remotesChanged() override;
    void writeSheetIfAutosave() override;

private:
    HistoryCommands& history_;
    SaveState& saveState_;
    SheetSession& session_;
    // A paste that placed nothing changes no flag, even when automatic writing runs.
    bool changed_ = false;
};

} // namespace konfigor
