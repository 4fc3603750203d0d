#pragma once

#include "link/serial_port.h"
#include "sim/receiver_simulator.h"
#include "support/fake_clock.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <deque>

namespace konfigor::testing_support {

// The link's port wired to a software receiver on the fake clock: what the link writes reaches
// the receiver when the line model says, and its answers can be read when their last byte has
// arrived. Waiting moves the clock to the next byte due, so a 600 ms reply costs nothing and
// every run is the same. For one thread: the link's worker run by the test.
class SimulatedLine final : public SerialPort {
public:
    SimulatedLine(ReceiverSimulator& simulator, FakeClock& clock)
        : simulator_(simulator), clock_(clock) {}

    std::optional<SerialError> open(const std::string&) override {
        open_ = true;
        return std::nullopt;
    }
    std::optional<SerialError> configure() override { return usable(); }
    std::optional<SerialError> discardInput() override {
        pull();
        arrived_.clear();
        return usable();
    }
    SerialResult<std::size_t> read(std::span<std::uint8_t> buffer) override {
        if (auto error = usable())
            return {.error = error};
        pull();
        const std::size_t count = std::min(buffer.size(), arrived_.size());
        std::copy_n(arrived_.begin(), count, buffer.begin());
        arrived_.erase(arrived_.begin(), arrived_.begin() + static_cast<std::ptrdiff_t>(count));
        return {.value = count};
    }
    SerialResult<bool> waitForInput(std::chrono::milliseconds timeout) override {
        if (auto error = usable())
            return {.error = error};
        pull();
        if (!arrived_.empty())
            return {.value = true};
        auto until = clock_.now() + timeout;
        if (const auto next = simulator_.nextOutputTime())
            until = std::min(until, std::chrono::ceil<Clock::Milliseconds>(*next));
        clock_.advance(std::max(until - clock_.now(), Clock::Milliseconds{0}));
        pull();
        return {.value = !arrived_.empty()};
    }
    void interruptWait() override {}
    SerialResult<std::size_t> write(std::span<const std::uint8_t> bytes) override {
        if (auto error = usable())
            return {.error = error};
        simulator_.receive(bytes, simulatorTime());
        return {.value = bytes.size()};
    }
    std::optional<SerialError> clearErrors() override { return usable(); }
    SerialResult<std::size_t> outputQueueSize() override { return {.value = 0}; }
    std::optional<SerialError> close() override {
        open_ = false;
        return std::nullopt;
    }
    bool isOpen() const override { return open_; }

private:
    ReceiverSimulator::Time simulatorTime() const {
        return std::chrono::duration_cast<ReceiverSimulator::Time>(clock_.now());
    }
    void pull() {
        for (const std::uint8_t byte : simulator_.takeOutput(simulatorTime()))
            arrived_.push_back(byte);
    }
    std::optional<SerialError> usable() const {
        if (!open_)
            return SerialError{SerialFault::Other, EBADF};
        return std::nullopt;
    }

    ReceiverSimulator& simulator_;
    FakeClock& clock_;
    bool open_ = false;
    std::deque<std::uint8_t> arrived_;
};

} // namespace konfigor::testing_support
