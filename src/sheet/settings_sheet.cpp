#include "sheet/settings_sheet.h"

#include "texts/message_format.h"
#include "texts/untranslated_texts.h"

#include <algorithm>

namespace konfigor {

std::optional<std::size_t> SettingsSheet::findSerial(std::uint32_t word) const {
    const auto found = std::find_if(remotes.begin(), remotes.end(),
                                    [word](const RemoteEntry& r) { return r.serialWord == word; });
    if (found == remotes.end())
        return std::nullopt;
    return static_cast<std::size_t>(found - remotes.begin());
}

std::optional<std::size_t> SettingsSheet::firstEmptyFrom(std::size_t slot) const {
    for (std::size_t s = slot; s < kRemoteSlotCount; ++s) {
        if (remotes[s].isEmpty())
            return s;
    }
    return std::nullopt;
}

std::size_t SettingsSheet::countEmptyFrom(std::size_t slot) const {
    if (slot >= kRemoteSlotCount)
        return 0;
    return static_cast<std::size_t>(
        std::count_if(remotes.begin() + static_cast<std::ptrdiff_t>(slot), remotes.end(),
                      [](const RemoteEntry& r) { return r.isEmpty(); }));
}

std::vector<std::size_t> SettingsSheet::markedSlots() const {
    std::vector<std::size_t> slots;
    for (std::size_t s = 0; s < kRemoteSlotCount; ++s) {
        if (remotes[s].marked)
            slots.push_back(s);
    }
    return slots;
}

std::size_t SettingsSheet::countMarked() const {
    return static_cast<std::size_t>(std::count_if(remotes.begin(), remotes.end(),
                                                  [](const RemoteEntry& r) { return r.marked; }));
}

std::size_t SettingsSheet::countMarkedUsed() const {
    return static_cast<std::size_t>(
        std::count_if(remotes.begin(), remotes.end(),
                      [](const RemoteEntry& r) { return r.marked && !r.isEmpty(); }));
}

void SettingsSheet::clearMarks() {
    for (RemoteEntry& remote : remotes)
        remote.marked = false;
}

void SettingsSheet::markAll() {
    for (RemoteEntry& remote : remotes)
        remote.marked = true;
}

void SettingsSheet::invertMarks() {
    for (RemoteEntry& remote : remotes)
        remote.marked = !remote.marked;
}

void SettingsSheet::erase(bool resetChannels) {
    for (std::size_t slot = 0; slot < kRemoteSlotCount; ++slot)
        clearSlot(slot);
    if (resetChannels) {
        for (std::size_t channel = 0; channel < kChannelCount; ++channel)
            resetChannel(channel);
    }
    identifier.assign("");
}

std::string windowTitle(const SettingsSheet& sheet) {
    return windowTitle(sheet.fileName.view());
}

std::string windowTitle(std::string_view path) {
    const std::string_view program = untranslated(Untranslated::ProgramTitle);
    if (path.empty())
        return std::string(program);
    const std::string_view name = path.substr(path.find_last_of('/') + 1);
    // The title format is ours, never translated, so it always fits its two texts.
    return formatMessage(untranslated(Untranslated::TitleWithFile), {program, name})
        .value_or(std::string(program));
}

} // namespace konfigor
