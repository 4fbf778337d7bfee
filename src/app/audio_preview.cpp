#include "app/audio_preview.h"

#include <QAudioDevice>
#include <QAudioFormat>
#include <QAudioSink>
#include <QMediaDevices>
#include <cstring>

#include "preview/nsf_render.h"

namespace kestra {

namespace {

constexpr qint64 kFrameBytes = preview::kOutputChannels * sizeof(std::int16_t);
// What the device may take at once: about 90 ms of sound.
constexpr qint64 kBlockFrames = 4096;

}  // namespace

NsfAudioSource::NsfAudioSource(std::unique_ptr<preview::NsfRenderer> renderer, QObject* parent)
    : QIODevice(parent), renderer_(std::move(renderer)) {}

NsfAudioSource::~NsfAudioSource() = default;

void NsfAudioSource::setMutedVoices(unsigned mask) {
    renderer_->setMutedVoices(mask);
}

qint64 NsfAudioSource::bytesAvailable() const {
    return kBlockFrames * kFrameBytes + QIODevice::bytesAvailable();
}

qint64 NsfAudioSource::readData(char* data, qint64 maxSize) {
    const qint64 frames = std::min(maxSize / kFrameBytes, kBlockFrames);
    if (frames <= 0) return 0;
    // The samples are rendered in place: the device hands us a byte buffer of its own.
    std::vector<std::int16_t> block(static_cast<size_t>(frames) * preview::kOutputChannels);
    renderer_->render(block.data(), static_cast<size_t>(frames));
    std::memcpy(data, block.data(), static_cast<size_t>(frames * kFrameBytes));
    return frames * kFrameBytes;
}

AudioPreview::AudioPreview(QObject* parent) : QObject(parent) {}

AudioPreview::~AudioPreview() {
    stop();
}

std::optional<std::string> AudioPreview::play(const Bytes& file, int track, unsigned muteMask,
                                              long long startMs) {
    stop();
    auto renderer = preview::NsfRenderer::open(file);
    if (!renderer) return renderer.error();
    if (auto err = renderer->startTrack(track)) return err;
    if (startMs > 0)
        if (auto err = renderer->seek(static_cast<int>(startMs))) return err;
    startMs_ = startMs;
    renderer->setMutedVoices(muteMask);
    muteMask_ = muteMask;

    QAudioDevice device = QMediaDevices::defaultAudioOutput();
    if (device.isNull()) return std::string("No sound output is available on this computer.");
    QAudioFormat format;
    format.setSampleRate(preview::kSampleRate);
    format.setChannelCount(preview::kOutputChannels);
    format.setSampleFormat(QAudioFormat::Int16);
    if (!device.isFormatSupported(format))
        return std::string("The sound output cannot play 44.1 kHz 16-bit stereo.");

    source_ =
        new NsfAudioSource(std::make_unique<preview::NsfRenderer>(std::move(*renderer)), this);
    source_->open(QIODevice::ReadOnly);
    sink_ = new QAudioSink(device, format, this);
    connect(sink_, &QAudioSink::stateChanged, this, [this](QAudio::State state) {
        if (state == QAudio::StoppedState && sink_ && sink_->error() != QAudio::NoError) stop();
    });
    sink_->start(source_);
    return std::nullopt;
}

void AudioPreview::stop() {
    if (!sink_) return;
    sink_->stop();
    sink_->deleteLater();
    source_->deleteLater();
    sink_ = nullptr;
    source_ = nullptr;
    emit stopped();
}

std::optional<long long> AudioPreview::positionMs() const {
    if (!sink_) return std::nullopt;
    // What the device took, less what it holds in its buffer and has not played yet.
    const qint64 buffered = sink_->bufferSize() - sink_->bytesFree();
    const qint64 bufferedMs = buffered / kFrameBytes * 1000 / preview::kSampleRate;
    return startMs_ + std::max<long long>(0, sink_->processedUSecs() / 1000 - bufferedMs);
}

void AudioPreview::setMutedVoices(unsigned mask) {
    muteMask_ = mask;
    if (source_) source_->setMutedVoices(mask);
}

}  // namespace kestra
