#include "preview/wav_writer.h"

#include <cerrno>
#include <cstring>
#include <limits>
#include <vector>

namespace kestra::preview {

namespace {

void put16(std::vector<std::uint8_t>& out, std::uint32_t v) {
    out.push_back(static_cast<std::uint8_t>(v));
    out.push_back(static_cast<std::uint8_t>(v >> 8));
}
void put32(std::vector<std::uint8_t>& out, std::uint32_t v) {
    put16(out, v & 0xFFFF);
    put16(out, v >> 16);
}
void putTag(std::vector<std::uint8_t>& out, const char* tag) {
    out.insert(out.end(), tag, tag + 4);
}

std::vector<std::uint8_t> header(int sampleRate, int channels, std::uint32_t dataBytes) {
    std::vector<std::uint8_t> h;
    const std::uint32_t blockAlign = static_cast<std::uint32_t>(channels) * 2;
    putTag(h, "RIFF");
    put32(h, 36 + dataBytes);
    putTag(h, "WAVE");
    putTag(h, "fmt ");
    put32(h, 16);
    put16(h, 1);  // PCM
    put16(h, static_cast<std::uint32_t>(channels));
    put32(h, static_cast<std::uint32_t>(sampleRate));
    put32(h, static_cast<std::uint32_t>(sampleRate) * blockAlign);
    put16(h, blockAlign);
    put16(h, 16);
    putTag(h, "data");
    put32(h, dataBytes);
    return h;
}

constexpr std::uint64_t kMaxDataBytes = std::numeric_limits<std::uint32_t>::max() - 36;

}  // namespace

WavWriter::~WavWriter() = default;

std::optional<std::string> WavWriter::fail(const std::string& what) {
    std::string message = "Cannot write \"" + path_ + "\" (" + what + ")";
    if (errno) message += std::string(": ") + std::strerror(errno);
    message += ".";
    file_.abandon();
    stream_ = nullptr;
    open_ = false;
    return message;
}

namespace {

std::string_view view(const std::vector<std::uint8_t>& bytes) {
    return {reinterpret_cast<const char*>(bytes.data()), bytes.size()};
}

}  // namespace

std::optional<std::string> WavWriter::open(const std::string& path, int sampleRate, int channels) {
    path_ = path;
    dataBytes_ = 0;
    streamBytes_.reset();
    stream_ = nullptr;
    open_ = false;
    if (auto opened = file_.open(path); !opened) return opened.error();
    open_ = true;
    // Sizes are patched in by finish(); a sample rate is remembered in the header already.
    if (auto written = file_.write(view(header(sampleRate, channels, 0))); !written) {
        open_ = false;
        return written.error();
    }
    return std::nullopt;
}

std::optional<std::string> WavWriter::openStream(std::FILE* stream, const std::string& name,
                                                 int sampleRate, int channels,
                                                 std::uint64_t samples) {
    path_ = name;
    dataBytes_ = 0;
    errno = 0;
    file_.abandon();
    if (samples * 2 > kMaxDataBytes) return fail("longer than a WAV file can hold");
    stream_ = stream;
    open_ = true;
    streamBytes_ = samples * 2;
    auto h = header(sampleRate, channels, static_cast<std::uint32_t>(*streamBytes_));
    if (std::fwrite(h.data(), 1, h.size(), stream_) != h.size()) return fail("header");
    return std::nullopt;
}

std::optional<std::string> WavWriter::write(const std::int16_t* samples, size_t count) {
    if (!open_) return "No WAV file is open.";
    errno = 0;
    if (dataBytes_ + count * 2 > kMaxDataBytes) return fail("longer than a WAV file can hold");
    std::vector<std::uint8_t> bytes;
    bytes.reserve(count * 2);
    for (size_t i = 0; i < count; ++i) put16(bytes, static_cast<std::uint16_t>(samples[i]));
    if (stream_) {
        if (std::fwrite(bytes.data(), 1, bytes.size(), stream_) != bytes.size())
            return fail("write");
    } else if (auto written = file_.write(view(bytes)); !written) {
        open_ = false;
        return written.error();
    }
    dataBytes_ += bytes.size();
    return std::nullopt;
}

std::optional<std::string> WavWriter::finish() {
    if (!open_) return "No WAV file is open.";
    errno = 0;
    open_ = false;
    if (stream_) {
        if (dataBytes_ != *streamBytes_) return fail("not as long as its header says");
        if (std::fflush(stream_) != 0) return fail("write");
        stream_ = nullptr;
        return std::nullopt;
    }
    std::uint32_t data = static_cast<std::uint32_t>(dataBytes_);
    std::vector<std::uint8_t> riff, sizes;
    put32(riff, 36 + data);
    put32(sizes, data);
    Status done = file_.writeAt(4, view(riff));
    if (done) done = file_.writeAt(40, view(sizes));
    if (done) done = file_.commit();
    if (!done) return done.error();
    return std::nullopt;
}

}  // namespace kestra::preview
