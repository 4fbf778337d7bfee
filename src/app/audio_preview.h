// Listening in the editor: a track of the opened NSF file played through Qt Multimedia's audio
// output. The audio device pulls samples from the NSF renderer block by block, so the window
// never waits for the sound.
#pragma once

#include <QIODevice>
#include <QObject>
#include <memory>
#include <optional>
#include <string>

#include "rom/file_bytes.h"

class QAudioSink;

namespace kestra::preview {
class NsfRenderer;
}

namespace kestra {

// The samples of a started track as a sequential device for QAudioSink's pull mode.
class NsfAudioSource : public QIODevice {
    Q_OBJECT
  public:
    NsfAudioSource(std::unique_ptr<preview::NsfRenderer> renderer, QObject* parent = nullptr);
    ~NsfAudioSource() override;
    void setMutedVoices(unsigned mask);
    bool isSequential() const override { return true; }
    qint64 bytesAvailable() const override;

  protected:
    qint64 readData(char* data, qint64 maxSize) override;
    qint64 writeData(const char*, qint64) override { return -1; }

  private:
    std::unique_ptr<preview::NsfRenderer> renderer_;
};

// What the window needs of a player (tests put a recorder here). Errors come back as messages
// for the caller to show.
class PreviewPort {
  public:
    virtual ~PreviewPort() = default;
    // Plays track (from 0) of the file's bytes with the channels of muteMask silenced (bit 0
    // Square 1 ... bit 3 Noise), from startMs after the track's start. Never waits for the sound.
    virtual std::optional<std::string> play(const Bytes& file, int track, unsigned muteMask,
                                            long long startMs = 0) = 0;
    virtual void stop() = 0;
    // Where the sound now heard is, in ms from the track's start; nothing when not playing.
    virtual std::optional<long long> positionMs() const = 0;
    // Applies at once while playing.
    virtual void setMutedVoices(unsigned mask) = 0;
};

// "Play" and "Stop" through the sound output. An iNES ROM gives the message that listening
// needs an NSF.
class AudioPreview : public QObject, public PreviewPort {
    Q_OBJECT
  public:
    explicit AudioPreview(QObject* parent = nullptr);
    ~AudioPreview() override;

    std::optional<std::string> play(const Bytes& file, int track, unsigned muteMask,
                                    long long startMs = 0) override;
    void stop() override;
    std::optional<long long> positionMs() const override;
    void setMutedVoices(unsigned mask) override;

  signals:
    void stopped();

  private:
    QAudioSink* sink_ = nullptr;
    NsfAudioSource* source_ = nullptr;
    unsigned muteMask_ = 0;
    long long startMs_ = 0;
};

}  // namespace kestra
