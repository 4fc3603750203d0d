#pragma once

#include "common/fixed_text.h"
#include "link/remote_record.h"

#include <array>
#include <cstddef>
#include <cstdint>

namespace konfigor {

inline constexpr std::size_t kChannelCount = 4;

// One slot of the sheet. A slot is empty exactly when serialWord is 0; an empty slot may still
// carry a description.
struct RemoteEntry {
    DescriptionText description;
    // The multiple selection of the editing commands. Never sent to the receiver or stored in a
    // settings file, but it moves with the record.
    bool marked = false;
    std::uint32_t serialWord = 0;
    std::uint16_t codeCounter = 0;
    // Bit c of a button's mask: the button operates channel c + 1.
    std::array<std::uint16_t, kButtonCount> buttonMasks{};
    bool copyLock = true;

    // The state every emptying operation leaves: all zero but copy-locked, so that a remote
    // entered into an empty slot starts locked.
    static RemoteEntry cleared() { return {}; }

    bool isEmpty() const { return serialWord == 0; }

    // Takes the receiver's fields; description and mark stay as they are.
    void takeReceiverRecord(const RemoteRecord& record);
    RemoteRecord toReceiverRecord() const;

    friend bool operator==(const RemoteEntry&, const RemoteEntry&) = default;
};

} // namespace konfigor
