#pragma once

#include "common/fixed_text.h"
#include "sheet/channel_entry.h"
#include "sheet/remote_entry.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace konfigor {

inline constexpr std::size_t kRemoteSlotCount = 704;

using RemoteSlots = std::array<RemoteEntry, kRemoteSlotCount>;
using Channels = std::array<ChannelEntry, kChannelCount>;

// Everything the tool edits for one receiver, as one plain value: copied whole for history
// snapshots, no pointers, no allocation. Slot arguments are 0-703, channel arguments 0-3; the
// user sees positions counted from 1.
struct SettingsSheet {
    RemoteSlots remotes{};
    Channels channels{};
    IdentifierText identifier;
    // The settings file the sheet was last loaded from or saved to (a UTF-8 path); empty if none.
    FileNameText fileName;

    bool isEmpty(std::size_t slot) const { return remotes.at(slot).isEmpty(); }
    void clearSlot(std::size_t slot) { remotes.at(slot) = RemoteEntry::cleared(); }
    void resetChannel(std::size_t channel) { channels.at(channel) = ChannelEntry::factory(); }
    // Every slot cleared and the identifier emptied; the channels back to factory settings
    // when asked. The file name stays.
    void erase(bool resetChannels);

    // Lowest slot holding exactly this word (all 32 bits: the multi flag tells remotes apart).
    std::optional<std::size_t> findSerial(std::uint32_t word) const;
    std::optional<std::size_t> firstEmptyFrom(std::size_t slot) const;
    std::size_t countEmpty() const { return countEmptyFrom(0); }
    std::size_t countEmptyFrom(std::size_t slot) const;

    std::vector<std::size_t> markedSlots() const;
    std::size_t countMarked() const;
    // Marked slots that hold a remote.
    std::size_t countMarkedUsed() const;
    void clearMarks();
    void markAll();
    void invertMarks();

    // The receiver's record for a slot and back; descriptions and marks never travel.
    void fromReceiverRecord(std::size_t slot, const RemoteRecord& record) {
        remotes.at(slot).takeReceiverRecord(record);
    }
    RemoteRecord toReceiverRecord(std::size_t slot) const {
        return remotes.at(slot).toReceiverRecord();
    }
};

// "Konfigor USB", or "Konfigor USB [name.kvr]" while a settings file is current.
std::string windowTitle(const SettingsSheet& sheet);
// The same for a settings file's whole path, which may be longer than the sheet's field.
std::string windowTitle(std::string_view filePath);

} // namespace konfigor
