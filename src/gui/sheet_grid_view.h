#pragma once

#include "sheet/grid_cell_look.h"

#include <span>

#include <QTableView>

class QPainter;

namespace konfigor {

class SheetGridModel;
class TextTable;

// What the two sheet grids share: a read-only view of the sheet whose every cell, header
// included, is painted from the look its subclass decides. It holds no data.
class SheetGridView : public QTableView {
    Q_OBJECT

public:
    // 1-based: the data row shown as selected.
    int currentRow() const;
    void setCurrentRow(int row);
    // Repaints every cell from the sheet; call after the sheet or the texts changed.
    void repaintCells();
    int dataRowCount() const;

    // Grid row 0 is the header; `width` is the cell's width.
    virtual CellLook lookAt(int row, int column, int width) const = 0;
    GridPalette gridPalette() const;

Q_SIGNALS:
    void currentRowChanged(int row);
    void rowPressed(int row);
    void rowDoubleClicked(int row);
    // `globalPos` in screen coordinates; `row` is 0 over no data row.
    void rowContextMenuRequested(int row, QPoint globalPos);

protected:
    SheetGridView(const TextTable& texts, int dataRows, std::span<const GridColumn> columns,
                  QWidget* parent);

    const TextTable& texts() const { return texts_; }
    // The model asks lookAt(), so the subclass attaches it once it is fully constructed.
    void attachModel();
    // For grids whose rows come and go; the current row is kept where it still exists.
    void setDataRowCount(int rows);

    void currentChanged(const QModelIndex& current, const QModelIndex& previous) override;

private:
    void applyColumnWidths();

    const TextTable& texts_;
    std::span<const GridColumn> columns_;
    SheetGridModel* model_;
};

// Paints one cell's look into `rect` (the cell without its grid lines).
void paintGridCell(QPainter& painter, const QRect& rect, const CellLook& look,
                   const QPalette& palette);

} // namespace konfigor
