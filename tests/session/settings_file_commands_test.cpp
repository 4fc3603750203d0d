#include "files/settings_file.h"
#include "support/app_core_fixture.h"

#include <gtest/gtest.h>

namespace konfigor {
namespace {

using testing_support::AppCoreTest;

class SettingsFileCommandsTest : public AppCoreTest {
protected:
    SettingsFileCommandsTest() {
        configuration.setLoadReceiverAfterConnect(false);
        core.takeOptions();
        started();
    }

    // A file holding one remote in slot 2, "Brama" for a name.
    std::filesystem::path sampleFile(const std::string& name = "sample.kvr") {
        SettingsSheet sheet;
        sheet.remotes[2].serialWord = 4242;
        sheet.remotes[2].description.assign("Wjazd");
        sheet.channels[3].time = 0;
        sheet.identifier.assign("Brama");
        const auto file = path(name);
        EXPECT_FALSE(
            SettingsFile(texts).write(file, sheet.remotes, sheet.channels, sheet.identifier));
        return file;
    }
};

TEST_F(SettingsFileCommandsTest, SaveOffersADatedNameAndAddsTheExtension) {
    configuration.setSettingsSaveFolder(path("last"));
    core.saveState().setSavedToDisk(false);
    core.sheet().remotes[0].serialWord = 7;
    fileDialogs.fileToSave = ChosenFile{.path = path("brama"), .settingsFilterChosen = true};

    core.files().saveToFile();

    EXPECT_EQ(fileDialogs.offeredNames.at(0), "2018-09-17_08_05_03.kvr");
    EXPECT_EQ(fileDialogs.saveFolders.at(0), path("last"));
    EXPECT_TRUE(std::filesystem::exists(path("brama.kvr")));
    EXPECT_EQ(core.sheet().fileName.view(), path("brama.kvr").string());
    EXPECT_EQ(configuration.settingsSaveFolder(), folder_);
    EXPECT_TRUE(core.saveState().savedToDisk());
    EXPECT_GT(sheetSurface.identifierRefreshes, 0);
    EXPECT_EQ(windowTitle(core.sheet()), "Konfigor USB [brama.kvr]");

    // Saved once, the sheet's own file is offered next time.
    core.files().saveToFile();
    EXPECT_EQ(fileDialogs.offeredNames.at(1), path("brama.kvr"));
}

TEST_F(SettingsFileCommandsTest, AFailedSaveSaysWhyAndChangesNothing) {
    core.saveState().setSavedToDisk(false);
    fileDialogs.fileToSave = ChosenFile{.path = path("missing/folder/x.kvr")};

    core.files().saveToFile();

    ASSERT_EQ(prompts.asked().size(), 1u);
    EXPECT_EQ(prompts.asked()[0].icon, PromptIcon::Error);
    EXPECT_NE(prompts.asked()[0].text.find("Nazwa pliku: "), std::string::npos);
    EXPECT_TRUE(core.sheet().fileName.empty());
    EXPECT_FALSE(core.saveState().savedToDisk());
}

TEST_F(SettingsFileCommandsTest, LoadAsksAboutUnsavedWorkThenReadsTheChosenFile) {
    const auto file = sampleFile();
    core.saveState().setSavedToDisk(false);
    core.sheet().remotes[600].serialWord = 1;
    prompts.answer(PromptAnswer::No);
    fileDialogs.fileToOpen = ChosenFile{.path = file};

    core.files().loadFromFile();

    EXPECT_EQ(prompts.asked().at(0).text,
              "Nie zapisano zmian na dysk. Czy chcesz zapisać zmiany na dysk?");
    EXPECT_TRUE(core.sheet().isEmpty(600)) << "erased before reading";
    EXPECT_EQ(core.sheet().remotes[2].serialWord, 4242u);
    EXPECT_EQ(core.sheet().identifier.view(), "Brama");
    EXPECT_EQ(configuration.settingsLoadFolder(), folder_);
    EXPECT_TRUE(core.saveState().savedToDisk());
    EXPECT_FALSE(core.saveState().savedToReceiver());
    EXPECT_EQ(core.history().kindAt(core.history().position()), HistoryKind::FileLoad);
    EXPECT_EQ(link.image().readRecord(2).serialNumber, 4242u) << "handed to the image";
}

TEST_F(SettingsFileCommandsTest, CancelledQuestionOrDialogLoadsNothing) {
    core.saveState().setSavedToDisk(false);
    prompts.answer(PromptAnswer::Cancel);
    core.files().loadFromFile();
    EXPECT_TRUE(fileDialogs.openFolders.empty());

    core.saveState().setSavedToDisk(true);
    core.sheet().remotes[0].serialWord = 3;
    core.files().loadFromFile();
    EXPECT_EQ(core.sheet().remotes[0].serialWord, 3u);
}

TEST_F(SettingsFileCommandsTest, ABrokenFileIsReportedAndKeepsWhatWasReadBeforeTheError) {
    const auto file = sampleFile();
    std::filesystem::resize_file(file, std::filesystem::file_size(file) - 3);
    const std::size_t entries = core.history().count();

    core.files().loadNamedFile(file);

    ASSERT_EQ(prompts.asked().size(), 1u);
    EXPECT_EQ(prompts.asked()[0].caption, "Konfigor USB");
    EXPECT_EQ(core.sheet().remotes[2].serialWord, 4242u);
    EXPECT_TRUE(core.sheet().fileName.empty());
    EXPECT_EQ(core.history().count(), entries);
}

TEST_F(SettingsFileCommandsTest, ANewerFileIsLoadedWithAWarning) {
    auto bytes = readBytes(sampleFile());
    bytes[4] = 3; // version 3
    writeBytes(path("newer.kvr"), bytes);

    core.files().loadNamedFile(path("newer.kvr"));

    ASSERT_EQ(prompts.asked().size(), 1u);
    EXPECT_EQ(prompts.asked()[0].text.substr(0, 20), "Wersja pliku jest no");
    EXPECT_EQ(core.sheet().remotes[2].serialWord, 4242u);
}

TEST_F(SettingsFileCommandsTest, WithAutosaveALoadedFileIsWrittenToTheReceiver) {
    connectToReceiver();
    takeSentLetters();
    core.files().loadNamedFile(sampleFile());
    EXPECT_EQ(std::ranges::count(takeSentLetters(), 'S'), 221);
    EXPECT_EQ(simulator.storedRemote(2).serialField & 0x0FFF'FFFFu, 4242u);
    EXPECT_TRUE(core.saveState().savedToReceiver());
}

TEST_F(SettingsFileCommandsTest, TheDefaultFileAtStartUpIsReadOverTheSheetWithoutTheImage) {
    core.sheet().channels[0].time = 99;
    core.files().loadDefaultFileAtStartup(sampleFile());
    EXPECT_EQ(core.sheet().remotes[2].serialWord, 4242u);
    EXPECT_EQ(core.sheet().fileName.view(), path("sample.kvr").string());
    EXPECT_EQ(link.image().readRecord(2).serialNumber, 0u);
    EXPECT_EQ(core.history().kindAt(core.history().position()), HistoryKind::FileLoad);
}

} // namespace
} // namespace konfigor
