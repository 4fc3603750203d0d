#include "link/receiver_image.h"
#include "sheet/clipboard_changes.h"
#include "sheet/history_change.h"
#include "support/fake_clipboard.h"
#include "support/fake_clock.h"
#include "support/sheet_commands_fixture.h"

#include <gtest/gtest.h>

namespace konfigor {
namespace {

using testing_support::FakeClipboard;
using testing_support::FakeClock;

// Cut and paste wired to the real history and save state, as the main window wires them.
class ClipboardChangesTest : public testing_support::SheetCommandsFixture {
protected:
    ClipboardChangesTest() {
        for (const std::size_t slot : {2u, 5u, 9u}) {
            sheet.remotes[slot].serialWord = 7000u + static_cast<unsigned>(slot);
            sheet.remotes[slot].description.assign("pilot " + std::to_string(slot));
            sheet.remotes[slot].copyLock = false;
        }
        // The remotes arrive as a loaded file does, so the history can rebuild them.
        const SheetSnapshot loaded =
            session.image().read([&](const ReceiverMemory& m) { return takeSnapshot(sheet, m); });
        history.recordChange(HistoryKind::FileLoad, snapshotPayload(loaded));
    }

    ClipboardChanges changes{history, saveState, session};
    FakeClipboard clipboard;
    FakeClock clock;
    ClipboardExchange exchange{sheet, clipboard, clock, prompts, texts, changes};
};

TEST_F(ClipboardChangesTest, CutThenPasteThenTwoUndosRestoreTheSheetBeforeTheCut) {
    const RemoteSlots before = sheet.remotes;
    sheet.remotes[5].marked = true;
    sheet.remotes[9].marked = true;
    ASSERT_TRUE(exchange.cut(5).done);
    EXPECT_TRUE(sheet.isEmpty(5));
    EXPECT_EQ(surface.captions.undo, "Cofnij: Wycięty pilot z arkusza");
    EXPECT_EQ(surface.statusText(StatusPanel::SaveState), "Zmiany nie są nigdzie zapisane");

    exchange.paste(100);
    EXPECT_EQ(sheet.remotes[100].serialWord, 7005u);
    EXPECT_EQ(sheet.remotes[101].serialWord, 7009u);
    EXPECT_EQ(surface.captions.undo, "Cofnij: Wklejony pilot do arkusza");

    history.undo();
    EXPECT_TRUE(sheet.isEmpty(100));
    EXPECT_TRUE(sheet.isEmpty(5));
    history.undo();
    for (std::size_t slot = 0; slot < kRemoteSlotCount; ++slot) {
        EXPECT_EQ(sheet.remotes[slot].serialWord, before[slot].serialWord) << slot;
        EXPECT_TRUE(sheet.remotes[slot].description.sameText(before[slot].description)) << slot;
    }
    EXPECT_EQ(surface.captions.redo, "Ponów: Wycięty pilot z arkusza");
}

TEST_F(ClipboardChangesTest, AutomaticWritingSendsTheWholeSheetAndCountsItWritten) {
    session.autosave = true;
    sheet.remotes[2].marked = true;
    ASSERT_TRUE(exchange.cut(2).done);
    EXPECT_EQ(session.sheetWrites, 1);
    EXPECT_TRUE(saveState.savedToReceiver());
    EXPECT_FALSE(saveState.savedToDisk());
}

} // namespace
} // namespace konfigor
