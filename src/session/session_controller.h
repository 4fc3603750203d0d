#pragma once

#include "eventlog/event_record.h"
#include "link/clock.h"
#include "link/port_source.h"
#include "link/receiver_link.h"
#include "sheet/sheet_session.h"
#include "texts/text_lines.h"

#include <cstdint>
#include <functional>
#include <optional>

namespace konfigor {

class BulkTransfer;
class ConnectingDialog;
class HistoryCommands;
class PortList;
class RecordTransfer;
class SaveState;
class SessionSurface;
class SheetSurface;
class TextTable;
class UserPrompts;
class WarningWindow;
struct LinkMessage;
struct SessionOptions;
struct SessionState;
struct SettingsSheet;

// The main window's connection control: connecting and disconnecting through the connecting
// dialog, the 333 ms tick that shows the link's state and dispatches its notifications, the
// receiver controls and the close query. The Qt timer calls tick(); tests call it directly.
class SessionController final : public SheetSession {
public:
    static constexpr Clock::Milliseconds kTickInterval{333};

    struct Services {
        ReceiverLink& link;
        Clock& clock;
        SettingsSheet& sheet;
        SessionState& state;
        const SessionOptions& options;
        PortList& ports;
        SaveState& saveState;
        HistoryCommands& history;
        BulkTransfer& bulk;
        RecordTransfer& records;
        ConnectingDialog& connecting;
        WarningWindow& warning;
        UserPrompts& prompts;
        SheetSurface& sheetSurface;
        SessionSurface& sessionSurface;
        const TextTable& texts;
    };

    explicit SessionController(Services services) : s_(services) {}

    // --- commands ---
    void connectButtonClicked();
    // The one-shot timer after the first showing of the main window.
    void autoConnectTimerFired();
    void connectToSelectedPort();
    void disconnectReceiver();
    // A PIN that was not accepted ends the connection as the connect button would, without
    // its history question; asked again every 10 ms until the link has stopped.
    void disconnectAfterWrongPin();
    // The PIN accepted: the load that connecting promised, whatever became of its flag.
    void continueAfterConnecting();
    // The port list at start-up and after a device came or went.
    void refreshPorts();
    void devicesChanged();
    void selectPort(std::optional<std::size_t> index);
    // The port list's word on the connected port: listed or not, and under which path.
    void connectedPortListed(bool present, const std::string& path);
    // True when the main window may close now.
    bool closeQuery();
    // The main window closes: a connected receiver is let go.
    void closing();

    void tick();
    bool isLinkTimerRunning() const { return linkTimerRunning_; }

    void enableReceiverControls(bool on);
    void updateAdminLockGate();
    // A language was applied: what the session shows is shown again in it; status texts of
    // past events are cleared.
    void showInNewLanguage();
    bool isPinAccepted() const;
    // The remote grid's first three rows in the workspace colour: the receiver's administrative
    // copy lock is on and its PIN accepted.
    bool areAdminLockRowsShaded() const;

    // Hooks for the windows that come later: the event log, the remote editor, the PIN check.
    std::function<void(const RemotePress&)> remotePressed;
    std::function<void(std::uint32_t serialWord, std::uint16_t counter, int button)>
        unknownRemotePressed;
    std::function<void()> checkReceiverPin;

    // --- SheetSession ---
    bool isOperationPending() const override;
    bool isAutosaveActive() const override;
    bool writeSheetToReceiver() override;
    bool writeRemoteRecord(std::size_t slot) override;
    bool writeChannelSettings() override;
    void setSecondRecordSlot(std::size_t slot) override;
    void clearImage(bool channelDefaults) override;
    void setEnteredPin(std::string_view pin) override;
    ReceiverImage& image() override { return s_.link.image(); }

private:
    void userDisconnect();
    // Empty path when not connected.
    InterfacePort connectedPort() const;
    void setLinkTimer(bool running);
    void showConnectButton();
    void setLinkStatus(Msg text);
    void setOperationStatus(const std::string& text);

    // tick steps
    void watchStalledWrites();
    bool showLinkState();
    void showVersion();
    void dispatch(const LinkMessage& message);
    void afterDispatch();

    // notifications
    void onVersionReported();
    void onConfiguration();
    void onStoredRemote(const LinkMessage& message);
    void onUnknownRemote(const LinkMessage& message);

    Services s_;
    // The connected port's path lives in the session state; this tells it again after a
    // re-plug under another node.
    std::string connectedIdentity_;
    bool linkTimerRunning_ = false;
    bool versionDisplayStale_ = true;
    ReceiverLink::Version lastShownVersion_;
    unsigned stallTicks_ = 0;
    Clock::Milliseconds warningShownAt_{0};
    std::uint32_t lastConfigChangeCount_ = 0;
    std::uint32_t lastGivenUpCount_ = 0;
};

} // namespace konfigor
