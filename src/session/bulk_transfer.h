#pragma once

#include "texts/text_lines.h"

#include <functional>

namespace konfigor {

class HistoryCommands;
class ReceiverLink;
class SaveCommands;
class SaveState;
class SessionSurface;
class SheetSurface;
class TextTable;
class TransferDialog;
class UserPrompts;
struct SessionOptions;
struct SessionState;
struct SettingsSheet;

// Loading the receiver's whole memory into the sheet and writing the whole sheet to it, page
// by page through the link's image, under the modal progress dialog. The session's timer
// watches the transfers and finishes them. Main thread only.
class BulkTransfer {
public:
    struct Services {
        ReceiverLink& link;
        SettingsSheet& sheet;
        SessionState& state;
        const SessionOptions& options;
        SaveState& saveState;
        SaveCommands& saveCommands;
        HistoryCommands& history;
        TransferDialog& dialog;
        UserPrompts& prompts;
        SheetSurface& sheetSurface;
        SessionSurface& sessionSurface;
        const TextTable& texts;
    };

    explicit BulkTransfer(Services services) : s_(services) {}

    // "Ładuj z odbiornika"
    void loadFromReceiver();
    // "Zapisz do odbiornika"
    void saveToReceiver();
    // False when the write could not be started (the user has been told).
    bool writeSheetToReceiver();
    // The progress dialog's Cancel button.
    void cancelRequested();
    // Every timer tick: the progress bar, and the end of a finished transfer.
    void watch();
    // Ends the transfers a disconnection cut short; the dialog returns Abort.
    void abortOnDisconnection();

    // The description search to open after the load when asked for.
    std::function<void()> descriptionSearch;

private:
    bool start(bool (ReceiverLink::*startTransfer)(), bool SessionState::*active);
    // True when the dialog ended with OK.
    bool runDialog(Msg caption);
    void giveUp();
    void finishLoad();
    void finishWrite();
    void recordLoad();
    void showReceiverControls(bool on);

    Services s_;
};

} // namespace konfigor
