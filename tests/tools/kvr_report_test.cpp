#include "files/settings_file.h"
#include "sheet/settings_sheet.h"
#include "support/temp_folder.h"
#include "texts/text_table.h"

#include <fcntl.h>
#include <spawn.h>
#include <string>
#include <sys/wait.h>
#include <vector>

#include <gtest/gtest.h>

extern char** environ;

namespace konfigor {
namespace {

class KvrReportTest : public testing_support::TempFolderTest {
protected:
    // kvr's exit status; its error stream goes to a file of the test folder.
    int runKvr(std::vector<std::string> words) const {
        words.insert(words.begin(), {KVR_PROGRAM, "report"});
        std::vector<char*> argv;
        for (std::string& word : words)
            argv.push_back(word.data());
        argv.push_back(nullptr);
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        const std::string errors = path("stderr.txt").string();
        posix_spawn_file_actions_addopen(&actions, 2, errors.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                         0600);
        pid_t child = 0;
        const int spawned =
            posix_spawn(&child, KVR_PROGRAM, &actions, nullptr, argv.data(), environ);
        posix_spawn_file_actions_destroy(&actions);
        if (spawned != 0)
            return -1;
        int status = 0;
        waitpid(child, &status, 0);
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }

    std::string writeSheet() const {
        SettingsSheet sheet;
        sheet.remotes[3].serialWord = 1234;
        const std::string file = path("sheet.kvr").string();
        const TextTable texts;
        EXPECT_FALSE(
            SettingsFile(texts).write(file, sheet.remotes, sheet.channels, sheet.identifier));
        return file;
    }
};

TEST_F(KvrReportTest, WritesAPdfWithoutADisplay) {
    const std::string pdf = path("out.pdf").string();
    EXPECT_EQ(runKvr({writeSheet(), "-o", pdf}), 0);
    const testing_support::Bytes bytes = readBytes(pdf);
    ASSERT_GE(bytes.size(), 5U);
    EXPECT_EQ(std::string(bytes.begin(), bytes.begin() + 5), "%PDF-");
}

TEST_F(KvrReportTest, RefusesWrongArgumentsAndUnreadableFiles) {
    const struct {
        std::vector<std::string> words;
        int status;
    } cases[] = {
        {{}, 2},
        {{"only.kvr"}, 2},
        {{"a.kvr", "b.kvr", "-o", "out.pdf"}, 2},
        {{"a.kvr", "--bogus", "-o", "out.pdf"}, 2},
        {{path("missing.kvr").string(), "-o", path("out.pdf").string()}, 1},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(runKvr(c.words), c.status) << testing::PrintToString(c.words);
        EXPECT_FALSE(std::filesystem::exists(path("out.pdf")));
    }
    EXPECT_EQ(runKvr({writeSheet(), "-o", path("no/such/folder/out.pdf").string()}), 1);
}

} // namespace
} // namespace konfigor
