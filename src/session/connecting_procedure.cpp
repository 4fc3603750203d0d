#include "session/connecting_procedure.h"

#include "link/receiver_link.h"

#include <utility>

namespace konfigor {

ConnectingProcedure::ConnectingProcedure(ReceiverLink& link) : link_(link) {}

void ConnectingProcedure::startConnect(std::string portPath) {
    mode_ = Mode::Connect;
    portPath_ = std::move(portPath);
    label_ = Msg::ConnectingToReceiver;
    tick_ = 0;
    busyTicks_ = 0;
}

bool ConnectingProcedure::startDisconnect() {
    if (!link_.isRunning()) {
        mode_ = Mode::Idle;
        return false;
    }
    mode_ = Mode::Disconnect;
    label_ = Msg::DisconnectingFromReceiver;
    tick_ = 0;
    busyTicks_ = 0;
    return true;
}

ConnectingProcedure::Step ConnectingProcedure::tick() {
    switch (mode_) {
    case Mode::Connect:
        ++tick_;
        return connectTick();
    case Mode::Disconnect:
        ++tick_;
        return disconnectTick();
    case Mode::Idle:
        break;
    }
    return {};
}

ConnectingProcedure::Step ConnectingProcedure::connectTick() {
    Step step{.newLabel = countBusyTick()};
    if (link_.isRunning()) {
        step.closeDialog = true;
        mode_ = Mode::Idle;
    } else if (isAttemptTick()) {
        link_.connect(portPath_);
    }
    return step;
}

ConnectingProcedure::Step ConnectingProcedure::disconnectTick() {
    if (!link_.isRunning()) {
        mode_ = Mode::Idle;
        return {.closeDialog = true};
    }
    if (isAttemptTick())
        link_.disconnect();
    return {};
}

// While the port stays busy the label says so for one second, then asks again for one.
std::optional<Msg> ConnectingProcedure::countBusyTick() {
    if (link_.lastError() != LinkError::OpenFailed)
        return std::nullopt;
    ++busyTicks_;
    if (busyTicks_ == kTicksPerAttempt)
        return setLabel(Msg::DeviceBusy);
    if (busyTicks_ == 2 * kTicksPerAttempt) {
        busyTicks_ = 0;
        return setLabel(Msg::ConnectingToReceiver);
    }
    return std::nullopt;
}

std::optional<Msg> ConnectingProcedure::setLabel(Msg label) {
    if (label == label_)
        return std::nullopt;
    label_ = label;
    return label;
}

} // namespace konfigor
