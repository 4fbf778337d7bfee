// Aligning a frame's lines with the remembered ones: lines keep their memory through edits,
// inserted and removed lines, and only lines with the same text ever match.
#include "encoder/line_alignment.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "model/sheets.h"

namespace kestra {
namespace {

// A line's text from a short tag: the tag at the start of the Music record.
std::string musicOf(const std::string& tag) {
    return tag + std::string(kMusicRecordWidth - tag.size(), '-');
}

struct Frame {
    std::string music, loop, brk;
    int lines = 0;
};

Frame frameOf(const std::vector<std::string>& tags) {
    Frame f;
    for (const auto& t : tags) {
        f.music += musicOf(t);
        f.loop += std::string(kLoopRecordWidth, '-');
        f.brk += std::string(kBreakRecordWidth, '-');
        ++f.lines;
    }
    return f;
}

ChannelMemory remembered(const std::vector<std::string>& tags) {
    ChannelMemory out;
    Frame f = frameOf(tags);
    out.lines.resize(tags.size(), {0, 0, 1, 0});
    out.setRecords(f.music, f.loop, f.brk);
    return out;
}

std::vector<int> align(const std::vector<std::string>& now, const std::vector<std::string>& read) {
    Frame f = frameOf(now);
    return alignRemembered(f.music, f.loop, f.brk, f.lines, remembered(read));
}

TEST(LineAlignment, FollowsTheLinesThroughEdits) {
    struct Case {
        const char* what;
        std::vector<std::string> now, read;
        std::vector<int> expected;
    };
    for (const Case& c : std::initializer_list<Case>{
             {"unedited", {"a", "b", "c"}, {"a", "b", "c"}, {0, 1, 2}},
             {"one line edited", {"a", "x", "c"}, {"a", "b", "c"}, {0, -1, 2}},
             {"a line added", {"a", "new", "b", "c"}, {"a", "b", "c"}, {0, -1, 1, 2}},
             {"a line removed", {"a", "c"}, {"a", "b", "c"}, {0, 2}},
             {"edits at both ends", {"x", "b", "c", "y"}, {"a", "b", "c", "d"}, {-1, 1, 2, -1}},
             {"lines added among equal ones",
              {"n", "-", "-", "m", "-", "n", "-"},
              {"n", "-", "-", "n", "-"},
              {0, 1, 2, -1, -1, 3, 4}},
             {"nothing in common", {"x", "y"}, {"a", "b", "c"}, {-1, -1}},
             {"no line remembered", {"a"}, {}, {-1}},
         }) {
        EXPECT_EQ(align(c.now, c.read), c.expected) << c.what;
    }
}

TEST(LineAlignment, ManyEditsWithoutAddedLinesGoLineForLine) {
    // More differences than the script follows: the lines that kept their place still match.
    std::vector<std::string> read;
    for (int i = 0; i < 3000; ++i) read.push_back("L" + std::to_string(i));
    std::vector<std::string> now = read;
    for (size_t i = 1; i < now.size(); i += 2) now[i] = "edited" + std::to_string(i);
    auto map = align(now, read);
    for (size_t i = 0; i < now.size(); ++i) EXPECT_EQ(map[i], i % 2 ? -1 : int(i)) << i;

    // With a line added as well, only the common ends are kept.
    now.back() = read.back();
    now.insert(now.begin() + 1500, "added");
    map = align(now, read);
    EXPECT_EQ(map[0], 0);
    EXPECT_EQ(map[2], -1);  // not edited, but inside the part that is not followed
    EXPECT_EQ(map[3000], 2999);
}

TEST(LineAlignment, ARecordCutShortNeverMatches) {
    Frame f = frameOf({"a", "b"});
    f.brk.resize(f.brk.size() - 1);  // line 1's Break record is one character short
    auto map = alignRemembered(f.music, f.loop, f.brk, 2, remembered({"a", "b"}));
    EXPECT_EQ(map, (std::vector<int>{0, -1}));
}

}  // namespace
}  // namespace kestra
