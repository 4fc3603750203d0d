#include "files/settings_file.h"
#include "support/file_size_limit.h"
#include "support/temp_folder.h"
#include "texts/text_table.h"

#include <gtest/gtest.h>

namespace konfigor {
namespace {

using testing_support::Bytes;

// Builds settings-file bytes record by record, so each case shows exactly what the file holds.
class FileBuilder {
public:
    FileBuilder& header(std::uint16_t version = 2) { return record(0x8000, 2).u16(version); }

    FileBuilder& record(std::uint16_t tag, std::uint16_t length) { return u16(tag).u16(length); }

    FileBuilder& remote(std::uint32_t index, std::uint32_t serialWord, std::uint16_t counter = 0,
                        std::uint16_t buttons = 0, std::uint8_t copyLock = 0) {
        record(0x8001, 4).u32(index);
        record(0, 4).u32(serialWord);
        record(1, 2).u16(counter);
        record(2, 2).u16(buttons);
        return record(3, 1).u8(copyLock);
    }

    FileBuilder& channel(std::uint32_t index, std::uint16_t time, std::uint8_t transient,
                         std::uint8_t doublePress) {
        record(0x8005, 4).u32(index);
        record(0, 2).u16(time);
        record(2, 1).u8(transient);
        return record(3, 1).u8(doublePress);
    }

    FileBuilder& channelTime(std::uint32_t index, std::uint16_t time) {
        record(0x8002, 4).u32(index);
        return record(0, 2).u16(time);
    }

    FileBuilder& text(std::uint16_t tag, const std::string& text) {
        record(tag, static_cast<std::uint16_t>(text.size()));
        bytes_.insert(bytes_.end(), text.begin(), text.end());
        return *this;
    }

    FileBuilder& raw(const Bytes& bytes) {
        bytes_.insert(bytes_.end(), bytes.begin(), bytes.end());
        return *this;
    }

    FileBuilder& u8(std::uint8_t value) { return raw({value}); }
    FileBuilder& u16(std::uint16_t value) {
        return raw({static_cast<std::uint8_t>(value), static_cast<std::uint8_t>(value >> 8)});
    }
    FileBuilder& u32(std::uint32_t value) {
        return u16(static_cast<std::uint16_t>(value)).u16(static_cast<std::uint16_t>(value >> 16));
    }

    Bytes bytes() const { return bytes_; }

private:
    Bytes bytes_;
};

class SettingsFileTest : public testing_support::TempFolderTest {
protected:
    std::optional<std::string> parse(const Bytes& bytes, int errorAtEnd = 0) {
        return file.parse(bytes, errorAtEnd, destination());
    }
    std::optional<std::string> read(const std::filesystem::path& from) {
        return file.read(from, destination());
    }
    std::optional<std::string> write(const std::filesystem::path& to) {
        return file.write(to, sheet.remotes, sheet.channels, sheet.identifier);
    }
    SettingsFile::Destination destination() {
        return {sheet.remotes, sheet.channels, sheet.identifier, newerVersion};
    }

    TextTable texts;
    SettingsFile file{texts};
    SettingsSheet sheet;
    bool newerVersion = false;
};

constexpr std::size_t kEmptySheetFileSize = 6 + 704 * 33 + 4 * 24 + 704 * 4 + 4 * 4 + 4;

TEST_F(SettingsFileTest, EmptySheetIsWrittenAsTheFixedLayout) {
    const Bytes bytes = SettingsFile::encode(sheet.remotes, sheet.channels, sheet.identifier);
    ASSERT_EQ(bytes.size(), kEmptySheetFileSize);
    EXPECT_EQ(Bytes(bytes.begin(), bytes.begin() + 6), (Bytes{0x00, 0x80, 0x02, 0x00, 0x02, 0x00}));
    // Slot 0's remote record with its sub-records, then slot 1's begins.
    const Bytes slot0 = FileBuilder().remote(0, 0, 0, 0, 1).bytes();
    EXPECT_EQ(Bytes(bytes.begin() + 6, bytes.begin() + 6 + 33), slot0);
    EXPECT_EQ(bytes[6 + 33 + 4], 1) << "slot index of the second remote record";
    ASSERT_FALSE(write(path("empty.kvr")));
    EXPECT_EQ(readBytes(path("empty.kvr")), bytes);
}

TEST_F(SettingsFileTest, SheetSurvivesWriteAndReadWithTextsAtTheirLimits) {
    const std::string longest(255, '\xB3'); // 'ł'
    sheet.remotes[0] = {.serialWord = 0x4000'007B,
                        .codeCounter = 0xBEEF,
                        .buttonMasks = {5, 2, 0, 8},
                        .copyLock = false};
    sheet.remotes[0].description.assign(longest);
    sheet.remotes[703] = {
        .serialWord = 0x3000'0001, .codeCounter = 1, .buttonMasks = {15, 15, 15, 15}};
    sheet.remotes[703].description.assign("Brama wjazdowa, pilot Kowalskiego");
    sheet.remotes[5].description.assign("opis pustej pozycji");
    sheet.channels[0] = {.time = 0, .transientMode = true, .doublePress = true};
    sheet.channels[3] = {.time = 65535, .doublePress = true};
    sheet.channels[3].description.assign(std::string(200, 'K'));
    sheet.identifier.assign(std::string(255, 'I'));
    const SettingsSheet written = sheet;
    ASSERT_FALSE(write(path("full.kvr")));

    sheet = SettingsSheet();
    ASSERT_FALSE(read(path("full.kvr")));
    EXPECT_FALSE(newerVersion);
    EXPECT_EQ(sheet.remotes, written.remotes);
    EXPECT_EQ(sheet.channels, written.channels);
    EXPECT_EQ(sheet.identifier, written.identifier);
    EXPECT_EQ(readBytes(path("full.kvr")).size(), kEmptySheetFileSize + 255 + 33 + 19 + 200 + 255);
}

TEST_F(SettingsFileTest, ButtonMasksArePackedFourBitsPerButton) {
    sheet.remotes[0] = {.serialWord = 1, .buttonMasks = {5, 2, 0, 8}};
    const Bytes bytes = SettingsFile::encode(sheet.remotes, sheet.channels, sheet.identifier);
    const std::size_t buttonWord = 6 + 8 + 8 + 6 + 4;
    EXPECT_EQ(bytes[buttonWord], 0x25);
    EXPECT_EQ(bytes[buttonWord + 1], 0x80);

    ASSERT_FALSE(parse(FileBuilder().header().remote(0, 1, 0, 0x8025).bytes()));
    EXPECT_EQ(sheet.remotes[0].buttonMasks, (std::array<std::uint16_t, 4>{5, 2, 0, 8}));
}

TEST_F(SettingsFileTest, HeaderOnlyFileEmptiesRemotesAndIdentifierAndKeepsChannels) {
    sheet.remotes[3] = {.serialWord = 77};
    sheet.channels[1].time = 300;
    sheet.identifier.assign("stary");
    writeBytes(path("header.kvr"), FileBuilder().header().bytes());

    ASSERT_FALSE(read(path("header.kvr")));
    for (const RemoteEntry& remote : sheet.remotes) {
        EXPECT_TRUE(remote.isEmpty());
        EXPECT_FALSE(remote.copyLock) << "a read zeroes every field";
    }
    EXPECT_EQ(sheet.channels[1].time, 300);
    EXPECT_TRUE(sheet.identifier.empty());
}

TEST_F(SettingsFileTest, VersionDecidesOnlyTheNewerFlag) {
    const struct {
        std::uint16_t version;
        bool newer;
    } cases[] = {{0, false}, {1, false}, {2, false}, {3, true}};
    for (const auto& c : cases) {
        newerVersion = !c.newer;
        std::uint16_t version = 0xFFFF;
        const auto failure =
            file.parse(FileBuilder().header(c.version).remote(0, 42).bytes(), 0,
                       {sheet.remotes, sheet.channels, sheet.identifier, newerVersion, &version});
        EXPECT_FALSE(failure) << "version " << c.version;
        EXPECT_EQ(version, c.version);
        EXPECT_EQ(newerVersion, c.newer) << "version " << c.version;
        EXPECT_EQ(sheet.remotes[0].serialWord, 42u) << "version " << c.version;
    }
}

// Every malformed file gives its own message; a clean end of data quotes the system's text for
// "no error".
TEST_F(SettingsFileTest, MalformedFilesAreRefusedWithTheirMessage) {
    const std::string noError = std::error_code(0, std::generic_category()).message();
    const std::string readError =
        "Nastąpił błąd podczas czytania pliku nastaw.\r\nOpis błędu: " + noError + ".";
    const struct {
        const char* what;
        Bytes bytes;
        std::string message;
    } cases[] = {
        {"short header",
         {0x00, 0x80, 0x02},
         "Błąd wczytywania formatu pliku.\r\nOpis błędu: :" + noError + "."},
        {"other tag", {0x01, 0x80, 0x02, 0x00, 0x02, 0x00}, "Nierozpoznana wersja pliku (2)."},
        {"other length", {0x00, 0x80, 0x03, 0x00, 0x07, 0x00}, "Nierozpoznana wersja pliku (7)."},
        {"record header cut", FileBuilder().header().raw({0x01, 0x80, 0x04}).bytes(),
         "Niespodziewany koniec pliku.\r\nOpis błędu: " + noError + "."},
        {"remote length 5", FileBuilder().header().record(0x8001, 5).u32(0).u8(0).bytes(),
         "Niespodziewane dane."},
        {"channel length 3", FileBuilder().header().record(0x8005, 3).bytes(),
         "Niespodziewane dane."},
        {"sub-record tag 1 for 0",
         FileBuilder().header().record(0x8001, 4).u32(0).record(1, 4).u32(5).bytes(),
         "Niespodziewane dane."},
        {"sub-record too long",
         FileBuilder().header().record(0x8001, 4).u32(0).record(0, 5).bytes(),
         "Niespodziewane dane."},
        {"time-only with flags tag",
         FileBuilder().header().record(0x8002, 4).u32(0).record(2, 1).u8(1).bytes(),
         "Niespodziewane dane."},
        {"index cut", FileBuilder().header().record(0x8001, 4).u16(0).bytes(), readError},
        {"sub-record header cut", FileBuilder().header().record(0x8001, 4).u32(0).u16(0).bytes(),
         readError},
        {"sub-record payload cut",
         FileBuilder().header().record(0x8001, 4).u32(0).record(0, 4).u16(1).bytes(), readError},
        {"description cut", FileBuilder().header().record(0x8003, 10).raw({'a', 'b'}).bytes(),
         readError},
        {"remote description 256",
         FileBuilder().header().text(0x8003, std::string(256, 'x')).bytes(),
         "Zbyt długi opis arkusza"},
        {"channel description 201",
         FileBuilder().header().text(0x0001, std::string(201, 'x')).bytes(),
         "Zbyt długi opis kanału"},
        {"identifier 256", FileBuilder().header().text(0x8004, std::string(256, 'x')).bytes(),
         "Zbyt długa nazwa kanału"},
        {"identifier cut", FileBuilder().header().record(0x8004, 10).raw({'a'}).bytes(),
         "Wystąpił błąd\nPrzybliżony opis: " + noError},
        {"unknown record cut", FileBuilder().header().record(2, 10).raw({1, 2, 3, 4}).bytes(),
         "Niespodziewany koniec pliku w pomijanej pozycji: 2.\r\nOpis błędu: " + noError + "."},
    };
    for (const auto& c : cases)
        EXPECT_EQ(parse(c.bytes).value_or("(no error)"), c.message) << c.what;
}

TEST_F(SettingsFileTest, ReadErrorsAreTold) {
    const std::string ioError = std::error_code(EIO, std::generic_category()).message();
    EXPECT_EQ(parse(FileBuilder().header().bytes(), EIO).value_or(""),
              "Niespodziewany błąd.\r\nOpis błędu: " + ioError + ".");
    EXPECT_EQ(parse(FileBuilder().header().record(7, 2).u16(0).bytes(), EIO).value_or(""),
              "Nastąpił błąd podczas czytania pliku nastaw.\r\nOpis błędu: " + ioError + ".");
}

TEST_F(SettingsFileTest, UnknownRecordsAreSkipped) {
    const Bytes bytes = FileBuilder()
                            .header()
                            .record(2, 10)
                            .raw(Bytes(10, 0xEE))
                            .remote(0, 9)
                            .record(0x7FFF, 0)
                            .text(0x8004, "Osiedle")
                            .bytes();
    ASSERT_FALSE(parse(bytes));
    EXPECT_EQ(sheet.remotes[0].serialWord, 9u);
    EXPECT_EQ(sheet.identifier.view(), "Osiedle");
}

TEST_F(SettingsFileTest, RecordsArePlacedByTheirOrderNotTheirIndex) {
    const Bytes bytes = FileBuilder()
                            .header()
                            .remote(5, 500)
                            .remote(3, 300)
                            .remote(0, 1)
                            .text(0x8003, "pierwszy")
                            .text(0x8003, "drugi")
                            .channel(3, 40, 0, 1)
                            .channelTime(2, 70)
                            .text(0x0001, "Brama")
                            .bytes();
    ASSERT_FALSE(parse(bytes));
    EXPECT_EQ(sheet.remotes[0].serialWord, 500u);
    EXPECT_EQ(sheet.remotes[1].serialWord, 300u);
    EXPECT_EQ(sheet.remotes[2].serialWord, 1u);
    EXPECT_EQ(sheet.remotes[0].description.view(), "pierwszy");
    EXPECT_EQ(sheet.remotes[1].description.view(), "drugi");
    EXPECT_EQ(sheet.channels[0].time, 40);
    EXPECT_EQ(sheet.channels[1].time, 70);
    EXPECT_EQ(sheet.channels[0].description.view(), "Brama");
}

TEST_F(SettingsFileTest, TimeOnlyChannelRecordKeepsTheFlags) {
    sheet.channels[0].transientMode = false;
    sheet.channels[0].doublePress = false;
    sheet.channels[1].doublePress = true;
    ASSERT_FALSE(parse(FileBuilder().header().channelTime(0, 12).channelTime(1, 0).bytes()));
    EXPECT_EQ(sheet.channels[0], (ChannelEntry{.time = 12}));
    EXPECT_EQ(sheet.channels[1].time, 0);
    EXPECT_TRUE(sheet.channels[1].doublePress);
}

TEST_F(SettingsFileTest, RecordsBeyondTheSheetAreIgnored) {
    FileBuilder builder;
    builder.header();
    for (std::uint32_t slot = 0; slot < 705; ++slot)
        builder.remote(slot, slot + 1);
    for (std::uint32_t channel = 0; channel < 6; ++channel)
        builder.channel(channel, static_cast<std::uint16_t>(channel + 1), 0, 0);
    for (int i = 0; i < 706; ++i)
        builder.text(0x8003, "d");
    for (int i = 0; i < 5; ++i)
        builder.text(0x0001, "c");
    ASSERT_FALSE(parse(builder.bytes()));
    EXPECT_EQ(sheet.remotes[703].serialWord, 704u);
    EXPECT_EQ(sheet.channels[3].time, 4);
}

TEST_F(SettingsFileTest, AFailedReadKeepsWhatWasReadBefore) {
    writeBytes(path("cut.kvr"),
               FileBuilder().header().remote(0, 11).remote(1, 22).record(0x8001, 9).bytes());
    const auto failure = read(path("cut.kvr"));
    ASSERT_TRUE(failure);
    EXPECT_EQ(*failure, "Niespodziewane dane.\r\nNazwa pliku: " + path("cut.kvr").string());
    EXPECT_EQ(sheet.remotes[0].serialWord, 11u);
    EXPECT_EQ(sheet.remotes[1].serialWord, 22u);
}

TEST_F(SettingsFileTest, AMissingFileNamesTheSystemErrorAndThePath) {
    const std::string missing = path("brak.kvr").string();
    EXPECT_EQ(read(missing).value_or(""),
              "Błąd otwierania pliku.\r\nOpis błędu: :" +
                  std::error_code(ENOENT, std::generic_category()).message() +
                  ".\r\nNazwa pliku: " + missing);
}

TEST_F(SettingsFileTest, AFailedWriteLeavesThePreviousFileByteIdentical) {
    sheet.remotes[0] = {.serialWord = 1234};
    ASSERT_FALSE(write(path("nastawy.kvr")));
    const Bytes before = readBytes(path("nastawy.kvr"));

    sheet.remotes[1] = {.serialWord = 5678};
    std::optional<std::string> failure;
    {
        const testing_support::FileSizeLimit full(4096); // fills up in the middle of the file
        failure = write(path("nastawy.kvr"));
    }
    ASSERT_TRUE(failure);
    EXPECT_EQ(*failure, "Nastąpił błąd podczas czytania pliku nastaw.\r\nOpis błędu: " +
                            std::error_code(EFBIG, std::generic_category()).message() +
                            ".\r\nNazwa pliku: " + path("nastawy.kvr").string());
    EXPECT_EQ(readBytes(path("nastawy.kvr")), before);
    EXPECT_EQ(folderEntries(), std::vector<std::string>{"nastawy.kvr"});
}

TEST_F(SettingsFileTest, WritingIntoAMissingFolderFailsToOpen) {
    const std::string target = path("brak/nastawy.kvr").string();
    EXPECT_EQ(write(target).value_or(""),
              "Błąd otwierania pliku.\r\nOpis błędu: " +
                  std::error_code(ENOENT, std::generic_category()).message() +
                  ".\r\nNazwa pliku: " + target);
}

} // namespace
} // namespace konfigor
