#pragma once

#include <string>
#include <vector>

namespace konfigor {

// A serial port the port drop-down can offer.
struct InterfacePort {
    // The device node the link opens, for example /dev/ttyACM0.
    std::string path;
    // What the drop-down shows.
    std::string displayName;
    // Names the device across re-plugging, which may give it another node: its USB serial
    // number where it has one, else the USB port it sits in; never the node's number.
    std::string identity;

    bool operator==(const InterfacePort&) const = default;
};

enum class PortChange { Arrived, Left };

struct PortEvent {
    PortChange change = PortChange::Arrived;
    InterfacePort port;

    bool operator==(const PortEvent&) const = default;
};

// Where the programming interfaces (USB 04d8:ff0c) of this computer are found, and the news of
// their coming and going. Main thread only.
class PortSource {
public:
    virtual ~PortSource() = default;

    // The interfaces present now, in the system's enumeration order.
    virtual std::vector<InterfacePort> listPorts() = 0;
    // Becomes readable when a device comes or goes; the application watches it and then calls
    // drainEvents(). -1 when this source cannot notify.
    virtual int notificationFd() const = 0;
    // Takes every pending notification without waiting and returns those about programming
    // interfaces, oldest first.
    virtual std::vector<PortEvent> drainEvents() = 0;
};

} // namespace konfigor
