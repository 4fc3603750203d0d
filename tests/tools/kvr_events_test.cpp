#include "eventlog/event_record.h"
#include "kvr/kvr_commands.h"
#include "support/temp_folder.h"
#include "texts/text_table.h"

#include <fstream>
#include <sstream>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

namespace konfigor::kvr {
namespace {

using testing::HasSubstr;
using testing_support::TempFolderTest;

EventRecord event(std::int32_t position, std::string_view descriptionCp1250, std::uint8_t button,
                  std::uint8_t mask, std::uint32_t serial) {
    EventRecord record;
    record.time = {2018, 9, 17, 14, 3, 5};
    record.position = position;
    record.description.assign(descriptionCp1250);
    record.button = button;
    record.channelMask = mask;
    record.serialNumber = serial;
    return record;
}

class KvrEvents : public TempFolderTest {
protected:
    void SetUp() override {
        std::ofstream(log_, std::ios::binary)
            << eventLogHeader(TextTable()) << formatEventLine(event(3, "old", 1, 1, 1))
            << formatEventLine(event(12,
                                     "Brama, \xB3\xF3"
                                     "d\x9F",
                                     2, 0b0101, 1234))
            << formatEventLine(event(-2, "Pilot wirtualny", 4, 0b1000, 0))
            << formatEventLine(event(704, "Furtka", 1, 0, 0x4000'0007));
    }

    struct Outcome {
        int status;
        std::string out;
        std::string err;
    };

    static Outcome run(std::vector<std::string> args) {
        const std::vector<std::string_view> words(args.begin(), args.end());
        std::ostringstream out;
        std::ostringstream err;
        const int status = runKvr(words, out, err);
        return {status, out.str(), err.str()};
    }

    std::filesystem::path log_ = path("log.txt");
};

TEST_F(KvrEvents, PrintsTheNewestEventsAsATable) {
    const Outcome shown = run({"events", log_.string(), "--last", "3"});

    ASSERT_EQ(shown.status, kExitSuccess) << shown.err;
    EXPECT_EQ(shown.out,
              "Data        Godzina   Nr p.  Opis             Kanał 1  Kanał 2  Kanał 3  Kanał 4  "
              "Numer seryjny pilota\n"
              "2018-09-17  14:03:05  12     Brama, łódź      2                 2                 "
              "1234\n"
              "2018-09-17  14:03:05         Pilot wirtualny                             4\n"
              "2018-09-17  14:03:05  704    Furtka                                               "
              "(M) 7\n");
}

TEST_F(KvrEvents, PrintsCsvWithAHeaderRowAndAllEventsByDefault) {
    const Outcome shown = run({"events", "--csv", log_.string()});

    ASSERT_EQ(shown.status, kExitSuccess) << shown.err;
    EXPECT_EQ(shown.out, "date,time,position,description,channel1,channel2,channel3,channel4,"
                         "serial\r\n"
                         "2018-09-17,14:03:05,3,old,1,,,,1\r\n"
                         "2018-09-17,14:03:05,12,\"Brama, łódź\",2,,2,,1234\r\n"
                         "2018-09-17,14:03:05,-2,Pilot wirtualny,,,,4,\r\n"
                         "2018-09-17,14:03:05,704,Furtka,,,,,(M) 7\r\n");
}

TEST_F(KvrEvents, AnUnreadableFileIsAFileError) {
    for (const std::filesystem::path& file : {path("missing.txt"), folder_}) {
        SCOPED_TRACE(file.string());
        const Outcome shown = run({"events", file.string()});
        EXPECT_EQ(shown.status, kExitFileError);
        EXPECT_THAT(shown.err, HasSubstr("kvr: cannot read " + file.string() + ": "));
        EXPECT_EQ(shown.out, "");
    }
    EXPECT_FALSE(std::filesystem::exists(path("missing.txt")));
}

TEST_F(KvrEvents, RefusesWrongArguments) {
    const struct {
        std::vector<std::string> args;
        std::string message;
    } cases[] = {
        {{"events"}, "events: missing LOG"},
        {{"events", "log.txt", "--last", "0"}, "events: --last needs a whole number above 0"},
        {{"events", "log.txt", "--last", "12x"}, "events: --last needs a whole number above 0"},
        {{"events", "log.txt", "--last"}, "option --last needs a number"},
        {{"events", "log.txt", "--json"}, "events: unknown option --json"},
        {{"events", "a.txt", "b.txt"}, "events: unexpected argument b.txt"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.message);
        const Outcome shown = run(c.args);
        EXPECT_EQ(shown.status, kExitUsage);
        EXPECT_THAT(shown.err, HasSubstr("kvr: " + c.message + '\n'));
        EXPECT_THAT(shown.err, HasSubstr("kvr events LOG [--last N] [--csv]"));
    }
}

} // namespace
} // namespace konfigor::kvr
