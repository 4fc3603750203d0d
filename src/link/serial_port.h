#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>

namespace konfigor {

// Why a port call failed, as far as the link cares: every open failure is the link's "could not
// open" code, but "busy" and "gone" decide what the user is told.
enum class SerialFault {
    Busy,         // another program (or another port object) holds the port
    NotFound,     // no such device
    AccessDenied, // the user may not open it (not in the dialout group)
    Gone,         // the device was unplugged or the other end hung up
    Other,
};

struct SerialError {
    SerialFault fault = SerialFault::Other;
    // The system's error number, for messages; 0 where the system gave none.
    int errorNumber = 0;
};

// A value, or the failure that prevented it.
template <typename T>
struct SerialResult {
    T value{};
    std::optional<SerialError> error;

    bool ok() const { return !error.has_value(); }
    bool gone() const { return error && error->fault == SerialFault::Gone; }
};

// The receiver's programming interface as the link sees it: a byte pipe that never blocks.
// Calls that return an optional error return nothing on success. A call on a closed port fails
// with SerialFault::Other.
class SerialPort {
public:
    virtual ~SerialPort() = default;

    // Opens the port for this object alone; a second opener fails with SerialFault::Busy.
    // Does not apply the line settings: the link sends its wake byte first.
    virtual std::optional<SerialError> open(const std::string& path) = 0;
    // Raw 9600 baud 8N1, no flow control, DTR off and RTS on.
    virtual std::optional<SerialError> configure() = 0;
    // Discards what has arrived and not been read. Output already written stays queued: the
    // wake byte written just before must still reach the line.
    virtual std::optional<SerialError> discardInput() = 0;
    // What has arrived, at most buffer.size() bytes; 0 when nothing has. Never blocks.
    virtual SerialResult<std::size_t> read(std::span<std::uint8_t> buffer) = 0;
    // Waits until bytes can be read or the timeout passes; true when bytes are there. Lets the
    // worker react to a reply at once instead of sleeping blindly.
    virtual SerialResult<bool> waitForInput(std::chrono::milliseconds timeout) = 0;
    // Makes a waitForInput() running on another thread return now, without input, so a waiting
    // worker notices what another thread changed. Safe from any thread.
    virtual void interruptWait() = 0;
    // Bytes taken, possibly fewer than given; 0 when the port takes nothing right now.
    virtual SerialResult<std::size_t> write(std::span<const std::uint8_t> bytes) = 0;
    // Lets the next call proceed after a failure, where the platform keeps an error state.
    virtual std::optional<SerialError> clearErrors() = 0;
    // Bytes written but not yet sent on the line.
    virtual SerialResult<std::size_t> outputQueueSize() = 0;
    // Gives unsent output a short moment, then discards it: a device that stopped taking data
    // must not hold the caller up. Closing a closed port does nothing and succeeds.
    virtual std::optional<SerialError> close() = 0;
    virtual bool isOpen() const = 0;
};

} // namespace konfigor
