#include "eventlog/event_record.h"
#include "eventlog/event_tail_reader.h"
#include "session/session_controller.h"
#include "texts/text_table.h"

#include <algorithm>
#include <cstring>
#include <string>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

namespace konfigor {
namespace {

EventRecord event(EventTime time, std::int32_t position, std::string_view description,
                  std::uint8_t button, std::uint8_t mask, std::uint32_t serial) {
    EventRecord record;
    record.time = time;
    record.position = position;
    record.description.assign(description);
    record.button = button;
    record.channelMask = mask;
    record.serialNumber = serial;
    return record;
}

constexpr EventTime kSeptember17{2018, 9, 17, 14, 3, 5};

// The line without its LF, as the reader hands it to the parser.
std::string_view withoutLf(std::string_view line) {
    return line.substr(0, line.size() - 1);
}

TEST(EventLine, WritesAndReadsBackEveryKindOfEvent) {
    const struct {
        const char* name;
        EventRecord record;
        std::string line;
    } cases[] = {
        {"stored remote, channels 1 and 3", event(kSeptember17, 12, "Brama", 2, 0b0101, 1234),
         "2018-09-17\t14:03:05\t12\tBrama\tP2\t\tP2\t\t1234\r\n"},
        {"virtual remote", event({2024, 1, 2, 3, 4, 5}, -2, "Pilot wirtualny", 4, 0b1000, 0),
         "2024-01-02\t03:04:05\t-2\tPilot wirtualny\t\t\t\tP4\t0\r\n"},
        {"serial does not match: no channels", event(kSeptember17, 704, "", 0, 0, 77),
         "2018-09-17\t14:03:05\t704\t\t\t\t\t\t77\r\n"},
        {"serial with bit 31 is written signed",
         event({999, 12, 31, 23, 59, 59}, 1, "x", 3, 0b1111, 0x8000'0001),
         "0999-12-31\t23:59:59\t1\tx\tP3\tP3\tP3\tP3\t-2147483647\r\n"},
        {"code page 1250 bytes stay",
         event(kSeptember17, 5,
               "\xA3\xF3"
               "d\x9F",
               1, 1, 9),
         "2018-09-17\t14:03:05\t5\t\xA3\xF3"
         "d\x9F\tP1\t\t\t\t9\r\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(formatEventLine(c.record), c.line);
        EXPECT_EQ(parseEventLine(withoutLf(c.line)), c.record);
    }
}

TEST(EventLine, TabsAndLineBreaksInADescriptionAreWrittenAsSpaces) {
    const EventRecord record = event(kSeptember17, 3, "Brama\tgara\xBF\r\nnowa", 1, 1, 5);
    const std::string line = formatEventLine(record);

    EXPECT_EQ(std::count(line.begin(), line.end(), '\t'), 8);
    const auto read = parseEventLine(withoutLf(line));
    ASSERT_TRUE(read);
    EXPECT_EQ(read->description.view(), "Brama gara\xBF  nowa");
    EXPECT_EQ(read->serialNumber, 5U);
    EXPECT_EQ(read->channelMask, 1);
}

TEST(EventLine, TranslatedChannelFieldsAreWrittenAndReadByTheirSecondCharacter) {
    TextTable texts;
    ASSERT_TRUE(texts.replace(Msg::EventLogChannel2Field, "K%c\t"));
    ASSERT_TRUE(texts.replace(Msg::EventLogChannel3Field, "Kanał%c")); // no tab: one is added
    const std::string line = formatEventLine(event(kSeptember17, 7, "d", 3, 0b0110, 1), texts);

    EXPECT_EQ(line, "2018-09-17\t14:03:05\t7\td\t\tK3\tKana\xB3"
                    "3\t\t1\r\n");
    // "Kanał3" reads its second character as the button: the format is the translator's choice.
    const auto read = parseEventLine(withoutLf(line));
    ASSERT_TRUE(read);
    EXPECT_EQ(read->channelMask, 0b0110);
}

TEST(EventLine, ReadsLinesOfOtherOriginsAndRejectsWhatIsNoEvent) {
    const EventRecord full = event(kSeptember17, 12, "Brama", 2, 0b0101, 1234);
    const EventRecord noSerial = event(kSeptember17, 12, "Brama", 2, 0b0101, 0);
    const struct {
        const char* name;
        std::string_view line;
        std::optional<EventRecord> expected;
    } cases[] = {
        {"CR CR LF of older files", "2018-09-17\t14:03:05\t12\tBrama\tP2\t\tP2\t\t1234\r\r", full},
        {"LF alone: the serial is not taken", "2018-09-17\t14:03:05\t12\tBrama\tP2\t\tP2\t\t1234",
         noSerial},
        {"any letter, short fields set nothing",
         "2018-09-17\t14:03:05\t12\tBrama\tX2\tP\tQ2\t\t1234\r", full},
        {"position and serial read like atoi",
         "2018-09-17\t14:03:05\t  +12abc\tBrama\tP2\t\tP2\t\t1234 x\r", full},
        {"missing fields are empty", "2018-9-17\t14:3:5\r", event(kSeptember17, 0, "", 0, 0, 0)},
        {"no position digits", "2018-09-17\t14:03:05\t-\r", event(kSeptember17, 0, "", 0, 0, 0)},
        {"date with slashes", "2018/09/17\t14:03:05\t12\tBrama\t\t\t\t\t1\r", std::nullopt},
        {"time with two numbers", "2018-09-17\t14:03\t12\tBrama\t\t\t\t\t1\r", std::nullopt},
        {"date without a separator after it", "2018-09-17", std::nullopt},
        {"header line 1", "Identyfikator odbiornika ZOR: \r", std::nullopt},
        {"header line 2",
         "Data\tCzas\tNr porz\xB9"
         "dkowy\tOpis pilota\r",
         std::nullopt},
        {"header line 3", "\t\t\t\t\t\t\t\t\r", std::nullopt},
        {"empty", "", std::nullopt},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(parseEventLine(c.line), c.expected);
    }
}

TEST(EventLine, KeepsAtMost255DescriptionBytes) {
    const std::string line = "2018-09-17\t14:03:05\t1\t" + std::string(300, 'd') + "\t\t\t\t\t1\r";
    const auto read = parseEventLine(line);
    ASSERT_TRUE(read);
    EXPECT_EQ(read->description.view(), std::string(255, 'd'));
}

TEST(EventLine, ARemotePressBecomesAnEventOfItsPosition) {
    const RemotePress press{.slot = 41, .button = 3, .channelMask = 0x00F6, .serialWord = 99};
    const EventRecord record = remotePressEvent(press, "Garaż", kSeptember17);
    EXPECT_EQ(record, event(kSeptember17, 42, "Garaż", 3, 0b0110, 99));
}

TEST(EventLogHeader, IsThreeLinesThatNeverReadAsEvents) {
    const TextTable texts;
    EXPECT_EQ(eventLogHeader(texts), "Identyfikator odbiornika ZOR: \r\n"
                                     "Data\tCzas\tNr porz\xB9"
                                     "dkowy\tOpis pilota\tKana\xB3 1\tKana\xB3 2\tKana\xB3 3\t"
                                     "Kana\xB3 4\tNumer seryjny pilota\r\n"
                                     "\t\t\t\t\t\t\t\t\r\n");
    const std::string filled = eventLogHeader(texts, "Osiedle\nA", {"Brama", "", "", "Furtka"});
    EXPECT_THAT(filled, testing::StartsWith("Identyfikator odbiornika ZOR: Osiedle A\r\n"));
    EXPECT_THAT(filled, testing::EndsWith("\t\t\t\tBrama\t\t\tFurtka\t\r\n"));
}

// --- reading the newest events backwards ---

std::string lineOf(int number) {
    return formatEventLine(event(kSeptember17, number, "e" + std::to_string(number), 1, 1,
                                 static_cast<std::uint32_t>(number)));
}

std::string linesFrom(int first, int last) {
    std::string text;
    for (int number = first; number <= last; ++number)
        text += lineOf(number);
    return text;
}

std::vector<std::int32_t> positions(const TailScan& scan) {
    std::vector<std::int32_t> numbers;
    for (const EventRecord& record : scan.events)
        numbers.push_back(record.position);
    return numbers;
}

std::vector<std::int32_t> range(std::int32_t first, std::int32_t last) {
    std::vector<std::int32_t> numbers;
    for (std::int32_t n = first; n <= last; ++n)
        numbers.push_back(n);
    return numbers;
}

const std::string kHeader = eventLogHeader(TextTable());

TEST(NewestEvents, AreTheRunOfEventLinesAtTheEnd) {
    const std::string garbage("\x00\xFF\n\x01\x7F\r\n\xC3\x28\x80", 9);
    const std::string cutGarbage("\x00\xFF\x01\x7F\r\xC3\x28\x80", 8);
    const std::string tenMegabytes(10'000'000, 'x');
    const std::string cutFifth(withoutLf(lineOf(5)));
    const struct {
        const char* name;
        std::string file;
        std::size_t n;
        std::vector<std::int32_t> expected;
        bool limitReached;
    } cases[] = {
        {"whole file", kHeader + linesFrom(1, 20), 100, range(1, 20), false},
        {"newest n", kHeader + linesFrom(1, 20), 5, range(16, 20), true},
        {"n = 0", kHeader + linesFrom(1, 20), 0, {}, true},
        {"empty file", "", 5, {}, false},
        {"header only", kHeader, 5, {}, false},
        {"no header: the first line is never read", linesFrom(1, 3), 10, range(2, 3), false},
        {"a bad line ends the scan", kHeader + linesFrom(1, 3) + "oops\r\n" + linesFrom(4, 5), 10,
         range(4, 5), false},
        {"empty lines are skipped", kHeader + lineOf(1) + "\n\r\n" + lineOf(2) + "\n", 10,
         range(1, 2), false},
        {"binary garbage before events", kHeader + garbage + "\n" + linesFrom(1, 4), 10,
         range(1, 4), false},
        {"binary garbage as the cut last line", kHeader + linesFrom(1, 4) + cutGarbage, 10,
         range(1, 4), false},
        {"an event as the cut last line", kHeader + linesFrom(1, 4) + cutFifth, 10, range(1, 5),
         false},
        {"a line cut inside its time", kHeader + linesFrom(1, 4) + "2018-09-17\t14:0", 10,
         range(1, 4), false},
        {"a 10 MB line ends the scan",
         kHeader + linesFrom(1, 3) + tenMegabytes + "\r\n" + linesFrom(4, 6), 10, range(4, 6),
         false},
        {"a 10 MB cut last line is skipped", kHeader + linesFrom(1, 3) + tenMegabytes, 10,
         range(1, 3), false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const TailScan scan = scanNewestEvents(c.file, c.n);
        EXPECT_EQ(positions(scan), c.expected);
        EXPECT_EQ(scan.limitReached, c.limitReached);
        EXPECT_EQ(scan.errorNumber, 0);
    }
}

TEST(NewestEvents, LfOnlyLinesLoadWithSerialZero) {
    std::string file = kHeader;
    for (int number = 1; number <= 3; ++number) {
        std::string line = lineOf(number);
        file += line.substr(0, line.size() - 2) + '\n';
    }
    const TailScan scan = scanNewestEvents(file, 10);
    ASSERT_EQ(positions(scan), range(1, 3));
    for (const EventRecord& record : scan.events)
        EXPECT_EQ(record.serialNumber, 0U);
}

// A file of one line repeated, never held in memory: what is read shows the cost.
TEST(NewestEvents, ReadOnlyTheTailOfAHugeFile) {
    const std::string line = lineOf(7);
    const std::uint64_t size = 50'000'000'000ULL / line.size() * line.size();
    std::uint64_t bytesRead = 0;
    const auto readAt = [&](std::uint64_t offset, std::span<char> into) {
        bytesRead += into.size();
        for (char& byte : into)
            byte = line[offset++ % line.size()];
        return true;
    };
    const TailScan scan = scanNewestEvents(size, readAt, 5000);
    EXPECT_EQ(scan.events.size(), 5000U);
    EXPECT_LT(bytesRead, 5000 * line.size() + 64 * 1024);
}

TEST(NewestEvents, AFailedReadKeepsItsErrorAndWhatWasRead) {
    const std::string file = kHeader + linesFrom(1, 5);
    const auto readAt = [&](std::uint64_t, std::span<char>) {
        errno = EIO;
        return false;
    };
    const TailScan scan = scanNewestEvents(file.size(), readAt, 10);
    EXPECT_TRUE(scan.events.empty());
    EXPECT_EQ(scan.errorNumber, EIO);
}

} // namespace
} // namespace konfigor
