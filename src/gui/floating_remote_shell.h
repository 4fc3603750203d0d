#pragma once

#include "remote/tray_mode.h"

#include <memory>

#include <QObject>

class QSystemTrayIcon;
class QWidget;

namespace konfigor {

class Clock;
class Configuration;
class TRemoteForm;
class TextTable;
class VirtualRemote;
struct MainFormControls;

// The floating remote and the tray icon beside the main window: the show button, the shared
// pop-up menu, the session's disconnections, the close query's tray mode and the application's
// deactivation go to TrayMode, and the steps it answers are carried out here.
class FloatingRemoteShell : public QObject {
    Q_OBJECT

public:
    FloatingRemoteShell(QWidget& mainWindow, const MainFormControls& controls,
                        VirtualRemote& remote, Configuration& configuration, Clock& clock,
                        const TextTable& texts);
    ~FloatingRemoteShell() override;

    TRemoteForm& form() { return *form_; }
    QSystemTrayIcon& trayIcon() { return *trayIcon_; }
    const TrayMode& mode() const { return mode_; }

    // The session enables or disables the controls that need a receiver.
    void receiverControlsEnabled(bool on, bool duringTransfer);
    // The main window's close query: false when it went to the tray instead of closing.
    bool mainWindowMayClose();
    // The main window closes for good.
    void mainWindowClosing();
    // "Koniec".
    void quitChosen();

private:
    void run(const ShellSteps& steps);
    bool isFloatingShown() const;

    QWidget& mainWindow_;
    const MainFormControls& controls_;
    TrayMode mode_;
    std::unique_ptr<TRemoteForm> form_;
    QSystemTrayIcon* trayIcon_ = nullptr;
};

} // namespace konfigor
