// The frames of each channel. The frame shown is the channel's sheets themselves: the store
// keeps only the texts of the other frames (fixed-width line records, one text per frame and
// sheet kind), so no line lives twice.
#pragma once

#include <array>
#include <string>
#include <string_view>
#include <vector>

#include "model/sheets.h"

namespace kestra {

// The frame texts of one channel and sheet kind, frame by frame: views that stay valid while
// the sheets and the store are not changed.
using FrameTexts = std::vector<std::string_view>;

struct FrameStore {
    int frameCount = 1;
    int currentFrame = 0;
    // texts[channel][kind][frame], kind 0 Music, 1 Loop, 2 Break; the entry of the current
    // frame is empty while its lines are in the sheets.
    std::array<std::array<std::vector<std::string>, 3>, kChannelCount> texts;

    FrameStore() { reset(); }
    // One frame, frame 0 current.
    void reset();
    std::vector<std::string>& frames(int ch, SheetKind kind) {
        return texts[static_cast<size_t>(ch)][static_cast<size_t>(kind)];
    }
    const std::vector<std::string>& frames(int ch, SheetKind kind) const {
        return texts[static_cast<size_t>(ch)][static_cast<size_t>(kind)];
    }
    bool operator==(const FrameStore&) const = default;
};

// Every frame text of the channel's sheet kind, the current frame read from the sheets.
FrameTexts frameTexts(const Sheets& sheets, const FrameStore& store, int ch, SheetKind kind);

// The frames of the whole song as the encoder and the walk read them: views into the sheets and
// the store, valid while neither changes.
struct SongFrames {
    int frameCount = 1;
    std::array<std::array<FrameTexts, 3>, kChannelCount> texts;
    const FrameTexts& frames(int ch, SheetKind kind) const {
        return texts[static_cast<size_t>(ch)][static_cast<size_t>(kind)];
    }
};
SongFrames songFrames(const Sheets& sheets, const FrameStore& store);
// Puts the shown frame away, makes newFrame (clamped to the frames there are) current and takes
// its lines into the sheets. A frame that holds no line shows one empty line.
void frameChange(Sheets& sheets, FrameStore& store, int newFrame);

}  // namespace kestra
