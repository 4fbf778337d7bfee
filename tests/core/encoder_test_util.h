// Builds channel sheets line by line for the encoder tests.
#pragma once

#include <map>
#include <string>
#include <vector>

#include "model/frame_store.h"
#include "model/sheets.h"

namespace kestra::testing {

// One line of a channel: the note cell, other Music cells by column, Loop and Break cells by
// column; mark '|' or '.' makes it a page-end marker line.
struct Line {
    std::string note = "---";
    std::map<int, std::string> music = {};
    std::map<int, std::string> loop = {};
    std::map<int, std::string> brk = {};
    char mark = 0;
};

inline Line end() {
    return Line{"|||", {}, {}, {}, '|'};
}
inline Line early() {
    return Line{"...", {}, {}, {}, '.'};
}

inline void fillChannel(ChannelSheets& ch, const std::vector<Line>& lines) {
    resetChannelSheets(ch);
    int n = static_cast<int>(lines.size());
    if (n > 1) growSheetRows(n - 1, ch);
    initSheetRows(ch, 0, n - 1);
    for (int r = 0; r < n; ++r) {
        const Line& l = lines[static_cast<size_t>(r)];
        if (l.mark) {
            setMarkerLine(ch, r, l.mark);
            continue;
        }
        ch.music.setCell(r, music::kNote, l.note);
        for (const auto& [c, t] : l.music) ch.music.setCell(r, c, t);
        for (const auto& [c, t] : l.loop) ch.loop.setCell(r, c, t);
        for (const auto& [c, t] : l.brk) ch.brk.setCell(r, c, t);
    }
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
