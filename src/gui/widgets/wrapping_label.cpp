#include "gui/widgets/wrapping_label.h"

#include <algorithm>

#include <QResizeEvent>

namespace konfigor {

WrappingLabel::WrappingLabel(QWidget* parent) : QLabel(parent) {
    setWordWrap(true);
    setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
}

int WrappingLabel::neededHeight() const {
    const int lines = heightForWidth(std::max(width(), minimumWidth()));
    // Without text there are no lines; keep one line's height so the bar does not jump.
    return lines >= 0 ? lines : QLabel::sizeHint().height();
}

QSize WrappingLabel::sizeHint() const {
    return {minimumWidth(), neededHeight()};
}

QSize WrappingLabel::minimumSizeHint() const {
    return sizeHint();
}

void WrappingLabel::resizeEvent(QResizeEvent* event) {
    QLabel::resizeEvent(event);
    // A new width may need another number of lines; the height does not change the width, so
    // this settles after one pass.
    if (const int needed = neededHeight(); needed != lastNeededHeight_) {
        lastNeededHeight_ = needed;
        updateGeometry();
    }
}

} // namespace konfigor
