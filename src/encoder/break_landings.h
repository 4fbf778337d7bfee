// Where Breaks land, read from the Break cells: a taken break's flag byte changes the octave
// state at the start of its target line. Only breaks that land after themselves count, as they
// do when a stream is read.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "format/octave_state.h"
#include "model/frame_store.h"

namespace kestra {

class BreakLandings {
  public:
    BreakLandings() = default;
    // The Break frame texts of a channel; unreadable flags or targets are left out (the
    // encoder reports those itself).
    BreakLandings(const FrameTexts* breakFrames, int frameCount);
    // Applies the flags that land on (frame, line), in stream order; true when there were any.
    bool apply(int frame, int line, OctaveState& state) const;

  private:
    struct Landing {
        long long frame, line, fromFrame, fromLine;
        std::uint8_t flag;
    };
    std::vector<Landing> landings_;
};

}  // namespace kestra
