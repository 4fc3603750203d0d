#pragma once

#include "common/sound.h"

#include <memory>

#include <QBuffer>

QT_BEGIN_NAMESPACE
class QAudioSink;
class QSoundEffect;
QT_END_NAMESPACE

namespace konfigor {

// Tones rendered to 16-bit PCM and played on the default audio output. The samples are handed
// to the sink whole, so play() returns at once; without an output device it does nothing.
class QtSound final : public Sound {
public:
    QtSound();
    ~QtSound() override;

    QtSound(const QtSound&) = delete;
    QtSound& operator=(const QtSound&) = delete;

    void play(std::span<const Tone> tones) override;
    void playFile(const std::filesystem::path& wave) override;

private:
    void stop();

    // Declared before the sink, which reads it until the sink is gone.
    QBuffer samples_;
    std::unique_ptr<QAudioSink> sink_;
    // Loads and plays on the event loop, like the sink.
    std::unique_ptr<QSoundEffect> effect_;
};

} // namespace konfigor
