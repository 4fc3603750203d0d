#include "kvr/sheet_csv.h"
#include "kvr/sheet_json.h"
#include "kvr/sheet_json_import.h"
#include "sheet/serial_word.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

namespace konfigor::kvr {
namespace {

// Position 3: a multi remote with a Polish description; channel 2 bistable with double press.
SettingsSheet tinySheet() {
    SettingsSheet sheet;
    RemoteEntry& remote = sheet.remotes[2];
    remote.serialWord = serial_word::withMulti(123, true);
    remote.codeCounter = 7;
    remote.buttonMasks = {5, 0, 2, 8};
    remote.copyLock = false;
    remote.description.assignUtf8("Brama Łódź");
    ChannelEntry& channel = sheet.channels[1];
    channel.time = 0;
    channel.doublePress = true;
    channel.description.assignUtf8("Wjazd \"B\"");
    sheet.identifier.assignUtf8("Dom");
    return sheet;
}

TEST(KvrJsonExport, WritesTheExactCompactDocument) {
    const std::string factoryChannel =
        R"("time":5,"transientMode":false,"doublePress":false,"description":"")";
    const std::string expected =
        R"({"version":2,"identifier":"Dom","remotes":[{"position":3,"serialWord":1073741947,)"
        R"("serial":123,"multi":true,"codeCounter":7,"buttons":[5,0,2,8],"copyLock":false,)"
        R"("description":"Brama Łódź"}],"channels":[{"channel":1,)" +
        factoryChannel +
        R"(},{"channel":2,"time":0,"transientMode":false,"doublePress":true,)"
        R"("description":"Wjazd \"B\""},{"channel":3,)" +
        factoryChannel + R"(},{"channel":4,)" + factoryChannel + "}]}";

    EXPECT_EQ(sheetToJson(tinySheet(), 2, SlotSelection::Used), expected);
}

TEST(KvrJsonExport, ListsEverySlotWithAll) {
    const std::string json = sheetToJson(tinySheet(), 2, SlotSelection::All);

    EXPECT_THAT(json, testing::HasSubstr(R"({"position":1,"serialWord":0,"serial":0,"multi":false,)"
                                         R"("codeCounter":0,"buttons":[0,0,0,0],"copyLock":true,)"
                                         R"("description":""})"));
    EXPECT_THAT(json, testing::HasSubstr(R"({"position":704,)"));
}

TEST(KvrJsonImport, ReadsBackWhatTheExportWrote) {
    const SettingsSheet sheet = tinySheet();
    const auto imported = sheetFromJson(sheetToJson(sheet, 2, SlotSelection::Used));

    ASSERT_TRUE(std::holds_alternative<SettingsSheet>(imported))
        << std::get<ImportError>(imported).message();
    const SettingsSheet& result = std::get<SettingsSheet>(imported);
    EXPECT_EQ(result.remotes, sheet.remotes);
    EXPECT_EQ(result.channels, sheet.channels);
    EXPECT_EQ(result.identifier, sheet.identifier);
}

TEST(KvrJsonImport, FillsWhatIsLeftOutWithClearedSlotsAndFactoryChannels) {
    const auto imported = sheetFromJson(R"({"remotes":[{"position":2,"serial":77,"multi":true},)"
                                        R"({"position":5,"serial":78}],)"
                                        R"("channels":[{"channel":3,"time":0}]})");

    ASSERT_TRUE(std::holds_alternative<SettingsSheet>(imported))
        << std::get<ImportError>(imported).message();
    const SettingsSheet& sheet = std::get<SettingsSheet>(imported);
    RemoteEntry multi = RemoteEntry::cleared();
    multi.serialWord = serial_word::withMulti(77, true);
    RemoteEntry single = RemoteEntry::cleared();
    single.serialWord = 78;
    EXPECT_EQ(sheet.remotes[1], multi);
    EXPECT_EQ(sheet.remotes[4], single);
    EXPECT_EQ(sheet.remotes[0], RemoteEntry::cleared());
    EXPECT_EQ(sheet.channels[2].time, 0);
    EXPECT_EQ(sheet.channels[0], ChannelEntry::factory());
    EXPECT_TRUE(sheet.identifier.empty());
}

TEST(KvrCsv, QuotesOnlyFieldsThatNeedIt) {
    const struct {
        std::string_view text;
        std::string_view field;
    } cases[] = {
        {"Brama", "Brama"},   {"", ""},
        {"a,b", "\"a,b\""},   {"say \"hi\"", "\"say \"\"hi\"\"\""},
        {"a\rb", "\"a\rb\""}, {"a\nb", "\"a\nb\""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(csvField(c.text), c.field) << c.text;
}

TEST(KvrCsv, WritesHeaderAndOneRowPerRemote) {
    SettingsSheet sheet;
    RemoteEntry& gate = sheet.remotes[0];
    gate.serialWord = serial_word::withMulti(123, true);
    gate.buttonMasks = {5, 0, 15, 8};
    gate.copyLock = false;
    gate.codeCounter = 300;
    gate.description.assignUtf8("Brama, \"główna\"\nwjazd");
    sheet.remotes[9].serialWord = 42;

    EXPECT_EQ(sheetToCsv(sheet, SlotSelection::Used),
              "position,serial,multi,description,button1,button2,button3,button4,copyLock,"
              "codeCounter\r\n"
              "1,(M) 123,true,\"Brama, \"\"główna\"\"\nwjazd\",13,,1234,4,false,300\r\n"
              "10,42,false,,,,,,true,0\r\n");
}

} // namespace
} // namespace konfigor::kvr
