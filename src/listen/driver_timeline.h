// When each sheet line plays: the NSF's own driver is run on the 6502 core, the stream bytes it
// reads in each frame are recorded, and the note (or End) bytes among them are turned into the
// lines they belong to through the line addresses of the song.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "model/result.h"
#include "model/sheets.h"
#include "rom/file_bytes.h"

namespace kestra::listen {

// A line of the editable sheets: frame of the frame store and line in it.
struct SheetLine {
    int frame = 0;
    int line = 0;
    bool operator==(const SheetLine&) const = default;
};

// A byte that starts a line when the driver reads it: a note (or rest) byte, or the End byte.
struct LinePlace {
    std::uint32_t fileOffset = 0;
    SheetLine line;
    // The "---" lines after it that its note holds; they start at even steps until the next
    // byte of the channel starts a line.
    int heldLines = 0;
};

// Where the lines of each channel lie in the file, sorted by offset.
using SongPlaces = std::array<std::vector<LinePlace>, kChannelCount>;

struct LineStart {
    int frame = 0;  // PLAY call, from 0
    SheetLine line;
    bool operator==(const LineStart&) const = default;
};

struct Timeline {
    double frameRate = 60;
    int frames = 0;  // frames run
    std::array<std::vector<LineStart>, kChannelCount> channels;  // in time order
    // Why the run ended before `frames`, or empty.
    std::string stopped;

    // The line of channel playing at frame, if any started yet.
    std::optional<SheetLine> lineAt(int channel, int frame) const;
    // The first frame at which the line starts, if the run reached it.
    std::optional<int> firstFrameOf(int channel, SheetLine line) const;
    int frameAtMs(long long ms) const;
    long long msAtFrame(int frame) const;
};

// Runs INIT of track and `frames` PLAY calls of the NSF, mapping what the driver reads through
// places. Fails when the file cannot be run at all; a driver that stops later gives the timeline
// up to there with the reason in `stopped`.
Result<Timeline> runTimeline(const Bytes& nsf, int track, int frames, const SongPlaces& places);

// The places of one channel from its stream bytes and their file offsets, with the lines given
// by the stream index their material starts at and their Note cell text.
struct StreamLine {
    size_t begin = 0;  // index into the stream bytes
    SheetLine line;
    std::string note;  // "C-3", "///", "---", "^^^", "|||", "..."
};
std::vector<LinePlace> placesOf(const Bytes& stream, const std::vector<std::uint32_t>& offsets,
                                const std::vector<StreamLine>& lines);

}  // namespace kestra::listen
