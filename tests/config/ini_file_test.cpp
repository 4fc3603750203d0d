#include "config/ini_file.h"
#include "support/file_size_limit.h"
#include "support/temp_folder.h"

#include <climits>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

namespace konfigor {
namespace {

using Section = IniFile::Section;
using testing_support::Bytes;
using testing_support::FileSizeLimit;

Bytes bytesOf(std::string_view text) {
    return Bytes(text.begin(), text.end());
}

struct ParseCase {
    // Shown by its name in the test list, not as a dump of its bytes.
    friend void PrintTo(const ParseCase& shown, std::ostream* out) { *out << shown.name; }
    const char* name;
    std::string_view text;
    std::vector<Section> expected;
};

class IniFileParseTest : public ::testing::TestWithParam<ParseCase> {};

TEST_P(IniFileParseTest, ReadsSectionsKeysAndValuesInFileOrder) {
    EXPECT_EQ(IniFile::parse(GetParam().text).sections(), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Rules, IniFileParseTest,
    ::testing::Values(
        ParseCase{"LineFeeds", "[A]\nk=v\nj=w\n", {{"A", {{"k", "v"}, {"j", "w"}}}}},
        ParseCase{"CarriageReturnLineFeeds",
                  "[A]\r\nk=v\r\n[B]\r\nj=w\r\n",
                  {{"A", {{"k", "v"}}}, {"B", {{"j", "w"}}}}},
        ParseCase{"NoLineEndAtTheEnd", "[A]\r\nk=v", {{"A", {{"k", "v"}}}}},
        ParseCase{"CommentsAndBlankLines",
                  "; first\n\n[A]\n;k=1\n  \t\nk=2\n  ; j=3\n",
                  {{"A", {{"k", "2"}}}}},
        ParseCase{"LinesBeforeTheFirstSection", "k=1\ngarbage\n[A]\nj=2\n", {{"A", {{"j", "2"}}}}},
        ParseCase{"BlanksAroundNamesAndValues",
                  "  [ A b ]\t\n \t k  =  v  w \t\n",
                  {{"A b", {{"k", "v  w"}}}}},
        ParseCase{"EqualsSignsInTheValue", "[A]\nk = a=b =\n", {{"A", {{"k", "a=b ="}}}}},
        ParseCase{
            "EmptyKeyName", "[Pilot]\n=60\nNazwa=x\n", {{"Pilot", {{"", "60"}, {"Nazwa", "x"}}}}},
        ParseCase{"EmptyValue", "[A]\nk=\n", {{"A", {{"k", ""}}}}},
        ParseCase{"GarbageLines",
                  "[A]\nno equals sign\n[broken\n]\n\x01\x02\nk=v\n",
                  {{"A", {{"k", "v"}}}}},
        ParseCase{"EmptySections", "[A]\n[]\nk=v\n", {{"A", {}}, {"", {{"k", "v"}}}}},
        ParseCase{"RepeatedNamesWhateverTheirCase",
                  "[Ab]\nKey=1\n[B]\n[aB]\nkEY=2\nj=3\n",
                  {{"Ab", {{"Key", "1"}, {"j", "3"}}}, {"B", {}}}},
        ParseCase{"Utf8Text",
                  "[Katalogi]\nOdczytKvr=/home/łukasz/żółć\n",
                  {{"Katalogi", {{"OdczytKvr", "/home/łukasz/żółć"}}}}},
        ParseCase{"NothingUsable", "\r\n;\n=\n", {}}),
    [](const auto& caseInfo) { return std::string(caseInfo.param.name); });

TEST(IniFileTest, SerializesWithCarriageReturnLineFeeds) {
    IniFile file;
    file.writeString("Interfejs", "Language", "Polski");
    file.writeInteger("Interfejs", "Left", -1200);
    file.writeInteger("Pilot", "", 60);
    file.WriteYesNo("Interfejs", "Zmaksymalizowany", true);
    EXPECT_EQ(file.serialize(), "[Interfejs]\r\nLanguage=Polski\r\nLeft=-1200\r\n"
                                "Zmaksymalizowany=Tak\r\n[Pilot]\r\n=60\r\n");
    EXPECT_EQ(IniFile::parse(file.serialize()), file);
}

TEST(IniFileTest, NamesAreComparedWithoutRegardToCase) {
    IniFile file = IniFile::parse("[Pilot]\nNazwa=a\n");
    EXPECT_EQ(file.readString("PILOT", "nazwa", "default"), "a");
    EXPECT_TRUE(file.hasKey("pilot", "NAZWA"));
    EXPECT_FALSE(file.hasKey("Pilot", "Nazw"));
    EXPECT_FALSE(file.hasKey("Pilo", "Nazwa"));

    // A write keeps the name's first spelling and its place.
    file.writeString("pilot", "NAZWA", "b");
    file.writeString("PILOT", "", "80");
    EXPECT_EQ(file.serialize(), "[Pilot]\r\nNazwa=b\r\n=80\r\n");
}

TEST(IniFileTest, ReadsTheDefaultOnlyForAnAbsentKey) {
    const IniFile file = IniFile::parse("[A]\nempty=\n");
    EXPECT_EQ(file.readString("A", "empty", "default"), "");
    EXPECT_EQ(file.readString("A", "absent", "default"), "default");
    EXPECT_EQ(file.readString("B", "empty", "default"), "default");
}

TEST(IniFileTest, ALineBreakCannotAddLinesToTheFile) {
    IniFile file;
    file.writeString("A", "k", "one\r\n[Evil]\nx=1");
    file.writeString("A\n[Evil]", "j\nx", "two\rthree");
    EXPECT_EQ(file.serialize(), "[A]\r\nk=one\r\nj=two\r\n");
}

TEST(IniFileTest, ErasesASectionWithAllItsKeys) {
    IniFile file = IniFile::parse("[A]\nk=1\n[WyszukiwanePliki]\n0=/a\n1=/b\n[C]\nk=3\n");
    EXPECT_EQ(file.sectionValues("wyszukiwanepliki"),
              (std::vector<IniFile::KeyValue>{{"0", "/a"}, {"1", "/b"}}));
    file.eraseSection("WYSZUKIWANEPLIKI");
    EXPECT_TRUE(file.sectionValues("WyszukiwanePliki").empty());
    EXPECT_EQ(file.serialize(), "[A]\r\nk=1\r\n[C]\r\nk=3\r\n");
    file.eraseSection("absent");
    EXPECT_EQ(file.sections().size(), 2u);
}

struct IntegerCase {
    std::string_view stored;
    int expected;
};

TEST(IniFileTest, IntegersThatAreNotWholeDecimalNumbersGiveTheDefault) {
    constexpr int kDefault = 5000;
    const std::vector<IntegerCase> cases{{"12", 12},
                                         {"-5", -5},
                                         {"0", 0},
                                         {"2147483647", INT_MAX},
                                         {"-2147483648", INT_MIN},
                                         {"2147483648", kDefault},
                                         {"", kDefault},
                                         {"12a", kDefault},
                                         {"1.5", kDefault},
                                         {"0x10", kDefault},
                                         {"abc", kDefault},
                                         {"1 2", kDefault},
                                         {"-", kDefault},
                                         {"Tak", kDefault}};
    for (const auto& [stored, expected] : cases) {
        IniFile file;
        file.writeString("Zdarzenia", "IloscZdarzen", stored);
        EXPECT_EQ(file.readInteger("Zdarzenia", "IloscZdarzen", kDefault), expected) << stored;
        const std::optional<int> found = file.findInteger("Zdarzenia", "IloscZdarzen");
        EXPECT_EQ(found.value_or(kDefault), expected) << stored;
        EXPECT_EQ(found.has_value(), expected != kDefault) << stored;
    }
    EXPECT_EQ(IniFile{}.readInteger("Zdarzenia", "IloscZdarzen", kDefault), kDefault);
    EXPECT_FALSE(IniFile{}.findInteger("Zdarzenia", "IloscZdarzen"));
}

TEST(IniFileTest, YesIsExactlyTakAndAbsentGivesTheDefault) {
    const std::vector<std::pair<std::string_view, bool>> cases{
        {"Tak", true}, {"tak", false}, {"TAK", false},  {"Nie", false},
        {"1", false},  {"", false},    {"Tak!", false}, {"Yes", false}};
    for (const auto& [stored, expected] : cases) {
        IniFile file;
        file.writeString("Automatyzacja", "Autopolaczenie", stored);
        for (const bool defaultValue : {false, true})
            EXPECT_EQ(file.ReadYesNo("Automatyzacja", "Autopolaczenie", defaultValue), expected)
                << stored;
    }
    EXPECT_TRUE(IniFile{}.ReadYesNo("Automatyzacja", "Autopolaczenie", true));
    EXPECT_FALSE(IniFile{}.ReadYesNo("Automatyzacja", "Autopolaczenie", false));
}

TEST(IniFileTest, WritesYesAndNoAsTheStoredWords) {
    IniFile file;
    file.WriteYesNo("A", "on", true);
    file.WriteYesNo("A", "off", false);
    EXPECT_EQ(file.readString("A", "on", ""), kYesValue);
    EXPECT_EQ(file.readString("A", "off", ""), kNoValue);
}

class IniFileDiskTest : public testing_support::TempFolderTest {};

TEST_F(IniFileDiskTest, AMissingOrUnreadableFileGivesAnEmptyCopy) {
    EXPECT_EQ(IniFile::load(path("missing.txt")), IniFile{});
    std::filesystem::create_directory(path("folder.txt"));
    EXPECT_EQ(IniFile::load(path("folder.txt")), IniFile{});
}

TEST_F(IniFileDiskTest, SaveCreatesTheMissingFoldersAndLoadReadsItBack) {
    IniFile file;
    file.writeString("Katalogi", "ZapisKvr", "/home/łukasz");
    const auto target = path("Zentor/Konfigor/config.txt");
    ASSERT_TRUE(file.save(target));
    EXPECT_EQ(readBytes(target), bytesOf("[Katalogi]\r\nZapisKvr=/home/łukasz\r\n"));
    EXPECT_EQ(IniFile::load(target), file);
}

TEST_F(IniFileDiskTest, AFailedSaveLeavesThePreviousFile) {
    const Bytes previous = bytesOf("[A]\r\nk=old\r\n");
    writeBytes(path("config.txt"), previous);
    IniFile file;
    file.writeString("A", "k", std::string(1000, 'x'));
    bool saved = true;
    {
        const FileSizeLimit fullDisk(64);
        saved = file.save(path("config.txt"));
    }
    EXPECT_FALSE(saved);
    EXPECT_EQ(readBytes(path("config.txt")), previous);
    EXPECT_EQ(folderEntries(), std::vector<std::string>{"config.txt"});
}

TEST_F(IniFileDiskTest, AFileWhereAFolderIsNeededFailsTheSave) {
    writeBytes(path("Zentor"), Bytes{1});
    IniFile file;
    file.writeString("A", "k", "v");
    EXPECT_FALSE(file.save(path("Zentor/Konfigor/config.txt")));
    EXPECT_EQ(readBytes(path("Zentor")), Bytes{1});
}

} // namespace
} // namespace konfigor
