#pragma once

#include "sheet/sheet_surface.h"

#include <map>
#include <string>

namespace konfigor::testing_support {

// Keeps what the sheet logic last showed and counts the refreshes it asked for.
class RecordingSheetSurface final : public SheetSurface {
public:
    void setStatusText(StatusPanel panel, const std::string& text) override {
        statusTexts[panel] = text;
    }
    void showUndoRedo(const UndoRedoCaptions& shown) override { captions = shown; }
    void showIdentifierAndTitle() override { ++identifierRefreshes; }
    void showCopyLocks() override { ++copyLockRefreshes; }
    void repaintGrids() override { ++gridRepaints; }
    void refreshClipboardCommands() override { ++clipboardRefreshes; }

    std::string statusText(StatusPanel panel) const {
        const auto found = statusTexts.find(panel);
        return found == statusTexts.end() ? std::string() : found->second;
    }

    std::map<StatusPanel, std::string> statusTexts;
    UndoRedoCaptions captions;
    int identifierRefreshes = 0;
    int copyLockRefreshes = 0;
    int gridRepaints = 0;
    int clipboardRefreshes = 0;
};

} // namespace konfigor::testing_support
