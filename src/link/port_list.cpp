#include "link/port_list.h"

#include <algorithm>
#include <iterator>
#include <utility>

namespace konfigor {

InterfacePort portGivenByPath(std::string path) {
    return InterfacePort{.path = path, .displayName = path, .identity = path};
}

PortList::PortList(PortSource& source, std::vector<InterfacePort> fixedPorts,
                   PresenceSink setPortPresent, std::vector<InterfacePort> leadingPorts)
    : source_(source), fixedPorts_(std::move(fixedPorts)), leadingPorts_(std::move(leadingPorts)),
      setPortPresent_(std::move(setPortPresent)) {}

const PortListState& PortList::refreshPortList(const std::string& connectedPort) {
    auto previousPath = selectedPath();
    state_.entries = collectEntries();
    if (!connectedPort.empty()) {
        // Unplugged, the connected port is no longer listed and nothing is selected; that is
        // what tells the link to stop reopening it.
        state_.connectEnabled = true;
        state_.selected = indexOf(connectedPort);
        return state_;
    }
    state_.connectEnabled = !state_.entries.empty();
    // A device coming or going elsewhere does not move the user's choice.
    state_.selected = indexOf(previousPath);
    if (!state_.selected && !state_.entries.empty())
        state_.selected = 0;
    return state_;
}

void PortList::updatePortPresence(const std::string& connectedPort) {
    setPortPresent_(selectedPath() == connectedPort);
}

const PortListState& PortList::handleDeviceChange(const std::string& connectedPort) {
    // Which device it was does not matter: the list is rebuilt from what is present now.
    source_.drainEvents();
    refreshPortList(connectedPort);
    updatePortPresence(connectedPort);
    return state_;
}

void PortList::select(std::optional<std::size_t> index) {
    if (index && *index >= state_.entries.size())
        index.reset();
    state_.selected = index;
}

std::string PortList::selectedPath() const {
    return state_.selected ? state_.entries[*state_.selected].path : std::string{};
}

std::vector<InterfacePort> PortList::collectEntries() {
    auto entries = leadingPorts_;
    std::ranges::copy(source_.listPorts(), std::back_inserter(entries));
    for (const auto& fixed : fixedPorts_) {
        auto samePath = [&](const InterfacePort& entry) { return entry.path == fixed.path; };
        // A --port naming a discovered interface would otherwise be listed twice.
        if (std::ranges::none_of(entries, samePath))
            entries.push_back(fixed);
    }
    return entries;
}

std::optional<std::size_t> PortList::indexOf(const std::string& path) const {
    if (path.empty())
        return std::nullopt;
    auto found = std::ranges::find(state_.entries, path, &InterfacePort::path);
    if (found == state_.entries.end())
        return std::nullopt;
    return static_cast<std::size_t>(found - state_.entries.begin());
}

} // namespace konfigor
