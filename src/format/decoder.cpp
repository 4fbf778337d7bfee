#include "format/decoder.h"

#include <algorithm>
#include <string>

#include "format/kept_bytes.h"
#include "format/octave_state.h"
#include "format/stream_def.h"
#include "model/big_endian.h"
#include "model/file_state.h"
#include "model/frame_checks.h"
#include "model/hex_text.h"

namespace kestra {

namespace {

constexpr const char* kDotted64Message =
    "A hex code of a note of 64 of length is preceded of a 02 command. 02 cannot be set before "
    "64 length notes.";

enum class Connect { Off, Armed, Holding, Releasing };

// The previous command if it was a Loop, Break or Jump; conflicts are judged against it.
enum class EndKind { None, Loop, Break, Jump };

struct LastEnd {
    EndKind kind = EndKind::None;
    int number = 0;  // k of Loop k / Break k
};

// A line cell that names a target by driver address until the resolution pass.
struct Placement {
    Sheet* sheet;
    int row;
    int col;
    long target;  // channel address
    size_t at;    // the command's index in the stream
};

std::string hex2(std::uint8_t v) {
    return intToHexText(v, 2);
}

class ChannelDecoder {
  public:
    ChannelDecoder(const Bytes& stream, std::uint32_t start, std::uint32_t headerSize, int channel,
                   ChannelSheets& out, ErrorBox& errors, std::vector<LineMemory>* memory)
        : s_(stream),
          start_(start),
          headerSize_(headerSize),
          channel_(channel),
          noise_(channel == kNoise),
          out_(out),
          errors_(errors),
          memory_(memory) {}

    bool run() {
        resetChannelSheets(out_);
        // Garbage taken for a stream can spell millions of lines: refuse it before any sheet
        // memory is touched (the notes alone already pass the limit).
        const long timed = timedLines();
        if (timed > kMaxChannelLines) {
            report(std::string(channelMessageName(channel_)) + ": the stream is longer than " +
                   std::to_string(kMaxChannelLines) + " lines; it was read no further.");
            return false;
        }
        // The lines the stream most likely gives: the notes' and one for each Loop, Break and
        // Jump (the rare extra lines come as they are met), not the most it could give.
        reserveLines(
            static_cast<int>(std::min<long>(timed + placingCommands() + 2, kMaxChannelLines)));
        buildNoteNames(names_, 0, noise_);
        targets_ = collectTargets(s_, headerSize_);
        targetLines_.assign(targets_.size(), -1);
        collectBreakFlags();

        // The first byte is checked before the walk; a target there is line 0.
        if (!s_.empty()) {
            skipMissed(start_);
            if (pendingIs(start_)) meet(0);
        }

        bool ended = false;
        size_t i = 0;
        while (i < s_.size()) {
            std::uint8_t b = s_[i];
            size_t ops = static_cast<size_t>(operandCount(b));
            if (i + ops >= s_.size() && b != cmd::kEnd) break;  // operands cut off
            breakFlagsAt(i);
            if (isUnused(b))
                attribute(i, current_);
            else
                step(i, b);
            if (tooLong_) break;
            if (b == cmd::kEnd) {
                ended = true;
                break;
            }
            i += 1 + ops;
        }
        if (tooLong_) {
            report(std::string(channelMessageName(channel_)) + ": the stream is longer than " +
                   std::to_string(kMaxChannelLines) + " lines; it was read no further.");
        } else if (!ended) {
            report(std::string(channelMessageName(channel_)) +
                   ": the stream ends without its End command (17).");
        }
        resolve();
        for (Sheet* sheet : {&out_.music, &out_.loop, &out_.brk}) sheet->releaseSpareRows();
        bool whole = ended && !tooLong_;
        if (memory_) {
            memory_->clear();
            if (whole && !outOfOrder_)
                *memory_ = rememberLines(s_, i + 1, marks_, kept_, out_, rows_);
        }
        return whole;
    }

  private:
    long addressOf(size_t i) const { return static_cast<long>(start_) + static_cast<long>(i); }
    long channelAddressOfTarget(std::uint16_t driver) const {
        return static_cast<long>(driver) - static_cast<long>(kDriverBase) +
               static_cast<long>(headerSize_);
    }
    void report(const std::string& m) { errors_.report(m); }
    std::string where(int line) const {
        return std::string(channelMessageName(channel_)) + ": line " + std::to_string(line) + ": ";
    }

    // --- targets -------------------------------------------------------------------------
    bool pendingIs(long addr) const { return next_ < targets_.size() && targets_[next_] == addr; }
    // Targets the walk has passed without meeting (inside operands, at an unused byte, before
    // the stream) are left unresolved; the larger ones can still be met.
    void skipMissed(long addr) {
        while (next_ < targets_.size() && targets_[next_] < addr) ++next_;
    }
    void meet(int line) { targetLines_[next_++] = line; }
    void plainCheck(long addr, int line) {
        skipMissed(addr);
        if (!pendingIs(addr)) return;
        if (countdown_ != 0) ++countdown_;
        meet(line);
    }
    // A target at a command or note of the current line. When it falls after commands of the
    // line, those keep a zero-length line of their own, so that a loop comes back to the target
    // and not to the commands before it.
    void targetOnCurrentLine(long addr) {
        skipMissed(addr);
        if (!pendingIs(addr)) return;
        if (countdown_ != 0) ++countdown_;
        if (currentHasBytes()) startZeroLengthLine();
        meet(current_);
    }

    // --- which line each byte belongs to ---------------------------------------------------
    // The stream is cut into consecutive parts, one per line, in line order.
    bool currentHasBytes() const { return owner_ == current_; }
    void attribute(size_t i, int line) {
        if (line == owner_) return;
        if (line < owner_) outOfOrder_ = true;
        marks_.push_back({i, line});
        owner_ = line;
    }

    // --- lines ---------------------------------------------------------------------------
    // Lines current+1 .. current+n with their defaults (they do not exist yet). A runaway
    // stream stops at kMaxChannelLines instead of eating the memory.
    void addLines(int n) {
        int first = rows_;
        if (first + n > kMaxChannelLines) {
            tooLong_ = true;
            return;
        }
        growSheetRows(n, out_);
        rows_ += n;
    }
    // The sheets reserve room for the lines the stream most likely gives, so that they are not
    // moved while they grow; the room not used is given back at the end.
    long placingCommands() const {
        long n = 0;
        for (size_t i = 0; i < s_.size() && s_[i] != cmd::kEnd;
             i += 1 + static_cast<size_t>(operandCount(s_[i])))
            if (isLoop(s_[i]) || isBreak(s_[i]) || isJump(s_[i])) ++n;
        return n;
    }
    long timedLines() const {
        long lines = 1;
        bool dotted = false;
        for (size_t i = 0; i < s_.size() && lines <= kMaxChannelLines;) {
            std::uint8_t b = s_[i];
            if (isNote(b)) {
                lines += noteLength(b, dotted);
                dotted = false;
            } else if (b == cmd::kDotted) {
                dotted = true;
            } else if (b == cmd::kEnd) {
                break;
            }
            i += 1 + static_cast<size_t>(operandCount(b));
        }
        return lines;
    }
    void reserveLines(int rows) {
        for (Sheet* sheet : {&out_.music, &out_.loop, &out_.brk}) sheet->reserveRows(rows);
    }
    void startZeroLengthLine() {
        out_.music.setCell(current_, music::kNote, "^^^");
        addLines(1);
        if (!tooLong_) ++current_;
    }
    void setMusic(int col, std::string_view text) { out_.music.setCell(current_, col, text); }

    // --- one byte in command position ----------------------------------------------------
    void step(size_t i, std::uint8_t b) {
        long addr = addressOf(i);
        if (isLoop(b) || isBreak(b) || isJump(b)) {
            place(i, b, addr);
        } else {
            targetOnCurrentLine(addr);
            // Commands just before the End keep a line of their own instead of being lost
            // under the End marker.
            if (b == cmd::kEnd && currentHasBytes()) startZeroLengthLine();
            attribute(i, current_);
            effect(i, b);
            last_ = {};
        }
        // Connect resolution, after every byte.
        if (countdown_ == 2) {
            countdown_ = 0;
            connect_ = Connect::Holding;
        } else if (countdown_ == 4) {
            countdown_ = 0;
            connect_ = Connect::Off;
        }
        if (slideOn_) connect_ = Connect::Armed;
        if (isNote(b)) note(b);
    }

    void effect(size_t i, std::uint8_t b) {
        std::uint8_t op = i + 1 < s_.size() ? s_[i + 1] : 0;
        switch (b) {
            case cmd::kTriplet:
                setMusic(music::kTrip, "ON");
                break;
            case cmd::kConnect:
                if (countdown_ == 4) {
                    countdown_ = 0;
                    connect_ = Connect::Off;
                }
                // A Connect while releasing keeps releasing: the next note still ends the hold
                // and, like every note, takes its lines.
                if (connect_ == Connect::Off)
                    connect_ = Connect::Armed;
                else if (connect_ == Connect::Armed)
                    connect_ = Connect::Holding;
                else
                    connect_ = Connect::Releasing;
                break;
            case cmd::kDotted:
                dotted_ = true;
                break;
            case cmd::kOctavePlus:
                octave_.togglePlus();
                rebuildNames();
                setMusic(music::kPlus, "ON");
                break;
            case cmd::kFlag:
                setMusic(music::kFlag, hex2(op));
                octave_.flagCommand(op);
                rebuildNames();
                if (op & cmd::kConnectBit) {
                    connect_ = Connect::Armed;
                } else {
                    connect_ = Connect::Off;
                    countdown_ = 0;
                }
                break;
            case cmd::kSpeed:
                setMusic(music::kSpeed1, hex2(op));
                setMusic(music::kSpeed2, hex2(s_[i + 2]));
                break;
            case cmd::kToneLength:
                setMusic(music::kTLg, hex2(op));
                break;
            case cmd::kVolume:
                setMusic(music::kVol, intToHexText(op & 0x0F, 1));
                break;
            case cmd::kInstrument:
                setMusic(music::kIns, hex2(op));
                break;
            case cmd::kOctave:
                setMusic(music::kOct, hex2(op));
                octave_.octaveCommand(op);
                if (op > 0x0F)
                    report(where(current_) + "the Octave operand " + hex2(op) +
                           " also sets driver bits above the octave; only its low four bits "
                           "name the notes.");
                rebuildNames();
                break;
            case cmd::kTransposeAll:
                setMusic(music::kTrAll, hex2(op));
                break;
            case cmd::kTranspose:
                setMusic(music::kTrans, hex2(op));
                break;
            case cmd::kPitch:
                setMusic(music::kPitch, hex2(op));
                break;
            case cmd::kSlide:
                setMusic(music::kSld, hex2(op));
                remembered_ = lastNote_;
                countdown_ = 4;
                slideOn_ = op != 0;
                break;
            case cmd::kEnd:
                setMarkerLine(out_, current_, '|');
                break;
            case cmd::kToneType:
                setMusic(music::kTnTp, hex2(op));
                break;
            default:
                break;  // notes: handled after the connect resolution
        }
    }

    void rebuildNames() {
        if (octave_.octave() == namesOctave_) return;
        namesOctave_ = octave_.octave();
        buildNoteNames(names_, namesOctave_, noise_);
    }

    // A Break's flag byte changes the state where the break lands, not where it is written. Only
    // targets after the break count: the line before the break is first reached without it.
    void collectBreakFlags() {
        for (size_t i = 0; i < s_.size();) {
            std::uint8_t b = s_[i];
            size_t ops = static_cast<size_t>(operandCount(b));
            if (b == cmd::kEnd || i + ops >= s_.size()) break;
            if (isBreak(b)) {
                long target =
                    channelAddressOfTarget(readBigEndian16(s_, targetOperandAt(i, false)));
                if (target > addressOf(i)) breakFlags_.push_back({target, i, s_[i + 1]});
            }
            i += 1 + ops;
        }
        std::sort(breakFlags_.begin(), breakFlags_.end(),
                  [](const BreakFlag& a, const BreakFlag& b) {
                      return a.target != b.target ? a.target < b.target : a.at < b.at;
                  });
    }
    void breakFlagsAt(size_t i) {
        long addr = addressOf(i);
        while (nextBreakFlag_ < breakFlags_.size() && breakFlags_[nextBreakFlag_].target <= addr) {
            const BreakFlag& f = breakFlags_[nextBreakFlag_++];
            if (f.target == addr) {
                octave_.flagCommand(f.flag);
                rebuildNames();
            }
        }
    }

    void note(std::uint8_t b) {
        int pitch = notePitch(b);
        const std::string& name = names_[static_cast<size_t>(pitch)];
        int n = noteLength(b);
        if (dotted_) {
            if (n == 64)
                report(kDotted64Message);
            else
                n += n / 2;
            dotted_ = false;
        }
        if (remembered_ == name) connect_ = Connect::Off;
        remembered_ = "NULL";
        lastNote_ = name;
        if (!noise_ && !warnedHighOctave_ && pitch > 0 && octave_.octave() + (pitch - 1) / 12 > 9) {
            warnedHighOctave_ = true;
            report(where(current_) +
                   "a note above octave 9 is named with a letter for its octave (" + name +
                   "; A = 10).");
        }
        addLines(n);
        if (tooLong_) return;
        switch (connect_) {
            case Connect::Off:
                setMusic(music::kNote, name);
                break;
            case Connect::Armed:
                setMusic(music::kNote, name);
                connect_ = Connect::Holding;
                break;
            case Connect::Holding:
                break;
            case Connect::Releasing:
                connect_ = Connect::Off;
                break;
        }
        current_ += n;
    }

    // --- Loop, Break and Jump ------------------------------------------------------------
    // The Loop/Break/Jump cells already holding command k's kind on line `row`.
    bool slotTaken(EndKind kind, int k, int row) const {
        switch (kind) {
            case EndKind::Loop:
                return out_.loop.cell(row, loop::count(k)) != "--";
            case EndKind::Break:
                return out_.brk.cell(row, brk::flag(k)) != "--";
            default:
                return out_.loop.cell(row, loop::kJumpFrame) != "--";
        }
    }

    void place(size_t i, std::uint8_t b, long addr) {
        EndKind kind = isLoop(b) ? EndKind::Loop : isBreak(b) ? EndKind::Break : EndKind::Jump;
        int k = kind == EndKind::Loop ? b - 0x0D : kind == EndKind::Break ? b - 0x11 : 0;
        bool conflict = false;
        switch (kind) {
            case EndKind::Loop:
                conflict = last_.kind == EndKind::Loop && last_.number >= 2;
                break;
            case EndKind::Break:
                conflict = k <= 3 && last_.kind == EndKind::Break &&
                           (last_.number == 2 || last_.number == 3);
                break;
            default:
                conflict = last_.kind == EndKind::Break;
                break;
        }
        if (currentHasBytes()) {
            // Commands after a note and before the Loop/Break/Jump: they stay before it, on a
            // zero-length line that also holds it (a target at it gets one more such line).
            startZeroLengthLine();
            skipMissed(addr);
            if (pendingIs(addr)) {
                if (conflict && countdown_ != 0) ++countdown_;
                startZeroLengthLine();
                meet(current_ - 1);
            }
        } else if (conflict) {
            startZeroLengthLine();
            plainCheck(addr, current_ - 1);
        } else {
            skipMissed(addr);
            if (pendingIs(addr)) {
                startZeroLengthLine();
                meet(current_ - 1);
            } else if (current_ == 0 || slotTaken(kind, k, current_ - 1)) {
                // No line before to stand on, or the slot there is taken: a line of its own.
                startZeroLengthLine();
            }
        }

        if (tooLong_) return;
        int row = current_ - 1;
        attribute(i, row);
        std::uint16_t target = readBigEndian16(s_, targetOperandAt(i, isJump(b)));
        std::string targetText = intToHexText(target, 4);
        long targetAddr = channelAddressOfTarget(target);
        switch (kind) {
            case EndKind::Loop:
                out_.loop.setCell(row, loop::count(k), hex2(s_[i + 1]));
                out_.loop.setCell(row, loop::frame(k), "00");
                out_.loop.setCell(row, loop::line(k), targetText);
                placements_.push_back({&out_.loop, row, loop::line(k), targetAddr, i});
                break;
            case EndKind::Break:
                out_.brk.setCell(row, brk::flag(k), hex2(s_[i + 1]));
                out_.brk.setCell(row, brk::frame(k), "00");
                out_.brk.setCell(row, brk::line(k), targetText);
                placements_.push_back({&out_.brk, row, brk::line(k), targetAddr, i});
                countdown_ = (s_[i + 1] & cmd::kConnectBit) ? 1 : 3;
                break;
            default:
                out_.loop.setCell(row, loop::kJumpFrame, "00");
                out_.loop.setCell(row, loop::kJumpLine, targetText);
                placements_.push_back({&out_.loop, row, loop::kJumpLine, targetAddr, i});
                break;
        }
        last_ = {kind, k};
    }

    // --- resolution pass -----------------------------------------------------------------
    void resolve() {
        for (const Placement& p : placements_) {
            auto it = std::lower_bound(targets_.begin(), targets_.end(), p.target);
            int line = -1;
            if (it != targets_.end() && *it == p.target)
                line = targetLines_[static_cast<size_t>(it - targets_.begin())];
            if (line >= 0 && line <= kMaxCellLine)
                p.sheet->setCell(p.row, p.col, intToDecText(line, 4));
            else
                kept_.push_back(p.at);
        }
        std::sort(kept_.begin(), kept_.end());
        for (size_t t = 0; t < targets_.size(); ++t) {
            long driver =
                targets_[t] + static_cast<long>(kDriverBase) - static_cast<long>(headerSize_);
            std::string text = "$" + intToHexText(driver, 4);
            std::string name = channelMessageName(channel_);
            bool outside = targets_[t] < static_cast<long>(start_) ||
                           targets_[t] >= static_cast<long>(start_) + static_cast<long>(s_.size());
            if (targetLines_[t] < 0 && outside)
                report(name + ": the target " + text +
                       " lies outside the channel's own stream; the line cells that name it keep "
                       "the address, and it is written back unchanged when the song is created "
                       "at the address it was read from.");
            else if (targetLines_[t] < 0)
                report(name + ": the target " + text +
                       " is not the start of a command or note of the channel; the line cells "
                       "that name it keep the address.");
            else if (targetLines_[t] > kMaxCellLine)
                report(name + ": the target " + text + " falls on line " +
                       std::to_string(targetLines_[t]) +
                       ", beyond the 9999 that a line cell can hold; the line cells that name it "
                       "keep the address.");
        }
    }

    const Bytes& s_;
    std::uint32_t start_;
    std::uint32_t headerSize_;
    int channel_;
    bool noise_;
    ChannelSheets& out_;
    ErrorBox& errors_;

    NoteNames names_;
    int current_ = 0;
    int rows_ = 1;  // lines in use
    OctaveState octave_;
    int namesOctave_ = 0;  // the octave names_ was built for
    struct BreakFlag {
        long target;  // channel address
        size_t at;    // the Break's index in the stream
        std::uint8_t flag;
    };
    std::vector<BreakFlag> breakFlags_;  // by target
    size_t nextBreakFlag_ = 0;
    bool dotted_ = false;
    Connect connect_ = Connect::Off;
    int countdown_ = 0;
    bool slideOn_ = false;
    std::string lastNote_;
    std::string remembered_;
    LastEnd last_;
    bool warnedHighOctave_ = false;
    bool tooLong_ = false;

    std::vector<long> targets_;
    std::vector<int> targetLines_;  // -1: not met
    size_t next_ = 0;               // index of the pending target
    std::vector<Placement> placements_;

    std::vector<LineMemory>* memory_;
    int owner_ = -1;  // the line the last byte went to
    bool outOfOrder_ = false;
    std::vector<LineMark> marks_;
    std::vector<size_t> kept_;  // Loop/Break/Jump commands whose target is not a line
};

}  // namespace

const char* channelMessageName(int channel) {
    return channel >= 0 && channel < kChannelCount
               ? kChannelNames[static_cast<size_t>(channel)].c_str()
               : "?";
}

std::vector<long> collectTargets(const Bytes& stream, std::uint32_t headerSize) {
    std::vector<long> out;
    size_t i = 0;
    while (i < stream.size()) {
        std::uint8_t b = stream[i];
        if (b == cmd::kEnd) break;
        size_t ops = static_cast<size_t>(operandCount(b));
        if (i + ops >= stream.size()) break;
        if (isLoop(b) || isBreak(b) || isJump(b)) {
            long driver = readBigEndian16(stream, targetOperandAt(i, isJump(b)));
            out.push_back(driver - static_cast<long>(kDriverBase) + static_cast<long>(headerSize));
        }
        i += 1 + ops;
    }
    std::sort(out.begin(), out.end());
    out.erase(std::unique(out.begin(), out.end()), out.end());
    return out;
}

bool decodeChannel(const Bytes& stream, std::uint32_t channelStart, std::uint32_t headerSize,
                   int channel, ChannelSheets& sheets, ErrorBox& errors,
                   std::vector<LineMemory>* memory) {
    return ChannelDecoder(stream, channelStart, headerSize, channel, sheets, errors, memory).run();
}

}  // namespace kestra
