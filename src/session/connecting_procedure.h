#pragma once

#include "texts/text_lines.h"

#include <optional>
#include <string>

namespace konfigor {

class ReceiverLink;

// What the connecting dialog's 50 ms timer does: it retries the link's connect() (or
// disconnect()) once a second until the link runs (or stops), and tells a busy port apart by
// alternating its label every second. The dialog only shows what tick() returns.
class ConnectingProcedure {
public:
    enum class Mode { Idle, Connect, Disconnect };

    // 20 ticks of 50 ms: one attempt a second, and the busy label's half-period.
    static constexpr int kTicksPerAttempt = 20;

    struct Step {
        bool closeDialog = false;
        std::optional<Msg> newLabel; // set only when the label changes
        friend bool operator==(const Step&, const Step&) = default;
    };

    explicit ConnectingProcedure(ReceiverLink& link);

    // Connect mode for `portPath`, label "connecting"; the first tick attempts at once.
    void startConnect(std::string portPath);
    // Disconnect mode, label "disconnecting". False when the link has already stopped: there is
    // nothing to wait for and the mode stays Idle.
    bool startDisconnect();
    // The dialog closed (cancelled or done): later ticks do nothing.
    void stop() { mode_ = Mode::Idle; }

    Step tick();

    Mode mode() const { return mode_; }
    Msg label() const { return label_; }
    const std::string& portPath() const { return portPath_; }

private:
    Step connectTick();
    Step disconnectTick();
    std::optional<Msg> countBusyTick();
    bool isAttemptTick() const { return (tick_ - 1) % kTicksPerAttempt == 0; }
    std::optional<Msg> setLabel(Msg label);

    ReceiverLink& link_;
    Mode mode_ = Mode::Idle;
    Msg label_ = Msg::ConnectingToReceiver;
    std::string portPath_;
    int tick_ = 0;      // ticks since the mode was entered
    int busyTicks_ = 0; // ticks that saw the port busy, modulo two label periods
};

} // namespace konfigor
