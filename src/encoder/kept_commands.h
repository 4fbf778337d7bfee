// Bytes of a channel as it was read, written again: the lines of frame 0 that still show what
// was read, the commands kept around a note of a new length, and the targets in those bytes.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "encoder/channel_encoder.h"
#include "format/octave_state.h"

namespace kestra {

// A remembered note line with a new length: its commands [line->begin, noteAt) and targets
// [noteEnd, line->end) keep their bytes and order as read; only the note is encoded again.
struct KeptCommands {
    const LineMemory* line = nullptr;
    std::uint32_t noteAt = 0;
    std::uint32_t noteEnd = 0;
};

// Frame 0's lines paired with the remembered ones: `remembered` as alignRemembered gives it,
// `newPitches` as pairNewPitches does.
class RememberedLines {
  public:
    RememberedLines() = default;
    RememberedLines(const ChannelInput& in, std::vector<int> remembered,
                    std::vector<int> newPitches)
        : in_(&in),
          memory_(in.memory),
          remembered_(std::move(remembered)),
          newPitches_(std::move(newPitches)) {}
    explicit operator bool() const { return memory_ != nullptr; }
    const Bytes& bytes() const { return memory_->bytes; }
    const LineMemory& line(size_t i) const { return memory_->lines[i]; }
    // Line n shows no remembered line as it was, only one with another Note cell.
    bool newPitch(int n) const { return remembered_[static_cast<size_t>(n)] < 0; }
    // The remembered line line n is, or -1.
    int firstOf(int n) const;

    // The lines of the note starting at line n when all of them still show what was read and
    // the note still has its length as read; 0 otherwise. endLine: the frame's page-end line.
    int noteLines(std::string_view music, int n, int endLine) const;
    // The kept commands of line n, or none (no line).
    KeptCommands keptCommandsOf(std::string_view music, int n, int endLine) const;
    // The fixups for the Loop/Break/Jump commands in a remembered line's bytes, each with the
    // position in the remembered stream of the operand it fills. Targets kept as addresses go
    // to keptTargets instead, reported when they cannot be right where the channel is written.
    std::vector<std::pair<size_t, TargetFixup>> targets(const LineMemory& line, int frame, int n,
                                                        std::string_view loopRec,
                                                        std::string_view brkRec,
                                                        std::vector<std::uint16_t>& keptTargets,
                                                        ErrorBox& errors) const;

  private:
    bool onePitchHeld(size_t first, int lines) const;
    bool inRememberedStream(std::uint16_t target) const;

    const ChannelInput* in_ = nullptr;
    const ChannelMemory* memory_ = nullptr;
    std::vector<int> remembered_;
    std::vector<int> newPitches_;
};

// The octave state bytes[from, to) leave: their Octave, Flag and Octave+ commands played.
void playOctave(const Bytes& bytes, size_t from, size_t to, OctaveState& octave);

}  // namespace kestra
