#pragma once

#include <filesystem>
#include <span>

namespace konfigor {

// One step of a signal: a sine tone, or silence when the frequency is 0.
struct Tone {
    int frequencyHz = 0;
    int durationMs = 0;

    friend bool operator==(const Tone&, const Tone&) = default;
};

// The program's audible signals. Playing never blocks the caller and is silent where there is
// no audio device; a new signal replaces one still playing.
class Sound {
public:
    virtual ~Sound() = default;

    virtual void play(std::span<const Tone> tones) = 0;
    // A wave file; one that cannot be read or played is silent.
    virtual void playFile(const std::filesystem::path& wave) = 0;
};

} // namespace konfigor
