#include "common/utf8.h"
#include "files/settings_file.h"
#include "support/app_core_fixture.h"

#include <array>
#include <fstream>
#include <functional>
#include <sys/stat.h>
#include <system_error>

#include <gtest/gtest.h>

namespace konfigor {
namespace {

using testing_support::AppCoreTest;
using testing_support::Bytes;

std::string systemText(int error) {
    return std::error_code(error, std::generic_category()).message();
}

// Every byte this process has read so far, by the kernel's count: a reader that slurps a large
// file shows here whatever it does with the bytes afterwards.
std::size_t bytesReadSoFar() {
    std::ifstream io("/proc/self/io");
    std::string key;
    std::size_t value = 0;
    while (io >> key >> value) {
        if (key == "rchar:")
            return value;
    }
    ADD_FAILURE() << "no read count in /proc/self/io";
    return 0;
}

constexpr std::uintmax_t kHundredMegabytes = 100u * 1024 * 1024;
// Reading /proc/self/io counts itself.
constexpr std::size_t kNextToNothing = 4 * 1024;

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

    // A path of `size` bytes under the test's folder, its names of Polish letters (two bytes
    // each in UTF-8), placed so that keeping the first 259 bytes would split a letter.
    std::filesystem::path polishPath(std::size_t size) const {
        static constexpr std::array<const char*, 8> kLetters{"ą", "ę", "ł", "ń",
                                                             "ó", "ś", "ź", "ż"};
        std::size_t next = 0;
        const auto fill = [&](std::string& name, std::size_t end, std::size_t before) {
            while (before + name.size() + 2 <= end)
                name += kLetters[next++ % kLetters.size()];
        };
        const std::string root = folder_.string() + "/";
        EXPECT_LT(root.size(), 200u) << "the temporary folder leaves no room for the case";
        std::string folderName((259 - root.size()) % 2 == 0 ? "x" : "");
        fill(folderName, 263, root.size());
        const std::size_t nameStart = root.size() + folderName.size() + 1;
        std::string name((size - nameStart - 4) % 2 == 1 ? "x" : "");
        fill(name, size - 4, nameStart);
        std::filesystem::create_directory(root + folderName);
        return root + folderName + "/" + name + ".kvr";
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

// Both start-up loads stored as on (a hand-edited file): the options dialog settles on the
// default file, and so does the program, so connecting does not overwrite the file's sheet.
TEST_F(SettingsFileCommandsTest, WithBothStartUpLoadsStoredTheDefaultFileIsKeptAfterConnecting) {
    configuration.setLoadReceiverAfterConnect(true);
    configuration.setDefaultSettingsFile(sampleFile());
    configuration.setLoadDefaultSettingsFile(true);
    core.takeOptions();
    started();
    core.files().loadDefaultFileAtStartup(sampleFile());
    connectToReceiver();
    cyclesAndTick();
    EXPECT_EQ(core.sheet().remotes[2].serialWord, 4242u);
    EXPECT_EQ(core.history().kindAt(core.history().position()), HistoryKind::FileLoad);
}

// Files the commands meet in the wild. A refused save leaves the file and its folder exactly as
// they were; a refused load never blocks and reads little of what it refuses. Modes are judged
// by their bits, so running as root changes nothing here.
TEST_F(SettingsFileCommandsTest, AwkwardFilesAreRefusedCleanlyAndLongPathsKeptWhole) {
    enum class Command { Save, Load, SaveThenLoad };
    const std::string badHeader = "Nierozpoznana wersja pliku (2).";
    const struct {
        const char* what;
        Command command;
        // Makes what the command meets, in a folder of its own, and names it.
        std::function<std::filesystem::path(const std::filesystem::path&)> prepare;
        std::string message; // part of the message shown; none when the command succeeds
        std::size_t maxBytesRead;
    } cases[] = {
        {"read-only file", Command::Save,
         [&](const std::filesystem::path& folder) {
             const auto file = sampleFile((folder / "tylko-odczyt.kvr").string());
             std::filesystem::permissions(file, std::filesystem::perms::owner_read |
                                                    std::filesystem::perms::group_read |
                                                    std::filesystem::perms::others_read);
             return file;
         },
         "Błąd otwierania pliku.\r\nOpis błędu: " + systemText(EACCES) + ".", SIZE_MAX},
        {"writable file in a read-only folder", Command::Save,
         [&](const std::filesystem::path& folder) {
             const auto file = sampleFile((folder / "zapisywalny.kvr").string());
             std::filesystem::permissions(folder, std::filesystem::perms::owner_write,
                                          std::filesystem::perm_options::remove);
             return file;
         },
         "Błąd otwierania pliku.\r\nOpis błędu: " + systemText(EACCES) + ".", SIZE_MAX},
        {"FIFO", Command::Load,
         [](const std::filesystem::path& folder) {
             const auto fifo = folder / "potok.kvr";
             EXPECT_EQ(mkfifo(fifo.c_str(), 0644), 0);
             return fifo;
         },
         "Błąd otwierania pliku.\r\nOpis błędu: :" + systemText(EINVAL) + ".", kNextToNothing},
        {"device without end", Command::Load,
         [](const std::filesystem::path&) { return std::filesystem::path("/dev/zero"); },
         "Błąd otwierania pliku.\r\nOpis błędu: :" + systemText(EINVAL) + ".", kNextToNothing},
        {"folder", Command::Load,
         [](const std::filesystem::path& folder) {
             std::filesystem::create_directory(folder / "katalog.kvr");
             return folder / "katalog.kvr";
         },
         "Błąd otwierania pliku.\r\nOpis błędu: :" + systemText(EISDIR) + ".", kNextToNothing},
        {"100 MB behind a bad header", Command::Load,
         [&](const std::filesystem::path& folder) {
             const auto file = folder / "obcy.kvr";
             writeBytes(file, {0x01, 0x80, 0x02, 0x00, 0x02, 0x00});
             std::filesystem::resize_file(file, kHundredMegabytes);
             return file;
         },
         badHeader, 64 * 1024},
        {"100 MB of empty records behind a good header", Command::Load,
         [&](const std::filesystem::path& folder) {
             const auto file = folder / "ogromny.kvr";
             writeBytes(file, {0x00, 0x80, 0x02, 0x00, 0x02, 0x00});
             std::filesystem::resize_file(file, kHundredMegabytes);
             return file;
         },
         systemText(EFBIG), 4 * 1024 * 1024},
        {"300-byte path in Polish", Command::SaveThenLoad,
         [&](const std::filesystem::path&) { return polishPath(300); }, "", SIZE_MAX},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        core.sheet().remotes[2].serialWord = 4242;
        const auto folder = path(c.what);
        std::filesystem::create_directory(folder);
        const auto target = c.prepare(folder);
        const bool savingOverFile =
            c.command == Command::Save && std::filesystem::is_regular_file(target);
        const Bytes bytesBefore = savingOverFile ? readBytes(target) : Bytes();
        const auto entriesBefore = std::distance(std::filesystem::directory_iterator(folder), {});
        const std::string nameBefore = core.files().currentFileName();
        const std::size_t shownBefore = prompts.asked().size();
        const std::size_t readBefore = bytesReadSoFar();

        if (c.command != Command::Load) {
            fileDialogs.fileToSave = ChosenFile{.path = target};
            core.files().saveToFile();
        }
        if (c.command != Command::Save)
            core.files().loadNamedFile(target);

        EXPECT_LE(bytesReadSoFar() - readBefore, c.maxBytesRead);
        std::filesystem::permissions(folder, std::filesystem::perms::owner_all,
                                     std::filesystem::perm_options::add);
        if (c.message.empty()) {
            EXPECT_EQ(prompts.asked().size(), shownBefore);
            EXPECT_EQ(core.files().currentFileName(), target.string());
            EXPECT_EQ(core.sheet().remotes[2].serialWord, 4242u) << "loaded back";
            continue;
        }
        EXPECT_EQ(prompts.asked().size(), shownBefore + 1);
        const std::string shown =
            prompts.asked().size() > shownBefore ? prompts.asked().back().text : "";
        EXPECT_NE(shown.find(c.message), std::string::npos) << shown;
        EXPECT_TRUE(shown.ends_with("\r\nNazwa pliku: " + target.string())) << shown;
        EXPECT_EQ(core.files().currentFileName(), nameBefore);
        if (savingOverFile) {
            EXPECT_EQ(readBytes(target), bytesBefore);
        }
        EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder), {}), entriesBefore)
            << "no temporary file left";
    }
}

TEST_F(SettingsFileCommandsTest, ALongPathIsShortenedOnlyInTheSheetsFieldAndOnlyBetweenLetters) {
    const auto full = polishPath(300).string();
    ASSERT_EQ(full.size(), 300u);
    ASSERT_TRUE(utf8::isContinuationByte(full[259])) << "a byte cut would split a letter";
    fileDialogs.fileToSave = ChosenFile{.path = full};

    core.files().saveToFile();

    EXPECT_EQ(core.sheet().fileName.view(), full.substr(0, 258));
    EXPECT_EQ(core.files().currentFileName(), full);
    const std::string name = std::filesystem::path(full).filename().string();
    EXPECT_EQ(windowTitle(core.files().currentFileName()), "Konfigor USB [" + name + "]");
    core.files().saveToFile();
    EXPECT_EQ(fileDialogs.offeredNames.at(1), full) << "offered whole, not cut";

    // Another name in the field (as undo puts back) is no longer the long path's shortening.
    core.sheet().fileName.assign("/inny/plik.kvr");
    EXPECT_EQ(core.files().currentFileName(), "/inny/plik.kvr");
}

// The erase before reading emptied the identifier; the field must show that, or the next save
// writes an identifier the user no longer sees.
TEST_F(SettingsFileCommandsTest, AFailedLoadShowsTheErasedIdentifier) {
    core.sheet().identifier.assign("Stara brama");
    const int refreshesBefore = sheetSurface.identifierRefreshes;

    core.files().loadNamedFile(path("brak.kvr"));

    EXPECT_TRUE(core.sheet().identifier.empty());
    EXPECT_GT(sheetSurface.identifierRefreshes, refreshesBefore);
}

} // namespace
} // namespace konfigor
