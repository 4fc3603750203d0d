#include "link/receiver_image.h"
#include "link/receiver_memory.h"
#include "sheet/history.h"
#include "sheet/history_change.h"
#include "sheet/history_commands.h"
#include "sheet/settings_sheet.h"
#include "sheet/sheet_session.h"
#include "support/fake_sheet_session.h"
#include "support/recording_sheet_surface.h"
#include "texts/text_table.h"

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include <gtest/gtest.h>

namespace konfigor {
namespace {

using testing_support::RecordingSheetSurface;

using FakeSession = testing_support::FakeSheetSession;

RemoteEntry remote(std::uint32_t serialWord, std::string_view description, bool marked = false) {
    RemoteEntry entry;
    entry.description.assign(description);
    entry.serialWord = serialWord;
    entry.codeCounter = 42;
    entry.buttonMasks = {1, 2, 4, 8};
    entry.copyLock = false;
    entry.marked = marked;
    return entry;
}

struct Locks {
    bool global = false;
    bool admin = false;
    friend bool operator==(const Locks&, const Locks&) = default;
};

class HistoryTest : public ::testing::Test {
protected:
    HistoryTest() { commands.resetAtStartup(); }

    // Each helper changes the sheet as its command does, then records the change.
    void addRemote(std::uint16_t slot, const RemoteEntry& added) {
        sheet.remotes[slot] = added;
        commands.recordChange(HistoryKind::RemoteAdded, SlotRecord{slot, added});
    }
    void rename(std::string_view identifier) {
        sheet.identifier.assign(identifier);
        commands.recordChange(HistoryKind::IdentifierRenamed, IdentifierRename{sheet.identifier});
    }
    void load(HistoryKind kind, const SettingsSheet& loaded) {
        sheet = loaded;
        commands.recordChange(kind, snapshotPayload(takeSnapshot(sheet, memory())));
    }
    void switchLock(HistoryKind kind, bool on) {
        session.image().update([&](ReceiverMemory& m) {
            kind == HistoryKind::GlobalCopyLock ? m.setGlobalCopyLock(on) : m.setAdminCopyLock(on);
        });
        commands.recordChange(kind, CopyLockSwitch{on});
    }

    ReceiverMemory memory() {
        return session.image().read([](const ReceiverMemory& m) { return m; });
    }
    Locks imageLocks() {
        const ReceiverMemory m = memory();
        return {.global = m.isGlobalCopyLock(), .admin = m.isAdminCopyLock()};
    }
    std::vector<std::string> names() const {
        std::vector<std::string> all;
        for (std::size_t index = 0; index < history.count(); ++index)
            all.push_back(history.entryAt(index).name);
        return all;
    }

    TextTable texts;
    SettingsSheet sheet;
    History history;
    FakeSession session;
    RecordingSheetSurface surface;
    HistoryCommands commands{history, sheet, session, surface, texts};
};

TEST_F(HistoryTest, CaptionsAndStatusFollowAddUndoAndRedo) {
    const RemoteEntry added = remote(123, "Brama");
    struct Step {
        std::string_view what;
        std::function<void()> act;
        UndoRedoCaptions captions;
        std::string status;
        bool slotHoldsRemote;
    };
    const Step steps[] = {
        {"start", [] {}, {"Cofnij", false, "Ponów", false}, "", false},
        {"add",
         [&] { addRemote(7, added); },
         {"Cofnij: Wpisanie pilota", true, "Ponów", false},
         "",
         true},
        {"undo",
         [&] { commands.undo(); },
         {"Cofnij", false, "Ponów: Wpisanie pilota", true},
         "Cofnięto:  Wpisanie pilota",
         false},
        {"redo",
         [&] { commands.redo(); },
         {"Cofnij: Wpisanie pilota", true, "Ponów", false},
         "Ponowiono:  Wpisanie pilota",
         true},
        {"redo at the end does nothing",
         [&] { commands.redo(); },
         {"Cofnij: Wpisanie pilota", true, "Ponów", false},
         "Ponowiono:  Wpisanie pilota",
         true},
    };
    for (const Step& step : steps) {
        SCOPED_TRACE(step.what);
        step.act();
        EXPECT_EQ(surface.captions, step.captions);
        EXPECT_EQ(surface.statusText(StatusPanel::Operation), step.status);
        EXPECT_EQ(sheet.remotes[7] == added, step.slotHoldsRemote);
        EXPECT_EQ(sheet.isEmpty(7), !step.slotHoldsRemote);
    }
}

TEST_F(HistoryTest, ANewChangeAfterTwoUndosDropsTheUndoneEntries) {
    addRemote(0, remote(1, "Pierwszy"));
    rename("Parking");
    addRemote(1, remote(2, "Drugi"));
    commands.undo();
    commands.undo();

    sheet.channels[2].time = 100;
    commands.recordChange(HistoryKind::ChannelEdit, ChannelEdit{2, sheet.channels[2]});

    EXPECT_EQ(names(),
              (std::vector<std::string>{"Pusty arkusz", "Wpisanie pilota", "Edycja kanału"}));
    EXPECT_FALSE(history.canRedo());
    EXPECT_EQ(surface.captions, (UndoRedoCaptions{"Cofnij: Edycja kanału", true, "Ponów", false}));
    commands.redo();
    EXPECT_TRUE(sheet.isEmpty(1));
    EXPECT_TRUE(sheet.identifier.empty());
}

TEST_F(HistoryTest, UndoOfAFileLoadRebuildsFromTheEarlierReceiverLoad) {
    addRemote(9, remote(99, "Przed odczytem"));
    SettingsSheet fromReceiver;
    fromReceiver.remotes[0] = remote(10, "Z odbiornika");
    fromReceiver.identifier.assign("Osiedle");
    fromReceiver.fileName.assign("/tmp/osiedle.kvr");
    session.image().update([](ReceiverMemory& m) { m.setAdminCopyLock(true); });
    load(HistoryKind::ReceiverLoad, fromReceiver);
    const RemoteEntry added = remote(11, "Dopisany");
    addRemote(1, added);
    SettingsSheet fromFile;
    fromFile.remotes[5] = remote(55, "Z pliku");
    fromFile.fileName.assign("/tmp/inny.kvr");
    session.image().update([](ReceiverMemory& m) { m.setAdminCopyLock(false); });
    load(HistoryKind::FileLoad, fromFile);

    commands.undo();

    SettingsSheet expected = fromReceiver;
    expected.remotes[1] = added;
    EXPECT_EQ(sheet.remotes, expected.remotes);
    EXPECT_EQ(sheet.channels, expected.channels);
    EXPECT_EQ(sheet.identifier, expected.identifier);
    EXPECT_EQ(sheet.fileName, expected.fileName);
    EXPECT_EQ(surface.statusText(StatusPanel::Operation), "Cofnięto:  Ładowanie arkusza z pliku");
    // The image follows the rebuilt sheet, locks included.
    const ReceiverMemory image = memory();
    EXPECT_EQ(image.record(1), added.toReceiverRecord());
    EXPECT_EQ(image.record(5), RemoteEntry::cleared().toReceiverRecord());
    EXPECT_TRUE(image.isAdminCopyLock());
}

TEST_F(HistoryTest, PinChangesAreMadeAgainButNeverTakenBack) {
    auto setImagePin = [&](std::string_view pin, bool required) {
        session.image().update([&](ReceiverMemory& m) {
            m.setPin(pin);
            m.setPinRequired(required);
        });
    };
    setImagePin("12345", true);
    commands.recordChange(HistoryKind::PinChange, pinChange("12345", true));

    commands.undo();
    EXPECT_EQ(memory().pinText(), "12345");
    EXPECT_TRUE(session.enteredPins.empty());

    setImagePin("99999", false);
    commands.redo();
    EXPECT_EQ(memory().pinText(), "12345");
    EXPECT_TRUE(memory().isPinRequired());
    EXPECT_EQ(session.enteredPins, std::vector<std::string>{"12345"});

    // A rebuild that starts at a later load does not pass the PIN change.
    load(HistoryKind::ReceiverLoad, SettingsSheet{});
    rename("Po odczycie");
    setImagePin("55555", false);
    commands.undo();
    EXPECT_EQ(memory().pinText(), "55555");
    EXPECT_EQ(session.enteredPins.size(), 1u);
}

TEST_F(HistoryTest, CopyLockSwitchesReplayWithTheirRule) {
    struct Case {
        HistoryKind firstKind;
        bool firstOn;
        HistoryKind secondKind;
        bool secondOn;
        Locks afterFirst;
        Locks afterSecond;
    };
    constexpr auto kGlobal = HistoryKind::GlobalCopyLock;
    constexpr auto kAdmin = HistoryKind::AdminCopyLock;
    const Case cases[] = {
        {kAdmin, true, kGlobal, false, {.admin = true}, {.admin = true}},
        {kAdmin, true, kGlobal, true, {.admin = true}, {.global = true}},
        {kGlobal, true, kAdmin, true, {.global = true}, {.admin = true}},
        {kGlobal, true, kAdmin, false, {.global = true}, {.global = true}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(static_cast<int>(c.firstKind));
        commands.resetAtStartup();
        switchLock(c.firstKind, c.firstOn);
        switchLock(c.secondKind, c.secondOn);

        commands.undo();
        EXPECT_EQ(imageLocks(), c.afterFirst);
        commands.redo();
        EXPECT_EQ(imageLocks(), c.afterSecond);
    }
}

TEST_F(HistoryTest, SwapUndoAndRedoCarryTheMarks) {
    SettingsSheet loaded;
    loaded.remotes[2] = remote(20, "Marked", true);
    loaded.remotes[5] = remote(50, "Current", false);
    load(HistoryKind::ReceiverLoad, loaded);
    std::swap(sheet.remotes[2], sheet.remotes[5]);
    commands.recordChange(HistoryKind::RemotesSwapped, SlotSwap{2, 5});
    const RemoteSlots swapped = sheet.remotes;

    commands.undo();
    EXPECT_EQ(sheet.remotes, loaded.remotes);
    commands.redo();
    EXPECT_EQ(sheet.remotes, swapped);
    EXPECT_EQ(surface.statusText(StatusPanel::Operation), "Ponowiono:  Zmiana pilotów miejscami");
}

TEST_F(HistoryTest, MarksComeBackOnlyWithTheRecordsThatCarryThem) {
    const RemoteEntry unmarked = remote(777, "Nowy opis");
    RemoteSlots compacted{};
    compacted[3] = unmarked;
    struct Case {
        HistoryKind kind;
        HistoryPayload payload;
        bool stillMarked;
    };
    const Case cases[] = {
        {HistoryKind::RemoteAdded, SlotRecord{3, unmarked}, true},
        {HistoryKind::RemotesEdited, SlotRecords{{{3, unmarked}}}, true},
        {HistoryKind::RemotesPasted, SlotRecords{{{3, unmarked}}}, true},
        {HistoryKind::RemoteRead, SlotRecord{3, unmarked}, false},
        {HistoryKind::SheetCompacted, compactionPayload(compacted), false},
    };
    SettingsSheet loaded;
    loaded.remotes[3] = remote(333, "Stary opis", true);
    for (const Case& c : cases) {
        SCOPED_TRACE(static_cast<int>(c.kind));
        commands.resetAtStartup();
        load(HistoryKind::FileLoad, loaded);
        commands.recordChange(c.kind, c.payload);
        rename("Dalej");
        commands.undo();

        const RemoteEntry& slot = sheet.remotes[3];
        EXPECT_EQ(slot.serialWord, 777u);
        EXPECT_EQ(slot.description.view(), "Nowy opis");
        EXPECT_FALSE(slot.copyLock);
        EXPECT_EQ(slot.marked, c.stillMarked);
    }
}

TEST_F(HistoryTest, EraseResetsTheChannelsOnlyWhenItsByteSaysSo) {
    for (const bool channelsReset : {false, true}) {
        SCOPED_TRACE(channelsReset);
        SettingsSheet loaded;
        loaded.remotes[0] = remote(1, "Pilot", true);
        loaded.channels[1].time = 250;
        commands.resetAtStartup();
        load(HistoryKind::ReceiverLoad, loaded);
        commands.recordChange(HistoryKind::SheetErased, SheetErase{channelsReset});
        commands.rebuild(history.position());

        EXPECT_EQ(sheet.remotes, RemoteSlots{});
        EXPECT_EQ(sheet.channels[1].time, channelsReset ? ChannelEntry::kFactoryTime : 250);
    }
}

TEST_F(HistoryTest, RebuildWritesTheReceiverOnlyWhileAutosaving) {
    for (const bool autosave : {false, true}) {
        SCOPED_TRACE(autosave);
        session.autosave = autosave;
        session.sheetWrites = 0;
        addRemote(0, remote(1, "Pilot"));
        commands.undo();
        EXPECT_EQ(session.sheetWrites, autosave ? 1 : 0);
    }
}

TEST_F(HistoryTest, DisconnectionEmptiesEverything) {
    SettingsSheet loaded;
    loaded.remotes[4] = remote(4, "Pilot");
    loaded.identifier.assign("Brama");
    loaded.fileName.assign("/tmp/brama.kvr");
    load(HistoryKind::ReceiverLoad, loaded);
    switchLock(HistoryKind::GlobalCopyLock, true);

    commands.resetAtDisconnection();

    EXPECT_EQ(sheet.remotes, RemoteSlots{});
    EXPECT_TRUE(sheet.identifier.empty());
    EXPECT_TRUE(sheet.fileName.empty());
    EXPECT_EQ(imageLocks(), Locks{});
    EXPECT_EQ(names(), std::vector<std::string>{"Pusty arkusz"});
    EXPECT_EQ(surface.captions, (UndoRedoCaptions{"Cofnij", false, "Ponów", false}));
    EXPECT_GT(surface.identifierRefreshes, 0);
    EXPECT_GT(surface.gridRepaints, 0);
}

TEST(History, RefusesRecordingWhileEmptyAndPayloadsOfAnotherKind) {
    History history;
    EXPECT_FALSE(history.record(HistoryKind::IdentifierRenamed, "Zmiana", IdentifierRename{}));
    EXPECT_FALSE(history.canUndo());
    EXPECT_FALSE(history.reset(HistoryKind::EmptySheet, "Pusty", SheetErase{}));

    ASSERT_TRUE(history.reset(HistoryKind::EmptySheet, "Pusty", {}));
    EXPECT_FALSE(history.record(HistoryKind::ReceiverLoad, "Odczyt", SharedSnapshot{}));
    EXPECT_FALSE(history.record(HistoryKind::RemotesSwapped, "Zmiana", CopyLockSwitch{}));
    EXPECT_EQ(history.count(), 1u);
}

TEST(History, SetPositionIsClampedToTheEntries) {
    History history;
    history.reset(HistoryKind::EmptySheet, "Pusty", {});
    history.record(HistoryKind::SheetErased, "Wymazanie", SheetErase{});
    history.setPosition(7);
    EXPECT_EQ(history.position(), 1u);
    EXPECT_EQ(history.undo(), (HistoryStep{0, "Wymazanie"}));
    EXPECT_EQ(history.undo(), std::nullopt);
}

} // namespace
} // namespace konfigor
