#include "format/kept_bytes.h"

#include <algorithm>

#include "format/stream_def.h"

namespace kestra {

namespace {

std::uint16_t keptTargetsOf(const Bytes& s, const std::vector<size_t>& kept, size_t begin,
                            size_t end) {
    std::uint16_t mask = 0;
    int n = 0;
    for (size_t i = begin; i < end; i += 1 + static_cast<size_t>(operandCount(s[i]))) {
        if (!isLoop(s[i]) && !isBreak(s[i]) && !isJump(s[i])) continue;
        if (std::binary_search(kept.begin(), kept.end(), i))
            mask = static_cast<std::uint16_t>(mask | 1u << n);
        ++n;
    }
    return mask;
}

}  // namespace

std::vector<LineMemory> rememberLines(const Bytes& stream, size_t streamEnd,
                                      const std::vector<LineMark>& marks,
                                      const std::vector<size_t>& kept, const ChannelSheets& sheets,
                                      int rows) {
    std::vector<LineMemory> lines(static_cast<size_t>(rows));
    // Most songs keep no target: then no line needs the search.
    const bool anyKept = !kept.empty();
    size_t m = 0;
    std::uint32_t at = 0;
    for (int r = 0; r < rows; ++r) {
        LineMemory& line = lines[static_cast<size_t>(r)];
        line.begin = at;
        if (m < marks.size() && marks[m].line == r) {
            size_t next = m + 1 < marks.size() ? marks[m + 1].at : streamEnd;
            at = static_cast<std::uint32_t>(next);
            ++m;
        }
        line.end = at;
        if (anyKept) line.keptTargets = keptTargetsOf(stream, kept, line.begin, line.end);
    }
    int start = 0;
    for (int r = 1; r <= rows; ++r) {
        if (r < rows && sheets.music.cell(r, music::kNote) == "---") continue;
        lines[static_cast<size_t>(start)].groupLines = r - start;
        start = r;
    }
    return lines;
}

}  // namespace kestra
