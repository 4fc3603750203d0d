#include "editors/remote_form.h"

#include "sheet/serial_word.h"

namespace konfigor {
namespace {

BoxState boxOf(bool on) {
    return on ? BoxState::Checked : BoxState::Cleared;
}

// Grey once, grey for good: a later slot that happens to match the first does not undo it.
void compare(BoxState& box, bool value) {
    if (box != BoxState::Grey && box != boxOf(value))
        box = BoxState::Grey;
}

// A box that is not grey decides the value; a grey one leaves it.
void apply(BoxState box, bool& value) {
    if (box != BoxState::Grey)
        value = box == BoxState::Checked;
}

bool hasChannel(const std::array<std::uint16_t, kButtonCount>& masks, std::size_t button,
                std::size_t channel) {
    return (masks.at(button) & (1u << channel)) != 0;
}

} // namespace

std::array<std::uint16_t, kButtonCount> masksOf(const RemoteForm& form) {
    std::array<std::uint16_t, kButtonCount> masks{};
    for (std::size_t button = 0; button < kButtonCount; ++button)
        for (std::size_t channel = 0; channel < kChannelCount; ++channel)
            if (form.channels[button][channel] == BoxState::Checked)
                masks[button] = static_cast<std::uint16_t>(masks[button] | (1u << channel));
    return masks;
}

void showMasks(const std::array<std::uint16_t, kButtonCount>& masks, RemoteForm& form) {
    for (std::size_t button = 0; button < kButtonCount; ++button)
        for (std::size_t channel = 0; channel < kChannelCount; ++channel)
            form.channels[button][channel] = boxOf(hasChannel(masks, button, channel));
}

RemoteForm mergeMarkedSlots(const RemoteSlots& remotes, std::string_view shownDescription) {
    RemoteForm form;
    form.description = std::string(shownDescription);
    bool first = true;
    for (const RemoteEntry& remote : remotes) {
        if (!remote.marked)
            continue;
        if (remote.description.toUtf8() != shownDescription)
            form.descriptionMixed = true;
        if (first) {
            showMasks(remote.buttonMasks, form);
            form.multi = boxOf(serial_word::isMulti(remote.serialWord));
            form.copyLock = boxOf(remote.copyLock);
            first = false;
            continue;
        }
        for (std::size_t button = 0; button < kButtonCount; ++button)
            for (std::size_t channel = 0; channel < kChannelCount; ++channel)
                compare(form.channels[button][channel],
                        hasChannel(remote.buttonMasks, button, channel));
        compare(form.multi, serial_word::isMulti(remote.serialWord));
        compare(form.copyLock, remote.copyLock);
    }
    return form;
}

void applyToMarkedSlots(const RemoteForm& form, RemoteSlots& remotes) {
    for (RemoteEntry& remote : remotes) {
        if (!remote.marked || remote.isEmpty())
            continue;
        if (!form.descriptionMixed)
            remote.description.assignUtf8(form.description);
        for (std::size_t button = 0; button < kButtonCount; ++button) {
            for (std::size_t channel = 0; channel < kChannelCount; ++channel) {
                bool on = hasChannel(remote.buttonMasks, button, channel);
                apply(form.channels[button][channel], on);
                const auto bit = static_cast<std::uint16_t>(1u << channel);
                remote.buttonMasks[button] = static_cast<std::uint16_t>(
                    on ? (remote.buttonMasks[button] | bit) : (remote.buttonMasks[button] & ~bit));
            }
        }
        if (form.multi != BoxState::Grey)
            remote.serialWord =
                serial_word::withMulti(remote.serialWord, form.multi == BoxState::Checked);
        apply(form.copyLock, remote.copyLock);
    }
}

} // namespace konfigor
