#include "sheet/remote_popup_menu.h"

#include "texts/text_table.h"

namespace konfigor {

RemotePopupMenu prepareRemotePopupMenu(SettingsSheet& sheet, const PopupContext& context,
                                       const TextTable& texts) {
    const auto current = static_cast<std::size_t>(context.currentRow - 1);
    std::size_t marked = sheet.countMarked();
    const std::size_t markedUsed = sheet.countMarkedUsed();
    const auto slots = sheet.markedSlots();

    RemotePopupMenu menu;
    menu.swapEnabled = marked == 2 || (marked == 1 && slots.front() != current);
    if (marked == 1) {
        sheet.remotes[current].marked = false;
        marked = 0;
    }
    menu.pasteEnabled = context.clipboardHoldsRemotes;

    const RemoteEntry& row = sheet.remotes[current];
    if (row.marked) {
        menu.editCaption = texts.text(Msg::MenuEditMarkedRemotes);
        menu.deleteCaption = texts.text(Msg::MenuDeleteMarkedRemotes);
        // Two or more marks remain here: a new remote has no single place to go.
        menu.addEnabled = false;
        menu.editEnabled = markedUsed > 0;
        menu.deleteEnabled = markedUsed > 0;
    } else {
        menu.editCaption = texts.text(Msg::MenuEditRemote);
        menu.deleteCaption = texts.text(Msg::MenuDeleteRemote);
        const bool holdsRemote = !row.isEmpty();
        menu.addEnabled = !holdsRemote && context.receiverConnected;
        menu.editEnabled = holdsRemote;
        menu.deleteEnabled = holdsRemote;
    }
    menu.markEnabled = !row.marked;
    menu.unmarkEnabled = row.marked;
    return menu;
}

} // namespace konfigor
