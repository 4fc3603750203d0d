#pragma once

#include <string>

namespace konfigor {

// How a transfer's progress dialog ended.
enum class TransferResult { Ok, Abort };

// The modal "Proszę czekać..." dialog that stays open while the link connects or disconnects.
// The Qt layer drives the link from the dialog's own timer; tests connect at once.
class ConnectingDialog {
public:
    virtual ~ConnectingDialog() = default;

    // Modal: returns when the link is running or the user pressed Cancel.
    virtual void runConnect(const std::string& portPath) = 0;
    // Returns at once when the link has already stopped; else modal until it has (or Cancel).
    virtual void runDisconnect() = 0;
    virtual bool isVisible() const = 0;
    virtual void closeDialog() = 0;
};

// The modal progress dialog of a bulk transfer. Its Cancel button calls the session, which
// asks and then ends the dialog through finish().
class TransferDialog {
public:
    virtual ~TransferDialog() = default;

    // Shows the dialog centred on the main window with the bar at 0, modally; returns how
    // finish() ended it. The session's timer keeps ticking meanwhile.
    virtual TransferResult run(const std::string& caption) = 0;
    virtual bool isVisible() const = 0;
    virtual void setPercent(int percent) = 0;
    // Closes the dialog; run() returns `result`. Does nothing while it is not shown.
    virtual void finish(TransferResult result) = 0;
};

// The stay-on-top warning about communication problems. Shown modally; the session's timer
// keeps ticking and may close it.
class WarningWindow {
public:
    virtual ~WarningWindow() = default;

    virtual void show(const std::string& text, const std::string& title) = 0;
    virtual bool isVisible() const = 0;
    virtual void close() = 0;
};

} // namespace konfigor
