#include "encoder/kept_commands.h"

#include "format/stream_def.h"
#include "model/big_endian.h"
#include "model/line_fields.h"
#include "model/sheets.h"

namespace kestra {

int RememberedLines::firstOf(int n) const {
    int first = remembered_[static_cast<size_t>(n)];
    return first < 0 ? newPitches_[static_cast<size_t>(n)] : first;
}

int RememberedLines::noteLines(std::string_view music, int n, int endLine) const {
    if (!memory_ || n >= endLine) return 0;
    auto noteAt = [&](int k) { return field(recordOf(music, k, kMusicRecordWidth), mf::kNote, 3); };
    if (n > 0 && noteAt(n) == "---") return 0;
    int end = n + 1;
    while (end < endLine && noteAt(end) == "---") ++end;
    int first = firstOf(n);
    if (first < 0 || memory_->lines[static_cast<size_t>(first)].groupLines != end - n) return 0;
    for (int k = n + 1; k < end; ++k)
        if (remembered_[static_cast<size_t>(k)] != first + (k - n)) return 0;
    if (newPitch(n) && !onePitchHeld(static_cast<size_t>(first), end - n)) return 0;
    return end - n;
}

// A new pitch goes into every piece of the held note; that is only the same note when no
// octave change falls between the pieces.
bool RememberedLines::onePitchHeld(size_t first, int lines) const {
    const Bytes& bytes = memory_->bytes;
    size_t from = memory_->lines[first].begin;
    size_t to = memory_->lines[first + static_cast<size_t>(lines) - 1].end;
    bool noteSeen = false;
    for (size_t i = from; i < to; i += 1 + static_cast<size_t>(operandCount(bytes[i]))) {
        std::uint8_t b = bytes[i];
        if (isNote(b)) noteSeen = true;
        if (noteSeen && (b == cmd::kOctave || b == cmd::kFlag || b == cmd::kOctavePlus))
            return false;
    }
    return noteSeen;
}

// The line's bytes must be commands, then the note's own bytes (Dotted, notes, Connects), then
// targets; a Flag asking for a dotted note keeps the line on its cells.
KeptCommands RememberedLines::keptCommandsOf(std::string_view music, int n, int endLine) const {
    if (!memory_ || n >= endLine) return {};
    std::string_view note = field(recordOf(music, n, kMusicRecordWidth), mf::kNote, 3);
    if (note == "---" || note == "^^^" || note == "..." || note == "|||") return {};
    int first = firstOf(n);
    if (first < 0) return {};
    const LineMemory& line = memory_->lines[static_cast<size_t>(first)];
    const Bytes& bytes = memory_->bytes;
    auto next = [&](size_t i) { return i + 1 + static_cast<size_t>(operandCount(bytes[i])); };
    auto notePart = [](std::uint8_t b) {
        return isNote(b) || b == cmd::kConnect || b == cmd::kDotted;
    };
    size_t i = line.begin;
    for (; i < line.end && !notePart(bytes[i]); i = next(i)) {
        if (isNote(bytes[i]) || (bytes[i] == cmd::kFlag && i + 1 < line.end &&
                                 (bytes[i + 1] & OctaveState::kDottedBit)))
            return {};
    }
    KeptCommands kept{&line, static_cast<std::uint32_t>(i), 0};
    bool noteSeen = false;
    for (; i < line.end && notePart(bytes[i]); i = next(i)) noteSeen = noteSeen || isNote(bytes[i]);
    kept.noteEnd = static_cast<std::uint32_t>(i);
    for (; i < line.end; i = next(i))
        if (!isLoop(bytes[i]) && !isBreak(bytes[i]) && !isJump(bytes[i])) return {};
    if (!noteSeen || i != line.end) return {};
    return kept;
}

std::vector<std::pair<size_t, TargetFixup>> RememberedLines::targets(
    const LineMemory& line, int frame, int n, std::string_view loopRec, std::string_view brkRec,
    std::vector<std::uint16_t>& keptTargets, ErrorBox& errors) const {
    std::vector<std::pair<size_t, TargetFixup>> fixups;
    const Bytes& bytes = memory_->bytes;
    int index = 0;
    for (size_t i = line.begin; i < line.end;
         i += 1 + static_cast<size_t>(operandCount(bytes[i]))) {
        std::uint8_t b = bytes[i];
        if (!isLoop(b) && !isBreak(b) && !isJump(b)) continue;
        size_t hi = targetOperandAt(i, isJump(b));
        if (hi + 1 >= line.end) break;  // a damaged song file: never read past the line
        if (line.keptTargets & (1u << index++)) {
            std::uint16_t target = readBigEndian16(bytes, hi);
            keptTargets.push_back(target);
            if (!in_->keepsPlace && !inRememberedStream(target))
                errors.report(keptTargetElsewhereMessage(n, in_->name, target));
            continue;
        }
        std::string_view rec = isLoop(b) || isJump(b) ? loopRec : brkRec;
        size_t at = isJump(b)
                        ? 32
                        : static_cast<size_t>(8 * (isLoop(b) ? b - cmd::kLoop1 : b - cmd::kBreak1));
        size_t frameAt = isJump(b) ? at : at + 2;
        fixups.push_back({hi,
                          {0, std::string(field(rec, frameAt, 2)),
                           std::string(field(rec, frameAt + 2, 4)), frame, n}});
    }
    return fixups;
}

bool RememberedLines::inRememberedStream(std::uint16_t target) const {
    if (!in_->judgedByContent) return false;
    for (const auto& m : *in_->judgedByContent)
        if (m && m->layout == memory_->layout && target >= m->pointer &&
            target < m->pointer + m->bytes.size())
            return true;
    return false;
}

void playOctave(const Bytes& bytes, size_t from, size_t to, OctaveState& octave) {
    for (size_t i = from; i < to; i += 1 + static_cast<size_t>(operandCount(bytes[i]))) {
        std::uint8_t b = bytes[i];
        if (b == cmd::kOctavePlus)
            octave.togglePlus();
        else if ((b == cmd::kOctave || b == cmd::kFlag) && i + 1 < to)
            b == cmd::kOctave ? octave.octaveCommand(bytes[i + 1])
                              : octave.flagCommand(bytes[i + 1]);
    }
}

}  // namespace kestra
