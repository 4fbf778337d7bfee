// The long song the editing and undo benchmarks work on: channels of 10,000 lines full of loop,
// jump and break references, in frame 0 as the editor keeps it.
#pragma once

#include <cstdlib>
#include <string>

#include "model/document.h"
#include "model/hex_text.h"

namespace kestra::bench {

constexpr int kLines = 10000;

// Every line carries a loop reference and every third a break and a jump; all point at even
// lines below 9900, so removing an odd line is never blocked and 100 lines can be added.
inline Document longSong(int channels = kChannelCount) {
    Document doc;
    for (int ch = 0; ch < channels; ++ch) {
        ChannelSheets& cs = doc.sheets.channel(ch);
        // A refused cell would leave a different song to measure.
        auto set = [](Sheet& sheet, int r, int c, const std::string& text) {
            if (!sheet.setCell(r, c, text)) std::abort();
        };
        growSheetRows(kLines - 1, cs);
        initSheetRows(cs, 0, kLines - 1);
        for (int r = 0; r < kLines; ++r) {
            set(cs.music, r, music::kNote, "C#3");
            set(cs.music, r, music::kTLg, intToHexText(r % 256, 2));
            set(cs.loop, r, loop::count(1), "02");
            set(cs.loop, r, loop::frame(1), "00");
            set(cs.loop, r, loop::line(1), intToDecText((r * 7 % 9000) & ~1, 4));
            if (r % 3 == 0) {
                set(cs.loop, r, loop::kJumpLine, intToDecText((r / 2) & ~1, 4));
                set(cs.brk, r, brk::line(2), intToDecText((9000 - r % 9000) & ~1, 4));
            }
        }
    }
    return doc;
}

}  // namespace kestra::bench
