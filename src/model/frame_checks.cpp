#include "model/frame_checks.h"

#include <algorithm>
#include <string_view>

#include "model/sheets.h"

namespace kestra {

bool checkFrameEnds(const FrameTexts& musicFrames, int frameCount, const std::string& channelName,
                    ErrorBox& errors, FrameEnds& out) {
    bool pageEnd = false;
    out.longestFrame = 0;
    for (int f = 0; f < frameCount && !pageEnd; ++f) {
        std::string_view text;
        if (f < static_cast<int>(musicFrames.size())) text = musicFrames[static_cast<size_t>(f)];
        bool frameEnd = false;
        int scanned = 0;
        for (size_t pos = 0; pos + kMusicRecordWidth <= text.size() && !frameEnd;
             pos += kMusicRecordWidth) {
            ++scanned;
            // The Vol and Ins cells together: "..." or "|||" only on a marker line.
            std::string_view mark = text.substr(pos + 3, 3);
            if (mark == "...") frameEnd = true;
            if (mark == "|||") frameEnd = pageEnd = true;
        }
        out.longestFrame = std::max(out.longestFrame, scanned);
        if (!frameEnd) {
            errors.report("One of the frame doesn't have a end on the channel " + channelName +
                          " on frame " + std::to_string(f) + ".");
            return false;
        }
    }
    if (!pageEnd) {
        errors.report("There is no end channel to the music of channel " + channelName + ".");
        return false;
    }
    return true;
}

}  // namespace kestra
