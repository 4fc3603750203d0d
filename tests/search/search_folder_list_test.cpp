#include "config/configuration.h"
#include "search/search_folder_list.h"
#include "support/scripted_prompts.h"
#include "texts/text_table.h"

#include <array>
#include <string>
#include <vector>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

namespace konfigor {
namespace {

using testing::ElementsAre;
using Paths = std::vector<std::filesystem::path>;
using Outcome = SearchFolderList::AddOutcome;

const std::string kInsideListed =
    "Wybrany katalog będzie przeszukiwany podczas przeszukiwania podkatalogów w katalogu ";
const std::string kRemoved = "Usunięto niektóre katalogi z listy, ponieważ zostaną one "
                             "uwzględnione podczas przeszukiwania katalogu\n";

std::vector<std::string> warnings(const testing_support::ScriptedPrompts& prompts) {
    std::vector<std::string> texts;
    for (const Prompt& prompt : prompts.asked()) {
        EXPECT_EQ(prompt.caption, "Konfigor");
        EXPECT_EQ(prompt.icon, PromptIcon::Warning);
        texts.push_back(prompt.text);
    }
    return texts;
}

TEST(SearchFolderList, AddingKeepsTheListSortedAndFreeOfOverlaps) {
    const struct {
        std::string name;
        Paths listed;
        std::filesystem::path added;
        Outcome outcome;
        Paths rows;
        std::vector<std::string> warnings;
    } cases[] = {
        {"inside a listed folder",
         {"/dane"},
         "/dane/2018",
         Outcome::InsideListedFolder,
         {"/dane"},
         {kInsideListed + "/dane"}},
        {"a text test, not one of path components",
         {"/dane"},
         "/dane2",
         Outcome::InsideListedFolder,
         {"/dane"},
         {kInsideListed + "/dane"}},
        {"holding listed folders",
         {"/dane/2018", "/dane/2019", "/inne"},
         "/dane",
         Outcome::Added,
         {"/dane", "/inne"},
         {kRemoved + "/dane"}},
        {"already listed",
         {"/dane", "/inne"},
         "/dane",
         Outcome::AlreadyListed,
         {"/dane", "/inne"},
         {}},
        {"another letter case is another folder",
         {"/dane"},
         "/Dane",
         Outcome::Added,
         {"/Dane", "/dane"},
         {}},
        {"inside a folder of another letter case",
         {"/dane"},
         "/DANE/2018",
         Outcome::Added,
         {"/DANE/2018", "/dane"},
         {}},
        {"in its alphabetical place", {"/b", "/d"}, "/c", Outcome::Added, {"/b", "/c", "/d"}, {}},
        {"texts, not path components, in order",
         {"/a/b"},
         "/a-b",
         Outcome::Added,
         {"/a-b", "/a/b"},
         {}},
        {"an empty path names nothing", {"/dane"}, "", Outcome::Ignored, {"/dane"}, {}},
    };
    const TextTable texts;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        testing_support::ScriptedPrompts prompts;
        SearchFolderList list(texts, prompts);
        list.open(c.listed);
        ASSERT_EQ(list.rows().size(), c.listed.size());

        EXPECT_EQ(list.add(c.added), c.outcome);
        EXPECT_EQ(list.rows(), c.rows);
        EXPECT_EQ(warnings(prompts), c.warnings);
    }
}

TEST(SearchFolderList, OpeningAddsTheStoredPathsByTheSameRule) {
    const TextTable texts;
    testing_support::ScriptedPrompts prompts;
    SearchFolderList list(texts, prompts);

    list.open(Paths{"/dane/2018", "/dane", "", "/dane/2019", "/archiwum/stary.kvr"});

    EXPECT_THAT(list.rows(), ElementsAre("/archiwum/stary.kvr", "/dane"));
    EXPECT_THAT(warnings(prompts), ElementsAre(kRemoved + "/dane", kInsideListed + "/dane"));
}

TEST(SearchFolderList, RemovingClearingAndOk) {
    const TextTable texts;
    testing_support::ScriptedPrompts prompts;
    SearchFolderList list(texts, prompts);
    list.open(Paths{"/a", "/b", "/c", "/d"});

    const std::array<std::size_t, 3> selected{3, 0, 9};
    list.remove(selected);
    EXPECT_THAT(list.rows(), ElementsAre("/b", "/c"));
    EXPECT_TRUE(list.okEnabled());

    list.clear();
    EXPECT_TRUE(list.rows().empty());
    EXPECT_FALSE(list.okEnabled());
}

TEST(SearchFolderList, OkStoresTheRowsByPositionInPlaceOfTheOldList) {
    const TextTable texts;
    testing_support::ScriptedPrompts prompts;
    Configuration configuration;
    configuration.setSearchFolders({"/stary", "/inny", "/trzeci"});
    SearchFolderList list(texts, prompts);
    list.open(configuration);
    list.clear();
    list.add("/nowy/b");
    list.add("/nowy/a");

    list.store(configuration);

    EXPECT_EQ(configuration.searchFolders(), (Paths{"/nowy/a", "/nowy/b"}));
    EXPECT_EQ(configuration.ini().readString("WyszukiwanePliki", "0", ""), "/nowy/a");
    EXPECT_EQ(configuration.ini().readString("WyszukiwanePliki", "2", "brak"), "brak");
}

} // namespace
} // namespace konfigor
