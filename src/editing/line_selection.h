// Whole lines selected in one sheet: where the selection was started (the anchor) and the line it
// reaches now. The block commands act on its range; the window only feeds it rows.
#pragma once

#include <algorithm>

namespace kestra {

// Lines first..last of a channel, inclusive.
struct LineRange {
    int first = 0;
    int last = 0;

    int count() const { return last - first + 1; }
    bool contains(int line) const { return line >= first && line <= last; }
    bool operator==(const LineRange&) const = default;
};

class LineSelection {
  public:
    bool active() const { return active_; }
    // Starts the selection at `from` when none is active, then makes it reach `to`.
    void extend(int from, int to) {
        if (!active_) anchor_ = from;
        active_ = true;
        reach_ = to;
    }
    void clear() { active_ = false; }
    int anchor() const { return anchor_; }
    // The selected lines, or the current line alone when nothing is selected; kept inside a
    // sheet of `lines` lines.
    LineRange rangeOr(int current, int lines) const {
        const int top = std::max(lines - 1, 0);
        if (!active_) return {std::clamp(current, 0, top), std::clamp(current, 0, top)};
        return {std::clamp(std::min(anchor_, reach_), 0, top),
                std::clamp(std::max(anchor_, reach_), 0, top)};
    }

  private:
    bool active_ = false;
    int anchor_ = 0;
    int reach_ = 0;
};

}  // namespace kestra
