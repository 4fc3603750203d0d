#pragma once

#include <optional>
#include <vector>

namespace konfigor {

// Where the pop-up menu that the floating remote shares with the tray icon was opened.
enum class MenuOrigin { FloatingWindow, TrayIcon };

enum class TrayClick { Left, Middle, Right, Double };

// What the windows do, in the order given.
enum class ShellStep {
    ShowFloating,  // placed and shown
    CloseFloating, // a shown one closes and keeps its position
    RaiseFloating, // on top of all windows again, without taking the activation
    ReleaseShowButton,
    ShowMainWindow,
    HideMainWindow,
    CloseMainWindow, // through its close checks; the program ends when it closes
    ShowTrayIcon,
    HideTrayIcon,
};
using ShellSteps = std::vector<ShellStep>;

// Which of the main window, the floating remote and the tray icon show, and what closing
// either window does. In tray mode the main window is hidden and only the floating remote and
// the tray icon stay; it needs a desktop with a tray, without one closing simply closes.
class TrayMode {
public:
    // The main window's show button pressed or released by the user.
    ShellSteps showButtonToggled(bool down);
    // The controls that need a receiver are enabled or disabled: a shown floating window goes
    // with the connection and comes back with the next one. A bulk transfer leaves it usable.
    ShellSteps receiverControlsEnabled(bool on, bool duringTransfer, bool floatingShown);

    // The main window's close query: the steps that hide it to the tray instead of closing,
    // or nothing when the usual close checks decide.
    std::optional<ShellSteps> hideToTrayInsteadOfClosing(bool floatingShown,
                                                         bool trayAvailable) const;
    // The main window closes for good: the floating window goes with it.
    ShellSteps mainWindowClosing(bool floatingShown) const;
    // "Koniec": the floating window closes first, so the close query does not hide to the tray.
    ShellSteps quitChosen(bool floatingShown) const;

    void menuOpened(MenuOrigin origin) { origin_ = origin; }
    MenuOrigin menuOrigin() const { return origin_; }
    // "Pokaż główne okno aplikacji".
    ShellSteps showMainChosen() const;
    // "Zamknij": from the tray it ends the program; from the floating window it does so only
    // when the main window is hidden, showing it first.
    ShellSteps closeChosen(bool mainWindowVisible);

    ShellSteps trayIconClicked(TrayClick click);
    ShellSteps applicationDeactivated(bool floatingShown) const;

    // The session closed the floating window and will show it again.
    bool isHiddenBySession() const { return hiddenBySession_; }

private:
    MenuOrigin origin_ = MenuOrigin::TrayIcon;
    bool hiddenBySession_ = false;
};

} // namespace konfigor
