// One channel's frames turned into its byte stream: the line commands, the pending note, the
// Break/Loop/Jump commands with their targets, the line address table and target resolution.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "model/frame_store.h"
#include "model/ports.h"
#include "model/read_memory.h"
#include "rom/file_bytes.h"

namespace kestra {

// Driver addresses at which each line's material starts, per frame; empty until recorded.
class LineAddressTable {
  public:
    LineAddressTable() = default;
    LineAddressTable(int frames, int lines)
        : frames_(frames),
          lines_(lines),
          entries_(static_cast<size_t>(frames) * static_cast<size_t>(lines), -1) {}
    int frames() const { return frames_; }
    int lines() const { return lines_; }
    void record(int frame, int line, std::uint16_t address);
    std::optional<std::uint16_t> at(long long frame, long long line) const;

  private:
    int frames_ = 0;
    int lines_ = 0;
    std::vector<std::int32_t> entries_;
};

// A 2-byte hole in the stream for the address of a loop, break or jump target, with the frame
// and line fields as they stand in the cells and the line that holds the command.
struct TargetFixup {
    size_t at = 0;
    std::string frameField;
    std::string lineField;
    int sourceFrame = 0;
    int sourceLine = 0;
};

struct ChannelInput {
    const FrameTexts* music = nullptr;
    const FrameTexts* loop = nullptr;
    const FrameTexts* brk = nullptr;
    int frameCount = 1;
    std::string name;  // as in messages: "Square One" ...
    bool noise = false;
    // What reading remembered of the channel's lines (frame 0): lines still showing what was
    // read are written with the bytes read. Targets that are no line of the channel are kept
    // only when keepsPlace (the channel is written where it was read from).
    const ChannelMemory* memory = nullptr;
    bool keepsPlace = false;
    // When set, a target inside one of these streams (the song's channels as read) is left to be
    // judged by the bytes the destination file holds there (see encodeSong).
    const ReadMemory* judgedByContent = nullptr;
    // When set (sized to frame 0's lines), receives the octave each line's note is named in, on
    // the lines that send a note.
    std::vector<int>* noteOctaves = nullptr;
};

struct ChannelCode {
    Bytes bytes;
    std::vector<TargetFixup> fixups;  // in stream order; empty once resolved
    LineAddressTable addresses;
    // Driver addresses named by remembered targets that are no line of the channel, kept as read.
    std::vector<std::uint16_t> keptTargets;
};

// Checks the frame ends and encodes the channel starting at linear position p (advanced by
// the bytes written). Returns nothing when a check failed (reported; the run ends). An octave
// error is reported but does not stop the encoding. Throws ConversionError on damaged cells.
std::optional<ChannelCode> createChannelCode(const ChannelInput& in, std::uint64_t& p,
                                             std::uint32_t bankXor, ErrorBox& errors);

// Replaces every fixup by the recorded address of its target, leftmost first. On the first
// target that is unreadable or was never recorded, reports its message and "Error with the a
// loop or break." and returns false.
bool resolveTargets(ChannelCode& code, const std::string& channelName, ErrorBox& errors);

// Message texts of code creation.
std::string octaveErrorMessage(int line, const std::string& channelName);
std::string impossibleTargetMessage(long long frame, long long line);
inline constexpr const char* kLoopErrorMessage = "Error with the a loop or break.";
std::string keptTargetElsewhereMessage(int line, const std::string& channelName,
                                       std::uint16_t target);

}  // namespace kestra
