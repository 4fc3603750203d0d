#include "common/atomic_file.h"
#include "support/file_size_limit.h"
#include "support/temp_folder.h"

#include <sys/stat.h>

#include <gtest/gtest.h>

namespace konfigor {
namespace {

using testing_support::Bytes;
using testing_support::FileSizeLimit;

mode_t modeOf(const std::filesystem::path& file) {
    struct stat status {};
    stat(file.c_str(), &status);
    return status.st_mode & 07777;
}

class AtomicFileTest : public testing_support::TempFolderTest {};

TEST_F(AtomicFileTest, CreatesANewFileWithTheUsualPermissions) {
    const Bytes content{1, 2, 3};
    const mode_t mask = umask(022);
    EXPECT_FALSE(writeFileAtomically(path("new.kvr"), content));
    umask(mask);
    EXPECT_EQ(readBytes(path("new.kvr")), content);
    EXPECT_EQ(modeOf(path("new.kvr")), 0644u);
    EXPECT_EQ(folderEntries(), std::vector<std::string>{"new.kvr"});
}

TEST_F(AtomicFileTest, ReplacesAFileKeepingItsPermissions) {
    writeBytes(path("old.kvr"), Bytes(100, 7));
    chmod(path("old.kvr").c_str(), 0600);
    const Bytes content{9, 8};
    EXPECT_FALSE(writeFileAtomically(path("old.kvr"), content));
    EXPECT_EQ(readBytes(path("old.kvr")), content);
    EXPECT_EQ(modeOf(path("old.kvr")), 0600u);
}

TEST_F(AtomicFileTest, AFailedWriteLeavesTheOldFileAndNoTemporaryFile) {
    const Bytes old(50, 7);
    writeBytes(path("old.kvr"), old);
    std::optional<FileWriteFailure> failure;
    {
        const FileSizeLimit fullDisk(64);
        failure = writeFileAtomically(path("old.kvr"), Bytes(1000, 1));
    }
    ASSERT_TRUE(failure);
    EXPECT_EQ(failure->stage, FileWriteFailure::Stage::Write);
    EXPECT_EQ(failure->errorNumber, EFBIG);
    EXPECT_EQ(readBytes(path("old.kvr")), old);
    EXPECT_EQ(folderEntries(), std::vector<std::string>{"old.kvr"});
}

TEST_F(AtomicFileTest, AMissingFolderFailsToOpen) {
    const auto failure = writeFileAtomically(path("missing/new.kvr"), Bytes{1});
    ASSERT_TRUE(failure);
    EXPECT_EQ(failure->stage, FileWriteFailure::Stage::Open);
    EXPECT_EQ(failure->errorNumber, ENOENT);
}

TEST_F(AtomicFileTest, AFolderInTheWayFailsAndStays) {
    std::filesystem::create_directory(path("taken.kvr"));
    const auto failure = writeFileAtomically(path("taken.kvr"), Bytes{1});
    ASSERT_TRUE(failure);
    EXPECT_TRUE(std::filesystem::is_directory(path("taken.kvr")));
    EXPECT_EQ(folderEntries(), std::vector<std::string>{"taken.kvr"});
}

// Another user's file, as root: replaced unless it was made read-only for everyone, and a
// replaced file stays its owner's. Only root can hand a file to someone else to set this up.
TEST_F(AtomicFileTest, AnotherUsersFileKeepsItsOwnerAndOnlyAReadOnlyOneIsRefused) {
    constexpr uid_t kStranger = 4321;
    const struct {
        mode_t mode;
        bool replaced;
    } cases[] = {{0646, true}, {0600, true}, {0444, false}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.mode);
        writeBytes(path("cudzy.kvr"), Bytes{1});
        if (chown(path("cudzy.kvr").c_str(), kStranger, kStranger) != 0)
            GTEST_SKIP() << "only root can give a file away";
        chmod(path("cudzy.kvr").c_str(), c.mode);

        const auto failure = writeFileAtomically(path("cudzy.kvr"), Bytes{2});

        EXPECT_EQ(!failure, c.replaced);
        EXPECT_EQ(readBytes(path("cudzy.kvr")), c.replaced ? Bytes{2} : Bytes{1});
        struct stat status {};
        stat(path("cudzy.kvr").c_str(), &status);
        EXPECT_EQ(status.st_uid, kStranger);
        EXPECT_EQ(status.st_mode & 07777, c.mode);
        EXPECT_EQ(folderEntries(), std::vector<std::string>{"cudzy.kvr"});
        std::filesystem::remove(path("cudzy.kvr"));
    }
}

TEST_F(AtomicFileTest, WritesThroughASymbolicLink) {
    writeBytes(path("real.kvr"), Bytes{1});
    std::filesystem::create_symlink(path("real.kvr"), path("link.kvr"));
    EXPECT_FALSE(writeFileAtomically(path("link.kvr"), Bytes{2, 3}));
    EXPECT_TRUE(std::filesystem::is_symlink(path("link.kvr")));
    EXPECT_EQ(readBytes(path("real.kvr")), (Bytes{2, 3}));
}

} // namespace
} // namespace konfigor
