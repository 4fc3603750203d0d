#pragma once

#include "link/clock.h"
#include "remote/virtual_remote_picture.h"

#include <optional>

namespace konfigor {

class Configuration;
class VirtualRemote;

// The opacity menu's percentages as stored (low 8 bits of the value; anything but 20, 40, 60
// or 80 counts as 100) and as the window's overall alpha (20 gives 51).
int opacityPercentFromStored(int stored);
int alphaForPercent(int percent);

struct WindowPlace {
    int left = 0;
    int top = 0;
    bool operator==(const WindowPlace&) const = default;
};

// Where the floating window opens: the stored place, else 200 right of and 100 below the main
// window's corner, kept on the screen (flush with the far edge, never below 0).
WindowPlace floatingRemotePlace(std::optional<int> storedLeft, std::optional<int> storedTop,
                                WindowPlace mainWindow, int screenWidth, int screenHeight,
                                int windowWidth, int windowHeight);

// The floating window's behaviour without the window: mouse presses on its buttons press the
// virtual remote's, the LED blinks while one is held, and the window fades to the chosen
// opacity 3 s after the mouse leaves it. Timers are deadlines on the caller's clock:
// advanceTo() runs what is due, nextDeadline() says when to call it again. The window redraws
// whenever picture().isDirty(), and clears the mark.
class FloatingRemote {
public:
    using Milliseconds = Clock::Milliseconds;
    static constexpr Milliseconds kMouseOutDelay{3000};
    static constexpr Milliseconds kFadeInterval{25};
    static constexpr Milliseconds kLedInterval{50};
    static constexpr int kFadeStep = 3;

    enum class MouseButton { Left, Middle, Right };
    // What the window does with a mouse press.
    enum class PressOutcome { OpenMenu, DragWindow, ButtonPressed };

    FloatingRemote(VirtualRemote& remote, RemotePicture picture, int storedOpacity);

    RemotePicture& picture() { return picture_; }
    const RemotePicture& picture() const { return picture_; }

    // The checked opacity item.
    int opacityPercent() const { return percent_; }
    int chosenAlpha() const { return alphaForPercent(percent_); }
    // An item of the opacity menu: stored as its percentage and applied at once.
    void chooseOpacity(Configuration& configuration, int percent);

    // Opaque, and the fade 3 s away unless the mouse comes in.
    void shown(Milliseconds now);
    void mouseEntered();
    void mouseLeft(Milliseconds now);
    void mouseMoved(int x, int y) { picture_.mouseMove(x, y); }
    PressOutcome mousePressed(MouseButton button, Milliseconds now);
    // Any button's release ends the virtual press.
    void mouseReleased();

    void advanceTo(Milliseconds now);
    std::optional<Milliseconds> nextDeadline() const;

private:
    void fadeStep();

    VirtualRemote& remote_;
    RemotePicture picture_;
    int percent_ = 100;
    std::optional<Milliseconds> mouseOutDue_;
    std::optional<Milliseconds> fadeDue_;
    std::optional<Milliseconds> ledDue_;
};

} // namespace konfigor
