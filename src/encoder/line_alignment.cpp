#include "encoder/line_alignment.h"

#include <algorithm>
#include <cstdint>
#include <string_view>

#include "model/line_fields.h"
#include "model/sheets.h"

namespace kestra {
namespace {

// A line number field of a Loop or Break record: renumbered by adding and removing lines, and
// resolved again when the line is written, so its digits do not tell lines apart.
bool isLineField(size_t at, size_t width) {
    return at + 4 <= width && (at % 8 == 4 || (width == kLoopRecordWidth && at == 34));
}
bool isDecimal(std::string_view f) {
    return f.find_first_not_of("0123456789") == std::string_view::npos;
}

// Equal but for line numbers of targets.
bool sameTargets(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (size_t at = 0; at < a.size(); ++at) {
        if (isLineField(at, a.size()) && isDecimal(a.substr(at, 4)) && isDecimal(b.substr(at, 4))) {
            at += 3;
            continue;
        }
        if (a[at] != b[at]) return false;
    }
    return true;
}

struct FrameLines {
    std::string_view music;
    std::string_view loop;
    std::string_view brk;
    // Line n shows remembered line j (the line numbers of targets aside).
    bool same(int n, const ChannelMemory& m, size_t j) const {
        return recordOf(music, n, kMusicRecordWidth) == m.record(0, j) && sameTargetsOf(n, m, j);
    }
    // The same but for the Note cell, both cells naming a note: a new pitch on a kept line.
    bool samePitchLine(int n, const ChannelMemory& m, size_t j) const {
        std::string_view now = recordOf(music, n, kMusicRecordWidth), read = m.record(0, j);
        auto named = [](std::string_view note) {
            return note != "---" && note != "^^^" && note != "///" && note != "..." &&
                   note != "|||";
        };
        return !now.empty() && !read.empty() && named(now.substr(0, 3)) &&
               named(read.substr(0, 3)) && now.substr(3) == read.substr(3) &&
               sameTargetsOf(n, m, j);
    }
    bool sameTargetsOf(int n, const ChannelMemory& m, size_t j) const {
        return sameTargets(recordOf(loop, n, kLoopRecordWidth), m.record(1, j)) &&
               sameTargets(recordOf(brk, n, kBreakRecordWidth), m.record(2, j));
    }
    std::uint64_t hash(int n) const;
};

// FNV-1a over the three records of a line, each closed by a byte no record holds; the digits
// of target line numbers are left out, as sameTargets leaves them out.
std::uint64_t hashParts(std::string_view music, std::string_view loop, std::string_view brk) {
    std::uint64_t h = 1469598103934665603ull;
    bool targets = false;
    for (std::string_view part : {music, loop, brk}) {
        for (size_t at = 0; at < part.size(); ++at) {
            if (targets && isLineField(at, part.size()) && isDecimal(part.substr(at, 4))) {
                at += 3;
                continue;
            }
            h = (h ^ static_cast<unsigned char>(part[at])) * 1099511628211ull;
        }
        h = (h ^ 0xFF) * 1099511628211ull;
        targets = true;
    }
    return h;
}

std::uint64_t FrameLines::hash(int n) const {
    return hashParts(recordOf(music, n, kMusicRecordWidth), recordOf(loop, n, kLoopRecordWidth),
                     recordOf(brk, n, kBreakRecordWidth));
}

std::uint64_t hashRemembered(const ChannelMemory& m, size_t j) {
    return hashParts(m.record(0, j), m.record(1, j), m.record(2, j));
}

// The shortest edit script between a and b (Myers), as matched index pairs; nothing when it
// needs more than maxD insertions and deletions.
std::vector<std::pair<int, int>> matchMiddle(const std::vector<std::uint64_t>& a,
                                             const std::vector<std::uint64_t>& b, int maxD) {
    const int n = static_cast<int>(a.size());
    const int m = static_cast<int>(b.size());
    const int limit = std::min(maxD, n + m);
    const int offset = limit + 1;
    std::vector<int> v(static_cast<size_t>(2 * limit + 3), 0);
    std::vector<std::vector<int>> trace;  // v[-d..d] after round d
    int found = -1;
    for (int d = 0; d <= limit && found < 0; ++d) {
        for (int k = -d; k <= d; k += 2) {
            size_t at = static_cast<size_t>(k + offset);
            int x = (k == -d || (k != d && v[at - 1] < v[at + 1])) ? v[at + 1] : v[at - 1] + 1;
            int y = x - k;
            while (x < n && y < m && a[static_cast<size_t>(x)] == b[static_cast<size_t>(y)]) {
                ++x;
                ++y;
            }
            v[at] = x;
            if (x >= n && y >= m) found = d;
        }
        trace.emplace_back(v.begin() + (offset - d), v.begin() + (offset + d + 1));
    }
    std::vector<std::pair<int, int>> pairs;
    if (found < 0) return pairs;
    int x = n, y = m;
    for (int d = found; d > 0; --d) {
        const std::vector<int>& prev = trace[static_cast<size_t>(d - 1)];
        auto at = [&](int k) { return prev[static_cast<size_t>(k + d - 1)]; };
        int k = x - y;
        int prevK = (k == -d || (k != d && at(k - 1) < at(k + 1))) ? k + 1 : k - 1;
        int prevX = at(prevK);
        int prevY = prevX - prevK;
        while (x > prevX && y > prevY) pairs.push_back({--x, --y});
        x = prevX;
        y = prevY;
    }
    while (x > 0 && y > 0) pairs.push_back({--x, --y});
    return pairs;
}

}  // namespace

std::vector<int> alignRemembered(std::string_view music, std::string_view loop,
                                 std::string_view brk, int lines, const ChannelMemory& remembered) {
    FrameLines frame{music, loop, brk};
    std::vector<int> map(static_cast<size_t>(std::max(lines, 0)), -1);
    int n = static_cast<int>(map.size());
    int m = static_cast<int>(remembered.lines.size());
    // Edits are few and local: the common first and last lines are most of a song.
    int head = 0;
    while (head < n && head < m && frame.same(head, remembered, static_cast<size_t>(head))) {
        map[static_cast<size_t>(head)] = head;
        ++head;
    }
    int tail = 0;
    while (tail < n - head && tail < m - head &&
           frame.same(n - 1 - tail, remembered, static_cast<size_t>(m - 1 - tail))) {
        map[static_cast<size_t>(n - 1 - tail)] = m - 1 - tail;
        ++tail;
    }
    if (head + tail == n || head + tail == m) return map;

    std::vector<std::uint64_t> a, b;
    for (int i = head; i < n - tail; ++i) a.push_back(frame.hash(i));
    for (int j = head; j < m - tail; ++j)
        b.push_back(hashRemembered(remembered, static_cast<size_t>(j)));
    auto pairs = matchMiddle(a, b, kMaxAlignedDifferences);
    if (pairs.empty() && a.size() == b.size()) {
        // Too many differences for the script, but no line added or removed: line for line.
        for (int i = 0; i < static_cast<int>(a.size()); ++i) pairs.push_back({i, i});
    }
    for (auto [i, j] : pairs) {
        // A hash is not the text: a match counts only when the texts are equal.
        if (frame.same(head + i, remembered, static_cast<size_t>(head + j)))
            map[static_cast<size_t>(head + i)] = head + j;
    }
    return map;
}

std::vector<int> pairNewPitches(std::string_view music, std::string_view loop, std::string_view brk,
                                const std::vector<int>& aligned, const ChannelMemory& remembered) {
    FrameLines frame{music, loop, brk};
    const int n = static_cast<int>(aligned.size());
    const int m = static_cast<int>(remembered.lines.size());
    std::vector<int> pairs(aligned.size(), -1);
    for (int i = 0; i < n;) {
        if (aligned[static_cast<size_t>(i)] >= 0) {
            ++i;
            continue;
        }
        int j = i;
        while (j < n && aligned[static_cast<size_t>(j)] < 0) ++j;
        int before = i > 0 ? aligned[static_cast<size_t>(i - 1)] : -1;
        int after = j < n ? aligned[static_cast<size_t>(j)] : m;
        if (after - before - 1 == j - i) {
            for (int k = i; k < j; ++k) {
                int r = before + 1 + (k - i);
                if (frame.samePitchLine(k, remembered, static_cast<size_t>(r)))
                    pairs[static_cast<size_t>(k)] = r;
            }
        }
        i = j;
    }
    return pairs;
}

}  // namespace kestra
