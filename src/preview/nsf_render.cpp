#include "preview/nsf_render.h"

#include <gme/gme.h>

#include <algorithm>
#include <cstring>

namespace kestra::preview {

void NsfRenderer::Deleter::operator()(Music_Emu* emu) const {
    gme_delete(emu);
}

std::optional<std::string> previewRefusal(const Bytes& bytes) {
    auto startsWith = [&](const char* magic, size_t n) {
        return bytes.size() >= n && std::memcmp(bytes.data(), magic, n) == 0;
    };
    if (startsWith("NES\x1A", 4))
        return std::string(
            "Listening needs an NSF file: this is an NES cartridge image (iNES), which holds "
            "no player information. Open the game's NSF file to listen.");
    if (!startsWith("NESM\x1A", 5) || bytes.size() < 0x80)
        return std::string("This is not an NSF file: it does not start with an NSF header.");
    return std::nullopt;
}

Result<NsfRenderer> NsfRenderer::open(const Bytes& nsf) {
    using R = Result<NsfRenderer>;
    if (auto why = previewRefusal(nsf)) return R::failure(*why);
    Music_Emu* emu = gme_new_emu(gme_nsf_type, kSampleRate);
    if (!emu) return R::failure("Not enough memory to start the NSF player.");
    NsfRenderer r;
    r.emu_.reset(emu);
    if (gme_err_t err = gme_load_data(emu, nsf.data(), static_cast<long>(nsf.size())))
        return R::failure(std::string("The NSF player refused the file: ") + err + ".");
    if (gme_track_count(emu) < 1) return R::failure("The NSF file holds no track.");
    // Play on for as long as asked: no length limit, no silence detection.
    gme_set_autoload_playback_limit(emu, 0);
    gme_ignore_silence(emu, 1);
    return R(std::move(r));
}

int NsfRenderer::trackCount() const {
    return gme_track_count(emu_.get());
}

std::vector<std::string> NsfRenderer::voiceNames() const {
    std::vector<std::string> names;
    for (int i = 0; i < gme_voice_count(emu_.get()); ++i)
        names.emplace_back(gme_voice_name(emu_.get(), i));
    return names;
}

std::optional<std::string> NsfRenderer::startTrack(int track) {
    int count = trackCount();
    if (track < 0 || track >= count)
        return "Track " + std::to_string(track) + " does not exist: the file's tracks are 0 to " +
               std::to_string(count - 1) + ".";
    gme_ignore_silence(emu_.get(), 1);
    if (gme_err_t err = gme_start_track(emu_.get(), track)) {
        started_ = false;
        return std::string("The NSF player cannot start track ") + std::to_string(track) + ": " +
               err + ".";
    }
    started_ = true;
    return std::nullopt;
}

void NsfRenderer::setMutedVoices(unsigned mask) {
    gme_mute_voices(emu_.get(), static_cast<int>(mask));
}

std::optional<std::string> NsfRenderer::render(std::int16_t* out, size_t frames) {
    if (!started_) {
        std::fill_n(out, frames * kOutputChannels, std::int16_t{0});
        return std::string("No track started.");
    }
    // gme_play counts samples in an int; keep each call well inside it.
    constexpr size_t kChunk = 1 << 16;
    for (size_t done = 0; done < frames;) {
        size_t n = std::min(kChunk, frames - done);
        if (gme_err_t err = gme_play(emu_.get(), static_cast<int>(n * kOutputChannels),
                                     out + done * kOutputChannels)) {
            std::fill_n(out, frames * kOutputChannels, std::int16_t{0});
            return std::string("The NSF player stopped: ") + err + ".";
        }
        done += n;
    }
    return std::nullopt;
}

std::vector<std::int16_t> NsfRenderer::render(size_t frames) {
    std::vector<std::int16_t> samples(frames * kOutputChannels);
    render(samples.data(), frames);
    return samples;
}

std::optional<std::string> NsfRenderer::seek(int ms) {
    if (!started_) return std::string("No track started.");
    if (gme_err_t err = gme_seek(emu_.get(), ms))
        return std::string("The NSF player cannot go to that time: ") + err + ".";
    return std::nullopt;
}

int NsfRenderer::positionMs() const {
    return gme_tell(emu_.get());
}

}  // namespace kestra::preview
