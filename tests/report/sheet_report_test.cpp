#include "report/sheet_report.h"
#include "sheet/serial_word.h"
#include "sheet/settings_sheet.h"
#include "texts/text_table.h"

#include <string>
#include <vector>

#include <gtest/gtest.h>

namespace konfigor::report {
namespace {

class SheetReportTest : public ::testing::Test {
protected:
    SettingsSheet sheet_;
    const TextTable texts_;

    void storeRemote(std::size_t slot, std::uint32_t word) {
        sheet_.remotes.at(slot).serialWord = word;
    }
    SheetReport build() const { return buildSheetReport(sheet_, texts_); }
};

TEST_F(SheetReportTest, EmptySheetHasHeadersNoRemoteRowsAndFourChannelRows) {
    const SheetReport report = build();
    EXPECT_EQ(report.title, "Arkusz Nastaw GTQ ZOR");
    EXPECT_EQ(report.remoteSection, "Ustawienia pilotów");
    EXPECT_EQ(report.channelSection, "Ustawienia kanałów");
    EXPECT_EQ(report.documentTitle, "Wydruk arkusza nastaw ZOR");
    EXPECT_EQ(report.remotes.headers,
              (std::vector<std::string>{"Nr p.", "Id pilota", "Opis pilota", "Przyc.", "Przyc.",
                                        "Przyc.", "Przyc.", "Blok. kopiow"}));
    EXPECT_TRUE(report.remotes.rows.empty());
    EXPECT_EQ(report.channels.headers,
              (std::vector<std::string>{"Nr p.", "Opis kanału", "Tryb pracy [czas w sek.]"}));
    ASSERT_EQ(report.channels.rows.size(), 4U);
    for (std::size_t channel = 0; channel < 4; ++channel)
        EXPECT_EQ(report.channels.rows[channel].front(), std::to_string(channel + 1));
}

TEST_F(SheetReportTest, ColumnsSpanTheContentWidthWithoutGaps) {
    const SheetReport report = build();
    for (const Table* table : {&report.remotes, &report.channels}) {
        ASSERT_EQ(table->columns.size(), table->headers.size());
        double right = 0.0;
        for (const Column& column : table->columns) {
            EXPECT_DOUBLE_EQ(column.leftMm, right);
            right = column.leftMm + column.widthMm;
        }
        EXPECT_DOUBLE_EQ(right, kContentWidthMm);
    }
    EXPECT_DOUBLE_EQ(report.remotes.columns[2].widthMm, 80.0);
    EXPECT_DOUBLE_EQ(report.channels.columns[2].leftMm, 150.0);
}

TEST_F(SheetReportTest, OnlySlotsHoldingARemoteGiveRowsNumberedFromOne) {
    storeRemote(9, 200);
    storeRemote(5, 100);
    // A description alone does not make a remote.
    sheet_.remotes.at(7).description.assignUtf8("bez pilota");
    const SheetReport report = build();
    ASSERT_EQ(report.remotes.rows.size(), 2U);
    EXPECT_EQ(report.remotes.rows[0][0], "6");
    EXPECT_EQ(report.remotes.rows[0][1], "100");
    EXPECT_EQ(report.remotes.rows[1][0], "10");
    EXPECT_EQ(report.remotes.rows[1][1], "200");
}

TEST_F(SheetReportTest, RemoteRowCarriesSerialDescriptionButtonsAndCopyLock) {
    struct Case {
        std::uint32_t word;
        bool copyLock;
        const char* serial;
        const char* lock;
    };
    const std::vector<Case> cases{
        {123, true, "123", "tak"},
        {serial_word::withMulti(4567, true), false, "(M) 4567", "nie"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.serial);
        sheet_ = SettingsSheet{};
        storeRemote(0, c.word);
        RemoteEntry& remote = sheet_.remotes.at(0);
        remote.copyLock = c.copyLock;
        remote.description.assignUtf8("Brama wjazdowa – Łódź");
        remote.buttonMasks = {0b0101, 0, 0b1111, 0b1000};
        const std::vector<std::string> row = build().remotes.rows.at(0);
        EXPECT_EQ(row, (std::vector<std::string>{"1", c.serial, "Brama wjazdowa – Łódź", "K1 3 ",
                                                 "     ", "K1234", "K   4", c.lock}));
    }
}

TEST_F(SheetReportTest, ButtonCellShowsEachChannelInItsPlace) {
    const std::vector<std::pair<std::uint16_t, std::string>> cases{
        {0, "     "},
        {0b0001, "K1   "},
        {0b0010, "K 2  "},
        {0b0101, "K1 3 "},
        {0b1111, "K1234"},
        // Bits above the fourth channel mean nothing on paper, yet the button is set.
        {0b1'0000, "K    "}};
    for (const auto& [mask, expected] : cases)
        EXPECT_EQ(buttonCell(mask, texts_), expected) << "mask " << mask;
}

TEST_F(SheetReportTest, ChannelModeTexts) {
    struct Case {
        std::uint16_t time;
        bool transient;
        bool doublePress;
        const char* expected;
    };
    const std::vector<Case> cases{
        {25, false, true, "Monostabilny [2.5] Pdwójne przyciśnięcie"},
        {25, false, false, "Monostabilny [2.5]"},
        {600, false, false, "Monostabilny [60.0]"},
        {0, false, true, "Bistabilny"},
        {0, false, false, "Bistabilny"},
        {25, true, true, "Tryb chwilowy"},
    };
    for (const Case& c : cases) {
        ChannelEntry channel;
        channel.time = c.time;
        channel.transientMode = c.transient;
        channel.doublePress = c.doublePress;
        EXPECT_EQ(modeText(channel, texts_), c.expected);
    }
}

TEST_F(SheetReportTest, ChannelRowsFollowTheChannels) {
    sheet_.channels.at(0).description.assignUtf8("Brama");
    sheet_.channels.at(0).time = 25;
    sheet_.channels.at(0).doublePress = true;
    sheet_.channels.at(3).time = 0;
    const SheetReport report = build();
    EXPECT_EQ(report.channels.rows[0],
              (std::vector<std::string>{"1", "Brama", "Monostabilny [2.5] Pdwójne przyciśnięcie"}));
    EXPECT_EQ(report.channels.rows[3], (std::vector<std::string>{"4", "", "Bistabilny"}));
}

TEST_F(SheetReportTest, FooterNumbersThePage) {
    EXPECT_EQ(pageText(build(), 12), "Strona: 12");
}

} // namespace
} // namespace konfigor::report
