// Listening to an NSF file: a track played by libgme into 44.1 kHz 16-bit stereo samples, block
// by block, so that an audio device (or a WAV writer) can pull as much as it needs.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "model/result.h"
#include "rom/file_bytes.h"

struct Music_Emu;

namespace kestra::preview {

constexpr int kSampleRate = 44100;
constexpr int kOutputChannels = 2;

class NsfRenderer {
  public:
    // Takes a copy of the file's bytes. An iNES ROM is refused with a message saying that
    // listening needs an NSF file.
    static Result<NsfRenderer> open(const Bytes& nsf);

    int trackCount() const;
    // The sound channels the player knows ("Square 1", "Square 2", "Triangle", "Noise", "DMC").
    std::vector<std::string> voiceNames() const;

    // Starts track (from 0) from its beginning; silence never ends a track early, since a
    // preview with muted channels may be quiet for long stretches. Returns an error message.
    std::optional<std::string> startTrack(int track);
    // Bit i mutes voice i (bit 0 Square 1 ... bit 3 Noise). Takes effect at once.
    void setMutedVoices(unsigned mask);

    // Fills out with frames stereo frames (2 * frames samples, left then right). Fast enough to
    // call from an audio callback. Returns an error message; the buffer is then silent.
    std::optional<std::string> render(std::int16_t* out, size_t frames);
    std::vector<std::int16_t> render(size_t frames);

    // Milliseconds played since the track started.
    int positionMs() const;
    // Moves to ms after the track's start (by playing silently up to there). Returns an error
    // message.
    std::optional<std::string> seek(int ms);

  private:
    struct Deleter {
        void operator()(Music_Emu* emu) const;
    };
    std::unique_ptr<Music_Emu, Deleter> emu_;
    bool started_ = false;
};

// The message for a file that cannot be played, or nothing for an NSF header.
std::optional<std::string> previewRefusal(const Bytes& bytes);

}  // namespace kestra::preview
