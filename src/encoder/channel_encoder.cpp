#include "encoder/channel_encoder.h"

#include <algorithm>
#include <string_view>

#include "encoder/break_landings.h"
#include "encoder/kept_commands.h"
#include "encoder/line_alignment.h"
#include "encoder/note_bytes.h"
#include "format/octave_state.h"
#include "format/stream_def.h"
#include "model/big_endian.h"
#include "model/frame_checks.h"
#include "model/hex_text.h"
#include "model/line_fields.h"
#include "model/sheets.h"
#include "rom/song_table.h"

namespace kestra {

void LineAddressTable::record(int frame, int line, std::uint16_t address) {
    if (frame < 0 || frame >= frames_ || line < 0 || line >= lines_) return;
    entries_[static_cast<size_t>(frame) * static_cast<size_t>(lines_) + static_cast<size_t>(line)] =
        address;
}

std::optional<std::uint16_t> LineAddressTable::at(long long frame, long long line) const {
    if (frame < 0 || frame >= frames_ || line < 0 || line >= lines_) return std::nullopt;
    std::int32_t v = entries_[static_cast<size_t>(frame) * static_cast<size_t>(lines_) +
                              static_cast<size_t>(line)];
    if (v < 0) return std::nullopt;
    return static_cast<std::uint16_t>(v);
}

std::string octaveErrorMessage(int line, const std::string& channelName) {
    return "The note on the line " + std::to_string(line) + " of channel " + channelName +
           " cannot be played because when the song reach" +
           " this place, the octave does not allow the note to be played.";
}

std::string impossibleTargetMessage(long long frame, long long line) {
    return "The loop, break or jump to the frame " + std::to_string(frame) + " on the line " +
           std::to_string(line) +
           " is impossible, because this place is not a part that is played on a page." +
           "It either do not exist, or is after a end of the page.";
}

std::string keptTargetElsewhereMessage(int line, const std::string& channelName,
                                       std::uint16_t target) {
    return "The loop, break or jump on the line " + std::to_string(line) + " of channel " +
           channelName + " goes to $" + intToHexText(target, 4) +
           ", which is not a line of the channel: it can only be written back unchanged at the "
           "address the song was read from.";
}

namespace {

std::uint8_t hexByte(std::string_view text) {
    return static_cast<std::uint8_t>(hexTextToInt(text));
}

// Bytes of one line (or of the carried Break/Loop/Jump commands) with their target holes.
struct Piece {
    Bytes bytes;
    std::vector<TargetFixup> fixups;
    void clear() {
        bytes.clear();
        fixups.clear();
    }
};

class FrameEncoder {
  public:
    FrameEncoder(const ChannelInput& in, int frame, int endLine, char endMark, ChannelCode& out,
                 std::uint64_t& p, std::uint32_t bankXor, ErrorBox& errors, OctaveState& octave,
                 const BreakLandings& landings)
        : in_(in),
          frame_(frame),
          endLine_(endLine),
          endMark_(endMark),
          out_(out),
          p_(p),
          bankXor_(bankXor),
          errors_(errors),
          octave_(octave),
          landings_(landings) {
        namesOctave_ = octave_.octave();
        names_ = noteNames(namesOctave_, in.noise);
    }

    // Lines of the frame still showing what was read, aligned with the remembered ones.
    void useMemory(RememberedLines lines) { remembered_ = std::move(lines); }

    // False once the page-end line has been encoded.
    bool run() {
        const std::string_view music = frameText(in_.music);
        for (int n = 0; n <= endLine_ && !frameDone_;) {
            if (int lines = remembered_.noteLines(music, n, endLine_); lines > 0) {
                writeRemembered(music, n, lines);
                n += lines;
            } else {
                encodeLine(music, n);
                ++n;
            }
        }
        return result_;
    }

  private:
    std::string_view frameText(const FrameTexts* frames) const {
        if (!frames || frame_ >= static_cast<int>(frames->size())) return {};
        return (*frames)[static_cast<size_t>(frame_)];
    }

    void add(std::initializer_list<std::uint8_t> bytes) {
        line_.bytes.insert(line_.bytes.end(), bytes);
        lineByteCount_ += static_cast<int>(bytes.size());
    }

    void lineCommands(std::string_view rec) {
        if (isSet(field(rec, mf::kTrip, 2))) add({cmd::kTriplet});
        if (auto v = field(rec, mf::kVol, 1); isSet(v)) add({cmd::kVolume, hexByte(v)});
        if (auto v = field(rec, mf::kIns, 2); isSet(v)) add({cmd::kInstrument, hexByte(v)});
        if (auto v = field(rec, mf::kOct, 2); isSet(v)) {
            add({cmd::kOctave, hexByte(v)});
            octave_.octaveCommand(hexByte(v));
            octaveTouched_ = true;
        }
        if (auto v = field(rec, mf::kTLg, 2); isSet(v)) add({cmd::kToneLength, hexByte(v)});
        if (auto v = field(rec, mf::kPitch, 2); isSet(v)) add({cmd::kPitch, hexByte(v)});
        if (auto v = field(rec, mf::kSld, 2); isSet(v)) {
            slideCell(v);
            add({cmd::kSlide, hexByte(v)});
        }
        if (auto v = field(rec, mf::kFlag, 2); isSet(v)) {
            add({cmd::kFlag, hexByte(v)});
            octave_.flagCommand(hexByte(v));
            octaveTouched_ = true;
        }
        if (auto v = field(rec, mf::kTnTp, 2); isSet(v)) add({cmd::kToneType, hexByte(v)});
        if (auto v = field(rec, mf::kTrans, 2); isSet(v)) add({cmd::kTranspose, hexByte(v)});
        if (auto v = field(rec, mf::kTrAll, 2); isSet(v)) add({cmd::kTransposeAll, hexByte(v)});
        if (auto v = field(rec, mf::kSpeed, 4); isSet(v))
            add({cmd::kSpeed, hexByte(v.substr(0, 2)), hexByte(v.substr(2, 2))});
        if (isSet(field(rec, mf::kPlus, 2))) {
            octave_.togglePlus();
            octaveTouched_ = true;
            add({cmd::kOctavePlus});
        }
    }

    void slideCell(std::string_view v) {
        if (v != "00")
            slideState_ = slideState_ == 0 ? 2 : slideState_ + 1;
        else
            slideState_ = slideState_ == 0 ? 1 : 3;
        slideNote_ = pendingText_;
    }

    // Breaks that land on line n change the state before the line's own commands play.
    void landOn(int n) {
        if (landings_.apply(frame_, n, octave_)) octaveTouched_ = true;
    }

    // The note names follow the octave state; true when they changed.
    bool syncNames() {
        if (octave_.octave() == namesOctave_) return false;
        namesOctave_ = octave_.octave();
        names_ = noteNames(namesOctave_, in_.noise);
        return true;
    }

    int lookUp(std::string_view note) const { return noteCode(names_, note); }

    void target(std::uint8_t command, std::string_view operand, std::string_view frameField,
                std::string_view lineField, int n) {
        carried_.bytes.push_back(command);
        if (!operand.empty()) carried_.bytes.push_back(hexByte(operand));
        carried_.fixups.push_back(
            {carried_.bytes.size(), std::string(frameField), std::string(lineField), frame_, n});
        carried_.bytes.push_back(0);
        carried_.bytes.push_back(0);
        lineByteCount_ += operand.empty() ? 3 : 4;
    }

    void appendTargets(int n) {
        std::string_view loopRec = recordOf(frameText(in_.loop), n, kLoopRecordWidth);
        std::string_view brkRec = recordOf(frameText(in_.brk), n, kBreakRecordWidth);
        for (int k = 0; k < 4; ++k) {
            size_t at = static_cast<size_t>(8 * k);
            if (auto flag = field(brkRec, at, 2); isSet(flag))
                target(static_cast<std::uint8_t>(cmd::kBreak1 + k), flag, field(brkRec, at + 2, 2),
                       field(brkRec, at + 4, 4), n);
        }
        for (int k = 0; k < 4; ++k) {
            size_t at = static_cast<size_t>(8 * k);
            if (auto count = field(loopRec, at, 2); isSet(count))
                target(static_cast<std::uint8_t>(cmd::kLoop1 + k), count, field(loopRec, at + 2, 2),
                       field(loopRec, at + 4, 4), n);
        }
        if (auto jf = field(loopRec, 32, 2); isSet(jf))
            target(cmd::kJump, {}, jf, field(loopRec, 34, 4), n);
    }

    void record(int n) { out_.addresses.record(frame_, n, driverAddressOfLinear(p_, bankXor_)); }

    void appendLine() {
        size_t base = out_.bytes.size();
        out_.bytes.insert(out_.bytes.end(), line_.bytes.begin(), line_.bytes.end());
        for (TargetFixup f : line_.fixups) {
            f.at += base;
            out_.fixups.push_back(std::move(f));
        }
    }

    void encodeLine(std::string_view music, int n) {
        std::string_view rec = recordOf(music, n, kMusicRecordWidth);
        landOn(n);
        if (KeptCommands kept = remembered_.keptCommandsOf(music, n, endLine_); kept.line) {
            keepCommands(*kept.line, kept.noteAt, kept.noteEnd, n, rec);
        } else {
            lineCommands(rec);
            appendTargets(n);
        }
        std::string_view note = field(rec, mf::kNote, 3);
        // The end line found by the frame check ends the frame even if its Note cell was
        // damaged, so no line past it is ever recorded.
        if (n == endLine_ && note != "..." && note != "|||") note = endMark_ == '|' ? "|||" : "...";

        if (line_.bytes.empty() && note == "---") {
            record(n);
            p_ += static_cast<std::uint64_t>(lineByteCount_);
        } else {
            encodeMaterial(note, n);
        }

        if (note == "..." || note == "|||") {
            frameDone_ = true;
            if (note == "|||") {
                out_.bytes.push_back(cmd::kEnd);
                p_ += 1;
                result_ = false;
            }
        } else if (note != "^^^") {
            ++pending_.length;
        }
        line_ = std::move(carried_);
        carried_.clear();
        lineByteCount_ = 0;
        // A line without material (a landing on a held note) still sets the names that follow.
        if (octaveTouched_) syncNames();
        octaveTouched_ = false;
    }

    void encodeMaterial(std::string_view note, int n) {
        pending_.noteOnLine = note != "---";
        size_t before = out_.bytes.size();
        if (slideState_ == 3 && note != slideNote_) slideState_ = 2;
        pending_.slideState = slideState_;
        emitPendingNote(out_.bytes, pending_);
        if (slideState_ == 2 && pending_.code != kRestCode) {
            slideState_ = 1;
        } else if (slideState_ == 3 && pending_.code != kRestCode) {
            slideState_ = 1;
            add({cmd::kConnect});  // counted in the line's bytes: later addresses stay right
        }
        slideNote_ = kNoSlideNote;

        p_ += out_.bytes.size() - before;
        record(n);
        p_ += static_cast<std::uint64_t>(lineByteCount_);
        pending_.fresh = false;
        pending_.noteOnLine = false;
        pending_.length = 0;

        bool failed = false;
        if (octaveTouched_ && syncNames()) {
            // Only a note that goes on needs its code under the new octave; a pending rest
            // (also the one after a "^^^" line) stays a rest.
            if (note == "---" && pendingText_ != "^^^" && pendingText_ != "///") {
                pending_.code = lookUp(pendingText_);
                failed = pending_.code < 0;
            }
        }
        if (in_.noteOctaves && frame_ == 0 && n < static_cast<int>(in_.noteOctaves->size()))
            (*in_.noteOctaves)[static_cast<size_t>(n)] = namesOctave_;
        if (note == "^^^") {
            pendingText_ = "^^^";
            pending_.code = kRestCode;
            pending_.fresh = true;
        } else if (note != "---" && note != "..." && note != "|||") {
            pendingText_ = std::string(note);
            pending_.code = lookUp(note);
            pending_.fresh = true;
            failed = failed || pending_.code < 0;
        }
        appendLine();
        if (failed) {
            errors_.report(octaveErrorMessage(n, in_.name));
            frameDone_ = true;
        }
    }

    // --- lines written as they were read ------------------------------------------------
    void writeRemembered(std::string_view music, int n, int lines) {
        std::string_view firstRec = recordOf(music, n, kMusicRecordWidth);
        std::string_view note = field(firstRec, mf::kNote, 3);
        // As on a line encoded from its cells, the line's slide acts before the note ahead of it
        // goes out.
        if (auto v = field(firstRec, mf::kSld, 2); isSet(v)) slideCell(v);
        if (slideState_ == 3 && note != slideNote_) slideState_ = 2;
        // What the lines before left pending goes out first, as the next note line sends it.
        pending_.noteOnLine = true;
        pending_.slideState = slideState_;
        size_t before = out_.bytes.size();
        emitPendingNote(out_.bytes, pending_);
        p_ += out_.bytes.size() - before;
        if ((slideState_ == 2 || slideState_ == 3) && pending_.code != kRestCode) slideState_ = 1;
        slideNote_ = kNoSlideNote;
        appendLine();
        line_.clear();
        carried_.clear();
        lineByteCount_ = 0;

        const Bytes& bytes = remembered_.bytes();
        bool newPitch = remembered_.newPitch(n);
        size_t first = static_cast<size_t>(remembered_.firstOf(n));
        std::uint32_t from = remembered_.line(first).begin;
        std::uint32_t to = remembered_.line(first + static_cast<size_t>(lines) - 1).end;
        size_t base = out_.bytes.size();
        for (int k = 0; k < lines; ++k) {
            const LineMemory& line = remembered_.line(first + static_cast<size_t>(k));
            out_.addresses.record(frame_, n + k,
                                  driverAddressOfLinear(p_ + (line.begin - from), bankXor_));
            for (auto [at, fixup] : rememberTargets(line, n + k)) {
                fixup.at = at + base - from;
                out_.fixups.push_back(std::move(fixup));
            }
        }
        out_.bytes.insert(out_.bytes.end(), bytes.begin() + from, bytes.begin() + to);
        p_ += to - from;

        // The octave state the bytes leave, and the slide state, for the lines encoded after
        // these. The note is out already: a slide started on its later lines needs no Connect
        // of its own any more.
        bool sounding = note != "///" && note != "^^^" && note != "---";
        bool failed = false;
        for (int k = 0; k < lines; ++k) {
            const LineMemory& line = remembered_.line(first + static_cast<size_t>(k));
            landOn(n + k);
            if (k == 0 && newPitch)
                failed = !writeNewPitch(note, line, to, base - from);
            else
                playOctave(bytes, line.begin, line.end, octave_);
            if (k == 0) continue;
            if (auto v = field(recordOf(music, n + k, kMusicRecordWidth), mf::kSld, 2); isSet(v)) {
                slideCell(v);
                if (slideState_ == 3 && slideNote_ != "---") slideState_ = 2;
                if ((slideState_ == 2 || slideState_ == 3) && sounding) slideState_ = 1;
                slideNote_ = kNoSlideNote;
            }
        }
        syncNames();
        octaveTouched_ = false;
        line_.clear();
        lineByteCount_ = 0;
        if (note != "---") pendingText_ = std::string(note);
        // Nothing is left to send, but the next line treats the slide as after this note.
        pending_ = PendingNote{};
        if (sounding) pending_.code = kRestCode + 1;
        if (failed) {
            errors_.report(octaveErrorMessage(n, in_.name));
            frameDone_ = true;
        }
    }

    // A remembered line whose Note cell alone changed: the pitch of the new name under the
    // octave state in force goes into its note byte (and the pieces that hold it), everything
    // else stays as read. False when the octave cannot play the name.
    bool writeNewPitch(std::string_view name, const LineMemory& line, size_t groupEnd,
                       size_t shift) {
        const Bytes& bytes = remembered_.bytes();
        size_t at = line.begin;
        while (at < line.end && !isNote(bytes[at]))
            at += 1 + static_cast<size_t>(operandCount(bytes[at]));
        playOctave(bytes, line.begin, at, octave_);
        if (at >= line.end) return true;
        syncNames();
        int code = lookUp(name);
        if (code < 0) return false;
        int old = notePitch(bytes[at]);
        for (size_t i = at; i < groupEnd; i += 1 + static_cast<size_t>(operandCount(bytes[i])))
            if (isNote(bytes[i]) && notePitch(bytes[i]) == old)
                out_.bytes[i + shift] =
                    static_cast<std::uint8_t>((bytes[i] & 0xE0) | (code & 0x1F));
        playOctave(bytes, at, line.end, octave_);
        return true;
    }

    // --- a remembered note line with a new length -------------------------------------------
    void keepCommands(const LineMemory& line, std::uint32_t noteAt, std::uint32_t noteEnd, int n,
                      std::string_view rec) {
        const Bytes& bytes = remembered_.bytes();
        if (auto v = field(rec, mf::kSld, 2); isSet(v)) slideCell(v);
        for (size_t i = line.begin; i < noteAt;
             i += 1 + static_cast<size_t>(operandCount(bytes[i])))
            if (bytes[i] == cmd::kOctave || bytes[i] == cmd::kFlag || bytes[i] == cmd::kOctavePlus)
                octaveTouched_ = true;
        playOctave(bytes, line.begin, noteAt, octave_);
        size_t lineBase = line_.bytes.size();
        size_t carriedBase = carried_.bytes.size();
        for (auto [at, fixup] : rememberTargets(line, n)) {
            if (at < noteAt)
                fixup.at = at - line.begin + lineBase;
            else
                fixup.at = at - noteEnd + carriedBase;
            (at < noteAt ? line_ : carried_).fixups.push_back(std::move(fixup));
        }
        line_.bytes.insert(line_.bytes.end(), bytes.begin() + line.begin, bytes.begin() + noteAt);
        carried_.bytes.insert(carried_.bytes.end(), bytes.begin() + noteEnd,
                              bytes.begin() + line.end);
        lineByteCount_ += static_cast<int>((noteAt - line.begin) + (line.end - noteEnd));
    }

    std::vector<std::pair<size_t, TargetFixup>> rememberTargets(const LineMemory& line, int n) {
        return remembered_.targets(
            line, frame_, n, recordOf(frameText(in_.loop), n, kLoopRecordWidth),
            recordOf(frameText(in_.brk), n, kBreakRecordWidth), out_.keptTargets, errors_);
    }

    // No note cell holds this text, so a cleared slide note matches nothing.
    static constexpr const char* kNoSlideNote = "\x01";

    const ChannelInput& in_;
    int frame_;
    int endLine_;
    char endMark_;
    ChannelCode& out_;
    std::uint64_t& p_;
    std::uint32_t bankXor_;
    ErrorBox& errors_;

    OctaveState& octave_;
    const BreakLandings& landings_;
    NoteNames names_;
    int namesOctave_ = 0;
    bool octaveTouched_ = false;
    std::string pendingText_ = "///";
    PendingNote pending_;
    Piece line_;
    Piece carried_;
    int lineByteCount_ = 0;
    int slideState_ = 0;
    std::string slideNote_;
    bool frameDone_ = false;
    bool result_ = true;
    RememberedLines remembered_;
};

// The end line of each frame as the frame check finds it (Vol and Ins cells "..." or "|||").
struct FrameEnd {
    int line = -1;
    char mark = 0;
};

FrameEnd frameEndOf(const FrameTexts& music, int frame) {
    if (frame >= static_cast<int>(music.size())) return {};
    const std::string_view text = music[static_cast<size_t>(frame)];
    for (size_t pos = 0, n = 0; pos + kMusicRecordWidth <= text.size();
         pos += kMusicRecordWidth, ++n) {
        std::string_view mark = std::string_view(text).substr(pos + 3, 3);
        if (mark == "...") return {static_cast<int>(n), '.'};
        if (mark == "|||") return {static_cast<int>(n), '|'};
    }
    return {};
}

}  // namespace

std::optional<ChannelCode> createChannelCode(const ChannelInput& in, std::uint64_t& p,
                                             std::uint32_t bankXor, ErrorBox& errors) {
    static const FrameTexts kNoFrames;
    const FrameTexts& music = in.music ? *in.music : kNoFrames;
    FrameEnds ends;
    if (!checkFrameEnds(music, in.frameCount, in.name, errors, ends)) return std::nullopt;
    ChannelCode code;
    code.addresses = LineAddressTable(in.frameCount, ends.longestFrame);
    code.bytes.reserve(music.empty() ? 16 : music[0].size() / 8);
    // The driver's octave state runs on across an early page end into the next frame.
    OctaveState octave;
    BreakLandings landings(in.brk, in.frameCount);
    for (int f = 0; f < in.frameCount; ++f) {
        FrameEnd end = frameEndOf(music, f);
        FrameEncoder frame(in, f, end.line, end.mark, code, p, bankXor, errors, octave, landings);
        if (f == 0 && in.memory && !in.memory->lines.empty()) {
            auto first = [](const FrameTexts* t) {
                return t && !t->empty() ? t->front() : std::string_view();
            };
            auto aligned =
                alignRemembered(music[0], first(in.loop), first(in.brk), end.line + 1, *in.memory);
            auto newPitches =
                pairNewPitches(music[0], first(in.loop), first(in.brk), aligned, *in.memory);
            frame.useMemory(RememberedLines(in, std::move(aligned), std::move(newPitches)));
        }
        if (!frame.run()) break;
    }
    return code;
}

bool resolveTargets(ChannelCode& code, const std::string& channelName, ErrorBox& errors) {
    for (const TargetFixup& f : code.fixups) {
        auto frame = tryDecTextToInt(f.frameField);
        auto line = tryDecTextToInt(f.lineField);
        if (!frame || !line) {
            errors.report("The loop, break or jump on the line " + std::to_string(f.sourceLine) +
                          " of channel " + channelName + " has no readable target: its frame \"" +
                          f.frameField + "\" and line \"" + f.lineField +
                          "\" must be decimal numbers.");
            errors.report(kLoopErrorMessage);
            return false;
        }
        auto address = code.addresses.at(*frame, *line);
        if (!address) {
            errors.report(impossibleTargetMessage(*frame, *line));
            errors.report(kLoopErrorMessage);
            return false;
        }
        writeBigEndian16(code.bytes, f.at, *address);
    }
    code.fixups.clear();
    return true;
}

}  // namespace kestra
