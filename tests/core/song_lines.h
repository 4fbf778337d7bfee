// Builds channel sheets line by line, for tests of the encoder, Show Song and Create Code.
#pragma once

#include <map>
#include <string>
#include <vector>

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

inline ChannelSheets channelOf(const std::vector<Line>& lines) {
    ChannelSheets ch;
    fillChannel(ch, lines);
    return ch;
}

// A frame store holding the given channels (missing channels: one default line).
inline FrameStore storeOf(const std::vector<std::vector<Line>>& channels) {
    Sheets sheets;
    FrameStore store;
    for (size_t c = 0; c < channels.size(); ++c)
        fillChannel(sheets.channel(static_cast<int>(c)), channels[c]);
    storeShownFrame(sheets, store);
    return store;
}

}  // namespace kestra::testing
