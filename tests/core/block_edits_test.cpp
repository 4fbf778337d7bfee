// Block commands: copy/paste keep lines and bytes, targets inside a block move with it, cut
// refuses as Remove Line does, transposition follows the octave in force, each is one undo step.
#include "editing/block_edits.h"

#include <gtest/gtest.h>

#include <functional>

#include "core/fake_ports.h"
#include "core/song_lines.h"
#include "editing/line_clipboard.h"

namespace kestra {
namespace {

using testing::breakTo;
using testing::end;
using testing::FakeMessages;
using testing::fillChannel;
using testing::jumpTo;
using testing::Line;
using testing::loopTo;

constexpr SheetKind M = SheetKind::Music;

struct Song {
    Document doc;
    UndoHistory history;
    FakeMessages messages;

    ChannelSheets& ch(int c = 0) { return doc.sheets.channel(c); }
    Selection at(int row, int c = 0) { return Selection::cell(M, c, row, music::kNote); }
    std::string note(int row, int c = 0) { return cell(M, row, music::kNote, c); }
    std::string cell(SheetKind kind, int row, int col, int c = 0) {
        return std::string(ch(c).sheet(kind).cell(row, col));
    }
    std::string copy(int first, int last, int c = 0) {
        return copyLines(doc, at(first, c), {first, last}, &messages).clipboard.value_or("");
    }
    std::string lastBox() const { return messages.boxes.empty() ? "" : messages.boxes.back().text; }
};

// A phrase on lines 1-3: a break back before it, a loop inside it and a jump out of it; a break
// into it from line 7; the page end on line 9.
std::vector<Line> phraseSong() {
    std::vector<Line> lines(10);
    lines[0] = {"C-3", {{music::kOct, "03"}}};
    lines[1] = {"D-3", {}, {}, breakTo(1, "00", 0)};
    lines[2] = {"E-3", {}, loopTo(1, "02", 1)};
    lines[3] = {"F-3", {}, jumpTo(7)};
    lines[5] = {"G-3"};
    lines[7] = {"A-3", {}, {}, breakTo(1, "00", 2)};
    lines[9] = end();
    return lines;
}

Bytes channelBytes(const ChannelSheets& sheets) {
    ErrorBox errors;
    Bytes b = testing::channelBytes(sheets, errors);
    EXPECT_FALSE(b.empty()) << errors.text();
    return b;
}

TEST(BlockEdits, CopyThenPasteRepeatsTheLinesAndTheirBytes) {
    Song s;
    fillChannel(s.ch(), {{"C-3", {{music::kOct, "03"}}}, {}, {"D-3"}, {"E-3"}, end()});
    const Bytes once = channelBytes(s.ch());
    const std::string text = s.copy(0, 4);  // the page-end line is left out
    EXPECT_EQ(text.substr(0, 14), "channel 1\n000 ");
    EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 5);
    BlockResult r = pasteLines(s.doc, s.at(4), text, &s.messages);
    EXPECT_TRUE(s.messages.boxes.empty()) << s.lastBox();
    EXPECT_EQ(r.lines, (LineRange{4, 7}));
    ASSERT_EQ(s.ch().lineCount(), 9);
    for (int row = 0; row < 4; ++row) {
        EXPECT_EQ(s.ch().music.record(row + 4), s.ch().music.record(row));
    }
    // The block's bytes twice, then the End.
    Bytes twice(once.begin(), once.end() - 1);
    twice.insert(twice.end(), once.begin(), once.end());
    EXPECT_EQ(channelBytes(s.ch()), twice);
}

TEST(BlockEdits, TargetsInsideMoveWithTheBlockOutsideKeepTheirLine) {
    using Paste = BlockResult (*)(Document&, const Selection&, std::string_view, MessagePort*);
    struct Case {
        Paste paste;
        int channel, to;  // where the block's first line goes
        const char *brk, *loop, *jump;
        std::string box;
    };
    const std::vector<Case> cases = {
        {pasteLines, 0, 8, "0000", "0008", "0007", ""},
        {pasteLines, 0, 1, "0000", "0001", "0010", ""},  // the jump's line moved down
        {pasteOver, 0, 4, "0000", "0004", "0007", ""},
        {pasteOver, 1, 0, "0000", "0000", "0007",
         "These loops, breaks or jumps go to lines that are not played: line 2, jump, to line 7."},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.channel) + " at " + std::to_string(c.to));
        Song s;
        fillChannel(s.ch(), phraseSong());
        fillChannel(s.ch(1), {{}, {}, {}, {}, {}, end()});
        BlockResult r = c.paste(s.doc, s.at(c.to, c.channel), s.copy(1, 3), &s.messages);
        ASSERT_TRUE(r.lines) << s.lastBox();
        EXPECT_EQ(s.note(c.to, c.channel), "D-3");
        EXPECT_EQ(s.cell(SheetKind::Break, c.to, brk::line(1), c.channel), c.brk);
        EXPECT_EQ(s.cell(SheetKind::Loop, c.to + 1, loop::line(1), c.channel), c.loop);
        EXPECT_EQ(s.cell(SheetKind::Loop, c.to + 2, loop::kJumpLine, c.channel), c.jump);
        EXPECT_EQ(s.lastBox(), c.box);
    }
}

TEST(BlockEdits, PasteOverNeverReachesThePageEnd) {
    Song s;
    fillChannel(s.ch(), phraseSong());
    const std::string text = s.copy(0, 3);
    BlockResult r = pasteOver(s.doc, s.at(7), text, &s.messages);
    EXPECT_EQ(r.lines, (LineRange{7, 8}));
    EXPECT_EQ(s.note(9), "|||");
    EXPECT_EQ(s.ch().lineCount(), 10);
    EXPECT_EQ(s.lastBox(), "2 of the 4 lines were pasted: the page-end line is never overwritten.");
    pasteOver(s.doc, s.at(9), text, &s.messages);
    EXPECT_EQ(s.lastBox(), "The page-end line can't be pasted over.");
}

TEST(BlockEdits, CutRefusesAsRemoveLineAndMovesLinesWithTheirTargets) {
    struct Refusal {
        LineRange range;
        std::string box;
    };
    const std::vector<Refusal> refusals = {
        {{2, 3},
         "You can't delete lines on which you loop, jump or break! See line 7 on break "
         "frame, break 1."},
        {{8, 9}, "The page-end line can't be cut: select the lines before it."},
        {{0, 9}, "The page-end line can't be cut: select the lines before it."},
    };
    for (const Refusal& c : refusals) {
        Song s;
        fillChannel(s.ch(), phraseSong());
        const Sheets before = s.doc.sheets;
        BlockResult r = cutLines(s.doc, s.at(c.range.first), c.range, &s.messages);
        EXPECT_FALSE(r.clipboard);
        EXPECT_EQ(s.messages.boxes.back(), (FakeMessages::Box{"Cut", c.box}));
        EXPECT_TRUE(s.doc.sheets == before);
    }
    // Cut lines 3-4 and pasted back where they were give the song back; pasted before the line
    // that was 7, the jump still goes to it.
    Song s;
    fillChannel(s.ch(), phraseSong());
    const Sheets before = s.doc.sheets;
    BlockResult cut = cutLines(s.doc, s.at(3), {3, 4}, &s.messages);
    ASSERT_TRUE(cut.clipboard) << s.lastBox();
    EXPECT_EQ(s.ch().lineCount(), 8);
    EXPECT_EQ(s.note(3), "G-3");
    pasteLines(s.doc, s.at(3), *cut.clipboard, &s.messages);
    EXPECT_TRUE(s.doc.sheets == before);
    cutLines(s.doc, s.at(3), {3, 4}, &s.messages);
    pasteLines(s.doc, s.at(5), *cut.clipboard, &s.messages);
    EXPECT_EQ(s.note(5), "F-3");
    EXPECT_EQ(s.cell(SheetKind::Loop, 5, loop::kJumpLine), "0007");
    EXPECT_EQ(s.note(7), "A-3");
    EXPECT_TRUE(s.messages.boxes.empty()) << s.lastBox();
}

TEST(BlockEdits, TransposeFollowsTheOctaveInForceAndStaysInRange) {
    struct Case {
        int channel;
        const char* oct;  // Oct cell of line 0
        const char* note;
        int semitones;
        const char* expected;  // nullptr: left alone and named
    };
    // clang-format off
    const std::vector<Case> cases = {
        {0, "03", "B-3", 1, "C-4"},   {0, "03", "C-4", -1, "B-3"}, {0, "03", "C-3", 12, "C-4"},
        {0, "03", "G-4", -12, "G-3"}, {0, "03", "C-3", -1, nullptr}, {0, "03", "F#5", 1, nullptr},
        {0, "03", "G-4", 12, nullptr}, {0, "05", "C-5", -12, nullptr}, {0, "01", "D#2", 12, "D#3"},
        {3, "--", "3-#", 1, "4-#"},   {3, "--", "F-#", 1, nullptr}, {3, "--", "0-#", -1, nullptr},
        {0, "03", "C-9", 1, nullptr},  // no note of the octave in force
    };
    // clang-format on
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.note) + " by " + std::to_string(c.semitones));
        Song s;
        fillChannel(s.ch(c.channel),
                    {{"///", {{music::kOct, c.oct}}}, {c.note}, {"---"}, {"^^^"}, end()});
        transposeLines(s.doc, s.at(0, c.channel), {0, 4}, c.semitones, &s.messages);
        EXPECT_EQ(s.note(0, c.channel), "///");
        EXPECT_EQ(s.note(2, c.channel), "---");
        EXPECT_EQ(s.note(3, c.channel), "^^^");
        EXPECT_EQ(s.note(1, c.channel), c.expected ? c.expected : c.note);
        EXPECT_EQ(s.lastBox().find("line 1 (" + std::string(c.note) + ")") != std::string::npos,
                  c.expected == nullptr)
            << s.lastBox();
    }
    // The octave in force changes from line to line.
    Song s;
    fillChannel(s.ch(), {{"C-3", {{music::kOct, "03"}}}, {"C-1", {{music::kOct, "01"}}}, end()});
    transposeLines(s.doc, s.at(0), {0, 1}, 12, &s.messages);
    EXPECT_EQ(s.note(0), "C-4");
    EXPECT_EQ(s.note(1), "C-2");
}

TEST(BlockEdits, EachCommandIsOneNamedUndoStep) {
    struct Case {
        const char* name;
        std::function<void(Song&, const std::string&)> run;
    };
    // clang-format off
    const std::vector<Case> cases = {
        {"Paste", [](Song& s, const std::string& t) {
             undoablePaste(s.doc, s.history, s.at(5), t, &s.messages); }},
        {"Paste Over", [](Song& s, const std::string& t) {
             undoablePasteOver(s.doc, s.history, s.at(4), t, &s.messages); }},
        {"Cut", [](Song& s, const std::string&) {
             undoableCut(s.doc, s.history, s.at(4), {4, 6}, &s.messages); }},
        {"Transpose", [](Song& s, const std::string&) {
             undoableTranspose(s.doc, s.history, s.at(0), {0, 8}, 1, &s.messages); }},
    };
    // clang-format on
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Song s;
        fillChannel(s.ch(), phraseSong());
        const std::string text = s.copy(0, 3);
        const Sheets before = s.doc.sheets;
        c.run(s, text);
        const Sheets after = s.doc.sheets;
        EXPECT_FALSE(before == after);
        EXPECT_EQ(s.history.size(), 1u);
        EXPECT_EQ(s.history.undoName(), c.name);
        ASSERT_TRUE(s.history.undo(s.doc.sheets, s.doc.frames));
        EXPECT_TRUE(s.doc.sheets == before);
        EXPECT_EQ(s.history.redoName(), c.name);
        ASSERT_TRUE(s.history.redo(s.doc.sheets, s.doc.frames));
        EXPECT_TRUE(s.doc.sheets == after);
    }
}

TEST(BlockEdits, ClipboardTextThatIsNoLinesIsRefused) {
    const std::string line =
        "012 " + std::string(30, '-') + "|" + std::string(38, '-') + "|" + std::string(32, '-');
    const std::vector<std::pair<std::string, std::string>> cases = {
        {"", "The clipboard holds no lines of a sheet."},
        {"hello", "line 1 of the clipboard: a sheet line starts with its line number"},
        {line + "\n" + line, "line 2 of the clipboard: the line numbers must increase"},
        {"channel 1\n" + line + "\nchannel 2\n",
         "line 3 of the clipboard: the lines of one channel can be pasted at a time"},
        {"012 C-3",
         "line 1 of the clipboard: a sheet line holds a 30-character Music record, "
         "\"|\", a 38-character Loop record, \"|\" and a 32-character Break record"},
    };
    for (const auto& [text, error] : cases) {
        Song s;
        const Sheets before = s.doc.sheets;
        pasteLines(s.doc, s.at(0), text, &s.messages);
        EXPECT_EQ(s.messages.boxes.back(), (FakeMessages::Box{"Paste", error}));
        EXPECT_TRUE(s.doc.sheets == before);
    }
    // Line ends of any system and trailing blanks are fine.
    Song s;
    EXPECT_TRUE(pasteLines(s.doc, s.at(0), "channel 4\r\n" + line + "  \r\n", &s.messages).lines);
}

}  // namespace
}  // namespace kestra
