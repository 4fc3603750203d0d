#pragma once

#include "gui/sheet_grid_view.h"
#include "gui/wheel_notches.h"

#include <optional>
#include <utility>

namespace konfigor {

class GridSelection;
struct SettingsSheet;
class TextTable;

// The remote grid of the settings sheet page: one row per slot, drawn from the sheet.
class StringGridRemote : public SheetGridView {
    Q_OBJECT

public:
    StringGridRemote(const SettingsSheet& sheet, const TextTable& texts, QWidget* parent);

    // Rows 1-3 in the workspace colour: the administrative copy lock is on and access granted.
    void setAdminLockRowsShaded(bool shaded);
    // Rows of a drag under way, in either order; nothing when no drag is under way.
    void setDragRange(std::optional<std::pair<int, int>> range);

    CellLook lookAt(int row, int column, int width) const override;

    // The marking logic the mouse, the keys and the wheel drive; without it the grid only shows.
    void setSelection(GridSelection* selection);

Q_SIGNALS:
    // Marks, the current row or the drag changed; the grid has repainted itself.
    void selectionChanged();
    // Enter: the remote editor, for the marked slots or the current row.
    void editorRequested();

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;

private:
    std::optional<int> dataRowAt(const QPoint& position) const;
    int fullyVisibleRows() const;
    void pressed(QMouseEvent* event);
    void showSelection();

    GridSelection* selection_ = nullptr;
    const SettingsSheet& sheet_;
    bool adminLockRowsShaded_ = false;
    std::optional<std::pair<int, int>> dragRange_;
    WheelNotches wheelNotches_;
    bool wheelWithCtrl_ = false;
};

} // namespace konfigor
