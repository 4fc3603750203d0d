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
class PortList {
public:
    // Receives the outcome of updatePortPresence(): the link's setPortPresent.
    using PresenceSink = std::function<void(bool present)>;

    // fixedPorts come after the discovered ones on every refresh (those given with --port),
    // leadingPorts before them (the demo mode's software receiver).
    PortList(PortSource& source, std::vector<InterfacePort> fixedPorts, PresenceSink setPortPresent,
             std::vector<InterfacePort> leadingPorts = {});

    // Rebuilds the list from the source. connectedPort is the path of the open connection,
    // empty when there is none.
    const PortListState& refreshPortList(const std::string& connectedPort);
    // Tells the link whether the connected port is the selected entry.
    void updatePortPresence(const std::string& connectedPort);
    // The source's descriptor became readable: takes its news, refreshes and updates presence.
    const PortListState& handleDeviceChange(const std::string& connectedPort);

    // The user's choice in the drop-down; an index past the end selects nothing.
    void select(std::optional<std::size_t> index);
    const PortListState& state() const { return state_; }
    // Empty when nothing is selected.
    std::string selectedPath() const;

private:
    std::vector<InterfacePort> collectEntries();
    std::optional<std::size_t> indexOf(const std::string& path) const;

    PortSource& source_;
    std::vector<InterfacePort> fixedPorts_;
    std::vector<InterfacePort> leadingPorts_;
    PresenceSink setPortPresent_;
    PortListState state_;
};

} // namespace konfigor
