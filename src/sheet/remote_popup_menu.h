#pragma once

#include "sheet/settings_sheet.h"

#include <string>

namespace konfigor {

class TextTable;

// What the remote grid's pop-up menu offers, decided each time it opens.
struct RemotePopupMenu {
    bool swapEnabled = false;
    bool pasteEnabled = false;
    bool addEnabled = false; // "Wpisywanie pilota"
    bool editEnabled = false;
    bool deleteEnabled = false;
    bool markEnabled = false;
    bool unmarkEnabled = false;
    std::string editCaption;
    std::string deleteCaption;

    friend bool operator==(const RemotePopupMenu&, const RemotePopupMenu&) = default;
};

struct PopupContext {
    int currentRow = 1; // 1-704, already the row under the right-button press
    bool receiverConnected = false;
    bool clipboardHoldsRemotes = false;
};

// Prepares the menu for the sheet's marks and the current row. A single mark stops counting as
// a selection here, and a single mark on the current row is cleared, so the menu then acts on
// the current row alone.
RemotePopupMenu prepareRemotePopupMenu(SettingsSheet& sheet, const PopupContext& context,
                                       const TextTable& texts);

} // namespace konfigor
