#include "gui/missing_features.h"

#include <algorithm>
#include <array>

#include <QAction>
#include <QWidget>

namespace konfigor {
namespace {

// Every feature is written now; the list stays for the next one.
constexpr std::array<std::string_view, 0> kControlsWithoutFeature{};

} // namespace

std::span<const std::string_view> controlsWithoutFeature() {
    return kControlsWithoutFeature;
}

bool hasNoFeature(const QObject& control) {
    const QByteArray name = control.objectName().toLatin1();
    const std::string_view own(name.constData(), static_cast<std::size_t>(name.size()));
    return std::ranges::find(kControlsWithoutFeature, own) != kControlsWithoutFeature.end();
}

void disableControlsWithoutFeature(QWidget& window) {
    for (const std::string_view name : kControlsWithoutFeature) {
        const QString objectName =
            QString::fromLatin1(name.data(), static_cast<qsizetype>(name.size()));
        for (QWidget* widget : window.findChildren<QWidget*>(objectName))
            widget->setEnabled(false);
        for (QAction* action : window.findChildren<QAction*>(objectName))
            action->setEnabled(false);
    }
}

void enableIfFeatured(QWidget* control, bool enabled) {
    control->setEnabled(enabled && !hasNoFeature(*control));
}

void enableIfFeatured(QAction* control, bool enabled) {
    control->setEnabled(enabled && !hasNoFeature(*control));
}

} // namespace konfigor
