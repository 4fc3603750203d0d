#include "session/receiver_security.h"

#include "link/receiver_link.h"
#include "session/pin_dialogs.h"
#include "session/record_transfer.h"
#include "session/session_controller.h"
#include "session/session_state.h"
#include "sheet/history_change.h"
#include "sheet/history_commands.h"
#include "sheet/save_state.h"
#include "sheet/sheet_surface.h"
#include "texts/main_window_prompts.h"
#include "texts/text_table.h"

namespace konfigor {

void ReceiverSecurity::checkReceiverPin() {
    if (s_.dialogs.isPinEntryVisible())
        return;
    s_.surface.repaintGrids();
    const std::optional<std::string> entered = s_.dialogs.askPin();
    const std::string digits =
        s_.link.image().read([](const ReceiverMemory& memory) { return memory.pinText(); });
    if (entered && *entered == digits) {
        s_.state.enteredPin = *entered;
        s_.session.enableReceiverControls(true);
        s_.surface.repaintGrids();
        s_.session.continueAfterConnecting();
        return;
    }
    s_.session.disconnectAfterWrongPin();
    showMainWindowError(s_.prompts, s_.texts, Msg::WrongPin);
}

void ReceiverSecurity::changePin() {
    const bool required =
        s_.link.image().read([](const ReceiverMemory& memory) { return memory.isPinRequired(); });
    if (const std::optional<PinDialogs::NewPin> chosen = s_.dialogs.askNewPin(required)) {
        s_.saveState.apply(SaveEvent::PinChanged);
        s_.history.recordChange(HistoryKind::PinChange, pinChange(chosen->pin, chosen->required));
        s_.state.enteredPin = chosen->pin;
        s_.link.image().update(
            [&](ReceiverMemory& memory) { memory.setPinRequired(chosen->required); });
        // Switched off, the receiver keeps the digits it has.
        if (!chosen->pin.empty())
            s_.link.setPin(chosen->pin);
        writeConfigurationIfAutosave();
    }
    // "Kod PIN" stays pressed exactly while the receiver requires a PIN.
    s_.session.enableReceiverControls(s_.session.isPinAccepted());
}

void ReceiverSecurity::globalCopyLockClicked(bool pressed) {
    switchLock(Lock::Global, pressed);
}

void ReceiverSecurity::adminCopyLockClicked(bool pressed) {
    switchLock(Lock::Admin, pressed);
}

// The two locks are never both on through the program: turning one on turns the other off.
void ReceiverSecurity::switchLock(Lock lock, bool on) {
    const bool global = lock == Lock::Global;
    const Msg question = global
                             ? (on ? Msg::GlobalCopyLockOnQuestion : Msg::GlobalCopyLockOffQuestion)
                             : (on ? Msg::AdminCopyLockOnQuestion : Msg::AdminCopyLockOffQuestion);
    if (!askMainWindowYesNo(s_.prompts, s_.texts.text(question))) {
        s_.surface.showCopyLocks();
        return;
    }
    s_.link.image().update([&](ReceiverMemory& memory) {
        if (global) {
            memory.setGlobalCopyLock(on);
            if (on)
                memory.setAdminCopyLock(false);
        } else {
            memory.setAdminCopyLock(on);
            if (on)
                memory.setGlobalCopyLock(false);
        }
    });
    s_.surface.showCopyLocks();
    s_.surface.repaintGrids();
    s_.history.recordChange(global ? HistoryKind::GlobalCopyLock : HistoryKind::AdminCopyLock,
                            CopyLockSwitch{on});
    writeConfigurationIfAutosave();
}

// Without automatic writing the receiver falls behind until the sheet is written to it.
void ReceiverSecurity::writeConfigurationIfAutosave() {
    if (s_.session.isAutosaveActive())
        s_.records.writeConfigurationPage();
    else
        s_.saveState.apply(SaveEvent::ConfigurationNotSent);
}

void ReceiverSecurity::resetReceiver() {
    if (!askMainWindowYesNo(s_.prompts, s_.texts.text(Msg::ResetReceiverQuestion)))
        return;
    if (!s_.link.requestReset())
        showMainWindowError(s_.prompts, s_.texts, Msg::NoCommunicationWithReceiver);
}

} // namespace konfigor
