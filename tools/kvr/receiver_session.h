#pragma once

#include "link/receiver_link.h"
#include "link/receiver_memory.h"
#include "link/serial_port_posix.h"
#include "link/steady_clock.h"

#include <chrono>
#include <functional>
#include <optional>
#include <string>

namespace konfigor::kvr {

// What the receiver told about itself on connecting.
struct ReceiverFacts {
    ReceiverLink::Version version;
    bool multi = false;
    bool pinRequired = false;
};

// One command's connection to a receiver: owns the port, the clock and the link, waits for the
// link with a time limit and ends the connection cleanly when it goes. Failures come back as a
// finished message for the user.
class ReceiverSession {
public:
    struct Limits {
        // For the version and the configuration probe after connecting.
        std::chrono::milliseconds answer{5000};
        // For a transfer of the whole memory; the link repeats lost pages by itself meanwhile.
        std::chrono::milliseconds transfer{60000};
    };
    // Percent done of the running transfer.
    using Progress = std::function<void(int percent)>;

    explicit ReceiverSession(Limits limits) : limits_(limits) {}
    ~ReceiverSession() { close(); }
    ReceiverSession(const ReceiverSession&) = delete;
    ReceiverSession& operator=(const ReceiverSession&) = delete;

    // Connects and waits until the receiver has told its version and configuration.
    std::optional<std::string> open(const std::string& portPath);
    ReceiverFacts facts() const;
    // The tool, not the receiver, guards a PIN: the one given must equal the one the probe read.
    // A PIN given to a receiver that needs none is ignored.
    std::optional<std::string> checkPin(const std::optional<std::string>& pin) const;

    // The whole memory into the link's image.
    std::optional<std::string> readMemory(const Progress& progress);
    // The configuration page alone into the link's image.
    std::optional<std::string> readConfiguration();
    // `memory` into the image and from there to the receiver, whole.
    std::optional<std::string> writeMemory(const ReceiverMemory& memory, const Progress& progress);
    // The PIN requirement, and new digits when given, into the image alone; false when the
    // digits are not five.
    bool setPinSetting(bool required, const std::optional<std::string>& digits);
    // The image's configuration page alone to the receiver, waiting until it accepted it.
    std::optional<std::string> writeConfiguration();
    // A copy of the link's image.
    ReceiverMemory memory() const;

    // Ends the connection the way the receiver expects; does nothing when not connected.
    void close();

private:
    bool waitFor(const std::function<bool()>& done, std::chrono::milliseconds limit,
                 const Progress& progress = {});
    std::optional<std::string> waitForTransfer(bool (ReceiverLink::*complete)() const,
                                               std::string_view what, const Progress& progress);
    void takeMessages();
    std::string openFailure() const;

    Limits limits_;
    PosixSerialPort port_;
    SteadyClock clock_;
    ReceiverLink link_{port_, clock_};
    std::string portPath_;
};

} // namespace konfigor::kvr
