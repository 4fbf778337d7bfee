#include "listen/driver_timeline.h"

#include <algorithm>
#include <cmath>
#include <iterator>

#include "cpu/nsf_machine.h"
#include "format/stream_def.h"

namespace kestra::listen {

namespace {

bool takesTime(const std::string& note) {
    return note != "---" && note != "^^^" && note != "...";
}

// What is playing on one channel while the run goes on.
struct ChannelState {
    const LinePlace* current = nullptr;
    int startedAt = 0;
    // Frames a line lasted in the last note that was followed by another: the pace for the
    // held lines of a note still sounding when the run ends.
    double framesPerLine = 0;
};

void holdLines(std::vector<LineStart>& out, const LinePlace& p, int from, double step, int limit) {
    for (int k = 1; k <= p.heldLines; ++k) {
        int at = from + static_cast<int>(std::floor(step * k + 1e-9));
        if (at >= limit) break;
        out.push_back({at, {p.line.frame, p.line.line + k}});
    }
}

}  // namespace

std::vector<LinePlace> placesOf(const Bytes& stream, const std::vector<std::uint32_t>& offsets,
                                const std::vector<StreamLine>& lines) {
    // The lines that take time, with the "---" lines each one holds.
    std::vector<std::pair<size_t, LinePlace>> timed;
    for (size_t i = 0; i < lines.size(); ++i) {
        if (!takesTime(lines[i].note)) continue;
        LinePlace p;
        p.line = lines[i].line;
        for (size_t k = i + 1; k < lines.size() && lines[k].note == "---" &&
                               lines[k].line.frame == p.line.frame;
             ++k)
            ++p.heldLines;
        timed.push_back({lines[i].begin, p});
    }
    std::vector<LinePlace> out;
    for (size_t at : commandPositions(stream)) {
        std::uint8_t b = stream[at];
        if (!isNote(b) && b != 0x17) continue;
        // The byte belongs to the last line whose material starts at or before it.
        auto it = std::upper_bound(timed.begin(), timed.end(), at,
                                   [](size_t a, const auto& t) { return a < t.first; });
        if (it == timed.begin() || at >= offsets.size()) continue;
        LinePlace p = std::prev(it)->second;
        p.fileOffset = offsets[at];
        out.push_back(p);
    }
    std::sort(out.begin(), out.end(),
              [](const LinePlace& a, const LinePlace& b) { return a.fileOffset < b.fileOffset; });
    return out;
}

Result<Timeline> runTimeline(const Bytes& nsf, int track, int frames, const SongPlaces& places) {
    using R = Result<Timeline>;
    auto opened = cpu::NsfMachine::open(nsf);
    if (!opened) return R::failure(opened.error());
    cpu::NsfMachine& machine = **opened;
    for (int c = 0; c < kChannelCount; ++c)
        for (const LinePlace& p : places[static_cast<size_t>(c)])
            machine.watch(p.fileOffset, static_cast<std::uint8_t>(c + 1));
    if (auto failed = machine.init(track)) return R::failure(*failed);

    Timeline t;
    t.frameRate = machine.header().frameRate();
    std::array<ChannelState, kChannelCount> state{};
    auto placeAt = [&](int c, std::uint32_t offset) -> const LinePlace* {
        const auto& list = places[static_cast<size_t>(c)];
        auto it = std::lower_bound(
            list.begin(), list.end(), offset,
            [](const LinePlace& p, std::uint32_t o) { return p.fileOffset < o; });
        return it != list.end() && it->fileOffset == offset ? &*it : nullptr;
    };
    int frame = 0;
    for (; frame < frames; ++frame) {
        if (auto failed = machine.play()) {
            t.stopped = "At frame " + std::to_string(frame) + ": " + *failed;
            break;
        }
        for (const auto& read : machine.reads()) {
            int c = read.tag - 1;
            auto& s = state[static_cast<size_t>(c)];
            const LinePlace* p = placeAt(c, read.fileOffset);
            if (!p) continue;
            // Another piece of the same held note goes on; the same byte again is a new turn.
            if (s.current && s.current->line == p->line && s.current != p) continue;
            auto& out = t.channels[static_cast<size_t>(c)];
            if (s.current) {
                double step = static_cast<double>(frame - s.startedAt) / (s.current->heldLines + 1);
                holdLines(out, *s.current, s.startedAt, step, frame + 1);
                if (frame > s.startedAt) s.framesPerLine = step;
            }
            out.push_back({frame, p->line});
            s.current = p;
            s.startedAt = frame;
        }
    }
    t.frames = frame;
    for (int c = 0; c < kChannelCount; ++c) {
        auto& s = state[static_cast<size_t>(c)];
        if (s.current && s.framesPerLine > 0)
            holdLines(t.channels[static_cast<size_t>(c)], *s.current, s.startedAt,
                      s.framesPerLine, frame);
    }
    return t;
}

std::optional<SheetLine> Timeline::lineAt(int channel, int frame) const {
    const auto& list = channels[static_cast<size_t>(channel)];
    auto it = std::upper_bound(list.begin(), list.end(), frame,
                               [](int f, const LineStart& s) { return f < s.frame; });
    if (it == list.begin()) return std::nullopt;
    return std::prev(it)->line;
}

std::optional<int> Timeline::firstFrameOf(int channel, SheetLine line) const {
    for (const LineStart& s : channels[static_cast<size_t>(channel)])
        if (s.line == line) return s.frame;
    return std::nullopt;
}

int Timeline::frameAtMs(long long ms) const {
    return static_cast<int>(std::floor(static_cast<double>(ms) * frameRate / 1000.0 + 1e-9));
}

long long Timeline::msAtFrame(int frame) const {
    return static_cast<long long>(std::ceil(frame * 1000.0 / frameRate - 1e-9));
}

}  // namespace kestra::listen
