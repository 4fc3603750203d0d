#pragma once

#include "link/serial_port.h"

#include <atomic>

namespace konfigor {

// A serial device node (or a pseudo-terminal's slave) through termios. The descriptor is
// non-blocking throughout, so no call waits except waitForInput.
//
// Ownership is exclusive twice over: an exclusive flock, which every opener meets, root
// included, and TIOCEXCL, which keeps out other programs that do not lock.
//
// Safe to read and write from different threads while the port stays open; opening and closing
// are for one thread at a time.
class PosixSerialPort final : public SerialPort {
public:
    PosixSerialPort();
    ~PosixSerialPort() override;
    PosixSerialPort(const PosixSerialPort&) = delete;
    PosixSerialPort& operator=(const PosixSerialPort&) = delete;

    // Closes a port that is already open first.
    std::optional<SerialError> open(const std::string& path) override;
    std::optional<SerialError> configure() override;
    std::optional<SerialError> discardInput() override;
    SerialResult<std::size_t> read(std::span<std::uint8_t> buffer) override;
    SerialResult<bool> waitForInput(std::chrono::milliseconds timeout) override;
    void interruptWait() override;
    SerialResult<std::size_t> write(std::span<const std::uint8_t> bytes) override;
    // POSIX keeps no error state that blocks later calls: nothing to clear.
    std::optional<SerialError> clearErrors() override;
    // A pseudo-terminal that cannot tell reports 0.
    SerialResult<std::size_t> outputQueueSize() override;
    // The descriptor is released even when the system reports an error on closing; the port
    // then counts as closed and the error is returned for the record.
    std::optional<SerialError> close() override;
    bool isOpen() const override;

private:
    static constexpr int kClosed = -1;

    std::atomic<int> fd_ = kClosed;
    // An eventfd that interruptWait() signals and waitForInput() watches beside the port.
    int wakeFd_ = kClosed;
};

} // namespace konfigor
