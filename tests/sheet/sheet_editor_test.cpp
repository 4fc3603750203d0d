#include "sheet/sheet_editor.h"
#include "support/sheet_commands_fixture.h"

#include <string>
#include <vector>

#include <gtest/gtest.h>

namespace konfigor {
namespace {

using testing_support::ScriptedPrompts;

class SheetEditorTest : public testing_support::SheetCommandsFixture {
protected:
    void put(std::initializer_list<int> slots) {
        for (int slot : slots) {
            sheet.remotes[static_cast<std::size_t>(slot)].serialWord =
                1000u + static_cast<unsigned>(slot);
            sheet.remotes[static_cast<std::size_t>(slot)].copyLock = false;
        }
    }
    void markSlots(std::initializer_list<int> slots) {
        for (int slot : slots)
            sheet.remotes[static_cast<std::size_t>(slot)].marked = true;
    }
    // "slot:serial" for every used slot, "*" after a marked one.
    std::string used() const {
        std::string text;
        for (std::size_t slot = 0; slot < kRemoteSlotCount; ++slot) {
            const RemoteEntry& r = sheet.remotes[slot];
            if (r.isEmpty() && !r.marked)
                continue;
            text += (text.empty() ? "" : " ") + std::to_string(slot) + ":" +
                    std::to_string(r.serialWord) + (r.marked ? "*" : "");
        }
        return text;
    }
    std::vector<std::string> askedTexts() const {
        std::vector<std::string> asked;
        for (const Prompt& prompt : prompts.asked())
            asked.push_back(prompt.text);
        return asked;
    }
    std::string undoCaption() const { return surface.captions.undo; }

    SheetEditor editor{sheet, {history, saveState, session, prompts, surface, texts}};
};

TEST_F(SheetEditorTest, CompactionMovesRemotesToTheFrontOnce) {
    put({3, 7, 9});
    markSlots({7});
    sheet.remotes[0].description.assign("stary opis");
    prompts.answer(PromptAnswer::Yes);
    editor.compact();
    EXPECT_EQ(used(), "0:1003 1:1007* 2:1009");
    EXPECT_TRUE(sheet.remotes[0].description.empty()) << "the moved remote's description wins";
    for (std::size_t slot : {3u, 7u, 9u})
        EXPECT_EQ(sheet.remotes[slot], RemoteEntry::cleared()) << slot;
    EXPECT_EQ(undoCaption(), "Cofnij: Kompaktowanie arkusza pilotów");
    EXPECT_EQ(surface.statusText(StatusPanel::SaveState), "Zmiany nie są nigdzie zapisane");

    saveState.setSavedToDisk(true);
    prompts.answer(PromptAnswer::Yes);
    editor.compact();
    EXPECT_EQ(store.count(), 2u) << "a second compaction moves nothing and records nothing";
    EXPECT_TRUE(saveState.savedToDisk());
}

TEST_F(SheetEditorTest, CompactionAnsweredNoChangesNothing) {
    put({5});
    prompts.answer(PromptAnswer::No);
    editor.compact();
    EXPECT_EQ(used(), "5:1005");
    EXPECT_EQ(askedTexts(), std::vector<std::string>{"Na pewno chcesz kompaktować bazę?"});
}

TEST_F(SheetEditorTest, SwapTakesTheFirstTwoMarksOrTheCurrentRow) {
    const struct {
        const char* what;
        std::vector<int> marked;
        int currentRow;
        std::string after;
    } cases[] = {
        {"one mark and the current row", {4}, 10, "4:1009 9:1004*"},
        {"current row on the marked slot", {4}, 5, "4:1004* 9:1009"},
        {"three marks", {4, 9, 12}, 1, "4:1009* 9:1004* 12:1012*"},
        {"no mark", {}, 10, "4:1004 9:1009 12:1012"},
    };
    for (const auto& c : cases) {
        sheet = SettingsSheet();
        put({4, 9});
        if (c.marked.size() == 3)
            put({12});
        for (int slot : c.marked)
            sheet.remotes[static_cast<std::size_t>(slot)].marked = true;
        if (c.marked.empty())
            put({12});
        editor.swap(c.currentRow);
        EXPECT_EQ(used(), c.after) << c.what;
    }
}

TEST_F(SheetEditorTest, SwapWithAutomaticWritingSendsBothSlotsInOrder) {
    session.autosave = true;
    put({4, 9});
    markSlots({4, 9});
    editor.swap(1);
    EXPECT_EQ(session.recordWrites, std::vector<std::size_t>{4});
    EXPECT_EQ(session.secondRecordSlots, std::vector<std::size_t>{9});
}

TEST_F(SheetEditorTest, DeleteAsksAboutWhatIsSelected) {
    const struct {
        const char* what;
        std::vector<int> marked;
        int currentRow;
        std::vector<PromptAnswer> answers;
        std::vector<std::string> asked;
        std::string after;
    } cases[] = {
        {"nothing marked, empty row",
         {},
         1,
         {},
         {"Wybierz w arkuszu pilot do usunięcia"},
         "4:1004 9:1009"},
        {"nothing marked, used row, Yes",
         {},
         5,
         {PromptAnswer::Yes},
         {"Czy na pewno usunąć wybranego pilota z arkusza?"},
         "9:1009"},
        {"nothing marked, used row, No",
         {},
         5,
         {PromptAnswer::No},
         {"Czy na pewno usunąć wybranego pilota z arkusza?"},
         "4:1004* 9:1009"},
        {"two empty marks, used current row", {1, 2}, 5, {}, {}, "1:0* 2:0* 4:1004 9:1009"},
        {"two empty marks, empty current row",
         {1, 2},
         1,
         {},
         {"Wybierz w arkuszu pilot do usunięcia"},
         "1:0* 2:0* 4:1004 9:1009"},
        {"marks with remotes, Yes",
         {1, 4, 9},
         1,
         {PromptAnswer::Yes},
         {"Czy na pewno usunąć zaznaczone piloty z arkusza?"},
         ""},
    };
    for (const auto& c : cases) {
        sheet = SettingsSheet();
        prompts = ScriptedPrompts();
        put({4, 9});
        for (int slot : c.marked)
            sheet.remotes[static_cast<std::size_t>(slot)].marked = true;
        for (PromptAnswer answer : c.answers)
            prompts.answer(answer);
        editor.deleteRemotes(c.currentRow);
        EXPECT_EQ(askedTexts(), c.asked) << c.what;
        EXPECT_EQ(used(), c.after) << c.what;
    }
}

TEST_F(SheetEditorTest, EraseKeepsOrResetsTheChannelsAsAnswered) {
    for (const bool resetChannels : {false, true}) {
        put({0, 703});
        sheet.channels[2].time = 77;
        sheet.channels[2].description.assign("Brama");
        sheet.identifier.assign("Osiedle");
        prompts = ScriptedPrompts();
        prompts.answer(PromptAnswer::Yes)
            .answer(resetChannels ? PromptAnswer::Yes : PromptAnswer::No);
        editor.erase(false);

        EXPECT_EQ(prompts.asked().at(0).text,
                  "Na pewno wymazać piloty z arkusza?\n\nNie spowoduje to usuniecia "
                  "danych z pamieci odbiornika.");
        EXPECT_EQ(prompts.asked().at(0).caption, "Wymazanie arkusza");
        EXPECT_EQ(used(), "");
        EXPECT_TRUE(sheet.identifier.empty());
        EXPECT_EQ(sheet.channels[2].time, resetChannels ? 5 : 77);
        EXPECT_EQ(sheet.channels[2].description.empty(), resetChannels);
        EXPECT_EQ(session.imageClears.back(), resetChannels);
        EXPECT_EQ(surface.statusText(StatusPanel::SaveState), "Zmiany zapisane");
        EXPECT_EQ(undoCaption(), "Cofnij: Wymazanie arkusza");
    }
}

TEST_F(SheetEditorTest, EraseWithTheAutosaveToggleDownAsksAboutTheReceiverToo) {
    prompts.answer(PromptAnswer::No);
    editor.erase(true);
    EXPECT_EQ(askedTexts(),
              std::vector<std::string>{
                  "Na pewno mają zostać wymazane wszystkie dane z arkusza i odbiornika?"});
    EXPECT_EQ(session.imageClears.size(), 0u);
}

TEST_F(SheetEditorTest, RenameIsRecordedOnlyWhenTheTextChanged) {
    editor.identifierFocused("Osiedle Zielone");
    editor.identifierLeft("Osiedle Zielone");
    EXPECT_EQ(store.count(), 1u);
    editor.identifierFocused("Osiedle Zielone");
    editor.identifierLeft("Osiedle Zielona");
    EXPECT_EQ(store.count(), 2u);
    EXPECT_EQ(sheet.identifier.toUtf8(), "Osiedle Zielona");
    EXPECT_EQ(undoCaption(), "Cofnij: Zmiana nazwy odbiornika");
}

} // namespace
} // namespace konfigor
