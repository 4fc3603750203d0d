#include "gui/qt_sound.h"

#include <memory>
#include <vector>

#include <QCoreApplication>
#include <gtest/gtest.h>

namespace konfigor {
namespace {

const std::vector<Tone> kAcceptance = {{1100, 50}, {0, 50},    {1100, 50},
                                       {0, 50},    {1100, 50}, {0, 50}};
const std::vector<Tone> kPressHint = {{700, 100}};

// The test machine has no audio device: playing must return, and the object must go away at
// any moment, whatever the sink was doing.
TEST(QtSound, PlaysWithoutDeviceAndDiesWhilePlaying) {
    struct Case {
        const char* name;
        std::vector<std::vector<Tone>> signals;
    };
    const Case kCases[] = {
        {"acceptance signal", {kAcceptance}},
        {"press hint", {kPressHint}},
        {"new signal replaces the one playing", {kPressHint, kAcceptance}},
        {"same signal twice", {kPressHint, kPressHint}},
        {"nothing to play", {{}}},
    };
    for (const Case& c : kCases) {
        SCOPED_TRACE(c.name);
        auto sound = std::make_unique<QtSound>();
        for (const std::vector<Tone>& tones : c.signals) {
            sound->play(tones);
            QCoreApplication::processEvents();
        }
        sound.reset();
        QCoreApplication::processEvents();
    }
}

} // namespace
} // namespace konfigor
