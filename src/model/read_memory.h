// What reading a song remembers of each line of each channel: the part of the stream the line
// came from and the cells it gave, so that lines still showing exactly what was read are written
// back with exactly those bytes (command order, duplicates, note prefixes, hidden pitches).
#pragma once

#include <algorithm>
#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "model/file_state.h"
#include "model/sheets.h"

namespace kestra {

// A remembered line as a song file keeps it: its Music, Loop and Break records joined.
constexpr size_t kVisibleWidth = kMusicRecordWidth + kLoopRecordWidth + kBreakRecordWidth;

struct LineMemory {
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
    // The Music, Loop and Break records of those lines as read. Shared with the sheets read, so
    // that remembering a long song copies none of its text.
    std::array<SharedRecords, 3> records;

    // Record `kind` (0 Music, 1 Loop, 2 Break) of a line as read; empty when there is none.
    std::string_view record(size_t kind, size_t line) const {
        static constexpr size_t kWidths[] = {kMusicRecordWidth, kLoopRecordWidth,
                                             kBreakRecordWidth};
        const SharedRecords& text = records[kind];
        const size_t w = kWidths[kind];
        if (!text || (line + 1) * w > text->size()) return {};
        return std::string_view(*text).substr(line * w, w);
    }
    // The records of sheets just read, shared with them.
    void shareRecords(const ChannelSheets& read) {
        records = {read.music.sharedText(), read.loop.sharedText(), read.brk.sharedText()};
    }
    void setRecords(std::string music, std::string loop, std::string brk) {
        records = {std::make_shared<std::string>(std::move(music)),
                   std::make_shared<std::string>(std::move(loop)),
                   std::make_shared<std::string>(std::move(brk))};
    }
    bool operator==(const ChannelMemory& o) const {
        auto text = [](const SharedRecords& r) {
            return r ? std::string_view(*r) : std::string_view();
        };
        for (size_t k = 0; k < records.size(); ++k)
            if (text(records[k]) != text(o.records[k])) return false;
        return layout == o.layout && headerOffset == o.headerOffset && pointer == o.pointer &&
               file == o.file && bytes == o.bytes && lines == o.lines;
    }
};

using ReadMemory = std::array<std::optional<ChannelMemory>, kChannelCount>;

}  // namespace kestra
