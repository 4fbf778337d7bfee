// The checks that every frame of a channel ends and that the channel has a page end; shared by
// code creation and Show Song, with their messages.
#pragma once

#include <array>
#include <string>
#include <vector>

#include "model/frame_store.h"
#include "model/ports.h"

namespace kestra {

// Channel names as they appear in messages, in channel order.
inline const std::array<std::string, 4> kChannelNames = {"Square One", "Square Two", "Triangle",
                                                         "Noise"};

struct FrameEnds {
    // Lines scanned in the longest frame, its end line included.
    int longestFrame = 0;
};

// Scans the Music frame texts (30-character line records) of one channel. Reports
// "One of the frame doesn't have a end on the channel ..." or "There is no end channel to the
// music of channel ..." and returns false on failure.
bool checkFrameEnds(const FrameTexts& musicFrames, int frameCount, const std::string& channelName,
                    ErrorBox& errors, FrameEnds& out);

}  // namespace kestra
