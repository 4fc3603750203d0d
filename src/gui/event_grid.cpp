#include "gui/event_grid.h"

#include "eventlog/event_grid_look.h"
#include "eventlog/event_log_view.h"

#include <algorithm>
#include <utility>

#include <QEvent>
#include <QFontInfo>
#include <QFontMetrics>
#include <QHeaderView>

namespace konfigor {

StringGridLogs::StringGridLogs(const EventsLog& log, const EventLogView& view,
                               const SettingsSheet& sheet, const TextTable& texts, QWidget* parent)
    : SheetGridView(texts, 1, kEventGridColumns, parent), log_(log), view_(view), sheet_(sheet) {
    setObjectName(QStringLiteral("StringGridLogs"));
    setContextMenuPolicy(Qt::NoContextMenu);
    attachModel();
    fitHeaderHeight();
    fitTimeColumns();
}

CellLook StringGridLogs::lookAt(int row, int column, int width) const {
    const QFont& grid = font();
    const EventGridState state{
        .selectedRow = currentRow(),
        .rowCount = dataRowCount() + 1,
        .flashOn = view_.isFlashOn(),
        .hasFocus = hasFocus(),
        .fontPointSize = grid.pointSize() > 0 ? grid.pointSize() : 9,
        .pixelsPerInch = logicalDpiY(),
    };
    return eventCellLook(log_, sheet_, row, column, width, state, texts(), gridPalette());
}

void StringGridLogs::showRows(int rowCount) {
    setDataRowCount(std::max(rowCount - 1, 1));
    repaintCells();
}

void StringGridLogs::selectLastRow() {
    setCurrentRow(dataRowCount());
    scrollToBottom();
}

bool StringGridLogs::isLastRowVisible() const {
    const QRect last = visualRect(model()->index(dataRowCount() - 1, 0));
    return last.isValid() && last.top() >= 0 && last.bottom() < viewport()->height();
}

// Selected rows change their text colour with the focus.
void StringGridLogs::focusInEvent(QFocusEvent* event) {
    SheetGridView::focusInEvent(event);
    viewport()->update();
}

void StringGridLogs::focusOutEvent(QFocusEvent* event) {
    SheetGridView::focusOutEvent(event);
    viewport()->update();
}

void StringGridLogs::changeEvent(QEvent* event) {
    SheetGridView::changeEvent(event);
    if (event->type() == QEvent::FontChange) {
        fitHeaderHeight();
        fitTimeColumns();
    }
}

// The date and the time never cut, in the bold of the newest row either.
void StringGridLogs::fitTimeColumns() {
    QFont bold = font();
    bold.setBold(true);
    const QFontMetrics metrics(bold);
    const std::pair<int, QString> samples[] = {{0, QStringLiteral("8888-88-88")},
                                               {1, QStringLiteral("88:88:88")}};
    for (const auto& [column, sample] : samples)
        setColumnWidth(column,
                       std::max(columnWidth(column), metrics.horizontalAdvance(sample) + 4));
}

// Two title lines, the second one and a half font heights below the first: the designed height
// unless the font needs more.
void StringGridLogs::fitHeaderHeight() {
    const int fontPixels = QFontInfo(horizontalHeader()->font()).pixelSize();
    const int needed = 2 + fontPixels * 3 / 2 + 2 + horizontalHeader()->fontMetrics().height() + 2;
    horizontalHeader()->setFixedHeight(std::max(kEventGridHeaderHeight, needed));
}

} // namespace konfigor
