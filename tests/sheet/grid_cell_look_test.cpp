#include "sheet/grid_cell_look.h"
#include "sheet/settings_sheet.h"
#include "texts/text_table.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

namespace konfigor {
namespace {

constexpr Rgb kWindow{200, 210, 220};
constexpr Rgb kWindowText{1, 2, 3};
constexpr Rgb kHighlight{0, 120, 215};
constexpr Rgb kHighlightText{250, 251, 252};
constexpr Rgb kActiveBorder{101, 103, 105};
constexpr Rgb kInactiveBorder{230, 231, 232};
constexpr Rgb kWorkspace{171, 172, 173};
constexpr Rgb kInfoBackground{255, 255, 225};
constexpr Rgb kInfoText{10, 20, 30};
constexpr Rgb kFixedFace{240, 240, 240};

constexpr GridPalette kPalette{kWindow,       kWindowText,     kHighlight, kHighlightText,
                               kActiveBorder, kInactiveBorder, kWorkspace, kInfoBackground,
                               kInfoText,     kFixedFace};

// Even columns are the base colour times 0.95, rounded down.
constexpr Rgb kWindowEven{190, 199, 209};
constexpr Rgb kWorkspaceEven{162, 163, 164};
// Averages with the active border, rounded down.
constexpr Rgb kSelected{150, 156, 162};
constexpr Rgb kSelectedMarked{50, 111, 160};

constexpr int kLockColumnWidth = 100;
constexpr int kNoSelection = 0;

std::vector<std::pair<int, int>> iconsOf(const CellLook& look) {
    std::vector<std::pair<int, int>> icons;
    for (const CellIcon& icon : look.icons)
        icons.emplace_back(icon.index, icon.x);
    return icons;
}

class RemoteCellLookTest : public testing::Test {
protected:
    RemoteEntry& slotOfRow(int row) { return sheet_.remotes.at(static_cast<std::size_t>(row - 1)); }

    void putRemote(int row, std::uint32_t serialWord) {
        slotOfRow(row).serialWord = serialWord;
        slotOfRow(row).copyLock = false;
    }

    CellLook look(int row, int column, int width = kLockColumnWidth) const {
        return remoteCellLook(sheet_, row, column, width, state_, texts_, kPalette);
    }

    SettingsSheet sheet_;
    TextTable texts_;
    RemoteGridState state_{.selectedRow = kNoSelection};
};

TEST_F(RemoteCellLookTest, EmptySlotShowsItsDescriptionAndLockButNoSerialOrButtons) {
    slotOfRow(7).description.assign("Brama \xB3\xB9ka"); // "Brama łąka" in code page 1250

    EXPECT_EQ(look(7, 1).label.utf8, "");
    EXPECT_EQ(look(7, 2).label.utf8, "Brama \u0142\u0105ka");
    for (int column = 3; column <= 6; ++column)
        EXPECT_TRUE(look(7, column).icons.empty()) << "column " << column;
    EXPECT_EQ(iconsOf(look(7, 7)), (std::vector<std::pair<int, int>>{{kCopyLockIcon, 42}}));
}

TEST_F(RemoteCellLookTest, SerialColumnFormatsTheWordOfAStoredRemote) {
    const struct {
        std::uint32_t word;
        std::string text;
    } cases[] = {
        {123, "123"},
        {0x4000'0000 | 123, "(M) 123"},
        {0x3000'0000 | 123, "123"},
    };
    for (const auto& c : cases) {
        putRemote(1, c.word);
        EXPECT_EQ(look(1, 1).label.utf8, c.text) << c.word;
        EXPECT_EQ(look(1, 1).label.x, 1);
        EXPECT_EQ(look(1, 1).label.y, 1);
    }
}

TEST_F(RemoteCellLookTest, ButtonColumnsShowTheChannelIconsOfTheirButton) {
    using Icons = std::vector<std::pair<int, int>>;
    const struct {
        bool holdsRemote;
        std::uint16_t mask;
        Icons icons;
    } cases[] = {
        {true, 0b0101, {{0, 0}, {2, 32}}},
        {true, 0b1111, {{0, 0}, {1, 16}, {2, 32}, {3, 48}}},
        {true, 0b1000, {{3, 48}}},
        {true, 0, {{kNoChannelIcon, 24}}},
        {false, 0, {}},
    };
    for (const auto& c : cases) {
        sheet_.clearSlot(0);
        if (c.holdsRemote)
            putRemote(1, 77);
        slotOfRow(1).buttonMasks = {15, c.mask, 15, 15};
        EXPECT_EQ(iconsOf(look(1, 4)), c.icons) << "mask " << c.mask << " remote " << c.holdsRemote;
    }
}

TEST_F(RemoteCellLookTest, LockIconIsCentredAndShownOnlyForACopyLock) {
    putRemote(1, 5);
    EXPECT_TRUE(look(1, 7).icons.empty());
    slotOfRow(1).copyLock = true;
    for (const int width : {100, 61, 16}) {
        EXPECT_EQ(iconsOf(look(1, 7, width)),
                  (std::vector<std::pair<int, int>>{{kCopyLockIcon, width / 2 - 8}}));
    }
}

TEST_F(RemoteCellLookTest, BackgroundFollowsSelectionMarksAndTheAdministrativeLock) {
    const struct {
        const char* name;
        int row;
        int column;
        bool selected;
        bool marked;
        bool adminShaded;
        Rgb background;
        Rgb text;
    } cases[] = {
        {"plain odd column", 4, 1, false, false, false, kWindow, kWindowText},
        {"plain even column", 4, 2, false, false, false, kWindowEven, kWindowText},
        {"admin rows odd column", 1, 3, false, false, true, kWorkspace, kWindowText},
        {"admin rows even column", 3, 6, false, false, true, kWorkspaceEven, kWindowText},
        {"below the admin rows", 4, 3, false, false, true, kWindow, kWindowText},
        {"admin lock without access", 2, 3, false, false, false, kWindow, kWindowText},
        {"admin row selected", 2, 3, true, false, true, kSelected, kWindowText},
        {"admin row marked", 2, 3, false, true, true, kHighlight, kHighlightText},
        {"selected even column is not darkened", 9, 2, true, false, false, kSelected, kWindowText},
        {"marked", 9, 2, false, true, false, kHighlight, kHighlightText},
        {"marked and selected", 9, 5, true, true, false, kSelectedMarked, kWindowText},
    };
    for (const auto& c : cases) {
        sheet_.clearMarks();
        slotOfRow(c.row).marked = c.marked;
        state_.selectedRow = c.selected ? c.row : kNoSelection;
        state_.adminLockRowsShaded = c.adminShaded;
        const CellLook cell = look(c.row, c.column);
        EXPECT_EQ(cell.background, c.background) << c.name;
        EXPECT_EQ(cell.text, c.text) << c.name;
        EXPECT_FALSE(cell.fixed) << c.name;
    }
}

TEST_F(RemoteCellLookTest, DragRangeTakesTheInfoColoursInEitherOrder) {
    slotOfRow(4).marked = true;
    state_.selectedRow = 5;
    for (const auto& range : {std::pair{3, 5}, std::pair{5, 3}}) {
        state_.dragRange = range;
        for (int row = 2; row <= 6; ++row) {
            const bool inRange = row >= 3 && row <= 5;
            const CellLook cell = look(row, 1);
            EXPECT_EQ(cell.background == kInfoBackground, inRange) << "row " << row;
            EXPECT_EQ(cell.text == kInfoText, inRange) << "row " << row;
        }
    }
}

TEST_F(RemoteCellLookTest, HeaderRowAndNumberColumnAreFixedCells) {
    slotOfRow(12).marked = true;
    state_.selectedRow = 12;
    state_.adminLockRowsShaded = true;

    for (int column = 0; column < static_cast<int>(kRemoteGridColumns.size()); ++column) {
        const CellLook header = look(0, column);
        EXPECT_TRUE(header.fixed);
        EXPECT_EQ(header.background, kFixedFace);
        EXPECT_EQ(
            header.label,
            (CellText{texts_.text(kRemoteGridColumns.at(static_cast<std::size_t>(column)).title),
                      CellText::Align::Left, 2, 2}));
        EXPECT_TRUE(header.icons.empty());
    }
    for (const int row : {1, 12, 704}) {
        const CellLook number = look(row, 0);
        EXPECT_TRUE(number.fixed);
        EXPECT_EQ(number.background, kFixedFace);
        EXPECT_EQ(number.text, kWindowText);
        EXPECT_EQ(number.label, (CellText{std::to_string(row), CellText::Align::Left, 2, 2}));
    }
}

class ChannelCellLookTest : public testing::Test {
protected:
    CellLook look(int row, int column, int selectedRow) const {
        return channelCellLook(sheet_, row, column, selectedRow, texts_, kPalette);
    }

    SettingsSheet sheet_;
    TextTable texts_;
};

TEST_F(ChannelCellLookTest, SelectedRowTakesTheInactiveBorderColour) {
    for (int row = 1; row <= 4; ++row) {
        for (int column = 1; column <= 3; ++column) {
            const CellLook cell = look(row, column, 2);
            EXPECT_EQ(cell.background, row == 2 ? kInactiveBorder : kWindow) << row << column;
            EXPECT_EQ(cell.text, kWindowText);
            EXPECT_FALSE(cell.fixed);
        }
    }
}

TEST_F(ChannelCellLookTest, ColumnsShowDescriptionModeAndDoublePress) {
    ChannelEntry& channel = sheet_.channels[2];
    channel.description.assign("Szlaban \xB3");
    channel.time = 125;
    channel.doublePress = true;

    EXPECT_EQ(look(3, 1, 1).label, (CellText{"Szlaban \u0142", CellText::Align::Left, 1, 1}));
    EXPECT_EQ(look(3, 2, 1).label.utf8, channelModeText(channel, texts_));
    EXPECT_EQ(look(3, 3, 1).label.utf8, texts_.text(Msg::DoublePressYes));
    EXPECT_EQ(look(4, 3, 1).label.utf8, texts_.text(Msg::DoublePressNo));
}

TEST_F(ChannelCellLookTest, HeaderRowAndNumberColumnAreFixedCells) {
    for (int column = 0; column < static_cast<int>(kChannelGridColumns.size()); ++column) {
        const CellLook header = look(0, column, 1);
        EXPECT_TRUE(header.fixed);
        EXPECT_EQ(header.background, kFixedFace);
        EXPECT_EQ(header.label.utf8,
                  texts_.text(kChannelGridColumns.at(static_cast<std::size_t>(column)).title));
    }
    const CellLook number = look(1, 0, 1);
    EXPECT_TRUE(number.fixed);
    EXPECT_EQ(number.background, kFixedFace);
    EXPECT_EQ(number.label.utf8, "1");
}

} // namespace
} // namespace konfigor
