#include "common/tone_samples.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace konfigor {
namespace {

std::size_t sampleCount(const Tone& tone, int sampleRate) {
    if (tone.durationMs <= 0)
        return 0;
    return static_cast<std::size_t>(static_cast<std::int64_t>(tone.durationMs) * sampleRate / 1000);
}

// Linear ramp at both ends, never longer than half the tone so a short one still peaks.
double fadeGain(std::size_t index, std::size_t count, std::size_t fadeLength) {
    const std::size_t fromEdge = std::min(index + 1, count - index);
    if (fromEdge >= fadeLength)
        return 1.0;
    return static_cast<double>(fromEdge) / static_cast<double>(fadeLength);
}

void appendSine(std::vector<std::int16_t>& samples, int frequencyHz, std::size_t count,
                int sampleRate) {
    const std::size_t fadeLength = std::max<std::size_t>(
        1, std::min(static_cast<std::size_t>(sampleRate) * kToneFadeMs / 1000, count / 2));
    const double step = 2.0 * std::numbers::pi * frequencyHz / static_cast<double>(sampleRate);
    for (std::size_t i = 0; i < count; ++i) {
        const double value = kToneAmplitude * fadeGain(i, count, fadeLength) *
                             std::sin(step * static_cast<double>(i));
        samples.push_back(static_cast<std::int16_t>(std::lround(value)));
    }
}

} // namespace

std::vector<std::int16_t> renderTones(std::span<const Tone> tones, int sampleRate) {
    std::vector<std::int16_t> samples;
    if (sampleRate < 1)
        return samples;
    std::size_t total = 0;
    for (const Tone& tone : tones)
        total += sampleCount(tone, sampleRate);
    samples.reserve(total);

    for (const Tone& tone : tones) {
        const std::size_t count = sampleCount(tone, sampleRate);
        if (tone.frequencyHz <= 0)
            samples.insert(samples.end(), count, std::int16_t{0});
        else
            appendSine(samples, tone.frequencyHz, count, sampleRate);
    }
    return samples;
}

} // namespace konfigor
