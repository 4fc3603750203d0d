#pragma once

#include "link/serial_port.h"
#include "support/fake_clock.h"

#include <algorithm>
#include <cerrno>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <functional>
#include <limits>
#include <mutex>
#include <optional>
#include <span>
#include <string>
#include <utility>
#include <vector>

namespace konfigor::testing_support {

// A serial port in memory: tests feed the bytes the interface sends, read back what was written
// and switch faults on and off. Thread-safe, since the link writes from two threads.
//
// Waiting for input never waits: with nothing fed it moves the attached clock (if any) by the
// timeout and reports no input.
class FakeSerialPort final : public SerialPort {
public:
    using Bytes = std::vector<std::uint8_t>;
    // Sees the bytes each write took, outside the port's lock, so it may feed() a reply.
    using WriteHandler = std::function<void(std::span<const std::uint8_t>)>;

    explicit FakeSerialPort(FakeClock* clock = nullptr) : clock_(clock) {}

    // --- the port ---

    std::optional<SerialError> open(const std::string& path) override {
        std::lock_guard lock(mutex_);
        ++openCount_;
        openedPath_ = path;
        if (unplugged_)
            return SerialError{SerialFault::NotFound, ENOENT};
        if (openFailure_)
            return openFailure_;
        open_ = true;
        return std::nullopt;
    }
    std::optional<SerialError> configure() override {
        std::lock_guard lock(mutex_);
        return countIfUsable(configureCount_);
    }
    // What was written stays written, as on the real port.
    std::optional<SerialError> discardInput() override {
        std::lock_guard lock(mutex_);
        auto error = countIfUsable(discardInputCount_);
        if (!error)
            input_.clear();
        return error;
    }
    SerialResult<std::size_t> read(std::span<std::uint8_t> buffer) override {
        std::lock_guard lock(mutex_);
        if (auto error = ioError(readFailure_))
            return {.error = error};
        const std::size_t count = std::min(buffer.size(), input_.size());
        std::copy_n(input_.begin(), count, buffer.begin());
        input_.erase(input_.begin(), input_.begin() + static_cast<std::ptrdiff_t>(count));
        return {.value = count};
    }
    SerialResult<bool> waitForInput(std::chrono::milliseconds timeout) override {
        {
            std::lock_guard lock(mutex_);
            if (auto error = ioError(std::nullopt))
                return {.error = error};
            if (!input_.empty())
                return {.value = true};
        }
        if (clock_ != nullptr)
            clock_->sleepFor(timeout);
        return {.value = false};
    }
    SerialResult<std::size_t> write(std::span<const std::uint8_t> bytes) override {
        Bytes taken;
        {
            std::lock_guard lock(mutex_);
            ++writeCount_;
            if (auto error = ioError(writeFailure_))
                return {.error = error};
            taken.assign(bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(std::min(
                                                            bytes.size(), bytesPerWrite_)));
            written_.insert(written_.end(), taken.begin(), taken.end());
        }
        if (writeHandler_ && !taken.empty())
            writeHandler_(taken);
        return {.value = taken.size()};
    }
    std::optional<SerialError> clearErrors() override {
        std::lock_guard lock(mutex_);
        return countIfUsable(clearErrorsCount_);
    }
    SerialResult<std::size_t> outputQueueSize() override {
        std::lock_guard lock(mutex_);
        if (!open_)
            return {.error = SerialError{SerialFault::Other, EBADF}};
        return {.value = outputQueued_};
    }
    // Like the real port: closed afterwards even when closing reports an error.
    std::optional<SerialError> close() override {
        std::lock_guard lock(mutex_);
        if (!open_)
            return std::nullopt;
        open_ = false;
        ++closeCount_;
        return closeFailure_;
    }
    bool isOpen() const override {
        std::lock_guard lock(mutex_);
        return open_;
    }
    // Waiting never blocks here, so there is nothing to interrupt; a test may run a worker
    // cycle from here, as a woken worker would.
    void interruptWait() override {
        if (onInterrupt)
            onInterrupt();
    }
    std::function<void()> onInterrupt;

    // --- what the interface sends ---

    void feed(std::span<const std::uint8_t> bytes) {
        std::lock_guard lock(mutex_);
        input_.insert(input_.end(), bytes.begin(), bytes.end());
    }
    // Set it before other threads use the port.
    void setWriteHandler(WriteHandler handler) { writeHandler_ = std::move(handler); }

    // --- faults; std::nullopt switches one off ---

    void failOpenWith(std::optional<SerialError> error) { set(openFailure_, error); }
    void failReadsWith(std::optional<SerialError> error) { set(readFailure_, error); }
    void failWritesWith(std::optional<SerialError> error) { set(writeFailure_, error); }
    void failCloseWith(std::optional<SerialError> error) { set(closeFailure_, error); }
    // Writes take at most this many bytes each; 0 stalls every write.
    void limitBytesPerWrite(std::size_t count) { set(bytesPerWrite_, count); }
    void stallWrites() { limitBytesPerWrite(0); }
    void setOutputQueued(std::size_t count) { set(outputQueued_, count); }
    // An unplugged port reports Gone to the holder and NotFound to the next opener.
    void unplug() { set(unplugged_, true); }
    void plugIn() { set(unplugged_, false); }

    // --- what happened ---

    Bytes written() const { return get(written_); }
    // The bytes written so far, forgetting them.
    Bytes takeWritten() {
        std::lock_guard lock(mutex_);
        return std::exchange(written_, {});
    }
    std::size_t pendingInput() const { return get(input_).size(); }
    std::string openedPath() const { return get(openedPath_); }
    int openCount() const { return get(openCount_); }
    int closeCount() const { return get(closeCount_); }
    int configureCount() const { return get(configureCount_); }
    int discardInputCount() const { return get(discardInputCount_); }
    int clearErrorsCount() const { return get(clearErrorsCount_); }
    int writeCount() const { return get(writeCount_); }

private:
    template <typename T>
    void set(T& field, T value) {
        std::lock_guard lock(mutex_);
        field = std::move(value);
    }
    template <typename T>
    T get(const T& field) const {
        std::lock_guard lock(mutex_);
        return field;
    }

    // Caller holds mutex_.
    std::optional<SerialError> ioError(const std::optional<SerialError>& injected) const {
        if (!open_)
            return SerialError{SerialFault::Other, EBADF};
        if (unplugged_)
            return SerialError{SerialFault::Gone, EIO};
        return injected;
    }
    std::optional<SerialError> countIfUsable(int& counter) {
        auto error = ioError(std::nullopt);
        if (!error)
            ++counter;
        return error;
    }

    FakeClock* clock_;
    WriteHandler writeHandler_;
    mutable std::mutex mutex_;

    bool open_ = false;
    bool unplugged_ = false;
    std::deque<std::uint8_t> input_;
    Bytes written_;
    std::size_t bytesPerWrite_ = std::numeric_limits<std::size_t>::max();
    std::size_t outputQueued_ = 0;
    std::optional<SerialError> openFailure_;
    std::optional<SerialError> readFailure_;
    std::optional<SerialError> writeFailure_;
    std::optional<SerialError> closeFailure_;

    std::string openedPath_;
    int openCount_ = 0;
    int closeCount_ = 0;
    int configureCount_ = 0;
    int discardInputCount_ = 0;
    int clearErrorsCount_ = 0;
    int writeCount_ = 0;
};

} // namespace konfigor::testing_support
