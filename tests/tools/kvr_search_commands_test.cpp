// kvr match, find and diff over settings files and folder trees the tests make.
#include "kvr/kvr_commands.h"
#include "kvr/search_commands.h"
#include "search/settings_tree.h"

#include <filesystem>
#include <sstream>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

namespace konfigor::kvr {
namespace {

namespace fs = std::filesystem;
using testing::HasSubstr;
using testing_support::sheetWith;

struct Outcome {
    int status;
    std::string out;
    std::string err;
};

Outcome run(const std::vector<std::string>& args) {
    const std::vector<std::string_view> words(args.begin(), args.end());
    std::ostringstream out;
    std::ostringstream err;
    const int status = runKvr(words, out, err);
    return {status, out.str(), err.str()};
}

// The sheet: remotes 123 and 456 in positions 1 and 2.
class KvrSearchCommands : public testing::Test {
protected:
    KvrSearchCommands() : sheet(sheetWith({123, 456})) {
        sheet->remotes[0].description.assign("Brama");
    }

    std::string file(const std::string& name) const { return tree.path(name).string(); }

    testing_support::SettingsTree tree;
    std::unique_ptr<SettingsSheet> sheet;
};

// What cannot be read is named on the error stream, and everything else is still searched.
TEST_F(KvrSearchCommands, MatchAndFindEndOverHostileTreesAndNameWhatTheySkipped) {
    tree.writeSheet("arkusz.kvr", *sheet);
    tree.writeSheet("dane/dobry.kvr", *sheet);
    auto other = sheetWith({});
    other->remotes[6].serialWord = 123;
    tree.writeSheet("dane/2019/inny.kvr", *other);
    fs::create_directory_symlink(tree.path("dane"), tree.path("dane/2019/petla"));
    ASSERT_EQ(::mkfifo(tree.path("dane/fifo.kvr").c_str(), 0600), 0);
    tree.writeText("dane/obciety.kvr", std::string_view("\x00\x80\x02\x00\x02\x00\x01\x80", 8));
    std::vector<std::string> skipped = {
        "kvr: skipped folder " + file("dane/2019/petla") + ": Too many levels of symbolic links\n",
        "kvr: skipped: Błąd otwierania pliku. Opis błędu: :Invalid argument. Nazwa pliku: " +
            file("dane/fifo.kvr") + "\n",
        "kvr: skipped: Niespodziewany koniec pliku. Opis błędu: Success. Nazwa pliku: " +
            file("dane/obciety.kvr") + "\n",
    };
    // Root reads every folder, so only another user can meet a folder it may not list.
    const bool folderCanBeLocked = ::geteuid() != 0;
    if (folderCanBeLocked) {
        tree.writeSheet("dane/zamkniety/ukryty.kvr", *sheet);
        fs::permissions(tree.path("dane/zamkniety"), fs::perms::none);
        skipped.insert(skipped.begin() + 1,
                       "kvr: skipped folder " + file("dane/zamkniety") + ": Permission denied\n");
    }
    const struct {
        std::vector<std::string> args;
        std::string out;
    } cases[] = {
        {{"match", file("arkusz.kvr"), file("dane")},
         "100.00 %  " + file("dane/dobry.kvr") + "\n57.14 %  " + file("dane/2019/inny.kvr") + "\n"},
        {{"find", "123", file("dane")},
         file("dane/2019/inny.kvr") + ":7: 123\n" + file("dane/dobry.kvr") + ":1: 123  Brama\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.args.front());
        const Outcome outcome = run(c.args);

        EXPECT_EQ(outcome.status, kExitSuccess);
        EXPECT_EQ(outcome.out, c.out);
        std::string expectedErr;
        for (const std::string& line : skipped)
            expectedErr += line;
        EXPECT_EQ(outcome.err, expectedErr);
    }
    if (folderCanBeLocked)
        fs::permissions(tree.path("dane/zamkniety"), fs::perms::owner_all);
}

TEST_F(KvrSearchCommands, JsonForScripts) {
    tree.writeSheet("arkusz.kvr", *sheet);
    auto multi = sheetWith({});
    multi->remotes[3].serialWord = 0x4000'0000 | 123;
    tree.writeSheet("dane/multi.kvr", *multi);
    tree.writeText("dane/zly.kvr", "zly");
    const struct {
        std::vector<std::string> args;
        std::vector<std::string> parts;
    } cases[] = {
        {{"match", "--json", file("arkusz.kvr"), file("dane")},
         {R"({"sheet":")" + file("arkusz.kvr") + R"(","results":[{"file":")" +
              file("dane/multi.kvr") + R"(","score":)",
          R"(,"shown":"57.14 %"}],"skipped":[{"kind":"file","path":")" + file("dane/zly.kvr") +
              R"(","error":"Błąd wczytywania formatu pliku.\nOpis błędu: :Success.\nNazwa )"}},
        {{"find", "123", file("dane"), "--json"},
         {R"({"serial":123,"found":[{"file":")" + file("dane/multi.kvr") +
          R"(","position":4,"serialWord":1073741947,"multi":true,"description":""}],)"
          R"("skipped":[{"kind":"file",)"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.args.front());
        const Outcome outcome = run(c.args);
        EXPECT_EQ(outcome.status, kExitSuccess) << outcome.err;
        for (const std::string& part : c.parts)
            EXPECT_THAT(outcome.out, HasSubstr(part));
        EXPECT_EQ(outcome.out.back(), '\n');
        EXPECT_EQ(std::count(outcome.out.begin(), outcome.out.end(), '\n'), 1);
        EXPECT_THAT(outcome.err, HasSubstr("zly.kvr")) << "skipped files are named all the same";
    }
}

TEST_F(KvrSearchCommands, NothingFoundOrScored) {
    tree.writeSheet("arkusz.kvr", *sheet);
    tree.writeSheet("dane/dobry.kvr", *sheet);
    tree.writeText("puste/notatki.txt", "nic");
    const struct {
        std::vector<std::string> args;
        std::string err;
    } cases[] = {
        {{"find", "999", file("dane")}, ""},
        {{"match", file("arkusz.kvr"), file("puste")}, "kvr: no settings file could be scored\n"},
        {{"match", file("arkusz.kvr"), file("brak")},
         "kvr: skipped " + file("brak") +
             ": No such file or directory\nkvr: no settings file could be scored\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.args.front());
        const Outcome outcome = run(c.args);

        EXPECT_EQ(outcome.status, 1);
        EXPECT_EQ(outcome.out, "");
        EXPECT_EQ(outcome.err, c.err);
    }
}

TEST_F(KvrSearchCommands, DiffListsWhatDiffersSlotBySlot) {
    auto changed = sheetWith({123, 789});
    changed->remotes[0].buttonMasks = {5, 0, 0, 8};
    changed->remotes[0].copyLock = true;
    changed->remotes[0].codeCounter = 999; // never compared
    changed->remotes[0].description.assignUtf8("Brama\npółnocna");
    changed->remotes[9].serialWord = 0x4000'0000 | 10;
    changed->channels[1] = {.time = 0, .transientMode = true, .doublePress = true};
    changed->identifier.assign("Osiedle");
    tree.writeSheet("a.kvr", *sheet);
    tree.writeSheet("kopia.kvr", *sheet);
    tree.writeSheet("b.kvr", *changed);
    tree.writeText("zly.kvr", "zly");
    const struct {
        std::vector<std::string> args;
        int status;
        std::string out;
    } cases[] = {
        {{"diff", file("a.kvr"), file("kopia.kvr")}, kDiffSame, ""},
        {{"diff", file("a.kvr"), file("b.kvr")},
         kDiffDifferent,
         "remote 1: buttons - - - - | 1,3 - - 4\n"
         "remote 1: copy lock no | yes\n"
         "remote 1: description \"Brama\" | \"Brama północna\"\n"
         "remote 2: serial 456 | 789\n"
         "remote 10: serial empty | (M) 10\n"
         "channel 2: time 0.5 s | 0.0 s\n"
         "channel 2: momentary no | yes\n"
         "channel 2: double press no | yes\n"
         "identifier \"\" | \"Osiedle\"\n"},
        {{"diff", "--json", file("b.kvr"), file("a.kvr")},
         kDiffDifferent,
         R"({"a":")" + file("b.kvr") + R"(","b":")" + file("a.kvr") +
             R"(","descriptionsCompared":true,"equal":false,"differences":[)"
             R"({"position":1,"field":"buttons","a":[5,0,0,8],"b":[0,0,0,0]},)"
             R"({"position":1,"field":"copyLock","a":true,"b":false},)"
             R"({"position":1,"field":"description","a":"Brama\npółnocna","b":"Brama"},)"
             R"({"position":2,"field":"serialWord","a":789,"b":456},)"
             R"({"position":10,"field":"serialWord","a":1073741834,"b":0},)"
             R"({"channel":2,"field":"time","a":0,"b":5},)"
             R"({"channel":2,"field":"transientMode","a":true,"b":false},)"
             R"({"channel":2,"field":"doublePress","a":true,"b":false},)"
             R"({"field":"identifier","a":"Osiedle","b":""}]})"
             "\n"},
        {{"diff", file("a.kvr"), file("zly.kvr")}, kDiffTrouble, ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.args.back());
        const Outcome outcome = run(c.args);

        EXPECT_EQ(outcome.status, c.status) << outcome.err;
        EXPECT_EQ(outcome.out, c.out);
        if (c.status == kDiffTrouble) {
            EXPECT_THAT(outcome.err, testing::StartsWith("kvr: Błąd wczytywania formatu pliku."));
        }
    }
}

} // namespace
} // namespace konfigor::kvr
