#include <cstdio>
#include <map>
#include <memory>

#include "cli/cli_common.h"
#include "cli/commands.h"
#include "cli/listen_source.h"
#include "listen/driver_timeline.h"
#include "model/hex_text.h"

namespace kestra::cli {

namespace {

// An hour of frames is plenty to check a song; more is a typing mistake.
constexpr long long kMaxTimelineSeconds = 3600;

struct TimelineArgs {
    std::string file;
    std::string track;
    std::string seconds;
    ListenOptions listen;
};

int runTimeline(const TimelineArgs& a) {
    auto track = tryDecTextToInt(a.track);
    if (!track || *track < 0 || *track > 255)
        return usageError("TRACK must be a track number from 0, not \"" + a.track + "\"");
    auto seconds = tryDecTextToInt(a.seconds);
    if (!seconds || *seconds <= 0 || *seconds > kMaxTimelineSeconds)
        return usageError("SECONDS must be a whole number from 1 to 3600, not \"" + a.seconds +
                          "\"");
    if (auto ok = checkListenOptions(a.listen); !ok) return usageError(ok.error());
    auto source = loadListenSource(a.file, static_cast<int>(*track), a.listen);
    if (!source) return kFailed;
    // The frame count comes from the file's own rate.
    auto probe = listen::runTimeline(source->nsf, static_cast<int>(*track), 0, {});
    if (!probe) return fail(probe.error());
    int frames = static_cast<int>(static_cast<double>(*seconds) * probe->frameRate + 0.5);
    auto t = listen::runTimeline(source->nsf, static_cast<int>(*track), frames, source->places);
    if (!t) return fail(t.error());
    bool severalFrames = false;
    for (const auto& channel : t->channels)
        for (const auto& s : channel) severalFrames = severalFrames || s.line.frame != 0;
    // By frame, then channel.
    std::multimap<std::pair<int, int>, listen::SheetLine> changes;
    for (int c = 0; c < kChannelCount; ++c)
        for (const auto& s : t->channels[static_cast<size_t>(c)])
            changes.emplace(std::make_pair(s.frame, c + 1), s.line);
    std::string out;
    for (const auto& [key, line] : changes) {
        out += std::to_string(key.first) + " " + std::to_string(key.second) + " ";
        if (severalFrames) out += std::to_string(line.frame) + ":";
        out += std::to_string(line.line) + "\n";
    }
    if (!writeStdout(out)) return fail("cannot write to standard output");
    if (auto flushed = flushStdout(); !flushed) return fail(flushed.error());
    if (!t->stopped.empty()) return fail(t->stopped);
    return kDone;
}

}  // namespace

void addTimelineCommand(CLI::App& app) {
    auto args = std::make_shared<TimelineArgs>();
    CLI::App* cmd = addCommand(
        app, "timeline", "print when each sheet line plays, as the file's own driver plays it",
        "Runs the NSF's own player code for track TRACK for SECONDS seconds and prints a line\n"
        "\"FRAME CHANNEL LINE\" each time a channel starts a line of its sheets: FRAME counts\n"
        "the player's frames from 0 (at the file's rate, 60.1 or 50 a second), CHANNEL is 1-4\n"
        "(Square 1, Square 2, Triangle, Noise) and LINE the sheet line (\"F:LINE\" when the\n"
        "sheets have more than one frame). The song followed is that of Song ID TRACK + 1, or\n"
        "with --sheets DUMP --address ADDR --song ID the dump written in memory as \"create\"\n"
        "would write it. Exit status 1 when the player stops early (the reason on stderr).",
        [args] { return runTimeline(*args); });
    cmd->add_option("FILE", args->file, "the NSF file")->required();
    cmd->add_option("TRACK", args->track, "the track, counted from 0")->required();
    cmd->add_option("SECONDS", args->seconds, "how long to follow")->required();
    addListenOptions(*cmd, args->listen);
}

}  // namespace kestra::cli
