#include "gui/remote_grid.h"

#include "sheet/grid_selection.h"
#include "sheet/settings_sheet.h"

#include <algorithm>

#include <QKeyEvent>
#include <QMouseEvent>
#include <QWheelEvent>

namespace konfigor {
namespace {

GridSelection::Modifiers modifiersOf(Qt::KeyboardModifiers modifiers) {
    return {.shift = modifiers.testFlag(Qt::ShiftModifier),
            .ctrl = modifiers.testFlag(Qt::ControlModifier)};
}

GridSelection::Key keyOf(int key) {
    switch (key) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        return GridSelection::Key::Enter;
    case Qt::Key_Space:
        return GridSelection::Key::Space;
    case Qt::Key_Up:
        return GridSelection::Key::Up;
    case Qt::Key_Down:
        return GridSelection::Key::Down;
    case Qt::Key_PageUp:
        return GridSelection::Key::PageUp;
    case Qt::Key_PageDown:
        return GridSelection::Key::PageDown;
    default:
        return GridSelection::Key::Other;
    }
}

} // namespace

StringGridRemote::StringGridRemote(const SettingsSheet& sheet, const TextTable& texts,
                                   QWidget* parent)
    : SheetGridView(texts, static_cast<int>(kRemoteSlotCount), kRemoteGridColumns, parent),
      sheet_(sheet) {
    setObjectName(QStringLiteral("StringGridRemote"));
    attachModel();
}

void StringGridRemote::setAdminLockRowsShaded(bool shaded) {
    if (shaded == adminLockRowsShaded_)
        return;
    adminLockRowsShaded_ = shaded;
    viewport()->update();
}

void StringGridRemote::setDragRange(std::optional<std::pair<int, int>> range) {
    if (range == dragRange_)
        return;
    dragRange_ = range;
    viewport()->update();
}

void StringGridRemote::setSelection(GridSelection* selection) {
    selection_ = selection;
    // Rows the grid moves to by itself (plain arrows, pages, a click) are the current row.
    connect(this, &SheetGridView::currentRowChanged, this, [this](int row) {
        if (selection_ && selection_->currentRow() != row)
            selection_->followCurrentRow(row);
    });
}

std::optional<int> StringGridRemote::dataRowAt(const QPoint& position) const {
    const int row = rowAt(position.y());
    if (row < 0)
        return std::nullopt;
    return row + 1;
}

int StringGridRemote::fullyVisibleRows() const {
    return std::max(1, viewport()->height() / kGridRowHeight);
}

// Marks are the logic's; the view only follows its current row, so Qt's own press handling
// (selection, drag and drop) is not used.
void StringGridRemote::pressed(QMouseEvent* event) {
    const auto row = dataRowAt(event->position().toPoint());
    const auto modifiers = modifiersOf(event->modifiers());
    setFocus(Qt::MouseFocusReason);
    switch (event->button()) {
    case Qt::LeftButton:
        selection_->leftPressed(row, modifiers);
        break;
    case Qt::MiddleButton:
        selection_->middlePressed(row, modifiers);
        break;
    case Qt::RightButton:
        selection_->rightPressed(row);
        break;
    default:
        return;
    }
    showSelection();
}

void StringGridRemote::mousePressEvent(QMouseEvent* event) {
    if (!selection_)
        return SheetGridView::mousePressEvent(event);
    pressed(event);
}

void StringGridRemote::mouseDoubleClickEvent(QMouseEvent* event) {
    if (!selection_)
        return SheetGridView::mouseDoubleClickEvent(event);
    // The second press of a double click is a press like the first, then the editor opens.
    pressed(event);
    if (event->button() == Qt::LeftButton) {
        if (const auto row = dataRowAt(event->position().toPoint()))
            Q_EMIT rowDoubleClicked(*row);
    }
}

void StringGridRemote::mouseMoveEvent(QMouseEvent* event) {
    if (!selection_)
        return SheetGridView::mouseMoveEvent(event);
    const bool wasDragging = selection_->isDragging();
    const int endRow = selection_->dragEndRow();
    selection_->pointerMoved(dataRowAt(event->position().toPoint()),
                             event->buttons().testFlag(Qt::LeftButton));
    if (selection_->isDragging() != wasDragging || selection_->dragEndRow() != endRow)
        showSelection();
}

void StringGridRemote::mouseReleaseEvent(QMouseEvent* event) {
    if (!selection_ || event->button() != Qt::LeftButton)
        return SheetGridView::mouseReleaseEvent(event);
    const QPoint position = event->position().toPoint();
    const auto row = dataRowAt(position);
    const bool onDataCell = row && columnAt(position.x()) > 0;
    selection_->leftReleased(row, onDataCell, modifiersOf(event->modifiers()));
    showSelection();
}

void StringGridRemote::keyPressEvent(QKeyEvent* event) {
    if (!selection_)
        return SheetGridView::keyPressEvent(event);
    switch (selection_->keyPressed(keyOf(event->key()), modifiersOf(event->modifiers()),
                                   fullyVisibleRows())) {
    case GridSelection::KeyResult::OpenEditor:
        Q_EMIT editorRequested();
        return;
    case GridSelection::KeyResult::Handled:
        showSelection();
        return;
    case GridSelection::KeyResult::LeftToTheGrid:
        SheetGridView::keyPressEvent(event);
        selection_->followCurrentRow(currentRow());
        showSelection();
        return;
    }
}

void StringGridRemote::wheelEvent(QWheelEvent* event) {
    const GridSelection::Modifiers modifiers = modifiersOf(event->modifiers());
    if (modifiers.ctrl != wheelWithCtrl_) {
        wheelWithCtrl_ = modifiers.ctrl;
        wheelNotches_.reset();
    }
    const int stepsDown = wheelNotches_.turnedDown(event->angleDelta().y());
    // Taken by the logic even without a whole notch yet, so the grid does not scroll instead.
    if (selection_ && selection_->wheelTurned(stepsDown, modifiers)) {
        if (stepsDown != 0)
            showSelection();
        event->accept();
        return;
    }
    SheetGridView::wheelEvent(event);
}

void StringGridRemote::showSelection() {
    setCurrentRow(selection_->currentRow());
    scrollTo(currentIndex());
    setDragRange(
        selection_->isDragging() && selection_->dragEndRow() != GridSelection::kNone
            ? std::optional(std::pair(selection_->dragStartRow(), selection_->dragEndRow()))
            : std::nullopt);
    repaintCells();
    Q_EMIT selectionChanged();
}

CellLook StringGridRemote::lookAt(int row, int column, int width) const {
    const RemoteGridState state{currentRow(), adminLockRowsShaded_, dragRange_};
    return remoteCellLook(sheet_, row, column, width, state, texts(), gridPalette());
}

} // namespace konfigor
