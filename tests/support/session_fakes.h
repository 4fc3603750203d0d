#pragma once

#include "link/port_list.h"
#include "link/port_source.h"
#include "link/receiver_link.h"
#include "session/file_dialogs.h"
#include "session/pin_dialogs.h"
#include "session/session_dialogs.h"
#include "session/session_surface.h"

#include <deque>
#include <functional>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace konfigor::testing_support {

// Connects at once, as the dialog's first tick would.
class FakeConnectingDialog final : public ConnectingDialog {
public:
    explicit FakeConnectingDialog(ReceiverLink& link) : link_(link) {}

    void runConnect(const std::string& portPath) override {
        ++connectRuns;
        link_.connect(portPath);
    }
    void runDisconnect() override {
        ++disconnectRuns;
        if (link_.isRunning())
            link_.disconnect();
    }
    bool isVisible() const override { return false; }
    void closeDialog() override {}

    int connectRuns = 0;
    int disconnectRuns = 0;

private:
    ReceiverLink& link_;
};

// A modal dialog: while "open" it runs whileOpen() until finish() ends it, or gives up after a
// number of rounds and reports Abort.
class FakeTransferDialog final : public TransferDialog {
public:
    TransferResult run(const std::string& caption) override {
        captions.push_back(caption);
        visible_ = true;
        result_.reset();
        for (int round = 0; round < maxRounds && !result_ && whileOpen; ++round)
            whileOpen();
        visible_ = false;
        return result_.value_or(TransferResult::Abort);
    }
    bool isVisible() const override { return visible_; }
    void setPercent(int percent) override { lastPercent = percent; }
    void finish(TransferResult result) override {
        if (visible_)
            result_ = result;
    }

    std::function<void()> whileOpen;
    int maxRounds = 2000;
    std::vector<std::string> captions;
    int lastPercent = -1;

private:
    bool visible_ = false;
    std::optional<TransferResult> result_;
};

class FakeWarningWindow final : public WarningWindow {
public:
    void show(const std::string& text, const std::string& title) override {
        shown.push_back(text);
        lastTitle = title;
        visible = true;
    }
    bool isVisible() const override { return visible; }
    void close() override { visible = false; }

    std::vector<std::string> shown;
    std::string lastTitle;
    bool visible = false;
};

// The PIN windows answered from a script: each ask takes the next answer, nothing (Cancel) when
// the script is empty. `whileOpen` runs as if the timer ticked while the window is modal.
class FakePinDialogs final : public PinDialogs {
public:
    bool isPinEntryVisible() const override { return pinEntryOpen; }
    std::optional<std::string> askPin() override {
        ++pinAsks;
        pinEntryOpen = true;
        if (whileOpen)
            whileOpen();
        pinEntryOpen = false;
        return take(pins);
    }
    std::optional<NewPin> askNewPin(bool required) override {
        requiredShown.push_back(required);
        return take(newPins);
    }

    std::deque<std::optional<std::string>> pins;
    std::deque<std::optional<NewPin>> newPins;
    std::function<void()> whileOpen;
    bool pinEntryOpen = false;
    int pinAsks = 0;
    std::vector<bool> requiredShown;

private:
    template <class Answer>
    static std::optional<Answer> take(std::deque<std::optional<Answer>>& script) {
        if (script.empty())
            return std::nullopt;
        auto next = script.front();
        script.pop_front();
        return next;
    }
};

// Answers the file dialogs with the files a test set, cancelling when none is set.
class FakeFileDialogs final : public FileDialogs {
public:
    std::optional<ChosenFile> chooseFileToSave(const std::filesystem::path& folder,
                                               const std::filesystem::path& offered) override {
        saveFolders.push_back(folder);
        offeredNames.push_back(offered);
        return std::exchange(fileToSave, std::nullopt);
    }
    std::optional<ChosenFile> chooseFileToOpen(const std::filesystem::path& folder) override {
        openFolders.push_back(folder);
        return std::exchange(fileToOpen, std::nullopt);
    }

    std::optional<ChosenFile> fileToSave;
    std::optional<ChosenFile> fileToOpen;
    std::vector<std::filesystem::path> saveFolders;
    std::vector<std::filesystem::path> openFolders;
    std::vector<std::filesystem::path> offeredNames;
};

class RecordingSessionSurface final : public SessionSurface {
public:
    void showReceiverControls(const ReceiverControls& shown) override { controls = shown; }
    void enableTransferCommands(bool ready) override { transferCommandsEnabled = ready; }
    void showConnectButton(bool isConnected) override { connected = isConnected; }
    void showAdminCopyLockGate(bool enabled, const std::string& hint) override {
        adminLockEnabled = enabled;
        adminLockHint = hint;
    }
    void showPortList(const PortListState& ports) override { portList = ports; }
    void runLinkTimer(bool running) override { linkTimerRunning = running; }
    void closeMainWindow() override { ++closeRequests; }

    ReceiverControls controls;
    bool transferCommandsEnabled = false;
    bool connected = false;
    bool adminLockEnabled = false;
    std::string adminLockHint;
    PortListState portList;
    bool linkTimerRunning = false;
    int closeRequests = 0;
};

// Interfaces that are there from the start and never come or go.
class FixedPortSource final : public PortSource {
public:
    std::vector<InterfacePort> listPorts() override { return ports; }
    int notificationFd() const override { return -1; }
    std::vector<PortEvent> drainEvents() override { return {}; }

    std::vector<InterfacePort> ports;
};

} // namespace konfigor::testing_support
