#include "remote/virtual_remote.h"

#include "config/configuration.h"
#include "link/receiver_link.h"
#include "texts/text_lines.h"
#include "texts/text_table.h"

#include <cstddef>

namespace konfigor {
namespace {

// The panel's caption, as the current language gives it.
std::string panelCaption(const TextTable& texts) {
    const auto lines = controlLines();
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const ControlLine& line = lines[i];
        if (line.windowClass == "TMainForm" && line.control == "LabelVirtualRemote" &&
            line.property == ControlProperty::Caption)
            return texts.controlText(i);
    }
    return {};
}

std::size_t indexOf(int button) {
    return static_cast<std::size_t>(button - 1);
}

} // namespace

VirtualRemote::VirtualRemote(ReceiverLink& link, const TextTable& texts)
    : link_(link), texts_(texts) {
    entry_.description.assignUtf8(texts.text(Msg::VirtualRemoteDefaultName));
    entry_.buttonMasks = kBuiltInMasks;
}

void VirtualRemote::loadFrom(const Configuration& configuration) {
    entry_.description = {};
    entry_.description.assignUtf8(configuration.virtualRemoteName());
    const Configuration::ButtonMasks masks = configuration.virtualButtonMasks();
    for (std::size_t b = 0; b < masks.size(); ++b)
        entry_.buttonMasks[b] = static_cast<std::uint16_t>(masks[b]);
}

void VirtualRemote::storeTo(Configuration& configuration) const {
    configuration.setVirtualRemoteName(name());
    Configuration::ButtonMasks masks{};
    for (std::size_t b = 0; b < masks.size(); ++b)
        masks[b] = entry_.buttonMasks[b];
    configuration.setVirtualButtonMasks(masks);
}

void VirtualRemote::restoreBuiltIns() {
    if (entry_.description.empty())
        entry_.description.assignUtf8(panelCaption(texts_));
    for (std::size_t b = 0; b < entry_.buttonMasks.size(); ++b) {
        if (entry_.buttonMasks[b] == 0)
            entry_.buttonMasks[b] = kBuiltInMasks[b];
    }
}

std::uint16_t VirtualRemote::buttonMask(int button) const {
    return isButton(button) ? entry_.buttonMasks[indexOf(button)] : 0;
}

VirtualRemote::ChannelBoxes VirtualRemote::channelBoxes() const {
    ChannelBoxes boxes{};
    for (std::size_t b = 0; b < boxes.size(); ++b) {
        for (std::size_t c = 0; c < kChannelCount; ++c)
            boxes[b][c] = (entry_.buttonMasks[b] >> c & 1) != 0;
    }
    return boxes;
}

void VirtualRemote::confirm(std::string_view nameUtf8, const ChannelBoxes& boxes) {
    entry_.description = {};
    entry_.description.assignUtf8(nameUtf8);
    entry_.serialWord = 0;
    entry_.codeCounter = 0;
    for (std::size_t b = 0; b < boxes.size(); ++b) {
        std::uint16_t mask = 0;
        for (std::size_t c = 0; c < kChannelCount; ++c) {
            if (boxes[b][c])
                mask = static_cast<std::uint16_t>(mask | 1u << c);
        }
        entry_.buttonMasks[b] = mask;
    }
}

void VirtualRemote::pressVirtualButton(int button) {
    if (!isButton(button))
        return;
    held_ = button;
    link_.pressVirtualButton(button - 1, entry_.buttonMasks);
    // Every press is logged. Asking the link whether its first frame is still pending would
    // lose presses: the link wakes its worker at once, which often sends the frame first.
    if (sink_)
        sink_(eventFor(button));
}

void VirtualRemote::releaseVirtualButton() {
    held_ = 0;
    link_.releaseVirtualButton();
}

void VirtualRemote::buttonKeyDown(int button, VirtualButtonKey key) {
    if (key != VirtualButtonKey::Other && held_ == 0)
        pressVirtualButton(button);
}

void VirtualRemote::buttonClicked(int button, bool spaceHeld, bool ownDigitHeld) {
    if ((spaceHeld || ownDigitHeld) && held_ == 0)
        pressVirtualButton(button);
}

VirtualPressEvent VirtualRemote::eventFor(int button) const {
    VirtualPressEvent event;
    if (entry_.description.empty())
        event.description.assignUtf8(texts_.text(Msg::VirtualRemoteEventName));
    else
        event.description = entry_.description;
    event.button = button;
    event.channelMask = static_cast<std::uint16_t>(entry_.buttonMasks[indexOf(button)] & 0xFFu);
    return event;
}

} // namespace konfigor
