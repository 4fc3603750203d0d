#include "sheet/remote_popup_menu.h"
#include "texts/text_table.h"

#include <gtest/gtest.h>

namespace konfigor {
namespace {

struct Case {
    const char* what;
    std::vector<int> markedRows;
    std::vector<int> usedRows;
    int currentRow;
    bool connected;
    RemotePopupMenu expected;
    std::size_t marksAfter;
};

RemotePopupMenu menu(bool swap, bool add, bool edit, bool del, bool markItem, bool marked) {
    return {.swapEnabled = swap,
            .pasteEnabled = false,
            .addEnabled = add,
            .editEnabled = edit,
            .deleteEnabled = del,
            .markEnabled = markItem,
            .unmarkEnabled = !markItem,
            .editCaption = marked ? "Edycja zaznaczonych pilotów" : "Edycja pilota",
            .deleteCaption = marked ? "Usuń zaznaczone piloty" : "Usuń pilota"};
}

TEST(RemotePopupMenu, ItemsFollowMarksAndTheCurrentRow) {
    const Case cases[] = {
        {"no mark, empty row, connected",
         {},
         {},
         5,
         true,
         menu(false, true, false, false, true, false),
         0},
        {"no mark, empty row, offline",
         {},
         {},
         5,
         false,
         menu(false, false, false, false, true, false),
         0},
        {"no mark, used row", {}, {5}, 5, true, menu(false, false, true, true, true, false), 0},
        {"one mark on another row",
         {9},
         {5, 9},
         5,
         true,
         menu(true, false, true, true, true, false),
         1},
        {"one mark on the current row",
         {5},
         {5},
         5,
         true,
         menu(false, false, true, true, true, false),
         0},
        {"two marks with the current row",
         {5, 9},
         {9},
         5,
         true,
         menu(true, false, true, true, false, true),
         2},
        {"marks on empty rows only",
         {5, 9, 12},
         {},
         5,
         true,
         menu(false, false, false, false, false, true),
         3},
    };
    const TextTable texts;
    for (const Case& c : cases) {
        SettingsSheet sheet;
        for (int row : c.usedRows)
            sheet.remotes[static_cast<std::size_t>(row - 1)].serialWord =
                100u + static_cast<unsigned>(row);
        for (int row : c.markedRows)
            sheet.remotes[static_cast<std::size_t>(row - 1)].marked = true;
        const RemotePopupMenu prepared = prepareRemotePopupMenu(
            sheet, {.currentRow = c.currentRow, .receiverConnected = c.connected}, texts);
        EXPECT_EQ(prepared, c.expected) << c.what;
        EXPECT_EQ(sheet.countMarked(), c.marksAfter) << c.what;
    }
}

TEST(RemotePopupMenu, PasteFollowsTheClipboard) {
    SettingsSheet sheet;
    const TextTable texts;
    EXPECT_TRUE(prepareRemotePopupMenu(sheet, {.clipboardHoldsRemotes = true}, texts).pasteEnabled);
    EXPECT_FALSE(prepareRemotePopupMenu(sheet, {}, texts).pasteEnabled);
}

} // namespace
} // namespace konfigor
