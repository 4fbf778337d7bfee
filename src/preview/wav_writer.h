// A streaming writer of 16-bit PCM WAV files: the header is written first with the sizes filled
// in when the file is finished, so long renders never sit in memory whole. A file is written
// atomically: it appears whole at finish() or not at all.
#pragma once

#include <cstdint>
#include <cstdio>
#include <optional>
#include <string>

#include "model/atomic_write.h"

namespace kestra::preview {

class WavWriter {
  public:
    WavWriter() = default;
    ~WavWriter();
    WavWriter(const WavWriter&) = delete;
    WavWriter& operator=(const WavWriter&) = delete;

    // Each returns an error message, or nothing on success. After an error, or when the writer
    // is destroyed unfinished, the target is left as it was.
    std::optional<std::string> open(const std::string& path, int sampleRate, int channels);
    // Writes to an open stream that cannot seek (standard output): the sizes go into the header
    // at once, so exactly `samples` samples must follow. The stream is flushed, not closed.
    std::optional<std::string> openStream(std::FILE* stream, const std::string& name,
                                          int sampleRate, int channels, std::uint64_t samples);
    std::optional<std::string> write(const std::int16_t* samples, size_t count);
    std::optional<std::string> finish();

  private:
    std::optional<std::string> fail(const std::string& what);
    std::FILE* stream_ = nullptr;  // set when writing to a stream
    kestra::AtomicFile file_;
    bool open_ = false;
    std::string path_;
    std::uint64_t dataBytes_ = 0;
    std::optional<std::uint64_t> streamBytes_;
};

}  // namespace kestra::preview
