#include "common/tone_samples.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <span>
#include <vector>

#include <gtest/gtest.h>

namespace konfigor {
namespace {

// The remote editor's acceptance signal: three short high tones with pauses.
const std::vector<Tone> kAcceptance = {{1100, 50}, {0, 50},    {1100, 50},
                                       {0, 50},    {1100, 50}, {0, 50}};

int signChanges(std::span<const std::int16_t> samples) {
    int changes = 0;
    int lastSign = 0;
    for (const std::int16_t sample : samples) {
        const int sign = (sample > 0) - (sample < 0);
        if (sign == 0)
            continue;
        if (lastSign != 0 && sign != lastSign)
            ++changes;
        lastSign = sign;
    }
    return changes;
}

int peak(std::span<const std::int16_t> samples) {
    int result = 0;
    for (const std::int16_t sample : samples)
        result = std::max(result, std::abs(int{sample}));
    return result;
}

TEST(ToneSamples, LengthIsEachToneDurationTimesRate) {
    struct Case {
        const char* name;
        std::vector<Tone> tones;
        int sampleRate;
        std::size_t expected;
    };
    const Case kCases[] = {
        {"one tone", {{700, 100}}, 48000, 4800},
        {"acceptance signal", kAcceptance, 44100, 6 * 2205},
        {"fraction dropped", {{1500, 7}}, 22050, 154},
        {"each tone rounded down on its own", {{700, 1}, {0, 1}}, 1500, 2},
        {"zero and negative durations", {{700, 0}, {700, -20}, {0, 10}}, 8000, 80},
        {"empty input", {}, 48000, 0},
        {"no sample rate", {{700, 100}}, 0, 0},
    };
    for (const Case& c : kCases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(renderTones(c.tones, c.sampleRate).size(), c.expected);
    }
}

TEST(ToneSamples, PausesAreSilentAndTonesAreNot) {
    const std::vector<std::int16_t> samples = renderTones(kAcceptance, 48000);
    ASSERT_EQ(samples.size(), 6u * 2400);

    for (std::size_t part = 0; part < 6; ++part) {
        SCOPED_TRACE(part);
        const std::span<const std::int16_t> piece(samples.data() + part * 2400, 2400);
        if (part % 2 == 0)
            EXPECT_GT(peak(piece), kToneAmplitude / 2);
        else
            EXPECT_TRUE(std::all_of(piece.begin(), piece.end(), [](auto s) { return s == 0; }));
    }
}

TEST(ToneSamples, ToneCrossesZeroTwicePerCycle) {
    struct Case {
        int frequencyHz;
        int durationMs;
        int sampleRate;
    };
    constexpr Case kCases[] = {
        {700, 100, 48000},
        {1100, 50, 44100},
        {1500, 200, 8000},
        {1200, 400, 22050},
    };
    for (const Case& c : kCases) {
        SCOPED_TRACE(testing::Message() << c.frequencyHz << " Hz at " << c.sampleRate);
        const Tone tone{c.frequencyHz, c.durationMs};
        const int expected = 2 * c.frequencyHz * c.durationMs / 1000;
        EXPECT_NEAR(signChanges(renderTones({&tone, 1}, c.sampleRate)), expected, 1);
    }
}

TEST(ToneSamples, StaysWithinAmplitudeAndFadesAtBothEnds) {
    const Tone tone{700, 100};
    const std::vector<std::int16_t> samples = renderTones({&tone, 1}, 48000);
    ASSERT_EQ(samples.size(), 4800u);

    EXPECT_LE(peak(samples), kToneAmplitude);
    EXPECT_GE(peak(samples), kToneAmplitude * 99 / 100);
    // No jump from or to silence: the edges stay near zero, the ramp reaches full level later.
    const std::size_t fade = 48 * kToneFadeMs;
    EXPECT_LT(peak({samples.data(), 10}), kToneAmplitude / 20);
    EXPECT_LT(peak({samples.data() + samples.size() - 10, 10}), kToneAmplitude / 20);
    EXPECT_LT(peak({samples.data(), fade / 2}), kToneAmplitude * 6 / 10);
    EXPECT_GE(peak({samples.data() + fade, 2 * fade}), kToneAmplitude * 99 / 100);
}

TEST(ToneSamples, VeryShortToneStillSounds) {
    const Tone tone{1000, 2}; // shorter than its two fades
    const std::vector<std::int16_t> samples = renderTones({&tone, 1}, 48000);
    ASSERT_EQ(samples.size(), 96u);
    EXPECT_GT(peak(samples), kToneAmplitude / 4);
    EXPECT_LE(peak(samples), kToneAmplitude);
}

} // namespace
} // namespace konfigor
