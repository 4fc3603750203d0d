#include "eventlog/events_log.h"
#include "support/temp_folder.h"
#include "texts/text_table.h"

#include <fstream>
#include <sstream>
#include <sys/stat.h>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

namespace konfigor {
namespace {

using testing_support::TempFolderTest;

constexpr EventTime kNoon{2020, 2, 29, 12, 0, 0};

EventRecord numbered(int number) {
    EventRecord record;
    record.time = kNoon;
    record.position = number % 704 + 1;
    record.description.assign("pilot " + std::to_string(number));
    record.button = 2;
    record.channelMask = 0b0011;
    record.serialNumber = static_cast<std::uint32_t>(number);
    return record;
}

class EventsLogFile : public TempFolderTest {
protected:
    std::string contents(const std::filesystem::path& file) const {
        std::ifstream in(file, std::ios::binary);
        std::ostringstream bytes;
        bytes << in.rdbuf();
        return bytes.str();
    }

    // A log with the header and events 0 .. count-1, written as the program writes it.
    std::string writeLog(int count) const {
        std::string text = header_;
        for (int number = 0; number < count; ++number)
            text += formatEventLine(numbered(number));
        std::ofstream(log_, std::ios::binary) << text;
        return text;
    }

    static ino_t inode(const std::filesystem::path& file) {
        struct stat status {};
        EXPECT_EQ(::stat(file.c_str(), &status), 0);
        return status.st_ino;
    }

    TextTable texts_;
    std::string header_ = eventLogHeader(texts_, "Osiedle");
    std::filesystem::path log_ = path("log.txt");
};

TEST_F(EventsLogFile, TrimsAFileOfMoreEventsToTheNewestAtomically) {
    writeLog(6000);
    const ino_t before = inode(log_);
    EventsLog log(texts_);
    log.open(log_, header_);

    EXPECT_TRUE(log.loadLastAndTrim(log_, 5000));

    ASSERT_EQ(log.count(), 5000U);
    EXPECT_EQ(log.item(0), numbered(1000));
    EXPECT_EQ(log.item(4999), numbered(5999));
    std::string expected = header_;
    for (int number = 1000; number < 6000; ++number)
        expected += formatEventLine(numbered(number));
    EXPECT_EQ(contents(log_), expected);
    EXPECT_NE(inode(log_), before);
    EXPECT_THAT(folderEntries(), testing::ElementsAre("log.txt"));
}

TEST_F(EventsLogFile, LeavesAFileOfFewerEventsAsItIs) {
    const std::string original = writeLog(4999);
    const ino_t before = inode(log_);
    EventsLog log(texts_);

    EXPECT_FALSE(log.loadLastAndTrim(log_, 5000));

    EXPECT_EQ(log.count(), 4999U);
    EXPECT_EQ(contents(log_), original);
    EXPECT_EQ(inode(log_), before);
}

TEST_F(EventsLogFile, AppendsWholeLinesAndCreatesTheFileWithItsHeader) {
    EventsLog log(texts_, [] { return kNoon; });
    ASSERT_TRUE(log.open(log_, header_));
    EXPECT_EQ(contents(log_), header_);

    log.addNow(true, EventRecord::kVirtualRemote, "Pilot wirtualny", 1, 0b0001, 0);
    log.add(false, numbered(1)); // kept, not written
    log.add(true, numbered(2));

    EXPECT_EQ(log.count(), 3U);
    EXPECT_EQ(contents(log_), header_ +
                                  "2020-02-29\t12:00:00\t-2\tPilot wirtualny\tP1\t\t\t\t0\r\n" +
                                  formatEventLine(numbered(2)));
}

TEST_F(EventsLogFile, AnAppendEndsACutLastLineAndFillsAnEmptyFileWithTheHeader) {
    std::ofstream(log_, std::ios::binary) << header_ << "2020-02-29\t12:0";
    EventsLog log(texts_);
    log.open(log_, header_);
    log.add(true, numbered(1));
    EXPECT_EQ(contents(log_), header_ + "2020-02-29\t12:0\r\n" + formatEventLine(numbered(1)));

    // Loading creates a missing file empty; the first append then writes the header.
    const std::filesystem::path other = path("other.txt");
    EXPECT_EQ(log.loadLast(other, 10), 0U);
    EXPECT_EQ(log.filePath(), other);
    log.add(true, numbered(2));
    EXPECT_EQ(contents(other), header_ + formatEventLine(numbered(2)));
}

TEST_F(EventsLogFile, AFileThatCannotBeOpenedLoadsNothingAndKeepsTheAppendTarget) {
    writeLog(10);
    EventsLog log(texts_);
    log.open(log_, header_);
    log.add(false, numbered(99));

    EXPECT_EQ(log.loadLast(path("missing/log.txt"), 10), 0U);
    EXPECT_FALSE(log.loadLastAndTrim(path("missing/log.txt"), 10));

    EXPECT_EQ(log.filePath(), log_);
    EXPECT_FALSE(log.open(path("missing/log.txt"), header_));
}

TEST_F(EventsLogFile, LoadsWhatIsReadableOfHostileFiles) {
    const std::string events = formatEventLine(numbered(1)) + formatEventLine(numbered(2));
    const struct {
        const char* name;
        std::string text;
        std::size_t expected;
    } cases[] = {
        {"binary garbage", header_ + std::string("\x00\x01\xFF\n\x80", 5) + "\n" + events, 2},
        {"a 10 MB line", header_ + std::string(10'000'000, '\xEE') + "\r\n" + events, 2},
        {"a cut last line", header_ + events + "2020-02-29\t1", 2},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        std::ofstream(log_, std::ios::binary | std::ios::trunc) << c.text;
        EventsLog log(texts_);
        EXPECT_EQ(log.loadLast(log_, 5000), c.expected);
        EXPECT_EQ(readNewestEvents(log_, 5000).events.size(), c.expected);
    }
}

TEST_F(EventsLogFile, ReadingOnlyNeverCreatesAFile) {
    const TailScan scan = readNewestEvents(log_, 10);
    EXPECT_EQ(scan.errorNumber, ENOENT);
    EXPECT_TRUE(folderEntries().empty());
}

} // namespace
} // namespace konfigor
