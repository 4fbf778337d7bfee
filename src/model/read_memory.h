// What reading a song remembers of each line of each channel: the part of the stream the line
// came from and the cells it gave, so that lines still showing exactly what was read are written
// back with exactly those bytes (command order, duplicates, note prefixes, hidden pitches).
#pragma once

#include <algorithm>
#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "model/file_state.h"
#include "model/sheets.h"

namespace kestra {

constexpr size_t kVisibleWidth = kMusicRecordWidth + kLoopRecordWidth + kBreakRecordWidth;

// The 100 characters a line is remembered by: its Music, Loop and Break records as read, joined.
// Kept in place rather than on the heap: a long song remembers tens of thousands of lines.
class VisibleText {
  public:
    VisibleText() { chars_.fill('-'); }
    VisibleText(std::string_view music, std::string_view loop = {}, std::string_view brk = {}) {
        chars_.fill('-');
        size_t at = 0;
        for (std::string_view part : {music, loop, brk}) {
            const size_t n = std::min(part.size(), kVisibleWidth - at);
            std::copy_n(part.data(), n, chars_.data() + at);
            at += n;
        }
    }
    std::string_view view() const { return {chars_.data(), chars_.size()}; }
    operator std::string_view() const { return view(); }
    size_t size() const { return kVisibleWidth; }
    std::string_view substr(size_t at, size_t n = std::string_view::npos) const {
        return view().substr(at, n);
    }
    // Replaces the Note cell (the first three characters).
    void setNote(std::string_view note) { std::copy_n(note.data(), std::min<size_t>(note.size(), 3), chars_.data()); }
    bool operator==(const VisibleText&) const = default;

  private:
    std::array<char, kVisibleWidth> chars_;
};

struct LineMemory {
    // The line's Music, Loop and Break records as read.
    VisibleText visible;
    // Its bytes: ChannelMemory::bytes[begin, end).
    std::uint32_t begin = 0;
    std::uint32_t end = 0;
    // On the first line of a note (or rest, "^^^", page end): how many lines the note took as
    // read, its "---" lines included. 0 on the "---" lines.
    int groupLines = 0;
    // Bit i set: the i-th Loop/Break/Jump of the line's bytes names a place that is not a line of
    // the channel (another stream, inside an operand, beyond line 9999). Its operand is kept as
    // read, which is only right where the song was read from.
    std::uint16_t keptTargets = 0;
    bool operator==(const LineMemory&) const = default;
};

struct ChannelMemory {
    Layout layout = Layout::None;
    std::uint32_t headerOffset = 0;   // the song header the channel was read under
    std::uint16_t pointer = 0;        // the channel's driver address in that header
    std::string file;                 // the path of the file it was read from
    std::vector<std::uint8_t> bytes;  // first byte up to and including the End byte
    std::vector<LineMemory> lines;    // one per line of frame 0, in order
    bool operator==(const ChannelMemory&) const = default;
};

using ReadMemory = std::array<std::optional<ChannelMemory>, kChannelCount>;


}  // namespace kestra
