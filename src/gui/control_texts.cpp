#include "gui/control_texts.h"

#include "gui/qt_text.h"
#include "texts/keyed_texts.h"
#include "texts/text_lines.h"
#include "texts/text_table.h"

#include <functional>
#include <string>
#include <utility>

#include <QAbstractButton>
#include <QAction>
#include <QEvent>
#include <QGroupBox>
#include <QLabel>
#include <QMenu>
#include <QStackedWidget>
#include <QTabWidget>

namespace konfigor {
namespace {

// A tab page's caption is its tab's text.
bool setTabCaption(QWidget& page, const QString& text) {
    auto* stack = qobject_cast<QStackedWidget*>(page.parentWidget());
    auto* tabs = stack ? qobject_cast<QTabWidget*>(stack->parentWidget()) : nullptr;
    if (!tabs)
        return false;
    tabs->setTabText(tabs->indexOf(&page), text);
    return true;
}

void setCaption(QObject& target, const QString& text) {
    if (auto* menu = qobject_cast<QMenu*>(&target))
        menu->setTitle(text);
    else if (auto* action = qobject_cast<QAction*>(&target))
        action->setText(text);
    else if (auto* button = qobject_cast<QAbstractButton*>(&target))
        button->setText(text);
    else if (auto* label = qobject_cast<QLabel*>(&target))
        label->setText(text);
    else if (auto* group = qobject_cast<QGroupBox*>(&target))
        group->setTitle(text);
    else if (auto* widget = qobject_cast<QWidget*>(&target);
             widget && !setTabCaption(*widget, text))
        widget->setWindowTitle(text);
}

// A hint is "short|long": the tooltip shows the short part, the status bar the long one.
void setHint(QObject& target, const QString& hint) {
    const qsizetype bar = hint.indexOf(QLatin1Char('|'));
    const QString shortPart = bar < 0 ? hint : hint.left(bar);
    const QString longPart = bar < 0 ? hint : hint.mid(bar + 1);
    if (auto* action = qobject_cast<QAction*>(&target)) {
        action->setToolTip(shortPart);
        action->setStatusTip(longPart);
    } else if (auto* widget = qobject_cast<QWidget*>(&target)) {
        widget->setToolTip(shortPart);
        widget->setStatusTip(longPart);
    }
}

// Windows share control names ("Label1"), and dialogs are children of the main window: a
// control is the window's own unless another window (a dialog, not a pop-up menu) lies between.
bool belongsTo(const QObject& control, const QWidget& window) {
    for (const QObject* above = control.parent(); above; above = above->parent()) {
        if (above == &window)
            return true;
        const auto* widget = qobject_cast<const QWidget*>(above);
        if (widget && widget->isWindow() && !qobject_cast<const QMenu*>(widget))
            return false;
    }
    return false;
}

QObject* ownControl(QWidget& window, std::string_view name) {
    for (QObject* control : window.findChildren<QObject*>(toQString(name))) {
        if (belongsTo(*control, window))
            return control;
    }
    return nullptr;
}

void applyLine(QObject& target, const ControlLine& line, const QString& text) {
    switch (line.property) {
    case ControlProperty::Caption:
        setCaption(target, text);
        break;
    case ControlProperty::Hint:
        setHint(target, text);
        break;
    case ControlProperty::Filter:
        // File dialogs are created on demand; they read their filter from this property.
        target.setProperty("filter", text);
        break;
    case ControlProperty::Item:
        target.setProperty(QByteArray("item") + QByteArray::number(line.item), text);
        break;
    }
}

// Shows a widget's texts again whenever the language changes; the change reaches every widget
// of a window.
class LanguageFollower : public QObject {
public:
    LanguageFollower(QWidget& widget, std::function<void()> show)
        : QObject(&widget), widget_(widget), show_(std::move(show)) {
        widget.installEventFilter(this);
        show_();
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (watched == &widget_ && event->type() == QEvent::LanguageChange)
            show_();
        return QObject::eventFilter(watched, event);
    }

private:
    QWidget& widget_;
    std::function<void()> show_;
};

} // namespace

void keepMessageCaption(QWidget& control, Msg caption, const TextTable& texts) {
    new LanguageFollower(control, [&control, caption, &texts] {
        setCaption(control, toQString(texts.text(caption)));
    });
}

void keepControlTexts(QWidget& window, std::string_view windowClass, const TextTable& texts) {
    new LanguageFollower(window, [&window, windowClass = std::string(windowClass), &texts] {
        applyControlTexts(window, windowClass, texts);
    });
}

void applyControlTexts(QWidget& window, std::string_view windowClass, const TextTable& texts) {
    const auto lines = controlLines();
    for (std::size_t index = 0; index < lines.size(); ++index) {
        const ControlLine& line = lines[index];
        if (line.windowClass != windowClass)
            continue;
        QObject* target = line.control.empty() ? &window : ownControl(window, line.control);
        if (target)
            applyLine(*target, line, toQString(texts.controlText(index)));
    }
    for (const KeyedLine& line : keyedLines()) {
        if (line.windowClass != windowClass)
            continue;
        QObject* target = line.control.empty() ? &window : ownControl(window, line.control);
        if (target)
            setCaption(*target, toQString(texts.text(line.id)));
    }
}

} // namespace konfigor
