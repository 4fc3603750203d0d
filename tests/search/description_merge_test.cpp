#include "search/description_merge.h"
#include "search/scripted_search_windows.h"
#include "search/settings_tree.h"
#include "support/scripted_prompts.h"
#include "texts/text_table.h"

#include <bitset>
#include <string>
#include <vector>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

namespace konfigor {
namespace {

using testing::ElementsAre;
using testing_support::sheetWith;

class DescriptionMergeTest : public testing::Test {
protected:
    void answer(std::initializer_list<ReplaceAnswer> answers) {
        windows.replaceAnswers.insert(windows.replaceAnswers.end(), answers);
    }
    std::vector<std::string> warnings() const {
        std::vector<std::string> shown;
        for (const Prompt& prompt : prompts.asked())
            shown.push_back(prompt.text);
        return shown;
    }
    static ChannelEntry channel(std::uint16_t time, const char* description) {
        ChannelEntry entry{.time = time, .transientMode = false, .doublePress = true};
        entry.description.assign(description);
        return entry;
    }

    TextTable texts;
    testing_support::ScriptedPrompts prompts;
    testing_support::ScriptedSearchWindows windows;
    DescriptionMerge merge{texts, prompts, windows};
};

TEST_F(DescriptionMergeTest, NoToAllOnChannelTwoLeavesThreeAndFourUntakenThoughTheyAgree) {
    Channels sheet{channel(5, ""), channel(10, ""), channel(20, ""), channel(30, "")};
    const Channels file{channel(5, "Brama"), channel(11, "Furtka"), channel(20, "Szlaban"),
                        channel(30, "Garaż")};
    answer({ReplaceAnswer::NoToAll});

    merge.mergeChannels(sheet, file);

    EXPECT_THAT(windows.questions,
                ElementsAre("Czy chcesz zastąpić nastawy kanału w arkuszu 2 nowymi nastawami z "
                            "pliku?\nArkusz:\n  Czas:   1.0\nPlik:\n  Czas:   1.1"));
    EXPECT_EQ(sheet[0], file[0]) << "equal times take the file's channel silently";
    EXPECT_EQ(sheet[1], channel(10, ""));
    EXPECT_EQ(sheet[2], channel(20, ""));
    EXPECT_EQ(sheet[3], channel(30, ""));
}

TEST_F(DescriptionMergeTest, EachChannelThatDiffersIsTakenOnlyWhenTheAnswerSaysSo) {
    const struct {
        std::string name;
        std::vector<ReplaceAnswer> answers;
        std::string taken; // channel 1 first
    } cases[] = {
        {"one by one",
         {ReplaceAnswer::Yes, ReplaceAnswer::No, ReplaceAnswer::None, ReplaceAnswer::Yes},
         "1001"},
        {"yes to all at the second", {ReplaceAnswer::No, ReplaceAnswer::YesToAll}, "0111"},
        {"no to all at once", {ReplaceAnswer::NoToAll}, "0000"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Channels sheet{channel(1, ""), channel(2, ""), channel(3, ""), channel(4, "")};
        const Channels file{channel(11, "a"), channel(12, "b"), channel(13, "c"), channel(14, "d")};
        windows.questions.clear();
        windows.replaceAnswers.assign(c.answers.begin(), c.answers.end());

        merge.mergeChannels(sheet, file);

        std::string taken;
        for (std::size_t i = 0; i < 4; ++i)
            taken += sheet[i] == file[i] ? '1' : '0';
        EXPECT_EQ(taken, c.taken);
        EXPECT_EQ(windows.questions.size(), c.answers.size());
        EXPECT_TRUE(windows.replaceAnswers.empty());
    }
}

TEST_F(DescriptionMergeTest, AnEqualRemoteTakesTheDescriptionSilentlyAndKeepsTheCounter) {
    const auto sheet = sheetWith({500});
    RemoteEntry& remote = sheet->remotes[0];
    remote.codeCounter = 7;
    remote.buttonMasks = {1, 2, 0, 8};
    remote.marked = true;
    const auto file = sheetWith({500});
    file->remotes[0].codeCounter = 99;
    file->remotes[0].buttonMasks = {1, 2, 0, 8};
    file->remotes[0].description.assign("Brama wjazdowa");
    // An empty slot in both keeps what it holds.
    sheet->remotes[5].description.assign("stary opis");
    file->remotes[5].description.assign("nowy opis");

    merge.mergeRemotes(sheet->remotes, file->remotes);

    EXPECT_TRUE(windows.questions.empty());
    EXPECT_EQ(remote.description.view(), "Brama wjazdowa");
    EXPECT_EQ(remote.codeCounter, 7);
    EXPECT_FALSE(remote.marked) << "files hold no marks";
    EXPECT_EQ(sheet->remotes[5].description.view(), "stary opis");
}

TEST_F(DescriptionMergeTest, YesToAllTakesEveryDifferingSlotWithoutAnotherQuestion) {
    const auto sheet = sheetWith({500, 501, 502});
    for (RemoteEntry& remote : sheet->remotes)
        remote.codeCounter = 40;
    const auto file = sheetWith({600, 501});
    file->remotes[1].buttonMasks[0] = 3;
    file->remotes[2] = RemoteEntry::cleared();
    file->remotes[3].serialWord = 700;
    file->remotes[3].description.assign("nowy");
    answer({ReplaceAnswer::YesToAll});

    merge.mergeRemotes(sheet->remotes, file->remotes);

    EXPECT_EQ(windows.questions.size(), 1u);
    for (std::size_t slot = 0; slot < 4; ++slot) {
        SCOPED_TRACE(slot);
        RemoteEntry expected = file->remotes[slot];
        expected.codeCounter = 40;
        EXPECT_EQ(sheet->remotes[slot], expected);
    }
}

TEST_F(DescriptionMergeTest, ARemoteAlreadyInTheSheetIsSkippedWithAWarning) {
    const auto sheet = sheetWith({});
    sheet->remotes[3].serialWord = 333;
    sheet->remotes[10].serialWord = 1010;
    const auto file = sheetWith({});
    file->remotes[3].serialWord = 333;
    file->remotes[10].serialWord = 333;
    // Only the slots before count: the sheet's 1010 lies after slot 4.
    file->remotes[4].serialWord = 1010;
    answer({ReplaceAnswer::YesToAll});

    merge.mergeRemotes(sheet->remotes, file->remotes);

    EXPECT_THAT(warnings(), ElementsAre("Pomijam pozycję 11, z pliku ponieważ zawiera ona pilota, "
                                        "który jest już w arkuszu"));
    EXPECT_EQ(prompts.asked().at(0).caption, "Konfigor USB");
    EXPECT_EQ(prompts.asked().at(0).icon, PromptIcon::Warning);
    EXPECT_EQ(sheet->remotes[10].serialWord, 1010u);
    EXPECT_EQ(sheet->remotes[4].serialWord, 1010u);
    EXPECT_EQ(windows.questions.size(), 1u) << "the question was about slot 5";
}

TEST_F(DescriptionMergeTest, TheRemoteQuestionShowsBothSides) {
    const auto sheet = sheetWith({});
    RemoteEntry& remote = sheet->remotes[2];
    remote.serialWord = 0x4000'007B; // multi 123
    remote.copyLock = true;
    remote.buttonMasks = {5, 0, 15, 2};
    remote.codeCounter = 12;
    const auto file = sheetWith({});
    file->remotes[2].copyLock = false;
    answer({ReplaceAnswer::Yes});

    merge.mergeRemotes(sheet->remotes, file->remotes);

    EXPECT_THAT(windows.questions,
                ElementsAre("Czy chcesz zastąpić nastawy pilota w arkuszu 3 nowymi nastawami z "
                            "pliku?\nArkusz:\n  Nr seryjny pilota:   1073741947\n  Blokada "
                            "kopiowania:   Tak\n  Przycisk 1:   K1 K3 \n  Przycisk 2:   \n  "
                            "Przycisk 3:   K1 K2 K3 K4 \n  Przycisk 4:   K2 \nPlik:\n  Nr "
                            "seryjny pilota:   0\n  Blokada kopiowania:   Nie\n  Przycisk 1:   \n"
                            "  Przycisk 2:   \n  Przycisk 3:   \n  Przycisk 4:   "));
    RemoteEntry emptied = RemoteEntry::cleared();
    emptied.copyLock = false;
    emptied.codeCounter = 12;
    EXPECT_EQ(remote, emptied) << "a Yes empties the slot but for its counter";
}

TEST_F(DescriptionMergeTest, NoToAllEndsTheRemotePhase) {
    const auto sheet = sheetWith({500, 501, 502, 503});
    // The file's 500 in slot 3 would be warned about, had the phase gone on.
    const auto file = sheetWith({600, 601, 500, 703});
    const SettingsSheet before = *sheet;
    answer({ReplaceAnswer::None, ReplaceAnswer::NoToAll});

    merge.mergeRemotes(sheet->remotes, file->remotes);

    EXPECT_EQ(windows.questions.size(), 2u);
    EXPECT_TRUE(prompts.asked().empty());
    EXPECT_EQ(sheet->remotes, before.remotes);
}

} // namespace
} // namespace konfigor
