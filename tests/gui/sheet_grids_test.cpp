#include "gui/channel_grid.h"
#include "gui/qt_text.h"
#include "gui/remote_grid.h"
#include "gui/widgets/grid_icons.h"
#include "sheet/grid_cell_look.h"
#include "sheet/settings_sheet.h"
#include "texts/text_table.h"

#include <cstddef>
#include <memory>

#include <QIcon>
#include <QImage>
#include <QPixmap>
#include <gtest/gtest.h>

namespace konfigor {
namespace {

QColor toQColor(Rgb colour) {
    return {colour.red, colour.green, colour.blue};
}

class SheetGridsTest : public testing::Test {
protected:
    SheetGridsTest() {
        RemoteEntry& first = sheet_->remotes[0];
        first.serialWord = 0x4000'0000 | 123;
        first.description.assign("Brama");
        first.buttonMasks = {0b0001, 0b0100, 0, 0};
        first.copyLock = false;
        sheet_->remotes[1].serialWord = 456;
    }

    // The cell's rectangle in the grid widget's own coordinates.
    static QRect cellRect(const SheetGridView& grid, int row, int column) {
        const QRect rect = grid.visualRect(grid.model()->index(row - 1, column));
        return rect.translated(grid.viewport()->mapTo(&grid, QPoint(0, 0)));
    }

    std::unique_ptr<SettingsSheet> sheet_ = std::make_unique<SettingsSheet>();
    TextTable texts_;
};

TEST_F(SheetGridsTest, GridsHaveTheirNamesSizesTitlesAndWidths) {
    StringGridRemote remotes(*sheet_, texts_, nullptr);
    StringGridChannels channels(*sheet_, texts_, nullptr);
    const struct {
        const SheetGridView& grid;
        const char* name;
        int rows;
        std::span<const GridColumn> columns;
    } cases[] = {
        {remotes, "StringGridRemote", 704, kRemoteGridColumns},
        {channels, "StringGridChannels", 4, kChannelGridColumns},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(c.grid.objectName(), QString::fromLatin1(c.name));
        ASSERT_EQ(c.grid.model()->rowCount(), c.rows) << c.name;
        ASSERT_EQ(c.grid.model()->columnCount(), static_cast<int>(c.columns.size())) << c.name;
        EXPECT_EQ(c.grid.rowHeight(0), kGridRowHeight) << c.name;
        for (std::size_t column = 0; column < c.columns.size(); ++column) {
            const int section = static_cast<int>(column);
            EXPECT_GE(c.grid.columnWidth(section), c.columns[column].width) << c.name << column;
            EXPECT_EQ(c.grid.model()->headerData(section, Qt::Horizontal).toString(),
                      toQString(texts_.text(c.columns[column].title)))
                << c.name << column;
        }
        EXPECT_EQ(c.grid.currentRow(), 1) << c.name;
    }
}

TEST_F(SheetGridsTest, ModelShowsTheSheetAndFollowsItsChanges) {
    StringGridRemote grid(*sheet_, texts_, nullptr);
    const QAbstractItemModel& model = *grid.model();
    EXPECT_EQ(model.index(0, 0).data().toString(), QStringLiteral("1"));
    EXPECT_EQ(model.index(0, 1).data().toString(), QStringLiteral("(M) 123"));
    EXPECT_EQ(model.index(0, 2).data().toString(), QStringLiteral("Brama"));

    sheet_->remotes[0].description.assign("Szlaban");
    grid.repaintCells();
    EXPECT_EQ(model.index(0, 2).data().toString(), QStringLiteral("Szlaban"));
}

TEST_F(SheetGridsTest, CurrentRowIsReportedWhenItChanges) {
    StringGridRemote grid(*sheet_, texts_, nullptr);
    int reported = 0;
    QObject::connect(&grid, &SheetGridView::currentRowChanged, [&](int row) { reported = row; });
    grid.setCurrentRow(42);
    EXPECT_EQ(grid.currentRow(), 42);
    EXPECT_EQ(reported, 42);
}

TEST_F(SheetGridsTest, PaintsWorkspaceRowsAndChannelIconsFromTheSheet) {
    StringGridRemote grid(*sheet_, texts_, nullptr);
    grid.resize(800, 200);
    grid.setCurrentRow(10);
    grid.setAdminLockRowsShaded(true);
    const QImage image = grid.grab().toImage();
    const GridPalette palette = grid.gridPalette();

    // Column 3 holds button 1's icon at its left; further right only the background shows.
    const QRect adminRow = cellRect(grid, 1, 3);
    const QRect plainRow = cellRect(grid, 4, 3);
    EXPECT_EQ(image.pixelColor(adminRow.left() + 40, adminRow.center().y()),
              toQColor(palette.appWorkspace));
    EXPECT_EQ(image.pixelColor(plainRow.left() + 40, plainRow.center().y()),
              toQColor(palette.window));

    // Button 2 operates channel 3 only: its icon sits 32 pixels into column 4.
    const QRect button2 = cellRect(grid, 1, 4);
    const QImage icon = gridIcon(2).pixmap(QSize(kGridIconSize, kGridIconSize), 1.0).toImage();
    const QPoint inIcon(3, 8);
    EXPECT_EQ(image.pixelColor(button2.topLeft() + QPoint(32, 0) + inIcon),
              icon.pixelColor(inIcon));
    // Even columns are a shade darker.
    EXPECT_EQ(image.pixelColor(button2.topLeft() + inIcon),
              toQColor(grid.lookAt(1, 4, button2.width()).background));
    EXPECT_NE(grid.lookAt(1, 4, button2.width()).background, palette.appWorkspace);
}

TEST(GridIconsTest, IconsAreDrawnForBothPixelRatios) {
    for (int index = 0; index <= 10; ++index) {
        const QIcon& icon = gridIcon(index);
        ASSERT_FALSE(icon.isNull()) << index;
        const QPixmap sharp = icon.pixmap(QSize(16, 16), 2.0);
        EXPECT_EQ(sharp.size(), QSize(32, 32)) << index;
        EXPECT_EQ(sharp.devicePixelRatio(), 2.0) << index;
        EXPECT_EQ(icon.pixmap(QSize(16, 16), 1.0).size(), QSize(16, 16)) << index;
    }
    EXPECT_TRUE(gridIcon(-1).isNull());
    EXPECT_TRUE(gridIcon(11).isNull());
}

} // namespace
} // namespace konfigor
