#pragma once

#include "common/sound.h"

#include <filesystem>
#include <vector>

namespace konfigor::testing_support {

// Hears every signal the program plays, and plays none.
class RecordingSound final : public Sound {
public:
    void play(std::span<const Tone> tones) override {
        signals.emplace_back(tones.begin(), tones.end());
    }

    void playFile(const std::filesystem::path& wave) override { files.push_back(wave); }

    std::vector<std::vector<Tone>> signals;
    std::vector<std::filesystem::path> files;
};

} // namespace konfigor::testing_support
