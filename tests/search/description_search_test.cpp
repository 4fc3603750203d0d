#include "config/configuration.h"
#include "search/description_search.h"
#include "search/scripted_search_windows.h"
#include "search/settings_tree.h"
#include "support/sheet_commands_fixture.h"

#include <filesystem>
#include <string>
#include <vector>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

namespace konfigor {
namespace {

using testing::ElementsAre;
using testing::StartsWith;
using Paths = std::vector<std::filesystem::path>;

const std::string kNoChangesQuestion =
    "Nie dokonano żadnych zmian od ostatniego zapisu. Czy chcesz skanować?";
const std::string kDiskQuestion = "Nie zapisano zmian na dysk. Czy chcesz zapisać zmiany na dysk?";
const std::string kReceiverQuestion =
    "Nie zapisano zmian do pamięci EEPROM. Czy chcesz zapisać zmiany do EEPROM?";

bool sameSheet(const SettingsSheet& a, const SettingsSheet& b) {
    return a.remotes == b.remotes && a.channels == b.channels && a.identifier == b.identifier &&
           a.fileName == b.fileName;
}

// A sheet just loaded from a receiver, and a folder of files that describe it more or less well.
class DescriptionSearchTest : public testing_support::SheetCommandsFixture {
protected:
    DescriptionSearchTest() {
        for (std::size_t slot = 0; slot < 4; ++slot) {
            sheet.remotes[slot].serialWord = static_cast<std::uint32_t>(100 + slot);
            sheet.remotes[slot].codeCounter = 50;
            sheet.remotes[slot].copyLock = false;
        }
        saveState.apply(SaveEvent::ReceiverLoaded);
        configuration.setSearchFolders({tree.path("opisy")});
        search.setWindows(windows);
        search.setScanWorkers(2);
    }

    // The sheet's remotes with descriptions, the first `agreeing` of them at their slots.
    std::filesystem::path writeDescribed(const std::string& name, std::size_t agreeing,
                                         const char* identifier) const {
        auto file = testing_support::sheetWith({});
        for (std::size_t slot = 0; slot < agreeing; ++slot) {
            file->remotes[slot] = sheet.remotes[slot];
            file->remotes[slot].codeCounter = 9;
            file->remotes[slot].description.assign("pilot " + std::to_string(slot + 1));
        }
        file->identifier.assign(identifier);
        return tree.writeSheet(name, *file);
    }

    std::vector<std::string> askedTexts() const {
        std::vector<std::string> asked;
        for (const Prompt& prompt : prompts.asked())
            asked.push_back(prompt.text);
        return asked;
    }

    testing_support::SettingsTree tree;
    Configuration configuration;
    testing_support::ScriptedSearchWindows windows;
    DescriptionSearch search{{.sheet = sheet,
                              .configuration = configuration,
                              .saveState = saveState,
                              .history = history,
                              .session = session,
                              .prompts = prompts,
                              .surface = surface,
                              .texts = texts}};
};

TEST_F(DescriptionSearchTest, TheChosenFileIsMergedAndRecordedWithoutChangingTheSaveFlags) {
    writeDescribed("opisy/czesciowy.kvr", 2, "Stary opis");
    const auto best = writeDescribed("opisy/2020/pelny.kvr", 4, "Osiedle Zielone");
    const std::size_t entries = store.count();
    prompts.answer(PromptAnswer::No);

    search.run();

    EXPECT_THAT(askedTexts(), ElementsAre(kDiskQuestion));
    EXPECT_THAT(windows.shown, ElementsAre("criteria", "folders", "scan", "results"));
    ASSERT_EQ(search.results().size(), 2u);
    EXPECT_EQ(search.results()[0], (ScanResult{.path = best, .score = 100.0}));
    EXPECT_EQ(windows.resultsShown, search.results());

    EXPECT_EQ(sheet.remotes[3].description.view(), "pilot 4");
    EXPECT_EQ(sheet.remotes[3].codeCounter, 50) << "the receiver's counter stays";
    EXPECT_EQ(sheet.identifier.view(), "Osiedle Zielone");
    EXPECT_EQ(sheet.fileName.view(), best.string());
    EXPECT_EQ(surface.identifierRefreshes, 1);
    EXPECT_GE(surface.gridRepaints, 1);

    ASSERT_EQ(store.count(), entries + 1);
    const HistoryEntry entry = store.entryAt(store.position());
    EXPECT_EQ(entry.kind, HistoryKind::DescriptionSearch);
    EXPECT_TRUE(sameSheet(std::get<SharedSnapshot>(entry.payload)->sheet, sheet));
    EXPECT_EQ(surface.captions.undo, "Cofnij: Wyszukiwanie opisu do nastaw");

    EXPECT_FALSE(saveState.savedToDisk());
    EXPECT_TRUE(saveState.savedToReceiver());
    EXPECT_EQ(session.sheetWrites, 0);
    EXPECT_EQ(windows.busy, (std::vector<bool>{true, false}));
}

TEST_F(DescriptionSearchTest, OpeningQuestions) {
    const struct {
        std::string name;
        SearchStart start;
        bool savedToDisk;
        bool savedToReceiver;
        std::vector<PromptAnswer> answers;
        std::vector<std::string> asked;
        bool goesOn;
    } cases[] = {
        {"saved everywhere, scan anyway",
         SearchStart::ByUser,
         true,
         true,
         {PromptAnswer::Yes},
         {kNoChangesQuestion},
         true},
        {"saved everywhere, no scan",
         SearchStart::ByUser,
         true,
         true,
         {PromptAnswer::No},
         {kNoChangesQuestion},
         false},
        {"unsaved, cancelled",
         SearchStart::ByUser,
         false,
         true,
         {PromptAnswer::Cancel},
         {kDiskQuestion},
         false},
        {"receiver behind, not written",
         SearchStart::ByUser,
         true,
         false,
         {PromptAnswer::No},
         {kReceiverQuestion},
         true},
        {"after the load", SearchStart::AfterLoad, false, true, {}, {}, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        testing_support::ScriptedPrompts answers;
        for (const PromptAnswer answer : c.answers)
            answers.answer(answer);
        SaveState flags(texts, answers, surface, saveCommands);
        flags.setSavedToDisk(c.savedToDisk);
        flags.setSavedToReceiver(c.savedToReceiver);
        testing_support::ScriptedSearchWindows dialogs;
        dialogs.criteriaAnswer = [](const SearchCriteria&) { return std::nullopt; };
        DescriptionSearch command({.sheet = sheet,
                                   .configuration = configuration,
                                   .saveState = flags,
                                   .history = history,
                                   .session = session,
                                   .prompts = answers,
                                   .surface = surface,
                                   .texts = texts});
        command.setWindows(dialogs);

        command.run(c.start);

        std::vector<std::string> asked;
        for (const Prompt& prompt : answers.asked())
            asked.push_back(prompt.text);
        EXPECT_EQ(asked, c.asked);
        EXPECT_EQ(dialogs.shown,
                  c.goesOn ? std::vector<std::string>{"criteria"} : std::vector<std::string>{});
        if (!c.asked.empty() && c.asked.front() == kNoChangesQuestion) {
            const Prompt& question = answers.asked().front();
            EXPECT_EQ(question.caption, "Konfigor USB");
            EXPECT_EQ(question.buttons, PromptButtons::YesNo);
            EXPECT_EQ(question.defaultAnswer, PromptAnswer::No);
            EXPECT_EQ(question.icon, PromptIcon::Question);
        }
    }
}

// Every dialog but the last ends the command when it is not confirmed; nothing changes then.
TEST_F(DescriptionSearchTest, AnythingButOkEndsTheSearchAndChangesNothing) {
    writeDescribed("opisy/pelny.kvr", 4, "Osiedle");
    const struct {
        std::string name;
        std::function<void(testing_support::ScriptedSearchWindows&)> script;
        std::vector<std::string> shown;
    } cases[] = {
        {"criteria cancelled",
         [](auto& w) { w.criteriaAnswer = [](const SearchCriteria&) { return std::nullopt; }; },
         {"criteria"}},
        {"folders cancelled after changing the list",
         [](auto& w) {
             w.folderChoice = [](SearchFolderList& list) {
                 list.clear();
                 list.add("/gdzie/indziej");
                 return false;
             };
         },
         {"criteria", "folders"}},
        {"scan cancelled", [](auto& w) { w.cancelScan = true; }, {"criteria", "folders", "scan"}},
        {"results cancelled",
         [](auto& w) { w.chosenRow = std::nullopt; },
         {"criteria", "folders", "scan", "results"}},
    };
    const SettingsSheet before = sheet;
    const std::size_t entries = store.count();
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        testing_support::ScriptedSearchWindows dialogs;
        c.script(dialogs);
        search.setWindows(dialogs);

        search.run(SearchStart::AfterLoad);

        EXPECT_EQ(dialogs.shown, c.shown);
        EXPECT_TRUE(sameSheet(sheet, before));
        EXPECT_EQ(store.count(), entries);
        EXPECT_EQ(configuration.searchFolders(), Paths{tree.path("opisy")});
        EXPECT_TRUE(dialogs.busy.empty() || dialogs.busy.back() == false);
    }
    EXPECT_TRUE(prompts.asked().empty());
}

TEST_F(DescriptionSearchTest, TheCriteriaLastForTheNextSearchAndTheFoldersAreStored) {
    writeDescribed("inne/plik.kvr", 4, "");
    windows.criteriaAnswer = [](const SearchCriteria&) {
        return SearchCriteria{.channelDescriptions = false,
                              .channelTimes = false,
                              .remoteDescriptions = true,
                              .serialWords = false,
                              .codeCounters = false,
                              .buttonMasks = false,
                              .copyLocks = false,
                              .skipEmptySlots = true};
    };
    windows.folderChoice = [&](SearchFolderList& list) {
        list.add(tree.path("inne"));
        return true;
    };
    windows.chosenRow = std::nullopt;

    search.run(SearchStart::AfterLoad);
    windows.criteriaAnswer = nullptr;
    search.run(SearchStart::AfterLoad);

    EXPECT_EQ(windows.criteriaOffered, search.criteria());
    EXPECT_TRUE(search.criteria().remoteDescriptions);
    EXPECT_EQ(windows.listOnOpen, (Paths{tree.path("inne"), tree.path("opisy")}));
    EXPECT_EQ(configuration.searchFolders(), windows.listOnOpen);
    // Only the descriptions compared: the sheet's are empty, the file's are not.
    ASSERT_EQ(search.results().size(), 1u);
    EXPECT_EQ(scoreText(search.results()[0].score), " 0.00 %");
}

TEST_F(DescriptionSearchTest, NothingScannedIsSaid) {
    tree.writeText("opisy/notatki.txt", "nie jest plikiem nastaw");

    search.run(SearchStart::AfterLoad);

    EXPECT_THAT(askedTexts(), ElementsAre("Nie zeskanowano żadnego pliku"));
    EXPECT_EQ(prompts.asked().front().caption, "Konfigor USB");
    EXPECT_EQ(prompts.asked().front().icon, PromptIcon::Information);
    EXPECT_THAT(windows.shown, ElementsAre("criteria", "folders", "scan"));
    EXPECT_EQ(windows.busy, (std::vector<bool>{true, false}));
}

TEST_F(DescriptionSearchTest, UnreadableFilesAreListedOnceAndAVanishedChoiceChangesNothing) {
    const auto broken = tree.writeText("opisy/zepsuty.kvr", "nie jest plikiem nastaw");
    const auto chosen = writeDescribed("opisy/pelny.kvr", 4, "Osiedle");
    windows.beforeChoosing = [&] { std::filesystem::remove(chosen); };
    const SettingsSheet before = sheet;
    const std::size_t entries = store.count();

    search.run(SearchStart::AfterLoad);

    EXPECT_THAT(windows.shown, ElementsAre("criteria", "folders", "scan", "skipped", "results"));
    ASSERT_EQ(windows.skippedShown.size(), 1u);
    EXPECT_EQ(windows.skippedShown[0].path, broken);
    EXPECT_THAT(windows.skippedShown[0].error, StartsWith("Nierozpoznana wersja pliku"));
    ASSERT_EQ(prompts.asked().size(), 1u);
    EXPECT_THAT(prompts.asked()[0].text, StartsWith("Błąd otwierania pliku."));
    EXPECT_EQ(prompts.asked()[0].caption, "Konfigor USB");
    EXPECT_EQ(prompts.asked()[0].icon, PromptIcon::Error);
    EXPECT_TRUE(sameSheet(sheet, before));
    EXPECT_EQ(store.count(), entries);
    EXPECT_EQ(windows.busy, (std::vector<bool>{true, false}));
}

} // namespace
} // namespace konfigor
