#include "encoder/break_landings.h"

#include <algorithm>
#include <string_view>
#include <tuple>

#include "model/hex_text.h"
#include "model/sheets.h"

namespace kestra {

BreakLandings::BreakLandings(const FrameTexts* breakFrames, int frameCount) {
    if (!breakFrames) return;
    for (int f = 0; f < frameCount && f < static_cast<int>(breakFrames->size()); ++f) {
        const std::string_view text = (*breakFrames)[static_cast<size_t>(f)];
        for (size_t pos = 0, n = 0; pos + kBreakRecordWidth <= text.size();
             pos += kBreakRecordWidth, ++n) {
            std::string_view rec = std::string_view(text).substr(pos, kBreakRecordWidth);
            for (size_t at = 0; at < 32; at += 8) {
                std::string_view flag = rec.substr(at, 2);
                if (flag == "--" || flag == ".." || flag == "||") continue;
                auto flagByte = tryHexTextToInt(flag);
                auto toFrame = tryDecTextToInt(rec.substr(at + 2, 2));
                auto toLine = tryDecTextToInt(rec.substr(at + 4, 4));
                if (!flagByte || *flagByte < 0 || *flagByte > 0xFF || !toFrame || !toLine) continue;
                auto from = std::make_tuple(static_cast<long long>(f), static_cast<long long>(n));
                if (std::make_tuple(*toFrame, *toLine) <= from) continue;
                landings_.push_back({*toFrame, *toLine, std::get<0>(from), std::get<1>(from),
                                     static_cast<std::uint8_t>(*flagByte)});
            }
        }
    }
    std::stable_sort(landings_.begin(), landings_.end(), [](const Landing& a, const Landing& b) {
        return std::tie(a.frame, a.line, a.fromFrame, a.fromLine) <
               std::tie(b.frame, b.line, b.fromFrame, b.fromLine);
    });
}

bool BreakLandings::apply(int frame, int line, OctaveState& state) const {
    auto it = std::lower_bound(landings_.begin(), landings_.end(), std::make_pair(frame, line),
                               [](const Landing& l, const std::pair<int, int>& at) {
                                   return std::tie(l.frame, l.line) <
                                          std::make_tuple(static_cast<long long>(at.first),
                                                          static_cast<long long>(at.second));
                               });
    bool any = false;
    for (; it != landings_.end() && it->frame == frame && it->line == line; ++it) {
        state.flagCommand(it->flag);
        any = true;
    }
    return any;
}

}  // namespace kestra
