#pragma once

#include "sheet/settings_sheet.h"

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

namespace konfigor {

// A check box of the remote editor. Grey, offered only when several remotes are edited
// together, means "leave each remote as it is".
enum class BoxState : std::uint8_t { Cleared, Checked, Grey };

// What the remote editor's controls hold: what opening fills in and what OK takes.
struct RemoteForm {
    std::string description; // UTF-8
    // Several remotes: the description shown is not every remote's, so OK leaves them alone
    // unless the user types (the field then takes the window colour again).
    bool descriptionMixed = false;
    BoxState multi = BoxState::Cleared;
    BoxState copyLock = BoxState::Checked;
    // [button][channel]: button b + 1 operates channel c + 1.
    std::array<std::array<BoxState, kChannelCount>, kButtonCount> channels{};
    bool addNext = false;

    friend bool operator==(const RemoteForm&, const RemoteForm&) = default;
};

// The boxes' masks as the slot stores them, and back.
std::array<std::uint16_t, kButtonCount> masksOf(const RemoteForm& form);
void showMasks(const std::array<std::uint16_t, kButtonCount>& masks, RemoteForm& form);

// Several remotes edited together: the boxes take the first marked slot's values, and each box
// (or the description) that differs in any other marked slot turns grey (mixed). Marked empty
// slots take part in the comparison.
RemoteForm mergeMarkedSlots(const RemoteSlots& remotes, std::string_view shownDescription);
// OK of the same: every marked slot that holds a remote takes the boxes that are not grey and,
// unless mixed, the description. Empty slots stay empty.
void applyToMarkedSlots(const RemoteForm& form, RemoteSlots& remotes);

} // namespace konfigor
