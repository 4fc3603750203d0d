#pragma once

#include <string>

namespace konfigor {

struct PortListState;

// The receiver controls as enableReceiverControls leaves them.
struct ReceiverControls {
    bool enabled = false;
    bool pinPressed = false;
    bool autosavePressed = false;
    bool globalCopyLockPressed = false;
    bool adminCopyLockPressed = false;

    friend bool operator==(const ReceiverControls&, const ReceiverControls&) = default;
};

// What the session needs the main window to show besides the sheet.
class SessionSurface {
public:
    virtual ~SessionSurface() = default;

    virtual void showReceiverControls(const ReceiverControls& controls) = 0;
    // Loading, writing and the virtual remote's buttons: off while a transfer runs or the PIN
    // has not been accepted.
    virtual void enableTransferCommands(bool ready) = 0;
    // "Połącz" or "Rozłącz", and the button's image.
    virtual void showConnectButton(bool connected) = 0;
    virtual void showAdminCopyLockGate(bool enabled, const std::string& hint) = 0;
    virtual void showPortList(const PortListState& ports) = 0;
    // TimerKvr: runs from a connect attempt to the next disconnection.
    virtual void runLinkTimer(bool running) = 0;
    // Closes the main window through its normal close query.
    virtual void closeMainWindow() = 0;
};

} // namespace konfigor
