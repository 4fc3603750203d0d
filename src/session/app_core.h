#pragma once

#include "editors/channel_editor.h"
#include "editors/remote_editor.h"
#include "eventlog/event_log_view.h"
#include "eventlog/events_log.h"
#include "link/port_list.h"
#include "remote/virtual_remote.h"
#include "search/description_search.h"
#include "session/bulk_transfer.h"
#include "session/receiver_security.h"
#include "session/record_transfer.h"
#include "session/session_controller.h"
#include "session/session_state.h"
#include "session/settings_file_commands.h"
#include "sheet/clipboard_changes.h"
#include "sheet/clipboard_exchange.h"
#include "sheet/grid_selection.h"
#include "sheet/history.h"
#include "sheet/history_commands.h"
#include "sheet/save_commands.h"
#include "sheet/save_state.h"
#include "sheet/settings_sheet.h"
#include "sheet/sheet_editor.h"

#include <ctime>
#include <functional>
#include <vector>

namespace konfigor {

class Clipboard;
class Configuration;
class ConnectingDialog;
class FileDialogs;
class PinDialogs;
class PortSource;
class ReceiverLink;
class SessionSurface;
class SheetSurface;
class Sound;
class TextTable;
class TransferDialog;
class UserPrompts;
class WarningWindow;

// The logic behind the main window, for the program's life: the sheet, its history and save
// state, the session with its transfers, and the file commands, wired to each other. The main
// window provides the link, the windows and the surfaces; tests provide fakes of the same.
class AppCore {
public:
    struct Platform {
        ReceiverLink& link;
        Clock& clock;
        PortSource& portSource;
        // --port paths, listed after the discovered interfaces.
        std::vector<InterfacePort> fixedPorts;
        // The demo mode's software receiver, listed first.
        PortList::LeadingPorts leadingPorts;
        Configuration& configuration;
        const TextTable& texts;
        UserPrompts& prompts;
        SheetSurface& sheetSurface;
        SessionSurface& sessionSurface;
        ConnectingDialog& connecting;
        TransferDialog& transferDialog;
        WarningWindow& warning;
        FileDialogs& fileDialogs;
        Clipboard& clipboard;
        Sound& sound;
        PinDialogs& pinDialogs;
        EventLogSurface& eventLogSurface;
        std::function<std::tm()> localTime = localTimeNow;
    };

    explicit AppCore(Platform platform);
    AppCore(const AppCore&) = delete;
    AppCore& operator=(const AppCore&) = delete;

    // The main window's creation: empty sheet and history, saved state, the port list, the
    // event log file.
    void start();
    // The options from the configuration, as the options dialog holds them.
    void takeOptions();
    // The texts are in another language now: what the logic shows, shown again.
    void languageChanged();
    // "Autozapis do odbiornika": the option and its configuration key.
    void setAutosave(bool on);

    SettingsSheet& sheet() { return sheet_; }
    const SettingsSheet& sheet() const { return sheet_; }
    SessionState& state() { return state_; }
    const SessionOptions& options() const { return options_; }
    History& history() { return history_; }
    HistoryCommands& historyCommands() { return historyCommands_; }
    SaveState& saveState() { return saveState_; }
    PortList& ports() { return ports_; }
    SessionController& session() { return session_; }
    BulkTransfer& bulk() { return bulk_; }
    RecordTransfer& records() { return records_; }
    SettingsFileCommands& files() { return files_; }
    // "Wyszukiwanie opisu do nastaw"; it also follows the load after connecting when asked.
    DescriptionSearch& search() { return search_; }
    SheetEditor& editor() { return editor_; }
    GridSelection& selection() { return selection_; }
    ClipboardExchange& clipboard() { return clipboard_; }
    RemoteEditor& remoteEditor() { return remoteEditor_; }
    ChannelEditor& channelEditor() { return channelEditor_; }
    ReceiverSecurity& security() { return security_; }
    VirtualRemote& virtualRemote() { return virtualRemote_; }
    EventsLog& eventsLog() { return eventsLog_; }
    EventLogView& eventLog() { return eventLogView_; }
    // The slot of the remote grid's current row.
    std::size_t currentSlot() const {
        return static_cast<std::size_t>(selection_.currentRow() - 1);
    }

private:
    // Presses the receiver reports go to the remote editor while it is open, and to the log;
    // the virtual remote's go to the log.
    void routeRemotePresses();

    // The save commands the save-state questions run, as their tool buttons would.
    class Commands final : public SaveCommands {
    public:
        explicit Commands(AppCore& core) : core_(core) {}
        void runSaveToFile() override { core_.files_.saveToFile(); }
        void runSaveToReceiver() override { core_.bulk_.saveToReceiver(); }
        bool isTransferDialogVisible() const override;

    private:
        AppCore& core_;
    };

    Platform p_;
    SettingsSheet sheet_;
    SessionState state_;
    SessionOptions options_;
    History history_;
    Commands commands_{*this};
    SaveState saveState_;
    // Refers to session_, constructed below: nothing is called before the constructor ends.
    HistoryCommands historyCommands_;
    // Tells session_ whether the connected port is listed, and under which path.
    PortList ports_;
    BulkTransfer bulk_;
    RecordTransfer records_;
    SessionController session_;
    SettingsFileCommands files_;
    DescriptionSearch search_{{.sheet = sheet_,
                               .configuration = p_.configuration,
                               .saveState = saveState_,
                               .history = historyCommands_,
                               .session = session_,
                               .prompts = p_.prompts,
                               .surface = p_.sheetSurface,
                               .texts = p_.texts}};
    SheetEditor editor_;
    GridSelection selection_{sheet_};
    ClipboardChanges clipboardChanges_{historyCommands_, saveState_, session_};
    ClipboardExchange clipboard_;
    RemoteEditor remoteEditor_;
    ChannelEditor channelEditor_;
    ReceiverSecurity security_;
    VirtualRemote virtualRemote_{p_.link, p_.texts};
    EventsLog eventsLog_{p_.texts};
    EventLogView eventLogView_;
};

} // namespace konfigor
