#include "remote/floating_remote.h"

#include "config/configuration.h"
#include "remote/virtual_remote.h"

#include <algorithm>
#include <utility>

namespace konfigor {
namespace {

constexpr int kOpaque = 255;
constexpr WindowPlace kDefaultOffset{200, 100};

int keptOnScreen(int position, int size, int screenSize) {
    if (position + size > screenSize)
        position = screenSize - size;
    return std::max(position, 0);
}

} // namespace

int opacityPercentFromStored(int stored) {
    const int percent = stored & 0xFF;
    return percent == 20 || percent == 40 || percent == 60 || percent == 80 ? percent : 100;
}

int alphaForPercent(int percent) {
    return percent * kOpaque / 100;
}

WindowPlace floatingRemotePlace(std::optional<int> storedLeft, std::optional<int> storedTop,
                                WindowPlace mainWindow, int screenWidth, int screenHeight,
                                int windowWidth, int windowHeight) {
    const int left = storedLeft.value_or(mainWindow.left + kDefaultOffset.left);
    const int top = storedTop.value_or(mainWindow.top + kDefaultOffset.top);
    return {keptOnScreen(left, windowWidth, screenWidth),
            keptOnScreen(top, windowHeight, screenHeight)};
}

FloatingRemote::FloatingRemote(VirtualRemote& remote, RemotePicture picture, int storedOpacity)
    : remote_(remote), picture_(std::move(picture)),
      percent_(opacityPercentFromStored(storedOpacity)) {
    picture_.setAlpha(chosenAlpha());
}

void FloatingRemote::chooseOpacity(Configuration& configuration, int percent) {
    configuration.setVirtualRemoteOpacity(percent);
    percent_ = opacityPercentFromStored(percent);
    picture_.setAlpha(chosenAlpha());
}

void FloatingRemote::shown(Milliseconds now) {
    mouseOutDue_ = now + kMouseOutDelay;
    fadeDue_.reset();
    picture_.setAlpha(kOpaque);
}

void FloatingRemote::mouseEntered() {
    picture_.setAlpha(kOpaque);
    mouseOutDue_.reset();
    fadeDue_.reset();
}

void FloatingRemote::mouseLeft(Milliseconds now) {
    mouseOutDue_ = now + kMouseOutDelay;
}

FloatingRemote::PressOutcome FloatingRemote::mousePressed(MouseButton button, Milliseconds now) {
    if (button == MouseButton::Right)
        return PressOutcome::OpenMenu;
    picture_.mouseDown();
    const int number = picture_.pressedButtonNumber();
    if (number == 0)
        return PressOutcome::DragWindow;
    picture_.setLed(false);
    ledDue_ = now + kLedInterval;
    remote_.pressVirtualButton(number);
    return PressOutcome::ButtonPressed;
}

void FloatingRemote::mouseReleased() {
    picture_.mouseUp();
    ledDue_.reset();
    picture_.setLed(true);
    remote_.releaseVirtualButton();
}

void FloatingRemote::advanceTo(Milliseconds now) {
    if (mouseOutDue_ && now >= *mouseOutDue_) {
        fadeDue_ = *mouseOutDue_ + kFadeInterval;
        mouseOutDue_.reset();
    }
    while (fadeDue_ && now >= *fadeDue_) {
        fadeStep();
        if (picture_.alpha() == chosenAlpha())
            fadeDue_.reset();
        else
            *fadeDue_ += kFadeInterval;
    }
    while (ledDue_ && now >= *ledDue_) {
        picture_.setLed(false);
        *ledDue_ += kLedInterval;
    }
}

void FloatingRemote::fadeStep() {
    const int alpha = picture_.alpha();
    const int chosen = chosenAlpha();
    picture_.setAlpha(alpha > kFadeStep && alpha > chosen ? alpha - kFadeStep : chosen);
}

std::optional<FloatingRemote::Milliseconds> FloatingRemote::nextDeadline() const {
    std::optional<Milliseconds> due;
    for (const auto& timer : {mouseOutDue_, fadeDue_, ledDue_}) {
        if (timer && (!due || *timer < *due))
            due = timer;
    }
    return due;
}

} // namespace konfigor
