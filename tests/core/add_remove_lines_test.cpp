// "Add lines" and "Remove Line": checks and their boxes, line movement, reference renumbering
// and blocking, and the number box.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/fake_ports.h"
#include "editing/line_commands.h"
#include "model/frame_store.h"
#include "model/hex_text.h"

namespace kestra {
namespace {

using testing::FakeMessages;

constexpr SheetKind M = SheetKind::Music;
constexpr SheetKind L = SheetKind::Loop;
constexpr SheetKind B = SheetKind::Break;

// A document whose channel lines each carry their own number in the TLg cell ("00", "01", ...),
// so the tests can see where every line went.
struct Song {
    Document doc;
    FakeMessages messages;

    explicit Song(int lines = 10) {
        for (int ch = 0; ch < kChannelCount; ++ch) {
            ChannelSheets& cs = doc.sheets.channel(ch);
            growSheetRows(lines - 1, cs);
            initSheetRows(cs, 0, lines - 1);
            for (int r = 0; r < lines; ++r) cs.music.setCell(r, music::kTLg, intToHexText(r, 2));
        }
    }
    ChannelSheets& ch(int c = 0) { return doc.sheets.channel(c); }
    // The TLg tags of all lines of a channel, "--" for an empty line.
    std::vector<std::string> tags(int c = 0) {
        std::vector<std::string> out;
        for (int r = 0; r < ch(c).lineCount(); ++r)
            out.emplace_back(ch(c).music.cell(r, music::kTLg));
        return out;
    }
    EditResult add(int row, const std::string& count, AddWhere where, int c = 0,
                   SheetKind sheet = M) {
        return addLines(doc, Selection::cell(sheet, c, row, 3), count, where, &messages);
    }
    EditResult remove(int row, const std::string& count, int c = 0, SheetKind sheet = M) {
        return removeLines(doc, Selection::cell(sheet, c, row, 3), count, &messages);
    }
    std::string lastBox() const { return messages.boxes.empty() ? "" : messages.boxes.back().text; }
};

std::vector<std::string> tagsOf(std::initializer_list<int> lines) {
    std::vector<std::string> out;
    for (int l : lines) out.push_back(l < 0 ? "--" : intToHexText(l, 2));
    return out;
}

TEST(AddLines, BeforeMovesTheLineAndFollowingRefs) {
    Song s;
    s.ch().loop.setCell(0, loop::line(1), "0007");
    s.ch().loop.setCell(9, loop::line(2), "0004");
    s.ch().brk.setCell(3, brk::line(4), "0005");
    s.ch().loop.setCell(8, loop::kJumpLine, "0009");
    EditResult r = s.add(5, "2", AddWhere::Before);
    EXPECT_TRUE(s.messages.boxes.empty());
    EXPECT_EQ(s.tags(), tagsOf({0, 1, 2, 3, 4, -1, -1, 5, 6, 7, 8, 9}));
    EXPECT_EQ(s.ch().music.cell(5, 3), "---");
    EXPECT_EQ(s.ch().loop.cell(6, 16), "----");
    EXPECT_EQ(s.ch().brk.cell(6, 14), "----");
    EXPECT_EQ(s.ch().loop.cell(0, loop::line(1)), "0009");
    EXPECT_EQ(s.ch().loop.cell(11, loop::line(2)), "0004");
    EXPECT_EQ(s.ch().brk.cell(3, brk::line(4)), "0007");  // the selected line itself moved
    EXPECT_EQ(s.ch().loop.cell(10, loop::kJumpLine), "0011");
    ASSERT_TRUE(r.rows.has_value());
    EXPECT_EQ(*r.rows, (RowsMoved{RowsMoved::Kind::Inserted, 0, 5, 2}));
    EXPECT_FALSE(r.selection.has_value());
}

TEST(AddLines, AfterKeepsRefsToTheSelectedLine) {
    Song s;
    s.ch().loop.setCell(1, loop::line(3), "0005");
    s.ch().loop.setCell(2, loop::line(4), "0006");
    s.add(5, "2", AddWhere::After);
    EXPECT_EQ(s.tags(), tagsOf({0, 1, 2, 3, 4, 5, -1, -1, 6, 7, 8, 9}));
    EXPECT_EQ(s.ch().loop.cell(1, loop::line(3)), "0005");
    EXPECT_EQ(s.ch().loop.cell(2, loop::line(4)), "0008");
}

TEST(AddLines, ZeroChangesNothing) {
    Song s;
    const Sheets before = s.doc.sheets;
    EditResult r = s.add(4, "0", AddWhere::After);
    EXPECT_EQ(s.doc.sheets, before);
    EXPECT_FALSE(r.changedAnything());
    EXPECT_TRUE(s.messages.boxes.empty());
}

TEST(AddLines, RefusesRefsPastTheLastLineNumber) {
    Song s;
    s.ch().loop.setCell(0, loop::line(1), "9998");
    const Sheets before = s.doc.sheets;
    s.add(3, "2", AddWhere::Before);
    EXPECT_EQ(s.lastBox(), "A loop, jump or break would point beyond line 9999.");
    EXPECT_EQ(s.doc.sheets, before);
    s.add(3, "1", AddWhere::Before);
    EXPECT_EQ(s.ch().loop.cell(0, loop::line(1)), "9999");
}

TEST(AddLines, RefusesARunawayCount) {
    Song s(2);
    for (const char* count : {"2000000000", "65535"}) {
        s.add(0, count, AddWhere::Before);
        EXPECT_EQ(s.lastBox(), "A channel can't have more than 65536 lines.");
        EXPECT_EQ(s.ch().lineCount(), 2);
    }
}

TEST(RemoveLines, LinesBehindMoveUpRefsFollowAndRefsInsideGoWithTheBlock) {
    Song s;
    s.ch().loop.setCell(1, loop::line(1), "0008");
    s.ch().brk.setCell(9, brk::line(2), "0002");
    s.ch().loop.setCell(5, loop::line(3), "0004");
    EditResult r = s.remove(4, "3");
    EXPECT_TRUE(s.messages.boxes.empty());
    EXPECT_EQ(s.tags(), tagsOf({0, 1, 2, 3, 7, 8, 9}));
    EXPECT_EQ(s.ch().loop.rowCount(), 7);
    EXPECT_EQ(s.ch().brk.rowCount(), 7);
    EXPECT_EQ(s.ch().loop.cell(1, loop::line(1)), "0005");
    EXPECT_EQ(s.ch().brk.cell(6, brk::line(2)), "0002");
    for (int r = 0; r < 7; ++r) EXPECT_EQ(s.ch().loop.cell(r, loop::line(3)), "----");
    EXPECT_EQ(*r.rows, (RowsMoved{RowsMoved::Kind::Removed, 0, 4, 3}));
    EXPECT_FALSE(r.selection.has_value());
}

TEST(RemoveLines, SelectionMovesOffTheCutEnd) {
    Song s;
    EditResult r = s.remove(8, "2");
    EXPECT_EQ(s.ch().lineCount(), 8);
    ASSERT_TRUE(r.selection.has_value());
    EXPECT_EQ(r.selection->row, 7);
}

TEST(RemoveLines, MarkerLinesAreNeitherShiftedNorBlocking) {
    Song s;
    setMarkerLine(s.ch(), 8, '|');
    setMarkerLine(s.ch(), 1, '.');
    s.remove(2, "3");
    EXPECT_TRUE(s.messages.boxes.empty());
    EXPECT_TRUE(isMarkerLine(s.ch(), 1, '.'));
    EXPECT_TRUE(isMarkerLine(s.ch(), 5, '|'));
    s.add(0, "2", AddWhere::Before);
    EXPECT_TRUE(isMarkerLine(s.ch(), 7, '|'));
    EXPECT_EQ(s.ch().loop.cell(7, 16), "||||");
}

struct BlockCase {
    const char* name;
    SheetKind sheet;
    int col;
    int holder;  // line that holds the reference
    const char* target;
    const char* ending;  // "" when the removal of lines 4-6 goes ahead
};

class BlockingRemoval : public ::testing::TestWithParam<BlockCase> {};

TEST_P(BlockingRemoval, RefusesOnlyRefsFromOutsideIntoTheBlock) {
    const BlockCase& c = GetParam();
    Song s;
    s.ch().sheet(c.sheet).setCell(c.holder, c.col, c.target);
    const Sheets before = s.doc.sheets;
    s.remove(4, "3");
    if (std::string(c.ending).empty()) {
        EXPECT_TRUE(s.messages.boxes.empty()) << s.lastBox();
        EXPECT_EQ(s.ch().lineCount(), 7);
        return;
    }
    ASSERT_EQ(s.messages.boxes.size(), 1u);
    EXPECT_EQ(s.messages.boxes[0].title, "Remove lines");
    EXPECT_EQ(s.lastBox(), "You can't delete lines on which you loop, jump or break! See line " +
                               std::string(c.ending));
    EXPECT_EQ(s.doc.sheets, before);
}

// clang-format off
const BlockCase kBlockCases[] = {
    {"Loop1FromAbove", L, 5, 0, "0005", "0 on loop frame, loop 1."},
    {"Loop1FromRightBehind", L, 5, 7, "0005", "7 on loop frame, loop 1."},
    {"Loop2", L, 8, 9, "0004", "9 on loop frame, loop 2."},
    {"Loop3", L, 11, 3, "0006", "3 on loop frame, loop 3."},
    {"Loop4", L, 14, 1, "0004", "1 on loop frame, loop 4."},
    {"Jump", L, 16, 8, "0006", "8 on loop frame, jump."},
    {"Break1", B, 5, 2, "0005", "2 on break frame, break 1."},
    {"Break2", B, 8, 0, "0004", "0 on break frame, break 2."},
    {"Break3", B, 11, 9, "0006", "9 on break frame, break 3."},
    {"Break4", B, 14, 7, "0004", "7 on break frame, break 4."},
    {"JustBeforeTheBlock", L, 5, 0, "0003", ""},
    {"JustBehindTheBlock", L, 5, 0, "0007", ""},
    {"HeldInsideTheBlock", B, 14, 6, "0004", ""},
    {"PageEndCell", L, 5, 0, "||||", ""},
    {"EarlyPageEndCell", B, 5, 0, "....", ""},
};
// clang-format on

INSTANTIATE_TEST_SUITE_P(Refs, BlockingRemoval, ::testing::ValuesIn(kBlockCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(RemoveLines, FirstBlockingRefInGroupOrderWins) {
    Song s;
    s.ch().brk.setCell(0, brk::line(1), "0005");
    s.ch().loop.setCell(9, loop::kJumpLine, "0005");
    s.ch().loop.setCell(8, loop::line(2), "0004");
    s.remove(4, "3");
    EXPECT_EQ(s.lastBox(),
              "You can't delete lines on which you loop, jump or break! See line 8 on loop "
              "frame, loop 2.");
}

// The checks of both commands, in their order, each with its box.
struct CheckCase {
    const char* name;
    bool remove;
    const char* count;
    int row;
    int right;  // last selected column
    SheetKind sheet;
    const char* message;
};

class CommandChecks : public ::testing::TestWithParam<CheckCase> {};

TEST_P(CommandChecks, RefuseWithTheirBoxAndChangeNothing) {
    const CheckCase& c = GetParam();
    Song s;
    const Sheets sheets = s.doc.sheets;
    const FrameStore frames = s.doc.frames;
    Selection sel = Selection::cell(c.sheet, 1, c.row, 3);
    sel.right = c.right;
    EditResult r = c.remove ? removeLines(s.doc, sel, c.count, &s.messages)
                            : addLines(s.doc, sel, c.count, AddWhere::Before, &s.messages);
    ASSERT_EQ(s.messages.boxes.size(), 1u);
    EXPECT_EQ(s.messages.boxes[0],
              (FakeMessages::Box{c.remove ? "Remove lines" : "Add lines", c.message}));
    EXPECT_EQ(s.doc.sheets, sheets);
    EXPECT_EQ(s.doc.frames, frames);
    EXPECT_FALSE(r.changedAnything());
}

const char* const kSomething = "Please enter something in the text zone.";
const char* const kNumber = "Please enter a number in the text zone.";
const char* const kOneSquare = "Select the line ( one square only ).";
const char* const kPositive = "Enter a positive number.";
const char* const kView = "Show the Music, Loop or Break sheet to choose the line.";

// clang-format off
const CheckCase kCheckCases[] = {
    {"AddEmpty", false, "", 2, 3, M, kSomething},
    {"AddEmptyBeforeSelection", false, "", 2, 5, M, kSomething},
    {"AddNotNumber", false, "two", 2, 3, L, kNumber},
    {"AddDecimalPoint", false, "1.5", 2, 3, M, kNumber},
    {"AddInnerBlank", false, "1 2", 2, 3, M, kNumber},
    {"AddSignOnly", false, "-", 2, 3, M, kNumber},
    {"AddTooManyDigits", false, "1234567890123456789012", 2, 3, M, kNumber},
    {"AddNotNumberBeforeSelection", false, "x", 2, 5, M, kNumber},
    {"AddSeveralColumns", false, "-3", 2, 4, B, kOneSquare},
    {"AddNegative", false, "-3", 2, 3, M, kPositive},
    {"AddOnSongView", false, "2", 2, 3, SheetKind::MySong, kView},
    {"AddOnFourChan", false, "2", 2, 3, SheetKind::FourChan, kView},
    {"AddRowOutside", false, "2", 10, 3, M, kOneSquare},
    {"RemoveEmpty", true, "", 2, 3, M, kSomething},
    {"RemoveNotNumber", true, "3a", 2, 3, M, kNumber},
    {"RemoveSeveralColumns", true, "1", 2, 6, L, kOneSquare},
    {"RemoveNegative", true, "-1", 2, 3, M, kPositive},
    {"RemoveAll", true, "10", 0, 3, M, "You can't remove all the lines."},
    {"RemoveMoreThanAll", true, "99999999999", 5, 3, M, "You can't remove all the lines."},
    {"RemovePastTheEnd", true, "2", 9, 3, M,
     "You can't delete 'x' lines if you don't have at least 'x' lines from where you delete."},
    {"RemoveOnSongView", true, "1", 2, 3, SheetKind::MySong, kView},
};
// clang-format on

INSTANTIATE_TEST_SUITE_P(Boxes, CommandChecks, ::testing::ValuesIn(kCheckCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(LineCommands, ResultNamesRowsForTheTableModels) {
    Song s;
    EditResult r = s.add(3, "2", AddWhere::After, 1, L);
    EXPECT_EQ(*r.rows, (RowsMoved{RowsMoved::Kind::Inserted, 1, 4, 2}));
    EXPECT_EQ(r.changed, (std::vector<ChangedRows>{{1, M, 4, 11}, {1, L, 0, 11}, {1, B, 0, 11}}));
}

struct ParseCase {
    const char* text;
    LineCount::Status status;
    long long value;
};

TEST(LineCommands, NumberBoxParsing) {
    using S = LineCount::Status;
    // clang-format off
    const ParseCase cases[] = {
        {"", S::Empty, 0},       {" \t", S::Empty, 0},      {"7", S::Ok, 7},
        {" 12 ", S::Ok, 12},     {"+3", S::Ok, 3},          {"-4", S::Ok, -4},
        {"007", S::Ok, 7},       {"0", S::Ok, 0},           {"-0", S::Ok, 0},
        {"1e3", S::NotNumber, 0}, {"0x1", S::NotNumber, 0}, {"--1", S::NotNumber, 0},
        {"+", S::NotNumber, 0},  {"1,000", S::NotNumber, 0},
        {"000000000000000000000000005", S::Ok, 5},
    };
    // clang-format on
    for (const ParseCase& c : cases) {
        LineCount n = parseLineCount(c.text);
        EXPECT_EQ(n.status, c.status) << '"' << c.text << '"';
        if (c.status == S::Ok) {
            EXPECT_EQ(n.value, c.value) << c.text;
        }
    }
}

}  // namespace
}  // namespace kestra
