// Builds channel sheets line by line, for tests of the encoder, Show Song and Create Code, and
// encodes one channel of them.
#pragma once

#include <map>
#include <optional>
#include <string>
#include <vector>

#include "encoder/channel_encoder.h"
#include "model/frame_store.h"
#include "model/hex_text.h"
#include "model/sheets.h"

namespace kestra::testing {

using Cells = std::map<int, std::string>;

// One line of a channel: the note cell ("|||" and "..." make page-end marker lines), other
// Music cells by column, Loop and Break cells by column.
struct Line {
    std::string note = "---";
    Cells music = {};
    Cells loop = {};
    Cells brk = {};
};

inline Line end() {
    return Line{"|||"};
}
inline Line early() {
    return Line{"..."};
}

// Loop k (count, frame, line), the jump, and break k (flag, frame, line) as Loop/Break cells.
inline Cells loopTo(int k, const char* count, int line, const char* frame = "00") {
    return {
        {loop::count(k), count}, {loop::frame(k), frame}, {loop::line(k), intToDecText(line, 4)}};
}
inline Cells jumpTo(int line, const char* frame = "00") {
    return {{loop::kJumpFrame, frame}, {loop::kJumpLine, intToDecText(line, 4)}};
}
inline Cells breakTo(int k, const char* flag, int line) {
    return {{brk::flag(k), flag}, {brk::frame(k), "00"}, {brk::line(k), intToDecText(line, 4)}};
}

inline void fillChannel(ChannelSheets& ch, const std::vector<Line>& lines) {
    resetChannelSheets(ch);
    int n = static_cast<int>(lines.size());
    if (n > 1) growSheetRows(n - 1, ch);
    initSheetRows(ch, 0, n - 1);
    for (int r = 0; r < n; ++r) {
        const Line& l = lines[static_cast<size_t>(r)];
        if (l.note == "|||" || l.note == "...") {
            setMarkerLine(ch, r, l.note[0]);
            continue;
        }
        ch.music.setCell(r, music::kNote, l.note);
        for (const auto& [c, t] : l.music) ch.music.setCell(r, c, t);
        for (const auto& [c, t] : l.loop) ch.loop.setCell(r, c, t);
        for (const auto& [c, t] : l.brk) ch.brk.setCell(r, c, t);
    }
}

// Fills the first channels with the given lines, resets the others.
inline void fillSheets(Sheets& sheets, const std::vector<std::vector<Line>>& channels) {
    for (int c = 0; c < kChannelCount; ++c) {
        if (c < static_cast<int>(channels.size()))
            fillChannel(sheets.channel(c), channels[static_cast<size_t>(c)]);
        else
            resetChannelSheets(sheets.channel(c));
    }
}

inline ChannelSheets channelOf(const std::vector<Line>& lines) {
    ChannelSheets ch;
    fillChannel(ch, lines);
    return ch;
}

// A song of the given channels (missing channels: one default line), read as the encoder reads it.
struct StoredSong {
    Sheets sheets;
    FrameStore store;
    operator SongFrames() const { return songFrames(sheets, store); }
};
inline StoredSong storeOf(const std::vector<std::vector<Line>>& channels) {
    StoredSong song;
    fillSheets(song.sheets, channels);
    return song;
}

// Channel ch of the store encoded from driver address `start`, as "Square One"; the targets are
// resolved when encoding reported nothing. `resolved` tells whether they were.
struct EncodedChannel {
    std::optional<ChannelCode> code;
    bool resolved = false;
    std::uint64_t next = 0;  // the address after the channel's bytes
};
inline EncodedChannel encodeStored(const SongFrames& store, int ch, ErrorBox& box,
                                   std::uint64_t start = 0x8000) {
    ChannelInput in;
    in.music = &store.frames(ch, SheetKind::Music);
    in.loop = &store.frames(ch, SheetKind::Loop);
    in.brk = &store.frames(ch, SheetKind::Break);
    in.name = "Square One";
    in.noise = ch == kNoise;
    EncodedChannel out;
    out.next = start;
    out.code = createChannelCode(in, out.next, 0, box);
    if (out.code && box.history().empty()) out.resolved = resolveTargets(*out.code, in.name, box);
    return out;
}

// The bytes of a channel's sheets encoded alone (frame 0, Square One); empty on any message.
inline Bytes channelBytes(const ChannelSheets& sheets, ErrorBox& box) {
    StoredSong song;
    song.sheets.channel(0) = sheets;
    EncodedChannel e = encodeStored(song, 0, box);
    return e.resolved ? e.code->bytes : Bytes{};
}

}  // namespace kestra::testing
