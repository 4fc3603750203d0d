#pragma once

#include "common/fixed_text.h"
#include "sheet/remote_entry.h"

#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

namespace konfigor {

class Configuration;
class ReceiverLink;
class TextTable;

// A press of the virtual remote as the event log records it.
struct VirtualPressEvent {
    // Where a stored remote's event carries its sheet position.
    static constexpr int kPosition = -2;

    int position = kPosition;
    DescriptionText description; // code page 1250, like a sheet entry's
    int button = 0;              // 1-4
    std::uint16_t channelMask = 0;
    std::uint32_t serialNumber = 0;
};

// Keys that matter to a focused virtual button.
enum class VirtualButtonKey { Space, Enter, Other };

// The imitated remote: its name and the channels each of its four buttons operates, and the
// presses of those buttons. The link sends the press frames from its worker for as long as a
// button is held; this class only starts and ends the hold and reports the press. The input
// handlers below are what the main window's buttons and the floating window forward to.
// Buttons are numbered 1 to 4 throughout. Main thread only.
class VirtualRemote {
public:
    static constexpr int kButtonCount = 4;
    static constexpr std::size_t kChannelCount = 4;
    using ButtonMasks = std::array<std::uint16_t, kButtonCount>;
    // [button - 1][channel - 1]: the configuration dialog's sixteen boxes.
    using ChannelBoxes = std::array<std::array<bool, kChannelCount>, kButtonCount>;
    using EventSink = std::function<void(const VirtualPressEvent&)>;

    static constexpr ButtonMasks kBuiltInMasks{1, 2, 4, 8};

    // The built-in name and masks, as the main window starts.
    VirtualRemote(ReceiverLink& link, const TextTable& texts);

    // Where accepted presses are reported; none by default.
    void setEventSink(EventSink sink) { sink_ = std::move(sink); }

    // --- configuration ---
    // "Pilot": the name (absent: empty) and the masks (absent: 0), as stored.
    void loadFrom(const Configuration& configuration);
    void storeTo(Configuration& configuration) const;
    // Once, when the configuration dialog is created: an empty name becomes the panel's
    // caption and a mask of 0 the button's built-in one, so a button never stays without
    // channels past a restart.
    void restoreBuiltIns();

    // The name as UTF-8 for the dialog; stored as 8-bit text like a sheet description.
    std::string name() const { return entry_.description.toUtf8(); }
    const RemoteEntry& entry() const { return entry_; }
    ButtonMasks buttonMasks() const { return entry_.buttonMasks; }
    std::uint16_t buttonMask(int button) const;
    ChannelBoxes channelBoxes() const;
    // The dialog confirmed: name and boxes taken, serial word and counter cleared.
    void confirm(std::string_view nameUtf8, const ChannelBoxes& boxes);

    // --- presses ---
    // Starts holding `button` (1-4), replacing any held one; reports the press when the link
    // has not sent its first frame yet.
    void pressVirtualButton(int button);
    // Ends whichever press is held.
    void releaseVirtualButton();
    // 0 when idle, else the held button 1-4.
    int heldButton() const { return held_; }

    // --- input of the main window's buttons ---
    void buttonMouseDown(int button) { pressVirtualButton(button); }
    void buttonMouseUp() { releaseVirtualButton(); }
    // Key repeats arrive as further key downs and leave a held press alone.
    void buttonKeyDown(int button, VirtualButtonKey key);
    void buttonKeyUp() { releaseVirtualButton(); }
    // The button's click, also fired by its accelerator (Alt+digit): starts a press only while
    // the space bar or the button's own digit is held down.
    void buttonClicked(int button, bool spaceHeld, bool ownDigitHeld);
    void buttonFocusLost() { releaseVirtualButton(); }
    void mainWindowDeactivated() { releaseVirtualButton(); }
    // The main window previews every key: any release ends the press.
    void keyReleasedAnywhere() { releaseVirtualButton(); }

private:
    static bool isButton(int button) { return button >= 1 && button <= kButtonCount; }
    VirtualPressEvent eventFor(int button) const;

    ReceiverLink& link_;
    const TextTable& texts_;
    RemoteEntry entry_;
    int held_ = 0;
    EventSink sink_;
};

} // namespace konfigor
