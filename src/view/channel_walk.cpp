#include "view/channel_walk.h"

#include <algorithm>
#include <set>

#include "format/octave_state.h"
#include "model/line_fields.h"
#include "model/hex_text.h"

namespace kestra {

namespace {

std::string_view musicField(std::string_view record, int col) {
    return fieldOf(record, kMusicLayout, col);
}

std::string_view emptyText(int col) {
    return kMusicLayout.cols[static_cast<size_t>(col)].empty;
}

// A loop count, break flag or jump frame counts when it holds neither the empty nor the early
// page-end text.
bool isSetTargetField(std::string_view field) {
    return field != "--" && field != "..";
}

// The columns whose values a "^^^" line hands on to the next shown line.
constexpr std::array<int, 13> kCarriedColumns = {
    music::kVol,    music::kIns,  music::kOct,   music::kTLg,   music::kPitch,
    music::kSld,    music::kTnTp, music::kTrans, music::kTrAll, music::kSpeed1,
    music::kSpeed2, music::kTrip, music::kPlus};

// The octave a line plays in, as the COc column shows it.
std::string_view octaveText(int octave) {
    static const std::array<std::string, 16> kTexts = [] {
        std::array<std::string, 16> t;
        for (size_t i = 0; i < t.size(); ++i) t[i] = intToDecText(static_cast<long long>(i), 2);
        return t;
    }();
    return kTexts[static_cast<size_t>(std::clamp(octave, 0, 15))];
}

// A cell byte for the octave state; damaged text changes nothing.
template <typename Apply>
void withCellByte(std::string_view field, Apply apply) {
    if (field == "--") return;
    if (auto v = tryHexTextToInt(field); v && *v >= 0 && *v <= 0xFF)
        apply(static_cast<std::uint8_t>(*v));
}


}  // namespace

ChannelWalk::ChannelWalk(int frameCount, const FrameTexts& musicFrames,
                         const FrameTexts& loopFrames,
                         const FrameTexts& breakFrames, int rowLimit, int linesPerRow)
    : frames_(
          std::min<long long>(std::max(frameCount, 0), static_cast<long long>(musicFrames.size()))),
      music_(musicFrames),
      loop_(loopFrames),
      brk_(breakFrames),
      rowLimit_(rowLimit),
      lineBudget_(static_cast<long long>(rowLimit) * linesPerRow) {}

std::string_view ChannelWalk::record(const FrameTexts& texts, long long f,
                                     long long n, int width) const {
    if (f < 0 || f >= frames_ || f >= static_cast<long long>(texts.size()) || n < 0) return {};
    return recordOf(texts[static_cast<size_t>(f)], n, static_cast<size_t>(width));
}

std::string_view ChannelWalk::musicLine(long long f, long long n) const {
    return record(music_, f, n, kMusicRecordWidth);
}

std::string_view ChannelWalk::note(long long f, long long n) const {
    std::string_view line = musicLine(f, n);
    return line.empty() ? line : line.substr(0, 3);
}

WalkEnd ChannelWalk::run(ShownLineSink* sink) {
    ShownLine shown;
    // Values of "^^^" lines waiting for the next shown line; an empty view is nothing carried.
    std::array<std::string_view, kMusicColumns> carried{};
    bool anyCarried = false;
    std::array<long long, 5> counters{};  // C1..C4 at 1..4
    // The driver's octave state, played along: a taken break's flag acts where it lands.
    OctaveState octave;
    // Where the walk stood after each jump: coming back to one with the same counters proves
    // that it goes round for ever.
    std::set<std::array<long long, 6>> jumpedTo;
    std::string_view shownFlag = "--";
    std::string_view breakFlag;
    bool stop = false;
    long long& f = frame_;
    long long& n = line_;

    while (!stop) {
        const std::string_view m = musicLine(f, n);
        if (m.empty()) return WalkEnd::LeftStore;
        const std::string_view noteCell = m.substr(0, 3);
        if (noteCell == "|||") return WalkEnd::PageEnd;
        if (row_ >= rowLimit_ || lineBudget_-- <= 0) return WalkEnd::Cut;

        const std::string_view flag = musicField(m, music::kFlag);
        if (flag != "--") shownFlag = flag;
        if (!breakFlag.empty() && flag == "--") shownFlag = breakFlag;
        if (!breakFlag.empty())
            withCellByte(breakFlag, [&](std::uint8_t v) { octave.flagCommand(v); });
        breakFlag = {};
        withCellByte(musicField(m, music::kOct), [&](std::uint8_t v) { octave.octaveCommand(v); });
        withCellByte(flag, [&](std::uint8_t v) { octave.flagCommand(v); });
        if (musicField(m, music::kPlus) != "--") octave.togglePlus();

        if (noteCell != "^^^") {
            shown.row = row_;
            shown.cells[music::kNote] = noteCell;
            shown.cells[music::kFlag] = shownFlag;
            shownFlag = "--";
            for (int c : kCarriedColumns) {
                const auto i = static_cast<size_t>(c);
                shown.cells[i] = anyCarried && !carried[i].empty() ? carried[i] : musicField(m, c);
            }
            if (anyCarried) {
                carried.fill({});
                anyCarried = false;
            }
            shown.octave = octaveText(octave.octave());
            shown.frame = f;
            shown.line = n;
            if (sink) sink->show(shown);
            rowWritten_ = true;
        } else {
            for (int c : kCarriedColumns) {
                const std::string_view field = musicField(m, c);
                if (field != emptyText(c)) {
                    carried[static_cast<size_t>(c)] = field;
                    anyCarried = true;
                }
            }
        }

        const std::string_view loopLine = record(loop_, f, n, kLoopRecordWidth);
        const std::string_view lp = loopLine.empty() ? kLoopLayout.emptyRecord : loopLine;
        const std::string_view breakLine = record(brk_, f, n, kBreakRecordWidth);
        const std::string_view bk = breakLine.empty() ? kBreakLayout.emptyRecord : breakLine;
        bool jump = false;
        long long toFrame = 0, toLine = 0;
        auto decideJump = [&](std::string_view rec, size_t at) {
            toFrame = decTextToInt(rec.substr(at, 2));
            toLine = decTextToInt(rec.substr(at + 2, 4));
            jump = true;
        };
        for (size_t k = 1; k <= 4 && !jump; ++k) {
            const size_t at = groupOffset(static_cast<int>(k));
            const std::string_view count = lp.substr(at, 2);
            if (!isSetTargetField(count)) continue;
            long long& ck = counters[k];
            if (ck == 0)
                ck = hexTextToInt(count);
            else
                --ck;
            if (ck != 0) decideJump(lp, at + 2);
        }
        if (!jump && isSetTargetField(lp.substr(kJumpOffset, 2))) {
            decideJump(lp, kJumpOffset);
            // A jump just before the page end is how a song repeats: the walk ends there.
            if (note(f, n + 1) == "|||") stop = true;
        }
        for (size_t k = 1; k <= 4 && !jump; ++k) {
            const size_t at = groupOffset(static_cast<int>(k));
            const std::string_view flagField = bk.substr(at, 2);
            if (!isSetTargetField(flagField) || counters[k] != 1) continue;
            counters[k] = 0;
            breakFlag = flagField;
            decideJump(bk, at + 2);
        }

        if (jump) {
            f = toFrame;
            n = toLine;
            if (!endless_ &&
                !jumpedTo.insert({f, n, counters[1], counters[2], counters[3], counters[4]}).second)
                endless_ = true;
        } else {
            ++n;
        }
        if (note(f, n) == "...") {
            ++f;
            n = 0;
        }
        // After a jump that ends the walk the end row follows the jump line's row, whatever
        // line the jump leads to.
        if ((stop || note(f, n) != "^^^") && rowWritten_) {
            ++row_;
            rowWritten_ = false;
        }
    }
    return WalkEnd::PageEnd;
}

}  // namespace kestra
