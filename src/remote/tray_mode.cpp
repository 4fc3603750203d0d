#include "remote/tray_mode.h"

namespace konfigor {

using enum ShellStep;

ShellSteps TrayMode::showButtonToggled(bool down) {
    // The user decides now: the session no longer brings back a window it closed.
    hiddenBySession_ = false;
    return {down ? ShowFloating : CloseFloating};
}

ShellSteps TrayMode::receiverControlsEnabled(bool on, bool duringTransfer, bool floatingShown) {
    if (!on && !duringTransfer && floatingShown) {
        hiddenBySession_ = true;
        return {CloseFloating};
    }
    // Shown once: the session enables the controls again on every change of the receiver's
    // configuration, and a window the user closed since must stay closed.
    if (on && hiddenBySession_) {
        hiddenBySession_ = false;
        return {ShowFloating};
    }
    return {};
}

std::optional<ShellSteps> TrayMode::hideToTrayInsteadOfClosing(bool floatingShown,
                                                               bool trayAvailable) const {
    if (!floatingShown || !trayAvailable)
        return std::nullopt;
    return ShellSteps{ShowTrayIcon, HideMainWindow, RaiseFloating};
}

ShellSteps TrayMode::mainWindowClosing(bool floatingShown) const {
    if (!floatingShown)
        return {HideTrayIcon};
    return {CloseFloating, HideTrayIcon};
}

ShellSteps TrayMode::quitChosen(bool floatingShown) const {
    if (!floatingShown)
        return {CloseMainWindow};
    return {CloseFloating, ReleaseShowButton, CloseMainWindow};
}

ShellSteps TrayMode::showMainChosen() const {
    return {ShowMainWindow, HideTrayIcon};
}

ShellSteps TrayMode::closeChosen(bool mainWindowVisible) {
    hiddenBySession_ = false;
    ShellSteps steps{CloseFloating, ReleaseShowButton};
    if (origin_ == MenuOrigin::TrayIcon) {
        steps.push_back(CloseMainWindow);
    } else if (!mainWindowVisible) {
        // Closed where the user sees it, so the unsaved-changes questions have their window.
        steps.push_back(ShowMainWindow);
        steps.push_back(CloseMainWindow);
    }
    return steps;
}

ShellSteps TrayMode::trayIconClicked(TrayClick click) {
    origin_ = MenuOrigin::TrayIcon;
    switch (click) {
    case TrayClick::Left:
        return {RaiseFloating};
    case TrayClick::Double:
        return {ShowMainWindow};
    case TrayClick::Middle:
    case TrayClick::Right:
        return {};
    }
    return {};
}

ShellSteps TrayMode::applicationDeactivated(bool floatingShown) const {
    if (!floatingShown)
        return {};
    return {RaiseFloating};
}

} // namespace konfigor
