// The frame store: each channel's Music, Loop and Break sheets kept as frame texts of
// fixed-width line records (30, 38 and 32 characters a line), and the save/load between them.
#pragma once

#include <array>
#include <string>
#include <vector>

#include "model/sheets.h"

namespace kestra {

struct FrameStore {
    int frameCount = 1;
    int currentFrame = 0;
    // texts[channel][kind][frame], kind 0 Music, 1 Loop, 2 Break.
    std::array<std::array<std::vector<std::string>, 3>, kChannelCount> texts;

    FrameStore() { reset(); }
    // One empty frame per array, frame 0 current.
    void reset();
    std::vector<std::string>& frames(int ch, SheetKind kind) {
        return texts[static_cast<size_t>(ch)][static_cast<size_t>(kind)];
    }
    const std::vector<std::string>& frames(int ch, SheetKind kind) const {
        return texts[static_cast<size_t>(ch)][static_cast<size_t>(kind)];
    }
    // Lines of a frame: its Music text length / 30.
    int lineCount(int ch, int frame) const;
    bool operator==(const FrameStore&) const = default;
};

// Store the channel's three sheets as frame `frame`. False when a cell did not have its fixed
// width (the texts are stored as they stand).
bool saveFrame(const ChannelSheets& sheets, FrameStore& store, int ch, int frame);
// True when every value cell has its fixed width: saveFrame is then exact, and loading the
// frame back gives the same sheets.
bool keepsCellWidths(const ChannelSheets& sheets);
// Fill rows 0..lines-1 of the channel's sheets from frame `frame`; rows must exist. A record
// position past the end of a text gives an empty cell; with 0 lines row 0 gets its defaults.
void loadFrame(int lines, const FrameStore& store, int ch, int frame, ChannelSheets& sheets);
// Save every channel into the current frame, switch to newFrame and load it into the sheets.
void frameChange(Sheets& sheets, FrameStore& store, int newFrame);
// The common "store what the user sees" step: frameChange with the frame unchanged.
inline void storeShownFrame(Sheets& sheets, FrameStore& store) {
    frameChange(sheets, store, store.currentFrame);
}

}  // namespace kestra
