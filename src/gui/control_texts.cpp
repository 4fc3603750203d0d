#include "gui/control_texts.h"

#include "gui/qt_text.h"
#include "texts/text_lines.h"
#include "texts/text_table.h"

#include <QAbstractButton>
#include <QAction>
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

} // namespace

void applyControlTexts(QWidget& window, std::string_view windowClass, const TextTable& texts) {
    const auto lines = controlLines();
    for (std::size_t index = 0; index < lines.size(); ++index) {
        const ControlLine& line = lines[index];
        if (line.windowClass != windowClass)
            continue;
        QObject* target =
            line.control.empty() ? &window : window.findChild<QObject*>(toQString(line.control));
        if (target)
            applyLine(*target, line, toQString(texts.controlText(index)));
    }
}

} // namespace konfigor
