#pragma once

namespace konfigor {

// Whole wheel notches out of the angle steps a wheel event reports. A mouse reports a notch
// (120 eighths of a degree) at a time; a touchpad reports small steps, which add up here until
// they make a notch, so that a finger's swipe moves the row as far as a wheel would.
class WheelNotches {
public:
    static constexpr int kNotch = 120;

    // The whole notches turned down (negative: up) with this step and the rest before it; what
    // is left over waits for the next step. A turn the other way starts afresh.
    int turnedDown(int angleDeltaY) {
        const int down = -angleDeltaY;
        if ((down > 0 && rest_ < 0) || (down < 0 && rest_ > 0))
            rest_ = 0;
        rest_ += down;
        const int notches = rest_ / kNotch;
        rest_ -= notches * kNotch;
        return notches;
    }

    // What was left over no longer counts, e.g. when Ctrl is pressed or released mid-turn.
    void reset() { rest_ = 0; }

private:
    int rest_ = 0;
};

} // namespace konfigor
