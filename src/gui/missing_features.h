#pragma once

#include <span>
#include <string_view>

class QAction;
class QObject;
class QWidget;

namespace konfigor {

// Controls whose feature is not written yet, by objectName. They are shown but never enabled,
// so that nothing pretends to work; a feature enables its controls by taking them off the list.
std::span<const std::string_view> controlsWithoutFeature();

bool hasNoFeature(const QObject& control);

// Every control of the window on the list, disabled.
void disableControlsWithoutFeature(QWidget& window);

// setEnabled(), except that a control on the list stays disabled.
void enableIfFeatured(QWidget* control, bool enabled);
void enableIfFeatured(QAction* control, bool enabled);

} // namespace konfigor
