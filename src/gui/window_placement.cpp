#include "gui/window_placement.h"

#include <QWidget>

namespace konfigor {

void centreOverParent(QWidget& dialog) {
    dialog.adjustSize();
    const QWidget* owner = dialog.parentWidget();
    if (owner == nullptr)
        return;
    QRect frame = dialog.frameGeometry();
    frame.moveCenter(owner->window()->frameGeometry().center());
    dialog.move(frame.topLeft());
}

} // namespace konfigor
