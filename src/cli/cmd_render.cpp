#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <optional>
#include <vector>

#include "cli/commands.h"
#include "model/hex_text.h"
#include "rom/file_bytes.h"

#ifdef KESTRA_HAVE_PREVIEW
#include "preview/nsf_render.h"
#include "preview/wav_writer.h"
#endif

namespace kestra::cli {

namespace {

// An hour of audio is some 600 MB of WAV; longer requests are surely typing mistakes.
constexpr double kMaxSeconds = 3600;

// Decimal seconds with an optional fraction ("10", "2.5").
[[maybe_unused]] std::optional<double> parseSeconds(const std::string& text) {
    auto dot = text.find('.');
    std::string whole = text.substr(0, dot);
    std::string frac = dot == std::string::npos ? "" : text.substr(dot + 1);
    if (whole.empty() && frac.empty()) return std::nullopt;
    for (char c : whole + frac)
        if (c < '0' || c > '9') return std::nullopt;
    if (whole.size() > 6 || frac.size() > 6) return std::nullopt;
    double v = whole.empty() ? 0 : static_cast<double>(std::stol(whole));
    if (!frac.empty()) v += static_cast<double>(std::stol(frac)) / std::pow(10.0, frac.size());
    return v;
}

}  // namespace

int runRender(const Args& args) {
    if (args.size() != 4) {
        std::fprintf(stderr, "usage: kestra-cli render FILE TRACK SECONDS OUT.wav\n");
        return 2;
    }
#ifndef KESTRA_HAVE_PREVIEW
    std::fprintf(stderr, "This kestra-cli was built without libgme: it cannot render audio.\n");
    return 1;
#else
    auto track = tryDecTextToInt(args[1]);
    if (!track || *track < 0 || *track > 255) {
        std::fprintf(stderr,
                     "TRACK must be a track number from 0 (as NSF players count), not "
                     "\"%s\".\n",
                     args[1].c_str());
        return 2;
    }
    auto seconds = parseSeconds(args[2]);
    if (!seconds || *seconds <= 0 || *seconds > kMaxSeconds) {
        std::fprintf(stderr,
                     "SECONDS must be a number of seconds above 0 and at most %.0f, not "
                     "\"%s\".\n",
                     kMaxSeconds, args[2].c_str());
        return 2;
    }
    auto bytes = readFileBytes(args[0]);
    if (!bytes) {
        std::fprintf(stderr, "%s\n", bytes.error().c_str());
        return 1;
    }
    auto player = preview::NsfRenderer::open(*bytes);
    if (!player) {
        std::fprintf(stderr, "%s\n", player.error().c_str());
        return 1;
    }
    if (auto err = player->startTrack(static_cast<int>(*track))) {
        std::fprintf(stderr, "%s\n", err->c_str());
        return 1;
    }
    preview::WavWriter wav;
    if (auto err = wav.open(args[3], preview::kSampleRate, preview::kOutputChannels)) {
        std::fprintf(stderr, "%s\n", err->c_str());
        return 1;
    }
    auto started = std::chrono::steady_clock::now();
    const size_t total = static_cast<size_t>(*seconds * preview::kSampleRate + 0.5);
    std::vector<std::int16_t> block(4096 * preview::kOutputChannels);
    for (size_t done = 0; done < total;) {
        size_t frames = std::min<size_t>(4096, total - done);
        auto err = player->render(block.data(), frames);
        if (!err) err = wav.write(block.data(), frames * preview::kOutputChannels);
        if (err) {
            std::fprintf(stderr, "%s\n", err->c_str());
            return 1;
        }
        done += frames;
    }
    if (auto err = wav.finish()) {
        std::fprintf(stderr, "%s\n", err->c_str());
        return 1;
    }
    double took = std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
    double audio = static_cast<double>(total) / preview::kSampleRate;
    std::printf("%s: %.2f s of track %lld, 44100 Hz 16-bit stereo, rendered in %.3f s",
                args[3].c_str(), audio, *track, took);
    if (took > 0) std::printf(" (%.0f x real time)", audio / took);
    std::printf("\n");
    return 0;
#endif
}

}  // namespace kestra::cli
