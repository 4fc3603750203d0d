#pragma once

#include "texts/text_lines.h"

namespace konfigor {

class HistoryCommands;
class PinDialogs;
class ReceiverLink;
class RecordTransfer;
class SaveState;
class SessionController;
class SheetSurface;
class TextTable;
class UserPrompts;
struct SessionState;

// The receiver's protection: the PIN asked for after connecting, the PIN change, the two copy
// locks and the reset. Everything lives in the image's configuration page and reaches the
// receiver by a page write when automatic writing applies. Main thread only.
class ReceiverSecurity {
public:
    struct Services {
        ReceiverLink& link;
        SessionController& session;
        SessionState& state;
        SaveState& saveState;
        HistoryCommands& history;
        RecordTransfer& records;
        PinDialogs& dialogs;
        UserPrompts& prompts;
        SheetSurface& surface;
        const TextTable& texts;
    };

    explicit ReceiverSecurity(Services services) : s_(services) {}

    // The receiver requires a PIN that has not been entered yet.
    void checkReceiverPin();
    // "Kod PIN".
    void changePin();
    // The toggles have already changed their look when these run; a "No" puts it back.
    void globalCopyLockClicked(bool pressed);
    void adminCopyLockClicked(bool pressed);
    // "Reset urządzenia".
    void resetReceiver();

private:
    enum class Lock { Global, Admin };
    void switchLock(Lock lock, bool on);
    void writeConfigurationIfAutosave();

    Services s_;
};

} // namespace konfigor
