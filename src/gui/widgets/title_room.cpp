#include "gui/widgets/title_room.h"

#include <QBoxLayout>
#include <QEvent>
#include <QFontMetrics>
#include <QSpacerItem>
#include <QWidget>

namespace konfigor {
namespace {

// The title bar's icon and its three buttons, in line heights: the window manager's own
// decoration is not known, so this errs on the wide side.
constexpr int kDecorationLineHeights = 6;

class TitleRoom final : public QObject {
public:
    TitleRoom(QWidget& window, QBoxLayout& layout)
        : QObject(&window), window_(window), layout_(layout), room_(new QSpacerItem(0, 0)) {
        layout.addSpacerItem(room_);
        window.installEventFilter(this);
        fit();
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (watched == &window_ &&
            (event->type() == QEvent::WindowTitleChange || event->type() == QEvent::FontChange))
            fit();
        return QObject::eventFilter(watched, event);
    }

private:
    void fit() {
        QFont bold = window_.font();
        bold.setBold(true);
        const QFontMetrics metrics(bold);
        const int width = metrics.horizontalAdvance(window_.windowTitle()) +
                          kDecorationLineHeights * metrics.height();
        room_->changeSize(width, 0, QSizePolicy::Fixed, QSizePolicy::Fixed);
        layout_.invalidate();
    }

    QWidget& window_;
    QBoxLayout& layout_;
    QSpacerItem* room_; // owned by the layout
};

} // namespace

void keepRoomForTitle(QWidget& window, QBoxLayout& layout) {
    new TitleRoom(window, layout);
}

} // namespace konfigor
