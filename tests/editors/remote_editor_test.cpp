#include "editors/remote_editor.h"
#include "editors/remote_editor_entry.h"
#include "sheet/serial_word.h"
#include "support/recording_sound.h"
#include "support/sheet_commands_fixture.h"

#include <string>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

namespace konfigor {
namespace {

using testing_support::RecordingSound;
using testing_support::SheetCommandsFixture;

constexpr std::uint32_t kRemoteA = 1048613;
constexpr std::uint32_t kRemoteB = 2200311;

// The editor's window as the logic drives it: what the progress window shows and whether it is
// up, the scan toggle, the serial field, OK and the timers.
class RecordingEditorView final : public RemoteEditorView {
public:
    void showProgress() override {
        if (!progressVisible)
            ++progressShowings;
        progressVisible = true;
    }
    bool isProgressVisible() const override { return progressVisible; }
    void closeProgress() override { progressVisible = false; }
    void showProgressLines(const std::string& remote, const std::string& hintLine) override {
        remoteLine = remote;
        hint = hintLine;
    }
    void setScanButtonDown(bool down) override { scanDown = down; }
    void showSerial(const std::string& number, bool multiFlag) override {
        serial = number;
        multi = multiFlag;
    }
    void setOkEnabled(bool enabled) override { okEnabled = enabled; }
    void runProgressTimer(bool running) override { progressTimer = running; }
    void startRefusalTimer() override { refusalTimer = true; }

    bool progressVisible = false;
    int progressShowings = 0;
    std::string remoteLine;
    std::string hint;
    bool scanDown = false;
    std::string serial;
    bool multi = false;
    bool okEnabled = false;
    bool progressTimer = false;
    bool refusalTimer = false;
};

class RemoteEditorTest : public SheetCommandsFixture {
protected:
    RemoteEditorTest() { editor.setView(&view); }

    void putRemote(std::size_t slot, std::uint32_t word, std::string_view description = {}) {
        RemoteEntry& entry = sheet.remotes.at(slot);
        entry.serialWord = word;
        entry.codeCounter = 7;
        entry.copyLock = false;
        entry.buttonMasks = {1, 2, 4, 8};
        entry.description.assignUtf8(description);
    }

    // Opened for an empty slot and activated: the detection runs.
    RemoteEditorSetup startAdding(std::size_t slot, bool multi = false) {
        RemoteEditorSetup setup = editor.openSlot(slot, multi);
        editor.activated();
        return setup;
    }

    // What the refusal timer shows once it fires.
    void fireRefusalTimer() {
        ASSERT_TRUE(std::exchange(view.refusalTimer, false));
        editor.refusalTimerFired();
    }

    RecordingSound sound;
    RecordingEditorView view;
    RemoteEditor editor{{.sheet = sheet,
                         .history = history,
                         .saveState = saveState,
                         .session = session,
                         .surface = surface,
                         .sound = sound,
                         .texts = texts}};
};

// --- detection ---

TEST_F(RemoteEditorTest, ThreeReportsOfTheSameRemoteInARowAcceptIt) {
    const struct {
        const char* name;
        std::vector<std::uint32_t> reports;
        std::uint32_t accepted; // 0: nothing accepted yet
        const char* lastHint;
    } cases[] = {
        {"A,A,A", {kRemoteA, kRemoteA, kRemoteA}, kRemoteA, ""},
        {"A,A,B,B,B", {kRemoteA, kRemoteA, kRemoteB, kRemoteB, kRemoteB}, kRemoteB, ""},
        {"A,A,B", {kRemoteA, kRemoteA, kRemoteB}, 0, "Wciśnij przycisk jeszcze dwa razy"},
        {"A,A", {kRemoteA, kRemoteA}, 0, "Wciśnij przycisk jeszcze raz"},
        {"A,B,A,B",
         {kRemoteA, kRemoteB, kRemoteA, kRemoteB},
         0,
         "Wciśnij przycisk jeszcze dwa razy"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        view = {};
        startAdding(0);
        for (const std::uint32_t word : c.reports)
            editor.onUnknownRemote(word, 42);
        EXPECT_EQ(view.okEnabled, c.accepted != 0);
        if (c.accepted != 0) {
            EXPECT_EQ(editor.serialWord(), c.accepted);
            EXPECT_EQ(view.serial, std::to_string(c.accepted));
            EXPECT_FALSE(view.progressVisible);
            EXPECT_FALSE(view.scanDown);
            EXPECT_FALSE(editor.detection().isUnderWay());
        } else {
            EXPECT_EQ(view.hint, c.lastHint);
            EXPECT_EQ(view.remoteLine,
                      "Wykryto pilota o numerze " + std::to_string(c.reports.back()));
            EXPECT_TRUE(view.progressTimer);
        }
        editor.cancelDetection();
    }
}

TEST_F(RemoteEditorTest, EachPressSoundsAndAcceptanceSoundsThreeShortTones) {
    startAdding(0);
    for (int press = 0; press < 3; ++press)
        editor.onUnknownRemote(kRemoteA, 1);
    const std::vector<Tone> press{{700, 100}};
    const std::vector<Tone> accepted{{1100, 50}, {0, 50}, {1100, 50}, {0, 50}, {1100, 50}, {0, 50}};
    EXPECT_EQ(sound.signals, (std::vector<std::vector<Tone>>{press, press, accepted}));
}

TEST_F(RemoteEditorTest, DetectionShowsTheMultiFormAndTakesTheFlag) {
    startAdding(0, true);
    const std::uint32_t multi = serial_word::withMulti(kRemoteA, true);
    editor.onUnknownRemote(multi, 1);
    EXPECT_EQ(view.remoteLine, "Wykryto pilota o numerze (M) " + std::to_string(kRemoteA));
    editor.onUnknownRemote(multi, 2);
    editor.onUnknownRemote(multi, 3);
    EXPECT_EQ(view.serial, std::to_string(kRemoteA));
    EXPECT_TRUE(view.multi);
}

TEST_F(RemoteEditorTest, RemotesAlreadyKnownAreRefusedWithTheirPosition) {
    putRemote(9, kRemoteB);
    const struct {
        const char* name;
        bool stored;
        std::uint32_t word; // unknown remote's word
        std::size_t slot;   // stored remote's receiver slot
        const char* refusal;
    } cases[] = {
        {"in the sheet", false, kRemoteB, 0, "Ten pilot jest już zapisany w arkuszu na pozycji 10"},
        {"in the receiver at its first slot", true, 0, 0,
         "Ten pilot jest już zapisany w pamięci EEPROM na pozycji 1"},
        {"in the receiver at its last slot", true, 0, 703,
         "Ten pilot jest już zapisany w pamięci EEPROM na pozycji 704"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        view = {};
        startAdding(0);
        editor.onUnknownRemote(kRemoteA, 1);
        editor.onUnknownRemote(kRemoteA, 2);
        view.progressVisible = false; // the user looks away: the window comes back with the news
        if (c.stored)
            editor.onStoredRemote(c.slot);
        else
            editor.onUnknownRemote(c.word, 3);
        fireRefusalTimer();
        EXPECT_EQ(view.remoteLine, c.refusal);
        EXPECT_EQ(view.hint, "");
        EXPECT_TRUE(view.progressVisible);
        EXPECT_FALSE(view.okEnabled);
        // The count starts again: A needs three more presses.
        editor.onUnknownRemote(kRemoteA, 4);
        editor.onUnknownRemote(kRemoteA, 5);
        EXPECT_FALSE(view.okEnabled);
        editor.onUnknownRemote(kRemoteA, 6);
        EXPECT_TRUE(view.okEnabled);
    }
}

TEST_F(RemoteEditorTest, TheEditedRemoteItselfIsRefusedToo) {
    putRemote(3, kRemoteA);
    editor.openSlot(3, false);
    editor.scanButtonToggled(true);
    editor.onUnknownRemote(kRemoteA, 1);
    fireRefusalTimer();
    EXPECT_EQ(view.remoteLine, "Ten pilot jest już zapisany w arkuszu na pozycji 4");
}

TEST_F(RemoteEditorTest, ReportsCountOnlyWhileTheScanButtonIsDown) {
    putRemote(3, kRemoteB);
    editor.openSlot(3, false); // editing: the button starts up
    editor.onUnknownRemote(kRemoteA, 1);
    editor.onStoredRemote(5);
    EXPECT_FALSE(view.refusalTimer);
    EXPECT_FALSE(editor.detection().isUnderWay());

    startAdding(0);
    editor.onUnknownRemote(kRemoteA, 1);
    editor.cancelDetection();
    EXPECT_FALSE(view.scanDown);
    EXPECT_FALSE(view.progressVisible);
    EXPECT_FALSE(view.progressTimer);
    editor.onUnknownRemote(kRemoteA, 2);
    editor.onUnknownRemote(kRemoteA, 3);
    EXPECT_FALSE(view.okEnabled);
}

TEST_F(RemoteEditorTest, TheProgressComesBackWhileADetectionIsUnderWay) {
    startAdding(0);
    EXPECT_TRUE(view.progressVisible);
    EXPECT_EQ(view.hint, "Aby dodać pilota wciśnij przycisk trzykrotnie");
    editor.activated(); // once only
    EXPECT_EQ(view.progressShowings, 1);
    view.progressVisible = false;
    editor.progressTimerFired(); // nothing detected yet
    EXPECT_FALSE(view.progressVisible);
    editor.onUnknownRemote(kRemoteA, 1);
    editor.progressTimerFired();
    EXPECT_TRUE(view.progressVisible);
}

// --- opening ---

TEST_F(RemoteEditorTest, OpeningAnEmptySlotPreparesANewCopyLockedRemote) {
    const RemoteEditorSetup setup = editor.openSlot(4, false);
    EXPECT_EQ(setup.mode, RemoteEditorSetup::Mode::Adding);
    EXPECT_EQ(setup.title, "Wpisywanie pilota...");
    EXPECT_EQ(setup.scanCaption, "Odczytaj dane pilota");
    EXPECT_TRUE(setup.scanDown);
    EXPECT_FALSE(setup.okEnabled);
    EXPECT_EQ(setup.positionText, "5");
    EXPECT_EQ(setup.serialText, "");
    EXPECT_EQ(setup.form.copyLock, BoxState::Checked);
    EXPECT_EQ(masksOf(setup.form), (std::array<std::uint16_t, 4>{1, 2, 4, 8}));
    EXPECT_TRUE(setup.addNextEnabled);
}

TEST_F(RemoteEditorTest, OpeningARemoteShowsItAsStored) {
    putRemote(2, serial_word::withMulti(kRemoteA, true), "Brama");
    sheet.remotes[2].buttonMasks = {3, 0, 0, 8};
    const RemoteEditorSetup setup = editor.openSlot(2, true);
    EXPECT_EQ(setup.mode, RemoteEditorSetup::Mode::EditingOne);
    EXPECT_EQ(setup.title, "Edycja pilota...");
    EXPECT_EQ(setup.scanCaption, "Zmień dane pilota");
    EXPECT_FALSE(setup.scanDown);
    EXPECT_TRUE(setup.okEnabled);
    EXPECT_EQ(setup.serialText, std::to_string(kRemoteA));
    EXPECT_EQ(setup.form.multi, BoxState::Checked);
    EXPECT_EQ(setup.form.copyLock, BoxState::Cleared); // kept as stored
    EXPECT_EQ(setup.form.description, "Brama");
    EXPECT_EQ(masksOf(setup.form), (std::array<std::uint16_t, 4>{3, 0, 0, 8}));
    EXPECT_FALSE(setup.addNextEnabled);
}

// --- OK for one slot ---

TEST_F(RemoteEditorTest, OkStoresTheAcceptedRemoteWithTheBoxes) {
    RemoteEditorSetup setup = startAdding(0);
    for (int press = 0; press < 3; ++press)
        editor.onUnknownRemote(kRemoteA, 77);
    setup.form.description = "Żółta brama";
    setup.form.channels[0][1] = BoxState::Checked;
    setup.form.copyLock = BoxState::Cleared;
    editor.accept(setup.form);
    const RemoteEntry& entry = sheet.remotes[0];
    EXPECT_EQ(entry.serialWord, kRemoteA);
    EXPECT_EQ(entry.codeCounter, 77);
    EXPECT_EQ(entry.buttonMasks, (std::array<std::uint16_t, 4>{3, 2, 4, 8}));
    EXPECT_FALSE(entry.copyLock);
    EXPECT_EQ(entry.description.toUtf8(), "Żółta brama");
    EXPECT_EQ(store.kindAt(store.position()), HistoryKind::RemoteAdded);
    EXPECT_FALSE(saveState.savedToDisk());
    EXPECT_FALSE(saveState.savedToReceiver());
}

TEST_F(RemoteEditorTest, TheMultiBoxDecidesTheFlagBitsOnAMultiReceiver) {
    const std::uint32_t highBits = 0x3000'0000; // bits 28 and 29 as the receiver reported them
    const struct {
        const char* name;
        std::uint32_t stored;
        BoxState box;
        std::uint32_t expected;
    } cases[] = {
        {"unchecked clears bits 28-31", kRemoteA | highBits | serial_word::kMultiBit,
         BoxState::Cleared, kRemoteA},
        {"checked sets bit 30 only", kRemoteA | highBits, BoxState::Checked,
         kRemoteA | highBits | serial_word::kMultiBit},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        putRemote(1, c.stored);
        RemoteEditorSetup setup = editor.openSlot(1, true);
        setup.form.multi = c.box;
        editor.accept(setup.form);
        EXPECT_EQ(sheet.remotes[1].serialWord, c.expected);
    }
}

TEST_F(RemoteEditorTest, WithoutAMultiReceiverAnEditKeepsTheSerialWord) {
    const std::uint32_t word = serial_word::withMulti(kRemoteA, true) | 0x1000'0000;
    putRemote(1, word, "Stara");
    RemoteEditorSetup setup = editor.openSlot(1, false);
    EXPECT_FALSE(setup.multiEnabled);
    EXPECT_EQ(setup.form.multi, BoxState::Checked); // shown as stored
    setup.form.description = "Nowa";
    editor.accept(setup.form);
    EXPECT_EQ(sheet.remotes[1].serialWord, word);
    EXPECT_EQ(sheet.remotes[1].description.toUtf8(), "Nowa");
}

TEST_F(RemoteEditorTest, AutomaticWritingSendsTheSlotAndFollowsTheOutcome) {
    const struct {
        const char* name;
        bool autosave;
        bool sent;
        bool savedToReceiverAfter;
    } cases[] = {
        {"off", false, true, false},
        {"sent keeps the receiver flag", true, true, true},
        {"not sent", true, false, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        saveState.setSavedToReceiver(true);
        session.autosave = c.autosave;
        session.writesSucceed = c.sent;
        session.recordWrites.clear();
        putRemote(6, kRemoteA);
        const RemoteEditorSetup setup = editor.openSlot(6, false);
        editor.accept(setup.form);
        EXPECT_EQ(session.recordWrites,
                  c.autosave ? std::vector<std::size_t>{6} : std::vector<std::size_t>{});
        EXPECT_EQ(saveState.savedToReceiver(), c.savedToReceiverAfter);
        EXPECT_EQ(store.kindAt(store.position()), HistoryKind::RemotesEdited);
    }
}

TEST_F(RemoteEditorTest, TheChainGoesOnToTheNextEmptySlotAndEndsAtTheLast) {
    for (std::size_t slot = 0; slot < kRemoteSlotCount; ++slot)
        if (slot != 4 && slot != 6)
            putRemote(slot, 3'000'000u + static_cast<std::uint32_t>(slot));
    std::uint32_t word = kRemoteA;
    auto addOne = [&](std::size_t slot, bool reopening) {
        RemoteEditorSetup setup = editor.openSlot(slot, false, reopening);
        editor.activated();
        for (int press = 0; press < 3; ++press)
            editor.onUnknownRemote(word, 1);
        ++word;
        setup.form.addNext = true;
        return editor.accept(setup.form);
    };
    EXPECT_EQ(addOne(4, false), std::optional<std::size_t>(6));
    const RemoteEditorSetup reopened = editor.openSlot(6, false, true);
    EXPECT_FALSE(reopened.fillsChannels);
    EXPECT_EQ(addOne(6, true), std::nullopt);
    EXPECT_EQ(sheet.countEmpty(), 0u);
}

// --- several marked remotes ---

TEST_F(RemoteEditorTest, MarkedRemotesTakeTheBoxesThatAreNotGrey) {
    putRemote(0, kRemoteA, "Brama");
    putRemote(1, kRemoteB, "Brama");
    sheet.remotes[1].buttonMasks = {1, 2 | 4, 4, 8};  // differs in button 2, channel 3 only
    sheet.remotes[2].description.assignUtf8("pusty"); // marked but empty
    for (const std::size_t slot : {0, 1, 2})
        sheet.remotes[slot].marked = true;

    RemoteEditorSetup setup = editor.openMarked(0, false);
    EXPECT_EQ(setup.mode, RemoteEditorSetup::Mode::EditingMarked);
    EXPECT_EQ(setup.title, "Edycja zaznaczonych pilotów...");
    EXPECT_FALSE(setup.scanEnabled);
    EXPECT_EQ(setup.scanCaption, "Zmiana danych pilotów niemożliwa");
    EXPECT_TRUE(setup.okEnabled);
    EXPECT_EQ(setup.form.channels[1][2], BoxState::Grey);
    EXPECT_TRUE(setup.channelMayBeGrey[1][2]);
    // The empty slot's masks (all clear) differ from the first remote's in every set box.
    EXPECT_EQ(setup.form.channels[0][0], BoxState::Grey);
    EXPECT_EQ(setup.form.channels[0][1], BoxState::Cleared);
    EXPECT_FALSE(setup.channelMayBeGrey[0][1]);
    EXPECT_TRUE(setup.form.descriptionMixed); // "pusty" differs from "Brama"

    setup.form.channels[0][0] = BoxState::Checked;
    setup.form.channels[0][1] = BoxState::Checked; // button 1 now also on channel 2
    setup.form.copyLock = BoxState::Checked;
    setup.form.description = "ignored while mixed";
    session.autosave = true;
    editor.accept(setup.form);

    EXPECT_EQ(sheet.remotes[0].buttonMasks, (std::array<std::uint16_t, 4>{3, 2, 4, 8}));
    EXPECT_EQ(sheet.remotes[1].buttonMasks, (std::array<std::uint16_t, 4>{3, 6, 4, 8}));
    EXPECT_TRUE(sheet.remotes[0].copyLock);
    EXPECT_EQ(sheet.remotes[0].description.toUtf8(), "Brama");
    EXPECT_TRUE(sheet.remotes[2].isEmpty());
    EXPECT_EQ(sheet.remotes[2].buttonMasks, (std::array<std::uint16_t, 4>{}));
    EXPECT_EQ(session.sheetWrites, 1);
    EXPECT_TRUE(session.recordWrites.empty());
    EXPECT_TRUE(saveState.savedToReceiver());
    EXPECT_EQ(store.kindAt(store.position()), HistoryKind::RemotesEdited);
    const HistoryEntry entry = store.entryAt(store.position());
    EXPECT_EQ(std::get<SlotRecords>(entry.payload).records.size(), 3u);
}

TEST_F(RemoteEditorTest, AMarkedDescriptionTypedOverReplacesEveryOne) {
    putRemote(0, kRemoteA, "Brama");
    putRemote(1, kRemoteB, "Furtka");
    sheet.remotes[0].marked = sheet.remotes[1].marked = true;
    RemoteEditorSetup setup = editor.openMarked(1, true);
    EXPECT_TRUE(setup.form.descriptionMixed);
    EXPECT_EQ(setup.form.description, "Furtka");
    setup.form.descriptionMixed = false; // the user typed
    setup.form.description = "Osiedle";
    setup.form.multi = BoxState::Checked;
    editor.accept(setup.form);
    for (const std::size_t slot : {0, 1}) {
        EXPECT_EQ(sheet.remotes[slot].description.toUtf8(), "Osiedle");
        EXPECT_TRUE(serial_word::isMulti(sheet.remotes[slot].serialWord));
    }
}

// --- ways in ---

TEST(RemoteEditorEntryTest, EachWayOpensUnderItsConditions) {
    SettingsSheet sheet;
    sheet.remotes[1].serialWord = kRemoteA;
    using Way = RemoteEditorWay;
    using Action = RemoteEditorEntry::Action;
    const RemoteEditorContext connected{.receiverConnected = true};
    const RemoteEditorContext offline{};
    const RemoteEditorContext busy{.receiverConnected = true, .operationPending = true};
    const struct {
        const char* name;
        Way way;
        std::size_t slot;
        RemoteEditorContext context;
        RemoteEditorEntry expected;
    } cases[] = {
        {"add on empty", Way::AddButton, 0, connected, {Action::OpenSlot, {}, true}},
        {"add offline", Way::AddButton, 0, offline, {}},
        {"add on a remote",
         Way::AddButton,
         1,
         connected,
         {Action::Warn, Msg::SelectEmptyRowForRemote}},
        {"add while busy", Way::AddButton, 0, busy, {}},
        {"edit a remote", Way::EditButton, 1, offline, {Action::OpenSlot, {}, false}},
        {"edit an empty row",
         Way::EditButton,
         0,
         connected,
         {Action::Warn, Msg::SelectRemoteToEdit}},
        {"edit while busy", Way::EditButton, 1, busy, {}},
        {"menu add", Way::MenuAdd, 0, connected, {Action::OpenSlot, {}, true}},
        {"menu edit", Way::MenuEdit, 1, connected, {Action::OpenSlot, {}, false}},
        {"menu while busy", Way::MenuEdit, 1, busy, {}},
        {"double click connected", Way::DoubleClick, 1, connected, {Action::OpenSlot, {}, true}},
        {"double click offline on a remote",
         Way::DoubleClick,
         1,
         offline,
         {Action::OpenSlot, {}, false}},
        {"double click offline on empty", Way::DoubleClick, 0, offline, {}},
        {"enter connected", Way::Enter, 0, connected, {Action::OpenSlot, {}, false}},
        {"enter offline", Way::Enter, 1, offline, {}},
        {"enter while busy", Way::Enter, 1, busy, {}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(decideRemoteEditorEntry(c.way, sheet, c.slot, c.context), c.expected) << c.name;
}

TEST(RemoteEditorEntryTest, MarksChooseBetweenOneSlotAndTheMarkedRemotes) {
    const RemoteEditorContext connected{.receiverConnected = true};
    using Action = RemoteEditorEntry::Action;
    SettingsSheet sheet;
    sheet.remotes[5].serialWord = kRemoteA;
    sheet.remotes[2].marked = true;
    EXPECT_EQ(decideRemoteEditorEntry(RemoteEditorWay::MenuEdit, sheet, 5, connected).action,
              Action::OpenSlot);
    sheet.remotes[3].marked = true; // two marks, both empty
    EXPECT_EQ(decideRemoteEditorEntry(RemoteEditorWay::MenuEdit, sheet, 5, connected).action,
              Action::Nothing);
    sheet.remotes[5].marked = true;
    EXPECT_EQ(decideRemoteEditorEntry(RemoteEditorWay::MenuEdit, sheet, 5, connected).action,
              Action::OpenMarked);
}

} // namespace
} // namespace konfigor
