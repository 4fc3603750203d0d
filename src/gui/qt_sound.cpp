#include "gui/qt_sound.h"

#include "common/tone_samples.h"

#include <algorithm>
#include <cstdint>
#include <vector>

#include <QAudioDevice>
#include <QAudioFormat>
#include <QAudioSink>
#include <QMediaDevices>
#include <QSoundEffect>
#include <QUrl>

namespace konfigor {
namespace {

constexpr int kPreferredSampleRate = 48000;

QAudioFormat toneFormat(const QAudioDevice& device) {
    QAudioFormat format;
    format.setSampleFormat(QAudioFormat::Int16);
    format.setChannelCount(1);
    format.setSampleRate(
        std::clamp(kPreferredSampleRate, device.minimumSampleRate(), device.maximumSampleRate()));
    return format;
}

} // namespace

QtSound::QtSound() = default;

// Stops the sink before the buffer it reads goes away.
QtSound::~QtSound() {
    stop();
}

void QtSound::play(std::span<const Tone> tones) {
    stop();
    if (QMediaDevices::audioOutputs().isEmpty())
        return;
    const QAudioDevice device = QMediaDevices::defaultAudioOutput();
    if (device.isNull())
        return;

    const QAudioFormat format = toneFormat(device);
    const std::vector<std::int16_t> pcm = renderTones(tones, format.sampleRate());
    if (pcm.empty())
        return;
    samples_.setData(QByteArray(reinterpret_cast<const char*>(pcm.data()),
                                static_cast<qsizetype>(pcm.size() * sizeof(std::int16_t))));
    samples_.open(QIODevice::ReadOnly);

    // The sink pulls from the buffer on the event loop; nothing here waits for it to finish.
    sink_ = std::make_unique<QAudioSink>(device, format);
    sink_->start(&samples_);
    if (sink_->error() != QAudio::NoError)
        stop();
}

void QtSound::playFile(const std::filesystem::path& wave) {
    stop();
    if (QMediaDevices::audioOutputs().isEmpty())
        return;
    if (!effect_)
        effect_ = std::make_unique<QSoundEffect>();
    effect_->setSource(QUrl::fromLocalFile(QString::fromStdString(wave.string())));
    effect_->play();
}

void QtSound::stop() {
    if (effect_)
        effect_->stop();
    if (sink_) {
        sink_->stop();
        sink_.reset();
    }
    samples_.close();
}

} // namespace konfigor
