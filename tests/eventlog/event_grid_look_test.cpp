#include "eventlog/event_grid_look.h"
#include "eventlog/events_log.h"
#include "sheet/settings_sheet.h"
#include "texts/text_table.h"

#include <gtest/gtest.h>

namespace konfigor {
namespace {

constexpr GridPalette kPalette{.window = {255, 255, 255},
                               .windowText = {0, 0, 0},
                               .inactiveBorder = {200, 200, 200},
                               .fixedFace = {240, 240, 240}};
constexpr Rgb kShaded{242, 242, 242};
constexpr EventTime kNoon{2018, 9, 17, 14, 3, 5};
constexpr int kCellWidth = 100;

class EventGridLookTest : public testing::Test {
protected:
    EventGridLookTest() {
        add(12, "Brama", 2, 0b0101, 0x4000'0000u | 5000123);
        add(EventRecord::kUnknownRemote, "", 1, 0b0010, 777);
        add(EventRecord::kVirtualRemote, "Pilot wirtualny", 4, 0b1000, 0);
        sheet.channels[0].description.assignUtf8("Szlaban wjazd");
    }

    void add(std::int32_t position, const char* description, std::uint8_t button, std::uint8_t mask,
             std::uint32_t serial) {
        EventRecord record{.time = kNoon,
                           .position = position,
                           .button = button,
                           .channelMask = mask,
                           .serialNumber = serial};
        record.description.assignUtf8(description);
        log.add(false, record);
    }

    CellLook look(int row, int column) const {
        return eventCellLook(log, sheet, row, column, kCellWidth, state, texts, kPalette);
    }

    TextTable texts;
    EventsLog log{texts};
    SettingsSheet sheet;
    EventGridState state{.selectedRow = 1, .rowCount = 4, .hasFocus = true};
};

TEST_F(EventGridLookTest, TheHeaderNamesEachChannelByItsDescriptionOnASecondLine) {
    const struct {
        int column;
        const char* first;
        const char* second;
    } cases[] = {
        {0, "Data", ""},
        {3, "Opis", ""},
        {4, "Kanał 1", "Szlaban wjazd"},
        {5, "Kanał 2", ""},
        {8, "Numer seryjny", "pilota"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.column);
        const CellLook header = look(0, c.column);
        EXPECT_TRUE(header.fixed);
        EXPECT_EQ(header.background, kPalette.fixedFace);
        EXPECT_EQ(header.label.utf8, c.first);
        EXPECT_EQ(header.secondLine.utf8, c.second);
    }
    // A one-line title sits lower, near the middle of the tall row: (9 + 4) / 2 * 96 / 72 + 2.
    EXPECT_EQ(look(0, 0).label.y, 10);
    EXPECT_EQ(look(0, 4).label.y, 2);
}

TEST_F(EventGridLookTest, DataCellsShowTheEventsFields) {
    const struct {
        int row;
        int column;
        const char* text;
    } cases[] = {
        {1, 0, "2018-09-17"},      {1, 1, "14:03:05"}, {1, 2, "12"},  {1, 3, "Brama"},
        {1, 8, "(M) 5000123"},     {2, 2, ""},         {2, 8, "777"}, {3, 2, ""},
        {3, 3, "Pilot wirtualny"}, {3, 8, ""}, // the virtual remote has no serial number to show
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.row << "," << c.column);
        EXPECT_EQ(look(c.row, c.column).label.utf8, c.text);
    }
}

TEST_F(EventGridLookTest, ChannelCellsShowTheButtonOrTheUnknownRemote) {
    const struct {
        int row;
        int column;
        std::vector<CellIcon> icons;
    } cases[] = {
        {1, 4, {{kFirstButtonIcon + 1, 42}}}, // button 2, centred
        {1, 5, {}},
        {1, 6, {{kFirstButtonIcon + 1, 42}}},
        {2, 5, {{kUnknownRemoteIcon, 42}}},
        {3, 7, {{kFirstButtonIcon + 3, 42}}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.row << "," << c.column);
        EXPECT_EQ(look(c.row, c.column).icons, c.icons);
    }
}

TEST_F(EventGridLookTest, TheLastRowIsBoldAndFlashesRed) {
    EXPECT_FALSE(look(2, 3).bold);
    EXPECT_TRUE(look(3, 3).bold);
    EXPECT_EQ(look(3, 3).text, kPalette.windowText);
    state.flashOn = true;
    EXPECT_EQ(look(3, 3).text, (Rgb{255, 0, 0}));
    EXPECT_EQ(look(2, 3).text, kPalette.windowText);
}

TEST_F(EventGridLookTest, ColumnsAlternateAndTheSelectionDimsWithoutFocus) {
    EXPECT_EQ(look(2, 0).background, kShaded);
    EXPECT_EQ(look(2, 1).background, kPalette.window);
    EXPECT_EQ(look(1, 1).background, kPalette.inactiveBorder);
    EXPECT_EQ(look(1, 1).text, kPalette.windowText);
    state.hasFocus = false;
    EXPECT_EQ(look(1, 1).text, kPalette.window);
    // A grid without events keeps one empty row.
    const EventsLog empty{texts};
    const CellLook row = eventCellLook(empty, sheet, 1, 3, kCellWidth,
                                       {.selectedRow = 1, .rowCount = 2}, texts, kPalette);
    EXPECT_TRUE(row.label.utf8.empty());
    EXPECT_TRUE(row.bold);
}

} // namespace
} // namespace konfigor
