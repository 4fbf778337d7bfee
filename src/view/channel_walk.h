// The walk of one channel in playing order, over its frame texts: loop counters, breaks on the
// last turn of their loop, jumps, early page ends, and the values "^^^" lines hand on. It only
// decides which line is shown on which row; show_song.h writes the rows.
#pragma once

#include <array>
#include <string>
#include <string_view>
#include <vector>

#include "model/frame_store.h"
#include "model/sheets.h"

namespace kestra {

// One shown line: the texts of Song sheet columns 3-17 (carried values already in place), the
// octave in force and where the line comes from. The views stay valid while the frame texts do.
struct ShownLine {
    int row = 0;
    std::array<std::string_view, kMusicColumns> cells;  // indexed by column, 3-17 used
    std::string_view octave;
    long long frame = 0;
    long long line = 0;
};

class ShownLineSink {
  public:
    virtual ~ShownLineSink() = default;
    virtual void show(const ShownLine& line) = 0;
};

enum class WalkEnd {
    PageEnd,   // reached "|||", or the jump on the line before it
    Cut,       // more rows (or zero-length lines) than the limit allows
    LeftStore  // went to a line the frame store does not hold
};

class ChannelWalk {
  public:
    // rowLimit bounds the rows shown; zero-length lines get a budget of linesPerRow per row.
    ChannelWalk(int frameCount, const FrameTexts& musicFrames, const FrameTexts& loopFrames,
                const FrameTexts& breakFrames, int rowLimit, int linesPerRow);

    // Walks from line 0 of frame 0, handing each shown line to sink (which may be null). Damaged
    // loop, break or jump text throws ConversionError, leaving the position at that line.
    WalkEnd run(ShownLineSink* sink);

    long long frame() const { return frame_; }
    long long line() const { return line_; }
    // The walk came back to where it had jumped to before, with the same loop counters: it
    // would go round for ever.
    bool provenEndless() const { return endless_; }

  private:
    std::string_view record(const FrameTexts& texts, long long f, long long n, int width) const;
    std::string_view musicLine(long long f, long long n) const;
    std::string_view note(long long f, long long n) const;

    long long frames_;
    const FrameTexts& music_;
    const FrameTexts& loop_;
    const FrameTexts& brk_;
    int rowLimit_;
    long long lineBudget_;

    long long frame_ = 0;
    long long line_ = 0;
    int row_ = 0;
    // A row is added only once one was written, so a "^^^" line 0 leaves no unwritten first row.
    bool rowWritten_ = false;
    bool endless_ = false;
};

}  // namespace kestra
