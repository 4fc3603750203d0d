#include "gui/sheet_grid_view.h"

#include "gui/qt_text.h"
#include "gui/widgets/grid_icons.h"
#include "texts/text_table.h"

#include <algorithm>

#include <QAbstractTableModel>
#include <QFontInfo>
#include <QHeaderView>
#include <QPainter>
#include <QStyledItemDelegate>
#include <qdrawutil.h>

namespace konfigor {

namespace {

constexpr int kHeaderRow = 0;
// Room either side of a header's title, for the cell's inset and its frame.
constexpr int kHeaderTextPadding = 4;

class SheetGridDelegate : public QStyledItemDelegate {
public:
    SheetGridDelegate(const SheetGridView& view, QObject* parent)
        : QStyledItemDelegate(parent), view_(view) {}

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override {
        const CellLook look = view_.lookAt(index.row() + 1, index.column(), option.rect.width());
        paintGridCell(*painter, option.rect, look, option.palette);
    }

private:
    const SheetGridView& view_;
};

// The header row is a row of fixed cells like the number column, drawn by the same rules.
class SheetGridHeader : public QHeaderView {
public:
    explicit SheetGridHeader(SheetGridView& view)
        : QHeaderView(Qt::Horizontal, &view), view_(view) {}

protected:
    void paintSection(QPainter* painter, const QRect& rect, int logicalIndex) const override {
        const QRect cell = rect.adjusted(0, 0, -1, -1);
        painter->fillRect(rect, palette().color(QPalette::Mid));
        paintGridCell(*painter, cell, view_.lookAt(kHeaderRow, logicalIndex, cell.width()),
                      palette());
    }

private:
    const SheetGridView& view_;
};

QColor toQColor(Rgb colour) {
    return {colour.red, colour.green, colour.blue};
}

Rgb toRgb(const QColor& colour) {
    return {static_cast<std::uint8_t>(colour.red()), static_cast<std::uint8_t>(colour.green()),
            static_cast<std::uint8_t>(colour.blue())};
}

} // namespace

// Reports the grid's size and, for accessibility and tests, each cell's text; the view paints
// from the sheet itself.
class SheetGridModel : public QAbstractTableModel {
public:
    SheetGridModel(const SheetGridView& view, int rows, int columns)
        : QAbstractTableModel(nullptr), view_(view), rows_(rows), columns_(columns) {}

    int rowCount(const QModelIndex& parent) const override { return parent.isValid() ? 0 : rows_; }
    int columnCount(const QModelIndex& parent) const override {
        return parent.isValid() ? 0 : columns_;
    }

    QVariant data(const QModelIndex& index, int role) const override {
        if (role != Qt::DisplayRole || !index.isValid())
            return {};
        return cellText(index.row() + 1, index.column());
    }

    QVariant headerData(int section, Qt::Orientation orientation, int role) const override {
        if (role != Qt::DisplayRole || orientation != Qt::Horizontal)
            return {};
        return cellText(kHeaderRow, section);
    }

    Qt::ItemFlags flags(const QModelIndex& index) const override {
        return index.isValid() ? Qt::ItemIsEnabled | Qt::ItemIsSelectable : Qt::NoItemFlags;
    }

    int rows() const { return rows_; }
    void setRows(int rows) {
        if (rows > rows_) {
            beginInsertRows({}, rows_, rows - 1);
            rows_ = rows;
            endInsertRows();
        } else if (rows < rows_) {
            beginRemoveRows({}, rows, rows_ - 1);
            rows_ = rows;
            endRemoveRows();
        }
    }

    void refresh() {
        Q_EMIT dataChanged(index(0, 0), index(rows_ - 1, columns_ - 1), {Qt::DisplayRole});
        Q_EMIT headerDataChanged(Qt::Horizontal, 0, columns_ - 1);
    }

private:
    QString cellText(int row, int column) const {
        return toQString(view_.lookAt(row, column, view_.columnWidth(column)).label.utf8);
    }

    const SheetGridView& view_;
    int rows_;
    int columns_;
};

SheetGridView::SheetGridView(const TextTable& texts, int dataRows,
                             std::span<const GridColumn> columns, QWidget* parent)
    : QTableView(parent), texts_(texts), columns_(columns),
      model_(new SheetGridModel(*this, dataRows, static_cast<int>(columns.size()))) {
    model_->setParent(this);
    setHorizontalHeader(new SheetGridHeader(*this));
    setItemDelegate(new SheetGridDelegate(*this, this));
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setShowGrid(true);
    setWordWrap(false);
    setCornerButtonEnabled(false);
    setContextMenuPolicy(Qt::CustomContextMenu);

    verticalHeader()->hide();
    verticalHeader()->setMinimumSectionSize(1);
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    verticalHeader()->setDefaultSectionSize(kGridRowHeight);
    horizontalHeader()->setMinimumSectionSize(1);
    horizontalHeader()->setSectionsClickable(false);
    horizontalHeader()->setHighlightSections(false);
    horizontalHeader()->setSectionResizeMode(QHeaderView::Interactive);
    horizontalHeader()->setFixedHeight(kGridRowHeight);

    connect(this, &QAbstractItemView::pressed, this,
            [this](const QModelIndex& index) { Q_EMIT rowPressed(index.row() + 1); });
    connect(this, &QAbstractItemView::doubleClicked, this,
            [this](const QModelIndex& index) { Q_EMIT rowDoubleClicked(index.row() + 1); });
    connect(this, &QWidget::customContextMenuRequested, this, [this](const QPoint& pos) {
        const QModelIndex index = indexAt(pos);
        Q_EMIT rowContextMenuRequested(index.isValid() ? index.row() + 1 : 0,
                                       viewport()->mapToGlobal(pos));
    });
}

void SheetGridView::attachModel() {
    setModel(model_);
    applyColumnWidths();
    setCurrentRow(1);
}

int SheetGridView::currentRow() const {
    const QModelIndex index = currentIndex();
    return index.isValid() ? index.row() + 1 : 1;
}

void SheetGridView::setCurrentRow(int row) {
    const int rows = model_->rowCount({});
    const int column = currentIndex().isValid() ? currentIndex().column() : 1;
    setCurrentIndex(model_->index(std::clamp(row, 1, rows) - 1, column));
}

int SheetGridView::dataRowCount() const {
    return model_->rows();
}

void SheetGridView::setDataRowCount(int rows) {
    model_->setRows(std::max(rows, 0));
}

void SheetGridView::repaintCells() {
    model_->refresh();
    viewport()->update();
    horizontalHeader()->viewport()->update();
}

GridPalette SheetGridView::gridPalette() const {
    const QPalette& colours = palette();
    const auto role = [&colours](QPalette::ColorRole colourRole) {
        return toRgb(colours.color(QPalette::Active, colourRole));
    };
    // Qt has no border or workspace roles: Mid, Midlight and Dark are the greys closest to
    // what those system colours look like.
    return {
        .window = role(QPalette::Base),
        .windowText = role(QPalette::Text),
        .highlight = role(QPalette::Highlight),
        .highlightText = role(QPalette::HighlightedText),
        .activeBorder = role(QPalette::Mid),
        .inactiveBorder = role(QPalette::Midlight),
        .appWorkspace = role(QPalette::Dark),
        .infoBackground = role(QPalette::ToolTipBase),
        .infoText = role(QPalette::ToolTipText),
        .fixedFace = role(QPalette::Button),
    };
}

void SheetGridView::currentChanged(const QModelIndex& current, const QModelIndex& previous) {
    QTableView::currentChanged(current, previous);
    if (current.row() == previous.row())
        return;
    // The whole old and new rows change colour, not just the current cells.
    viewport()->update();
    if (current.isValid())
        Q_EMIT currentRowChanged(current.row() + 1);
}

// The designed widths are where a column starts; its header's title in the user's font is the
// least it gets.
void SheetGridView::applyColumnWidths() {
    const QFontMetrics metrics = horizontalHeader()->fontMetrics();
    for (std::size_t column = 0; column < columns_.size(); ++column) {
        const int index = static_cast<int>(column);
        const QString title = model_->headerData(index, Qt::Horizontal, Qt::DisplayRole).toString();
        const int titleWidth = metrics.horizontalAdvance(title) + 2 * kHeaderTextPadding;
        setColumnWidth(index, std::max(columns_[column].width, titleWidth));
    }
}

namespace {

void paintCellText(QPainter& painter, const QRect& rect, const CellText& text) {
    if (text.utf8.empty())
        return;
    const bool left = text.align == CellText::Align::Left;
    const QRect textRect =
        left ? rect.adjusted(text.x, text.y, 0, 0) : rect.adjusted(0, text.y, -text.x, 0);
    painter.drawText(textRect,
                     Qt::TextSingleLine | Qt::AlignTop | (left ? Qt::AlignLeft : Qt::AlignRight),
                     toQString(text.utf8));
}

} // namespace

void paintGridCell(QPainter& painter, const QRect& rect, const CellLook& look,
                   const QPalette& palette) {
    painter.save();
    painter.setClipRect(rect);
    painter.fillRect(rect, toQColor(look.background));
    if (look.fixed)
        qDrawShadePanel(&painter, rect, palette, false, 1);
    if (look.bold) {
        QFont font = painter.font();
        font.setBold(true);
        painter.setFont(font);
    }
    painter.setPen(toQColor(look.text));
    paintCellText(painter, rect, look.label);
    if (!look.secondLine.utf8.empty()) {
        const int fontPixels = QFontInfo(painter.font()).pixelSize();
        paintCellText(painter, rect.adjusted(0, fontPixels * 3 / 2, 0, 0), look.secondLine);
    }
    for (const CellIcon& icon : look.icons)
        gridIcon(icon.index)
            .paint(&painter, QRect(rect.left() + icon.x, rect.top(), kGridIconSize, kGridIconSize));
    painter.restore();
}

} // namespace konfigor
