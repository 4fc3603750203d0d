#include "search/settings_file_walk.h"
#include "search/settings_scan.h"
#include "search/settings_tree.h"
#include "texts/text_table.h"

#include <cerrno>
#include <filesystem>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

namespace konfigor {
namespace {

namespace fs = std::filesystem;
using testing::HasSubstr;
using testing_support::sheetWith;

class SettingsScanTest : public testing::Test {
protected:
    SettingsScanTest() : sheet(sheetWith({1, 2, 3, 4})) {}

    ScanOutcome scan(std::vector<fs::path> entries, unsigned workers = 2,
                     const ScanProgressCallback& progress = {}, std::stop_token stop = {}) const {
        return SettingsScan({.entries = std::move(entries),
                             .sheet = *sheet,
                             .criteria = SearchCriteria{},
                             .workers = workers},
                            texts)
            .run(progress, stop);
    }

    // The files found, relative to the test's folder.
    std::vector<std::string> found(std::vector<fs::path> entries) const {
        std::vector<std::string> names;
        for (const fs::path& file : findSettingsFiles(entries).files)
            names.push_back(file.lexically_relative(tree.root()).string());
        return names;
    }

    static std::vector<std::string> names(const std::vector<ScanResult>& results) {
        std::vector<std::string> list;
        for (const ScanResult& result : results)
            list.push_back(result.path.filename().string());
        return list;
    }

    // A sheet agreeing with this test's in `agreeing` of its four remotes.
    std::unique_ptr<SettingsSheet> agreeingIn(std::size_t agreeing) const {
        auto file = sheetWith({});
        for (std::size_t slot = 0; slot < agreeing; ++slot)
            file->remotes[slot] = sheet->remotes[slot];
        return file;
    }

    fs::path path(const std::string& name) const { return tree.path(name); }
    void writeSheet(const std::string& name, const SettingsSheet& written) const {
        tree.writeSheet(name, written);
    }
    void writeText(const std::string& name, std::string_view text) const {
        tree.writeText(name, text);
    }

    testing_support::SettingsTree tree;
    TextTable texts;
    std::unique_ptr<SettingsSheet> sheet;
};

TEST_F(SettingsScanTest, FoldersGiveTheirKvrFilesButNotThoseUnderAFullStop) {
    for (const char* name : {"dane/a.kvr", "dane/B.KVR", "dane/notatki.txt", "dane/.ukryte/c.kvr",
                             "dane/2018/d.kvr", "dane/2018/.git/e.kvr", "dane/.f.kvr"})
        writeSheet(name, *sheet);

    EXPECT_THAT(found({path("dane")}),
                testing::ElementsAre("dane/.f.kvr", "dane/2018/d.kvr", "dane/B.KVR", "dane/a.kvr"));
}

TEST_F(SettingsScanTest, ChosenFilesAreReadWhateverTheirNameAndMissingOnesPassedOver) {
    writeSheet("notatki.txt", *sheet);
    writeSheet(".ukryte/plik.kvr", *sheet);

    const ScanOutcome outcome =
        scan({path("brak"), path("notatki.txt"), path(".ukryte"), path("brak.kvr")});

    EXPECT_THAT(names(outcome.results), testing::ElementsAre("notatki.txt", "plik.kvr"));
    EXPECT_TRUE(outcome.skipped.empty());
    EXPECT_FALSE(outcome.cancelled);
}

TEST_F(SettingsScanTest, HighestScoreFirstAndEqualScoresBothListedInTheOrderFound) {
    writeSheet("a/trzy.kvr", *agreeingIn(3));
    writeSheet("a/wszystkie-1.kvr", *agreeingIn(4));
    writeSheet("b/jeden.kvr", *agreeingIn(1));
    writeSheet("b/wszystkie-2.kvr", *agreeingIn(4));

    const ScanOutcome outcome = scan({path("a"), path("b")});

    EXPECT_THAT(names(outcome.results), testing::ElementsAre("wszystkie-1.kvr", "wszystkie-2.kvr",
                                                             "trzy.kvr", "jeden.kvr"));
    EXPECT_EQ(scoreText(outcome.results[0].score), "100.00 %");
    EXPECT_EQ(scoreText(outcome.results[3].score), "62.50 %");
}

// A file may hold no channel records at all; it then compares factory channels, not those of
// the file read before it on the same thread.
TEST_F(SettingsScanTest, AFileWithoutChannelsComparesFactoryChannels) {
    auto slowChannels = agreeingIn(0);
    for (ChannelEntry& channel : slowChannels->channels)
        channel.time = 99;
    writeSheet("dane/a.kvr", *slowChannels);
    writeText("dane/b.kvr", std::string_view("\x00\x80\x02\x00\x02\x00", 6));

    const ScanOutcome outcome = scan({path("dane")}, 1);

    ASSERT_THAT(names(outcome.results), testing::ElementsAre("b.kvr", "a.kvr"));
    EXPECT_EQ(scoreText(outcome.results[0].score), "50.00 %");
    EXPECT_EQ(scoreText(outcome.results[1].score), " 0.00 %");
}

// However many threads read the files, the outcome is the one of reading them one by one, and
// the progress ends with every file found and done.
TEST_F(SettingsScanTest, TheOutcomeDoesNotDependOnTheThreads) {
    for (std::size_t i = 0; i < 24; ++i)
        writeSheet("drzewo/" + std::to_string(i % 3) + "/plik" + std::to_string(i) + ".kvr",
                   *agreeingIn(i % 5));
    writeText("drzewo/1/uszkodzony.kvr", std::string_view("\x00\x80\x02", 3));
    writeText("drzewo/2/obcy.kvr", "nie jest plikiem nastaw");
    const ScanOutcome alone = scan({path("drzewo")}, 1);
    ASSERT_EQ(alone.results.size(), 24u);
    ASSERT_EQ(alone.skipped.size(), 2u);

    for (unsigned workers : {2u, 3u, 8u}) {
        SCOPED_TRACE(workers);
        std::vector<ScanProgress> heard;
        const ScanOutcome outcome =
            scan({path("drzewo")}, workers, [&](const ScanProgress& p) { heard.push_back(p); });

        EXPECT_EQ(outcome.results, alone.results);
        EXPECT_EQ(outcome.skipped, alone.skipped);
        ASSERT_FALSE(heard.empty());
        EXPECT_EQ(heard.back(), (ScanProgress{.done = 26, .found = 26}));
        for (std::size_t i = 1; i < heard.size(); ++i)
            EXPECT_LE(heard[i - 1].done, heard[i].done);
    }
}

// What cannot be read is skipped and named; the scan ends and scores the rest.
TEST_F(SettingsScanTest, HostileTreesEndAndNameWhatTheySkipped) {
    writeSheet("dane/dobry.kvr", *sheet);
    // A link back to the top: the walk would go round for ever.
    fs::create_directory_symlink(path("dane"), path("dane/petla"));
    // A second way into a folder already walked lists nothing twice.
    writeSheet("dane/2018/stary.kvr", *sheet);
    fs::create_directory_symlink(path("dane/2018"), path("dane/zz-skrot"));
    // Opened to read, a FIFO would wait for a writer that never comes.
    ASSERT_EQ(::mkfifo(path("dane/fifo.kvr").c_str(), 0600), 0);
    const auto whole = SettingsFile::encode(sheet->remotes, sheet->channels, sheet->identifier);
    tree.writeBytes("dane/obciety.kvr",
                    std::vector<std::uint8_t>(whole.begin(), whole.begin() + 1000));
    fs::create_symlink(path("dane/nie-ma"), path("dane/martwy.kvr"));

    const ScanOutcome outcome = scan({path("dane")});

    EXPECT_THAT(names(outcome.results), testing::ElementsAre("stary.kvr", "dobry.kvr"));
    ASSERT_EQ(outcome.skipped.size(), 4u);
    EXPECT_EQ(outcome.skipped[0], (ScanSkip{.kind = ScanSkip::Kind::Folder,
                                            .path = path("dane/petla"),
                                            .error = "Too many levels of symbolic links"}));
    const struct {
        std::string name;
        std::string error;
    } files[] = {
        {"fifo.kvr", "Błąd otwierania pliku."},
        {"martwy.kvr", "Błąd otwierania pliku."},
        {"obciety.kvr", "Nastąpił błąd podczas czytania pliku nastaw."},
    };
    for (std::size_t i = 0; i < std::size(files); ++i) {
        SCOPED_TRACE(files[i].name);
        const ScanSkip& skipped = outcome.skipped[i + 1];
        EXPECT_EQ(skipped.kind, ScanSkip::Kind::File);
        EXPECT_EQ(skipped.path, path("dane") / files[i].name);
        EXPECT_THAT(skipped.error, testing::StartsWith(files[i].error));
        EXPECT_THAT(skipped.error, HasSubstr("Nazwa pliku: " + skipped.path.string()));
    }
}

TEST_F(SettingsScanTest, AnUnreadableFolderIsSkippedWithItsReason) {
    if (::geteuid() == 0)
        GTEST_SKIP() << "root reads every folder";
    writeSheet("dane/dobry.kvr", *sheet);
    writeSheet("dane/zamkniety/ukryty.kvr", *sheet);
    fs::permissions(path("dane/zamkniety"), fs::perms::none);

    const ScanOutcome outcome = scan({path("dane")});
    fs::permissions(path("dane/zamkniety"), fs::perms::owner_all);

    EXPECT_THAT(names(outcome.results), testing::ElementsAre("dobry.kvr"));
    EXPECT_THAT(outcome.skipped, testing::ElementsAre(ScanSkip{.kind = ScanSkip::Kind::Folder,
                                                               .path = path("dane/zamkniety"),
                                                               .error = "Permission denied"}));
}

TEST_F(SettingsScanTest, StoppingEndsTheScanWithNothing) {
    for (int i = 0; i < 6; ++i)
        writeSheet("dane/plik" + std::to_string(i) + ".kvr", *sheet);
    const struct {
        std::string name;
        // Stops on hearing this progress; nothing: stopped before the scan starts.
        std::function<bool(const ScanProgress&)> stopWhen;
    } cases[] = {
        {"before it starts", nullptr},
        {"while finding files", [](const ScanProgress& p) { return p.found == 2; }},
        {"while reading files", [](const ScanProgress& p) { return p.done == 1; }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        std::stop_source stop;
        if (!c.stopWhen)
            stop.request_stop();

        const ScanOutcome outcome = scan(
            {path("dane")}, 1,
            [&](const ScanProgress& p) {
                if (c.stopWhen && c.stopWhen(p))
                    stop.request_stop();
            },
            stop.get_token());

        EXPECT_TRUE(outcome.cancelled);
        EXPECT_TRUE(outcome.results.empty());
        EXPECT_TRUE(outcome.skipped.empty());
    }
}

} // namespace
} // namespace konfigor
