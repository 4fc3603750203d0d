#pragma once

#include "common/sound.h"

#include <cstdint>
#include <span>
#include <vector>

namespace konfigor {

// Peak of a rendered sine: loud enough to hear, far enough from full scale not to startle.
inline constexpr std::int16_t kToneAmplitude = 9830;

// Each tone rises from and falls back to silence over this long, so its edges do not click.
inline constexpr int kToneFadeMs = 5;

// 16-bit signed mono PCM of `tones` one after the other. Each tone gets
// durationMs * sampleRate / 1000 samples (none for a duration below 1); a frequency of 0 or
// below is silence. Nothing for a sample rate below 1.
std::vector<std::int16_t> renderTones(std::span<const Tone> tones, int sampleRate);

} // namespace konfigor
