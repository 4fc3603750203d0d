#pragma once

#include "link/port_source.h"

#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace konfigor {

// What the port drop-down shows.
struct PortListState {
    std::vector<InterfacePort> entries;
    std::optional<std::size_t> selected;
    bool connectEnabled = false;

    bool operator==(const PortListState&) const = default;
};

// A port given by its path on the command line (--port): it shows as that path.
InterfacePort portGivenByPath(std::string path);

// Decides the port drop-down of the main window and whether the connected port is still there;
// the Qt layer shows the state and forwards the user's choice. Main thread only.
//
// The connected port is passed in as the entry it was connected through, an empty path when
// there is no connection. It is recognised by its identity: re-plugged, it may be listed under
// another node.
class PortList {
public:
    // Receives the outcome of updatePortPresence(): whether the connected port is listed, and
    // the path it is listed under now (its old path when it is not).
    using PresenceSink = std::function<void(bool present, const std::string& path)>;

    // The ports listed before the discovered ones (the demo mode's software receiver), asked
    // for on every refresh so that their names follow the program's language.
    using LeadingPorts = std::function<std::vector<InterfacePort>()>;

    // fixedPorts come after the discovered ones on every refresh (those given with --port),
    // leadingPorts before them.
    PortList(PortSource& source, std::vector<InterfacePort> fixedPorts, PresenceSink setPortPresent,
             LeadingPorts leadingPorts = {});

    // Rebuilds the list from the source.
    const PortListState& refreshPortList(const InterfacePort& connected);
    // Tells the sink whether the connected port is the selected entry.
    void updatePortPresence(const InterfacePort& connected);
    // The source's descriptor became readable: takes its news, refreshes and updates presence.
    const PortListState& handleDeviceChange(const InterfacePort& connected);

    // The user's choice in the drop-down; an index past the end selects nothing.
    void select(std::optional<std::size_t> index);
    const PortListState& state() const { return state_; }
    // nullptr when nothing is selected; valid until the next refresh.
    const InterfacePort* selectedPort() const;
    // Empty when nothing is selected.
    std::string selectedPath() const;

private:
    std::vector<InterfacePort> collectEntries();
    std::optional<std::size_t> indexOf(const InterfacePort& port) const;

    PortSource& source_;
    std::vector<InterfacePort> fixedPorts_;
    LeadingPorts leadingPorts_;
    PresenceSink setPortPresent_;
    PortListState state_;
};

} // namespace konfigor
