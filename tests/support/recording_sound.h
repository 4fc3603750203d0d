#pragma once

#include "common/sound.h"

#include <vector>

namespace konfigor::testing_support {

// Hears every signal the program plays, and plays none.
class RecordingSound final : public Sound {
public:
    void play(std::span<const Tone> tones) override {
        signals.emplace_back(tones.begin(), tones.end());
    }

    std::vector<std::vector<Tone>> signals;
};

} // namespace konfigor::testing_support
