#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <memory>
#include <optional>
#include <vector>

#include "cli/cli_common.h"
#include "cli/commands.h"
#include "cli/listen_source.h"
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

struct RenderArgs {
    std::string file;
    std::string track;
    std::string seconds;
    std::string out;
    std::string mute;
    ListenOptions listen;
};

int runRender([[maybe_unused]] const RenderArgs& a) {
#ifndef KESTRA_HAVE_PREVIEW
    return fail("this kestra-cli was built without libgme: it cannot render audio");
#else
    auto track = tryDecTextToInt(a.track);
    if (!track || *track > 255)
        return usageError("TRACK must be a track number from 0 (as NSF players count), not \"" +
                          a.track + "\"");
    auto seconds = parseSeconds(a.seconds);
    if (!seconds || *seconds <= 0 || *seconds > kMaxSeconds)
        return usageError("SECONDS must be a number of seconds above 0 and at most 3600, not \"" +
                          a.seconds + "\"");
    std::optional<unsigned> mute = 0u;
    if (!a.mute.empty()) mute = parseMuteMask(a.mute);
    if (!mute)
        return usageError(
            "--mute takes channels separated by commas: 1-4 or sq1, sq2, tri, "
            "noise; not \"" +
            a.mute + "\"");
    if (auto ok = checkListenOptions(a.listen); !ok) return usageError(ok.error());
    if (auto may = checkOutputNotInput(a.out, {a.file, a.listen.sheets}); !may)
        return fail(may.error());
    const bool toStdout = isStandardStream(a.out);
    Bytes bytes;
    if (a.listen.sheets.empty()) {
        auto read = readInput(a.file);
        if (!read) return fail(read.error());
        bytes = std::move(*read);
    } else {
        auto source = loadListenSource(a.file, static_cast<int>(*track), a.listen);
        if (!source) return kFailed;
        bytes = std::move(source->nsf);
    }
    auto player = preview::NsfRenderer::open(bytes);
    if (!player) return fail(player.error());
    if (auto err = player->startTrack(static_cast<int>(*track))) return fail(*err);
    player->setMutedVoices(*mute);
    auto started = std::chrono::steady_clock::now();
    const size_t total = static_cast<size_t>(*seconds * preview::kSampleRate + 0.5);
    preview::WavWriter wav;
    auto opened = toStdout
                      ? wav.openStream(stdout, "standard output", preview::kSampleRate,
                                       preview::kOutputChannels, total * preview::kOutputChannels)
                      : wav.open(a.out, preview::kSampleRate, preview::kOutputChannels);
    if (opened) return fail(*opened);
    std::vector<std::int16_t> block(4096 * preview::kOutputChannels);
    for (size_t done = 0; done < total;) {
        size_t frames = std::min<size_t>(4096, total - done);
        auto err = player->render(block.data(), frames);
        if (!err) err = wav.write(block.data(), frames * preview::kOutputChannels);
        if (err) return fail(*err);
        done += frames;
    }
    if (auto err = wav.finish()) return fail(*err);
    double took = std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
    double audio = static_cast<double>(total) / preview::kSampleRate;
    // The summary must not mix into a WAV written to standard output.
    std::FILE* report = toStdout ? stderr : stdout;
    std::fprintf(report, "%s: %.2f s of track %lld, 44100 Hz 16-bit stereo, rendered in %.3f s",
                 toStdout ? "standard output" : a.out.c_str(), audio, *track, took);
    if (took > 0) std::fprintf(report, " (%.0f x real time)", audio / took);
    std::fprintf(report, "\n");
    return kDone;
#endif
}

}  // namespace

void addRenderCommand(CLI::App& app) {
    auto args = std::make_shared<RenderArgs>();
    CLI::App* cmd = addCommand(
        app, "render", "play a track of an NSF file into a WAV file",
        "Plays track TRACK of the NSF file FILE (counted from 0, as NSF players do; Song ID\n"
        "n is usually track n - 1) for SECONDS seconds (a fraction allowed, at most 3600)\n"
        "and writes the sound as a 44.1 kHz 16-bit stereo WAV file. NES cartridge images\n"
        "cannot be played: listening needs the NSF file. When OUT.wav is \"-\" the sound goes\n"
        "to standard output and the summary to standard error.\n"
        "--sheets DUMP --address ADDR --song ID plays the sheet dump DUMP instead, written\n"
        "into a copy of the file in memory exactly as \"create FILE ADDR ID DUMP\" would\n"
        "write it (its messages printed as \"message: TEXT\"); the file is not changed.",
        [args] { return runRender(*args); });
    cmd->add_option("FILE", args->file, "the NSF file (\"-\": standard input)")->required();
    cmd->add_option("TRACK", args->track, "the track, counted from 0")->required();
    cmd->add_option("SECONDS", args->seconds, "how long to play")->required();
    cmd->add_option("OUT.wav", args->out, "the WAV file to write (\"-\": standard output)")
        ->required();
    cmd->add_option("--mute", args->mute,
                    "channels to silence: a comma list of 1-4 or sq1, sq2, tri, noise");
    addListenOptions(*cmd, args->listen);
}

}  // namespace kestra::cli
