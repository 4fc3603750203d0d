#include "link/port_list.h"

#include <algorithm>
#include <iterator>
#include <utility>

namespace konfigor {

InterfacePort portGivenByPath(std::string path) {
    return InterfacePort{.path = path, .displayName = path, .identity = path};
}

PortList::PortList(PortSource& source, std::vector<InterfacePort> fixedPorts,
                   PresenceSink setPortPresent, LeadingPorts leadingPorts)
    : source_(source), fixedPorts_(std::move(fixedPorts)), leadingPorts_(std::move(leadingPorts)),
      setPortPresent_(std::move(setPortPresent)) {}

const PortListState& PortList::refreshPortList(const InterfacePort& connected) {
    std::optional<InterfacePort> previous;
    if (const auto* selected = selectedPort())
        previous = *selected;
    state_.entries = collectEntries();
    if (!connected.path.empty()) {
        // Unplugged, the connected port is no longer listed and nothing is selected; that is
        // what tells the link to stop reopening it.
        state_.connectEnabled = true;
        state_.selected = indexOf(connected);
        return state_;
    }
    state_.connectEnabled = !state_.entries.empty();
    // A device coming or going elsewhere does not move the user's choice.
    state_.selected = previous ? indexOf(*previous) : std::nullopt;
    if (!state_.selected && !state_.entries.empty())
        state_.selected = 0;
    return state_;
}

void PortList::updatePortPresence(const InterfacePort& connected) {
    const auto* selected = selectedPort();
    if (selected != nullptr && !connected.path.empty() && selected->identity == connected.identity)
        setPortPresent_(true, selected->path);
    else
        setPortPresent_(false, connected.path);
}

const PortListState& PortList::handleDeviceChange(const InterfacePort& connected) {
    // Which device it was does not matter: the list is rebuilt from what is present now.
    source_.drainEvents();
    refreshPortList(connected);
    updatePortPresence(connected);
    return state_;
}

void PortList::select(std::optional<std::size_t> index) {
    if (index && *index >= state_.entries.size())
        index.reset();
    state_.selected = index;
}

const InterfacePort* PortList::selectedPort() const {
    return state_.selected ? &state_.entries[*state_.selected] : nullptr;
}

std::string PortList::selectedPath() const {
    const auto* selected = selectedPort();
    return selected != nullptr ? selected->path : std::string{};
}

std::vector<InterfacePort> PortList::collectEntries() {
    std::vector<InterfacePort> entries;
    if (leadingPorts_)
        entries = leadingPorts_();
    std::ranges::copy(source_.listPorts(), std::back_inserter(entries));
    for (const auto& fixed : fixedPorts_) {
        auto samePath = [&](const InterfacePort& entry) { return entry.path == fixed.path; };
        // A --port naming a discovered interface would otherwise be listed twice.
        if (std::ranges::none_of(entries, samePath))
            entries.push_back(fixed);
    }
    return entries;
}

// By identity, as the node may have changed; of two entries with one identity (a serial
// number that is not unique, say) the one at the same path.
std::optional<std::size_t> PortList::indexOf(const InterfacePort& port) const {
    std::optional<std::size_t> found;
    for (std::size_t i = 0; i < state_.entries.size(); ++i) {
        const auto& entry = state_.entries[i];
        if (entry.identity != port.identity)
            continue;
        if (entry.path == port.path)
            return i;
        if (!found)
            found = i;
    }
    return found;
}

} // namespace konfigor
