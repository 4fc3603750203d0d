#include "session/session_controller.h"

#include "link/port_list.h"
#include "session/bulk_transfer.h"
#include "session/receiver_controls.h"
#include "session/record_transfer.h"
#include "session/session_dialogs.h"
#include "session/session_state.h"
#include "session/session_surface.h"
#include "sheet/history_commands.h"
#include "sheet/image_transfer.h"
#include "sheet/save_state.h"
#include "sheet/serial_word.h"
#include "sheet/settings_sheet.h"
#include "sheet/sheet_surface.h"
#include "texts/main_window_prompts.h"
#include "texts/text_table.h"
#include "texts/untranslated_texts.h"

#include <chrono>

namespace konfigor {
namespace {

using namespace std::chrono_literals;

// Writes stalled for about a second bring up the warning; once writes flow again it goes away
// after it has been seen for a while.
constexpr unsigned kStallTicksForWarning = 1000 / SessionController::kTickInterval.count();
constexpr Clock::Milliseconds kWarningShownAtLeast = 5000ms;
// The end-of-connection request needs time on the line before the port closes.
constexpr Clock::Milliseconds kEndOfConnectionPause = 200ms;
// Firmware 2.7 and later know the administrative copy lock (2.10 counts as 2010).
constexpr unsigned kAdminLockFirmware = 2007;

} // namespace

// --- connecting and disconnecting ---

void SessionController::connectButtonClicked() {
    if (s_.link.isRunning())
        userDisconnect();
    else
        connectToSelectedPort();
}

void SessionController::autoConnectTimerFired() {
    if (s_.options.autoConnect)
        connectButtonClicked();
}

void SessionController::connectToSelectedPort() {
    const InterfacePort* selected = s_.ports.selectedPort();
    if (s_.ports.state().entries.empty() || selected == nullptr) {
        showMainWindowError(s_.prompts, s_.texts, Msg::NoReceiverDetected);
        return;
    }
    // A copy: the list may be rebuilt while the connecting window runs.
    const InterfacePort port = *selected;
    s_.state.loadAfterConnect = true;
    s_.connecting.runConnect(port.path);
    setLinkTimer(true);
    if (s_.link.isRunning()) {
        s_.state.connectedPort = port.path;
        connectedIdentity_ = port.identity;
        s_.ports.updatePortPresence(connectedPort());
        enableReceiverControls(true);
        setOperationStatus(s_.texts.text(Msg::ReadingReceiverVersion));
    } else {
        enableReceiverControls(false);
        showMainWindowError(s_.prompts, s_.texts, Msg::ConnectFailed);
    }
    showConnectButton();
}

void SessionController::userDisconnect() {
    const bool pinLocked = !isPinAccepted();
    if (!pinLocked &&
        !askMainWindowYesNo(s_.prompts, s_.texts.text(Msg::DisconnectClearsHistoryQuestion)))
        return;
    if (!s_.saveState.confirmUnsavedChanges())
        return;
    disconnectReceiver();
    if (!s_.link.isRunning())
        s_.saveState.apply(SaveEvent::Disconnection);
}

void SessionController::disconnectReceiver() {
    s_.link.endConnection();
    s_.clock.sleepFor(kEndOfConnectionPause);
    s_.link.disconnect();
    s_.connecting.runDisconnect();
    if (s_.link.isRunning()) {
        showMainWindowError(s_.prompts, s_.texts, Msg::DisconnectFailed);
    } else {
        s_.bulk.abortOnDisconnection();
        s_.state.enteredPin.clear();
        s_.state.pendingOperation = PendingOperation::None;
        s_.state.secondRecordSlot.reset();
        enableReceiverControls(false);
        setLinkStatus(Msg::Disconnected);
        s_.state.connectedPort.clear();
        connectedIdentity_.clear();
        s_.ports.updatePortPresence(connectedPort());
        s_.history.resetAtDisconnection();
    }
    showConnectButton();
    setLinkTimer(false);
}

void SessionController::disconnectAfterWrongPin() {
    // The unsaved-changes question may be answered "not now"; a wrong PIN still ends the
    // connection after a few polite attempts.
    constexpr int kPoliteAttempts = 3;
    constexpr Clock::Milliseconds kRetryPause = 10ms;
    for (int attempt = 0; attempt < kPoliteAttempts && s_.link.isRunning(); ++attempt) {
        userDisconnect();
        if (s_.link.isRunning())
            s_.clock.sleepFor(kRetryPause);
    }
    if (!s_.link.isRunning())
        return;
    disconnectReceiver();
    if (!s_.link.isRunning())
        s_.saveState.apply(SaveEvent::Disconnection);
}

void SessionController::continueAfterConnecting() {
    s_.state.loadAfterConnect = false;
    if (!s_.options.loadReceiverAfterConnect)
        return;
    s_.state.searchAfterLoad = s_.options.openSearchAfterLoad;
    s_.bulk.loadFromReceiver();
}

void SessionController::refreshPorts() {
    s_.sessionSurface.showPortList(s_.ports.refreshPortList(connectedPort()));
    s_.ports.updatePortPresence(connectedPort());
}

void SessionController::devicesChanged() {
    s_.sessionSurface.showPortList(s_.ports.handleDeviceChange(connectedPort()));
}

void SessionController::selectPort(std::optional<std::size_t> index) {
    s_.ports.select(index);
    s_.ports.updatePortPresence(connectedPort());
}

void SessionController::connectedPortListed(bool present, const std::string& path) {
    // Re-plugged under another node: the link's next reconnection opens that one.
    if (present && path != s_.state.connectedPort) {
        s_.state.connectedPort = path;
        s_.link.setPortPath(path);
    }
    s_.link.setPortPresent(present);
}

InterfacePort SessionController::connectedPort() const {
    return {.path = s_.state.connectedPort, .displayName = {}, .identity = connectedIdentity_};
}

// --- closing ---

bool SessionController::closeQuery() {
    ReceiverLink& link = s_.link;
    if (link.isRunning() && (link.isReconnecting() || !link.isUsable()) &&
        askMainWindowYesNo(s_.prompts, s_.texts.text(Msg::CloseWithoutCommunicationQuestion)))
        return true;
    if (link.isRunning() && !link.isUsable() && !link.isOutputQueueEmpty())
        return link.isWriteStalled();
    if (s_.saveState.closeAfterWrite() && link.areWritesBlocked())
        return true;
    if (!s_.saveState.confirmUnsavedChanges())
        return false;
    if (link.areWritesBlocked() || link.isWriteStalled() || link.version().major == 0)
        return true;
    // The receiver hears the end of the connection first; the next tick closes.
    s_.saveState.setCloseAfterWrite(true);
    link.endConnection();
    return false;
}

void SessionController::closing() {
    if (!s_.state.connectedPort.empty() || s_.link.isRunning())
        disconnectReceiver();
}

// --- the tick ---

void SessionController::tick() {
    watchStalledWrites();
    if (!showLinkState())
        return;
    while (const auto message = s_.link.popMessage())
        dispatch(*message);
    if (s_.link.isRunning())
        afterDispatch();
}

void SessionController::watchStalledWrites() {
    if (s_.link.isWriteStalled()) {
        ++stallTicks_;
    } else {
        if (s_.warning.isVisible() && s_.clock.now() - warningShownAt_ > kWarningShownAtLeast)
            s_.warning.close();
        stallTicks_ = 0;
    }
    if (stallTicks_ == kStallTicksForWarning && !s_.warning.isVisible()) {
        warningShownAt_ = s_.clock.now();
        s_.warning.show(s_.texts.text(Msg::CommunicationProblemsWarning),
                        std::string(untranslated(Untranslated::ProgramTitle)));
    }
}

// False when the link cannot be talked to; the state is shown either way.
bool SessionController::showLinkState() {
    const auto unavailable = [this](Msg status) {
        setLinkStatus(status);
        versionDisplayStale_ = true;
        return false;
    };
    if (!s_.link.isRunning())
        return unavailable(Msg::NotConnected);
    if (s_.connecting.isVisible())
        s_.connecting.closeDialog();
    if (s_.link.isReconnecting())
        return unavailable(Msg::Reconnecting);
    if (!s_.link.isUsable())
        return unavailable(Msg::NoCommunication);
    showVersion();
    return true;
}

void SessionController::showVersion() {
    const ReceiverLink::Version version = s_.link.version();
    if (versionDisplayStale_ || version.major == 0 || version.major != lastShownVersion_.major ||
        version.minor != lastShownVersion_.minor) {
        lastShownVersion_ = version;
        versionDisplayStale_ = false;
        updateAdminLockGate();
    }
    if (version.major == 0) {
        setLinkStatus(Msg::Connected);
        return;
    }
    const auto format = untranslated(s_.link.isMulti() ? Untranslated::ConnectedWithVersionMulti
                                                       : Untranslated::ConnectedWithVersion);
    const std::string& connected = s_.texts.text(Msg::Connected);
    const std::string& versionWord = s_.texts.text(Msg::ReceiverVersionWord);
    const auto text =
        formatMessage(format, {connected, versionWord, int{version.major}, int{version.minor}});
    s_.sheetSurface.setStatusText(StatusPanel::Link, text.value_or(connected));
}

void SessionController::afterDispatch() {
    s_.sessionSurface.enableTransferCommands(isPinAccepted() && !s_.link.isBulkReadInProgress() &&
                                             !s_.link.isBulkWriteInProgress());
    if (s_.state.bulkReadActive || s_.state.bulkWriteActive)
        s_.bulk.watch();
    else if (s_.saveState.closeAfterWrite())
        s_.sessionSurface.closeMainWindow();
    if (s_.link.takeGivenUpRequests(lastGivenUpCount_))
        s_.records.requestGivenUp();
    if (s_.link.takeConfigChange(lastConfigChangeCount_) && isPinAccepted()) {
        enableReceiverControls(s_.state.pendingOperation == PendingOperation::None);
        s_.sheetSurface.repaintGrids();
    }
}

// --- notifications ---

void SessionController::dispatch(const LinkMessage& message) {
    switch (message.letter()) {
    case 'V':
    case 'Q': // a multi receiver reports its version this way and needs its channels as well
        onVersionReported();
        return;
    case 'E':
        onConfiguration();
        return;
    case 'T':
        onStoredRemote(message);
        return;
    case 'N':
        onUnknownRemote(message);
        return;
    case 'L':
        s_.records.onRecordRead(message);
        return;
    case 'Y':
        s_.records.onWriteAccepted();
        return;
    case 'R':
        setOperationStatus(s_.texts.text(Msg::ReceiverWasReset));
        return;
    default:
        return;
    }
}

// A version report can come in the middle of a transfer (after a reconnection): the transfer
// stays the operation the window waits for.
void SessionController::onVersionReported() {
    if (s_.state.pendingOperation != PendingOperation::None &&
        s_.state.pendingOperation != PendingOperation::ConfigurationFetch)
        return;
    setOperationStatus(s_.texts.text(Msg::ReadingReceiverConfig));
    s_.state.pendingOperation = PendingOperation::ConfigurationFetch;
}

void SessionController::onConfiguration() {
    if (s_.state.pendingOperation == PendingOperation::ConfigurationFetch) {
        s_.state.pendingOperation = PendingOperation::None;
        s_.link.image().read(
            [&](const ReceiverMemory& memory) { copyImageChannelsToSheet(memory, s_.sheet); });
        s_.sheetSurface.repaintGrids();
    }
    if (s_.link.version().major == 0 || !s_.link.isConfigurationProbed())
        return;
    if (isPinAccepted()) {
        if (s_.state.loadAfterConnect) {
            s_.state.loadAfterConnect = false;
            if (s_.options.loadReceiverAfterConnect) {
                s_.state.searchAfterLoad = s_.options.openSearchAfterLoad;
                s_.bulk.loadFromReceiver();
            }
        }
    } else if (checkReceiverPin) {
        checkReceiverPin();
    }
    if (!s_.state.bulkReadActive && !s_.state.bulkWriteActive)
        enableReceiverControls(isPinAccepted());
}

void SessionController::onStoredRemote(const LinkMessage& message) {
    const LinkMessage::RemoteReport report = message.remoteReport();
    if (report.slot >= kRemoteSlotCount || report.button < 1 ||
        report.button > static_cast<int>(kButtonCount))
        return; // not a slot or button the receiver has: nothing to show
    setOperationStatus(s_.texts.format(Msg::RemoteSignalFromPosition, report.slot + 1));
    std::uint16_t mask = 0;
    const auto stored = s_.link.image().readRecord(report.slot);
    if (stored.toRemoteRecord().isNamedBy(report.serialWord)) {
        RemoteEntry& entry = s_.sheet.remotes.at(report.slot);
        entry.codeCounter = report.counter;
        mask = entry.buttonMasks.at(static_cast<std::size_t>(report.button - 1));
    }
    if (remotePressed)
        remotePressed({.slot = report.slot,
                       .button = report.button,
                       .channelMask = mask,
                       .serialWord = s_.sheet.remotes.at(report.slot).serialWord});
}

void SessionController::onUnknownRemote(const LinkMessage& message) {
    const LinkMessage::RemoteReport report = message.remoteReport();
    setOperationStatus(
        s_.texts.format(Msg::UnknownRemoteSignal, serial_word::formatSerial(report.serialWord)));
    if (unknownRemotePressed)
        unknownRemotePressed(report.serialWord, report.counter, report.button);
}

// --- controls ---

void SessionController::enableReceiverControls(bool on) {
    s_.sessionSurface.showReceiverControls(receiverControls(on, s_.link, s_.options));
}

void SessionController::updateAdminLockGate() {
    const ReceiverLink::Version version = s_.link.version();
    const unsigned firmware = version.major * 1000u + version.minor;
    const bool supported = firmware >= kAdminLockFirmware;
    s_.sessionSurface.showAdminCopyLockGate(
        isPinAccepted() && supported,
        s_.texts.text(supported ? Msg::AdminCopyLockHint : Msg::AdminCopyLockFirmwareHint));
}

bool SessionController::isPinAccepted() const {
    return konfigor::isPinAccepted(s_.link, s_.state);
}

bool SessionController::areAdminLockRowsShaded() const {
    const bool adminLock =
        s_.link.image().read([](const ReceiverMemory& memory) { return memory.isAdminCopyLock(); });
    return adminLock && isPinAccepted();
}

void SessionController::setLinkTimer(bool running) {
    linkTimerRunning_ = running;
    s_.sessionSurface.runLinkTimer(running);
}

void SessionController::showInNewLanguage() {
    refreshPorts(); // the demo receiver's name is the program's own text
    s_.sheetSurface.setStatusText(StatusPanel::Operation, {});
    if (s_.link.isRunning())
        showLinkState();
    else
        s_.sheetSurface.setStatusText(StatusPanel::Link, {});
    showConnectButton();
    updateAdminLockGate();
}

void SessionController::showConnectButton() {
    s_.sessionSurface.showConnectButton(s_.link.isRunning());
}

void SessionController::setLinkStatus(Msg text) {
    s_.sheetSurface.setStatusText(StatusPanel::Link, s_.texts.text(text));
}

void SessionController::setOperationStatus(const std::string& text) {
    s_.sheetSurface.setStatusText(StatusPanel::Operation, text);
}

// --- what the sheet commands need ---

bool SessionController::isOperationPending() const {
    return s_.state.pendingOperation != PendingOperation::None;
}

bool SessionController::isAutosaveActive() const {
    return s_.options.autosave && s_.link.isRunning();
}

bool SessionController::writeSheetToReceiver() {
    return s_.bulk.writeSheetToReceiver();
}

bool SessionController::writeRemoteRecord(std::size_t slot) {
    return s_.records.writeRemoteRecord(slot);
}

bool SessionController::writeChannelSettings() {
    return s_.records.writeChannelSettings();
}

void SessionController::setSecondRecordSlot(std::size_t slot) {
    s_.state.secondRecordSlot = slot;
}

void SessionController::clearImage(bool channelDefaults) {
    s_.link.clearImage(channelDefaults);
}

void SessionController::setEnteredPin(std::string_view pin) {
    s_.state.enteredPin = pin;
}

} // namespace konfigor
