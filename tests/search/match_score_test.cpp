#include "search/match_score.h"
#include "search/scan_results.h"
#include "search/settings_tree.h"

#include <functional>
#include <string>

#include <gtest/gtest.h>

namespace konfigor {
namespace {

using testing_support::sheetWith;

SearchCriteria nothingCompared() {
    return {.channelDescriptions = false,
            .channelTimes = false,
            .remoteDescriptions = false,
            .serialWords = false,
            .codeCounters = false,
            .buttonMasks = false,
            .copyLocks = false,
            .skipEmptySlots = true};
}

double score(const SettingsSheet& sheet, const SettingsSheet& file,
             const SearchCriteria& criteria) {
    return matchScore(sheet, file.remotes, file.channels, criteria);
}

TEST(MatchScore, HalfTheRemotesAtTheirSlotsWithEqualChannelTimes) {
    const auto sheet = sheetWith({1, 2, 3, 4, 5, 6, 7, 8, 9, 10});
    const auto file = sheetWith({1, 2, 3, 4, 5});
    for (std::uint32_t serial = 101; serial <= 105; ++serial)
        file->remotes[20 + serial - 101].serialWord = serial;

    const double result = score(*sheet, *file, SearchCriteria{});

    // Four channel times and 15 slots compared; the channels and five slots agree.
    EXPECT_DOUBLE_EQ(result, 100.0 * 9 / 19);
    EXPECT_EQ(scoreText(result), "47.37 %");
}

TEST(MatchScore, EdgesOfTheScale) {
    const auto sheet = sheetWith({1, 2, 3});
    const auto same = sheetWith({1, 2, 3});
    const auto other = sheetWith({7});
    SearchCriteria serialsOnly = nothingCompared();
    serialsOnly.serialWords = true;
    const struct {
        std::string name;
        const SettingsSheet& file;
        SearchCriteria criteria;
        std::string shown;
    } cases[] = {
        {"the same serial words and times", *same, SearchCriteria{}, "100.00 %"},
        {"nothing compared", *same, nothingCompared(), " 0.00 %"},
        {"nothing agrees", *other, serialsOnly, " 0.00 %"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(scoreText(score(*sheet, c.file, c.criteria)), c.shown);
    }
}

// Each criterion compares its own field and no other: alone it sees the difference, and all
// the others together do not.
TEST(MatchScore, EachCriterionComparesItsOwnField) {
    using Change = std::function<void(SettingsSheet&)>;
    const struct {
        std::string name;
        bool SearchCriteria::*criterion;
        Change change;
        double alone;
    } cases[] = {
        {"channel description", &SearchCriteria::channelDescriptions,
         [](SettingsSheet& f) { f.channels[2].description.assign("Brama"); }, 75.0},
        {"channel time", &SearchCriteria::channelTimes,
         [](SettingsSheet& f) { f.channels[3].time = 0; }, 75.0},
        {"remote description", &SearchCriteria::remoteDescriptions,
         [](SettingsSheet& f) { f.remotes[0].description.assign("Garaż"); }, 0.0},
        {"multi flag of the serial word", &SearchCriteria::serialWords,
         [](SettingsSheet& f) { f.remotes[0].serialWord |= 0x4000'0000; }, 0.0},
        {"code counter", &SearchCriteria::codeCounters,
         [](SettingsSheet& f) { f.remotes[0].codeCounter = 77; }, 0.0},
        {"fourth button", &SearchCriteria::buttonMasks,
         [](SettingsSheet& f) { f.remotes[0].buttonMasks[3] = 8; }, 0.0},
        {"copy lock", &SearchCriteria::copyLocks,
         [](SettingsSheet& f) { f.remotes[0].copyLock = true; }, 0.0},
    };
    const auto sheet = sheetWith({500});
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const auto file = sheetWith({500});
        c.change(*file);
        SearchCriteria alone = nothingCompared();
        alone.*c.criterion = true;
        SearchCriteria allOthers{.channelDescriptions = true,
                                 .channelTimes = true,
                                 .remoteDescriptions = true,
                                 .serialWords = true,
                                 .codeCounters = true,
                                 .buttonMasks = true,
                                 .copyLocks = true,
                                 .skipEmptySlots = true};
        allOthers.*c.criterion = false;

        EXPECT_DOUBLE_EQ(score(*sheet, *file, alone), c.alone);
        EXPECT_DOUBLE_EQ(score(*sheet, *file, allOthers), 100.0);
    }
}

TEST(MatchScore, EmptySlotsAndTexts) {
    const auto sheet = sheetWith({500});
    SearchCriteria serialsOnly = nothingCompared();
    serialsOnly.serialWords = true;
    SearchCriteria serialsOfEverySlot = serialsOnly;
    serialsOfEverySlot.skipEmptySlots = false;
    SearchCriteria descriptionsOnly = nothingCompared();
    descriptionsOnly.remoteDescriptions = true;
    descriptionsOnly.channelDescriptions = true;

    const auto withoutTheRemote = sheetWith({});
    // What lies after a terminator is no part of the text.
    const auto withStaleBytes = sheetWith({500});
    withStaleBytes->remotes[0].description.assign("stary opis");
    withStaleBytes->remotes[0].description.assign("");
    withStaleBytes->channels[1].description.assign("x");
    withStaleBytes->channels[1].description.assign("");

    EXPECT_DOUBLE_EQ(score(*sheet, *withoutTheRemote, serialsOnly), 0.0);
    EXPECT_DOUBLE_EQ(score(*sheet, *withoutTheRemote, serialsOfEverySlot), 100.0 * 703 / 704);
    EXPECT_DOUBLE_EQ(score(*sheet, *withStaleBytes, descriptionsOnly), 100.0);
}

} // namespace
} // namespace konfigor
