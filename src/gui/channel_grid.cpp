#include "gui/channel_grid.h"

#include "sheet/settings_sheet.h"

#include <QHeaderView>
#include <QKeyEvent>
#include <QScrollBar>

namespace konfigor {

StringGridChannels::StringGridChannels(const SettingsSheet& sheet, const TextTable& texts,
                                       QWidget* parent)
    : SheetGridView(texts, static_cast<int>(kChannelCount), kChannelGridColumns, parent),
      sheet_(sheet) {
    setObjectName(QStringLiteral("StringGridChannels"));
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    attachModel();
}

QSize StringGridChannels::sizeHint() const {
    const int rows = static_cast<int>(kChannelCount) * kGridRowHeight;
    const int scrollBar = horizontalScrollBar()->sizeHint().height();
    return {SheetGridView::sizeHint().width(),
            horizontalHeader()->sizeHint().height() + rows + scrollBar + 2 * frameWidth()};
}

void StringGridChannels::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        Q_EMIT editorRequested();
        return;
    }
    SheetGridView::keyPressEvent(event);
}

CellLook StringGridChannels::lookAt(int row, int column, int /*width*/) const {
    return channelCellLook(sheet_, row, column, currentRow(), texts(), gridPalette());
}

} // namespace konfigor
