// Decoder: stream bytes in, sheet cells out.
#include "format/decoder.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "model/hex_text.h"
#include "song_lines.h"

namespace kestra {
namespace {

// The streams below start at channel address 0x0080 of an NSF (header size 0x80), so the
// driver address of stream byte i is 0x8000 + i: a target operand "80 i" names byte i.
constexpr std::uint32_t kStart = 0x80;
constexpr std::uint32_t kHeaderSize = 0x80;

constexpr SheetKind M = SheetKind::Music;
constexpr SheetKind L = SheetKind::Loop;
constexpr SheetKind B = SheetKind::Break;

struct Cell {
    int row;
    SheetKind kind;
    int col;
    const char* text;
};

struct Case {
    const char* name;
    Bytes stream;
    int lines;
    std::vector<Cell> cells;
    std::vector<const char*> messages = {};  // each a part of the message at that position
    int channel = kSquare1;
};

constexpr int kNote = music::kNote;

// A stream decoded into sheets (fresh ones unless given); the three sheets keep one row count.
struct Decoded {
    ChannelSheets sheets;
    ErrorBox errors;
    bool ok = false;
    explicit Decoded(const Bytes& stream, int channel = kSquare1, ChannelSheets start = {})
        : sheets(std::move(start)) {
        ok = decodeChannel(stream, kStart, kHeaderSize, channel, sheets, errors);
        EXPECT_EQ(sheets.loop.rowCount(), sheets.music.rowCount());
        EXPECT_EQ(sheets.brk.rowCount(), sheets.music.rowCount());
    }
};

void runCases(const std::vector<Case>& cases) {
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Decoded d(c.stream, c.channel);
        EXPECT_EQ(d.sheets.lineCount(), c.lines);
        for (const Cell& cell : c.cells) {
            const Sheet& s = d.sheets.sheet(cell.kind);
            ASSERT_TRUE(s.inRange(cell.row, cell.col)) << "row " << cell.row;
            EXPECT_EQ(s.cell(cell.row, cell.col), cell.text)
                << "row " << cell.row << " sheet " << int(cell.kind) << " col " << cell.col;
        }
        const auto& got = d.errors.history();
        ASSERT_EQ(got.size(), c.messages.size()) << (got.empty() ? "" : got.front());
        for (size_t i = 0; i < got.size(); ++i)
            EXPECT_NE(got[i].find(c.messages[i]), std::string::npos) << got[i];
    }
}

TEST(Decoder, CommandsNotesAndLines) {
    runCases({
        // clang-format off
        {"just End", {0x17}, 1, {{0, M, kNote, "|||"}, {0, L, 16, "||||"}}},
        {"octave then a 2-line note",
         {0x09, 0x03, 0x45, 0x17}, 3,
         {{0, M, music::kOct, "03"}, {0, M, kNote, "E-3"}, {1, M, kNote, "---"},
          {2, M, kNote, "|||"}, {2, M, music::kVol, "|"}}},
        {"0x17 as a loop count is an operand",
         {0x21, 0x0E, 0x17, 0x80, 0x00, 0x17}, 2,
         {{0, L, loop::count(1), "17"}, {0, L, loop::line(1), "0000"}}},
        {"rests and the highest pitch",
         {0x20, 0x09, 0x02, 0x3F, 0xE0, 0x17}, 67,
         {{0, M, kNote, "///"}, {1, M, kNote, "F#4"}, {2, M, kNote, "///"}, {3, M, kNote, "---"},
          {66, M, kNote, "|||"}}},
        {"dotted lengths: 1 stays 1, 2 becomes 3",
         {0x02, 0x21, 0x02, 0x41, 0x21, 0x17}, 6,
         {{0, M, kNote, "C-0"}, {1, M, kNote, "C-0"}, {4, M, kNote, "C-0"}}},
        {"dotted 64-line note keeps 64, reported",
         {0x02, 0xE1, 0x17}, 65,
         {{0, M, kNote, "C-0"}, {64, M, kNote, "|||"}},
         {"A hex code of a note of 64 of length is preceded of a 02 command. 02 cannot be set "
          "before 64 length notes."}},
        {"unused bytes pass without operands",
         {0x19, 0x1F, 0x21, 0x17}, 2,
         {{0, M, kNote, "C-0"}}},
        {"every one-operand cell",
         {0x00, 0x04, 0x81, 0x05, 0x12, 0x34, 0x06, 0x0A, 0x07, 0x3C, 0x08, 0x02,
          0x0A, 0x05, 0x0B, 0xFE, 0x0C, 0x44, 0x0D, 0x00, 0x18, 0x80, 0x21, 0x17},
         2, {{0, M, music::kTrip, "ON"}, {0, M, music::kFlag, "81"}, {0, M, music::kSpeed1, "12"},
          {0, M, music::kSpeed2, "34"}, {0, M, music::kTLg, "0A"}, {0, M, music::kVol, "C"},
          {0, M, music::kIns, "02"}, {0, M, music::kTrAll, "05"}, {0, M, music::kTrans, "FE"},
          {0, M, music::kPitch, "44"}, {0, M, music::kSld, "00"}, {0, M, music::kTnTp, "80"}}},
        {"volume shows its low digit",
         {0x07, 0x0A, 0x21, 0x17}, 2,
         {{0, M, music::kVol, "A"}}},
        {"commands between the last note and End keep a zero-length line",
         {0x21, 0x07, 0x05, 0x17}, 3,
         {{1, M, kNote, "^^^"}, {1, M, music::kVol, "5"}, {2, M, kNote, "|||"}}},
        {"commands between a note and a loop keep their place before it",
         {0x21, 0x07, 0x0A, 0x0E, 0x02, 0x80, 0x00, 0x22, 0x17}, 4,
         {{0, M, kNote, "C-0"}, {1, M, kNote, "^^^"}, {1, M, music::kVol, "A"},
          {1, L, loop::line(1), "0000"}, {2, M, kNote, "C#0"}}},
        {"a target after a line's commands gets a zero-length line for them",
         {0x00, 0x09, 0x03, 0x21, 0x22, 0x0E, 0x01, 0x80, 0x01, 0x00, 0x17}, 5,
         {{0, M, kNote, "^^^"}, {0, M, music::kTrip, "ON"}, {1, M, kNote, "C-3"},
          {1, M, music::kOct, "03"}, {2, L, loop::line(1), "0001"}, {3, M, music::kTrip, "ON"}}},
        {"noise pitches",
         {0x21, 0x30, 0x31, 0x3F, 0x20, 0x17}, 6,
         {{0, M, kNote, "0-#"}, {1, M, kNote, "F-#"}, {2, M, kNote, "G-#"}, {3, M, kNote, "U-#"},
          {4, M, kNote, "///"}},
         {},
         kNoise},
        {"noise ignores octaves",
         {0x09, 0x05, 0x25, 0x17}, 2,
         {{0, M, kNote, "4-#"}}, {},
         kNoise},
        // clang-format on
    });
}

TEST(Decoder, ConnectDisplay) {
    runCases({
        // clang-format off
        {"flag 40 holds until a Connect releases",
         {0x04, 0x40, 0x21, 0x21, 0x21, 0x01, 0x21, 0x21, 0x17}, 6,
         {{0, M, kNote, "C-0"}, {1, M, kNote, "---"}, {2, M, kNote, "---"}, {3, M, kNote, "---"},
          {4, M, kNote, "C-0"}}},
        {"flag without the connect bit ends the hold",
         {0x04, 0x40, 0x21, 0x21, 0x04, 0x00, 0x21, 0x17}, 4,
         {{0, M, kNote, "C-0"}, {1, M, kNote, "---"}, {2, M, kNote, "C-0"}}},
        {"split note: Connect, piece, Connect, piece",
         {0x01, 0x61, 0x01, 0x21, 0x21, 0x17}, 7,
         {{0, M, kNote, "C-0"}, {4, M, kNote, "---"}, {5, M, kNote, "C-0"}}},
        {"slide on shows every note",
         {0x04, 0x40, 0x0D, 0x10, 0x21, 0x21, 0x21, 0x17}, 4,
         {{0, M, kNote, "C-0"}, {1, M, kNote, "C-0"}, {2, M, kNote, "C-0"}}},
        {"slide off leaves the state off",
         {0x0D, 0x00, 0x21, 0x21, 0x17}, 3,
         {{0, M, kNote, "C-0"}, {1, M, kNote, "C-0"}}},
        // A Connect while releasing: the note after it still ends the hold, and every note
        // takes its lines.
        {"Connect while releasing",
         {0x04, 0x40, 0x21, 0x21, 0x01, 0x01, 0x41, 0x21, 0x17}, 6,
         {{0, M, kNote, "C-0"}, {1, M, kNote, "---"}, {2, M, kNote, "---"}, {3, M, kNote, "---"},
          {4, M, kNote, "C-0"}, {5, M, kNote, "|||"}}},
        // Break with the connect bit: the note at its target continues the held note.
        {"break with connect bit holds at its target",
         {0x21, 0x12, 0x40, 0x80, 0x06, 0x21, 0x21, 0x21, 0x17}, 5,
         {{0, M, kNote, "C-0"}, {1, M, kNote, "C-0"}, {2, M, kNote, "---"}, {3, M, kNote, "---"},
          {0, B, brk::line(1), "0002"}}},
        {"break without it turns the connect off at its target",
         {0x04, 0x40, 0x21, 0x12, 0x00, 0x80, 0x08, 0x21, 0x21, 0x17}, 4,
         {{0, M, kNote, "C-0"}, {1, M, kNote, "---"}, {2, M, kNote, "C-0"},
          {0, B, brk::line(1), "0002"}}},
        // clang-format on
    });
}

TEST(Decoder, LoopsBreaksAndJumps) {
    runCases({
        // clang-format off
        {"jump back to the first byte",
         {0x21, 0x16, 0x80, 0x00, 0x17}, 2,
         {{0, L, loop::kJumpFrame, "00"}, {0, L, loop::kJumpLine, "0000"}}},
        {"loop on the note's last line",
         {0x41, 0x0E, 0x02, 0x80, 0x00, 0x17}, 3,
         {{1, L, loop::count(1), "02"}, {1, L, loop::frame(1), "00"}, {1, L, loop::line(1), "0000"},
          {0, L, loop::count(1), "--"}}},
        {"two loops with one target",
         {0x21, 0x21, 0x0E, 0x02, 0x80, 0x01, 0x0F, 0x03, 0x80, 0x01, 0x17}, 3,
         {{1, L, loop::line(1), "0001"}, {1, L, loop::line(2), "0001"}}},
        {"Loop 1 then Loop 2 share a line",
         {0x21, 0x0E, 0x02, 0x80, 0x00, 0x0F, 0x02, 0x80, 0x00, 0x17}, 2,
         {{0, L, loop::count(1), "02"}, {0, L, loop::count(2), "02"}}},
        {"Loop 2 then Loop 1: a zero-length line",
         {0x21, 0x0F, 0x02, 0x80, 0x00, 0x0E, 0x02, 0x80, 0x00, 0x17}, 3,
         {{0, L, loop::count(2), "02"}, {0, L, loop::count(1), "--"}, {1, M, kNote, "^^^"},
          {1, L, loop::count(1), "02"}, {1, L, loop::line(1), "0000"}, {2, M, kNote, "|||"}}},
        {"Break 1 then Jump: a zero-length line",
         {0x21, 0x12, 0x00, 0x80, 0x00, 0x16, 0x80, 0x00, 0x17}, 3,
         {{0, B, brk::flag(1), "00"}, {1, M, kNote, "^^^"}, {1, L, loop::kJumpLine, "0000"}}},
        {"Break 2 then Break 1: a zero-length line",
         {0x21, 0x13, 0x00, 0x80, 0x00, 0x12, 0x00, 0x80, 0x00, 0x17}, 3,
         {{0, B, brk::flag(2), "00"}, {1, M, kNote, "^^^"}, {1, B, brk::flag(1), "00"}}},
        {"Break 1 then Break 4 share a line",
         {0x21, 0x12, 0x00, 0x80, 0x00, 0x15, 0x40, 0x80, 0x00, 0x17}, 2,
         {{0, B, brk::flag(1), "00"}, {0, B, brk::flag(4), "40"}}},
        {"a loop that is itself a target stands on its own line",
         {0x21, 0x0E, 0x02, 0x80, 0x01, 0x16, 0x80, 0x01, 0x17}, 3,
         {{0, M, kNote, "C-0"}, {1, M, kNote, "^^^"}, {1, L, loop::line(1), "0001"},
          {1, L, loop::kJumpLine, "0001"}, {2, M, kNote, "|||"}}},
        {"a target between commands of one line",
         {0x21, 0x07, 0x05, 0x21, 0x16, 0x80, 0x01, 0x17}, 3,
         {{1, M, music::kVol, "5"}, {1, L, loop::kJumpLine, "0001"}}},
        {"a target at End names the End line",
         {0x21, 0x16, 0x80, 0x04, 0x17}, 2,
         {{0, L, loop::kJumpLine, "0001"}}},
        // clang-format on
    });
}

TEST(Decoder, TargetBookkeeping) {
    runCases({
        // clang-format off
        // The check of the first byte must move the pending target on, or every later target
        // line is off by one.
        {"first byte target then a second target",
         {0x21, 0x21, 0x0E, 0x02, 0x80, 0x00, 0x0F, 0x02, 0x80, 0x01, 0x17}, 3,
         {{1, L, loop::line(1), "0000"}, {1, L, loop::line(2), "0001"}}},
        // A target inside an operand stays an address (reported); larger ones still resolve.
        {"target inside an operand",
         {0x04, 0x40, 0x21, 0x21, 0x0E, 0x02, 0x80, 0x01, 0x0F, 0x02, 0x80, 0x02, 0x16, 0x80, 0x03,
          0x17},
         4, {{0, M, kNote, "^^^"}, {2, L, loop::line(1), "8001"}, {2, L, loop::line(2), "0001"},
          {2, L, loop::kJumpLine, "0002"}},
         {"Square One: the target $8001 is not the start of a command or note"}},
        {"target at an unused byte",
         {0x21, 0x19, 0x21, 0x0E, 0x02, 0x80, 0x01, 0x0F, 0x02, 0x80, 0x02, 0x17}, 4,
         {{1, M, kNote, "^^^"}, {2, L, loop::line(1), "8001"}, {2, L, loop::line(2), "0002"}},
         {"$8001 is not the start"}},
        {"target after End",
         {0x21, 0x16, 0x80, 0x09, 0x17}, 2,
         {{0, L, loop::kJumpLine, "8009"}},
         {"Square One: the target $8009"}},
        {"target before the stream",
         {0x21, 0x16, 0x7F, 0xF0, 0x17}, 2,
         {{0, L, loop::kJumpLine, "7FF0"}},
         {"the target $7FF0"}},
        // clang-format on
    });
}

// The points where the bare reading would lose or damage data.
TEST(Decoder, BadInput) {
    runCases({
        // clang-format off
        // Break 4 whose own address is the pending target gets a zero-length line as Breaks
        // 1-3 do, keeping the note and commands of the line before.
        {"Break 4 on its own target",
         {0x07, 0x03, 0x21, 0x15, 0x00, 0x80, 0x03, 0x17}, 3,
         {{0, M, kNote, "C-0"}, {0, M, music::kVol, "3"}, {1, M, kNote, "^^^"},
          {1, B, brk::flag(4), "00"}, {1, B, brk::line(4), "0001"}, {2, M, kNote, "|||"}}},
        {"Loop before the first note",
         {0x07, 0x05, 0x0E, 0x02, 0x80, 0x06, 0x21, 0x17}, 3,
         {{0, M, kNote, "^^^"}, {0, M, music::kVol, "5"}, {0, L, loop::count(1), "02"},
          {0, L, loop::line(1), "0001"}, {1, M, kNote, "C-0"}}},
        {"Jump as the first byte and its own target",
         {0x16, 0x80, 0x00, 0x21, 0x17}, 3,
         {{0, M, kNote, "^^^"}, {0, L, loop::kJumpLine, "0000"}, {1, M, kNote, "C-0"}}},
        {"the same loop twice on one line",
         {0x21, 0x0E, 0x02, 0x80, 0x00, 0x0E, 0x03, 0x80, 0x00, 0x17}, 3,
         {{0, L, loop::count(1), "02"}, {1, M, kNote, "^^^"}, {1, L, loop::count(1), "03"},
          {1, L, loop::line(1), "0000"}}},
        {"the same jump twice on one line",
         {0x21, 0x16, 0x80, 0x00, 0x16, 0x80, 0x00, 0x17}, 3,
         {{0, L, loop::kJumpLine, "0000"}, {1, M, kNote, "^^^"}, {1, L, loop::kJumpLine, "0000"}}},
        {"the same break twice on one line",
         {0x21, 0x15, 0x00, 0x80, 0x00, 0x15, 0x40, 0x80, 0x00, 0x17}, 3,
         {{0, B, brk::flag(4), "00"}, {1, M, kNote, "^^^"}, {1, B, brk::flag(4), "40"}}},
        {"stream without End",
         {0x21, 0x41}, 4,
         {{0, M, kNote, "C-0"}, {1, M, kNote, "C-0"}, {3, M, kNote, "---"}},
         {"Square One: the stream ends without its End command (17)."}},
        {"stream cut inside a command",
         {0x21, 0x0E, 0x02, 0x80}, 2,
         {{0, L, loop::count(1), "--"}},
         {"ends without its End command"}},
        {"empty stream", {}, 1, {{0, M, kNote, "---"}}, {"ends without its End command"}},
        // clang-format on
    });
}

TEST(Decoder, TargetsBeyondLine9999KeepTheirAddress) {
    // 157 notes of 64 lines put the target note on line 10048, which four digits cannot hold.
    Bytes s(157, 0xE1);
    s.push_back(0x21);  // byte 157 = 0x9D, line 10048
    s.push_back(0x21);  // line 10049
    for (std::uint8_t b : {0x0E, 0x02, 0x80, 0x9D, 0x16, 0x80, 0x00, 0x17}) s.push_back(b);
    Decoded d(s);
    EXPECT_EQ(d.sheets.lineCount(), 10051);
    EXPECT_EQ(d.sheets.loop.cell(10049, loop::line(1)), "809D");
    EXPECT_EQ(d.sheets.loop.cell(10049, loop::kJumpLine), "0000");
    ASSERT_EQ(d.errors.history().size(), 1u);
    EXPECT_NE(d.errors.history()[0].find("$809D falls on line 10048"), std::string::npos);
    EXPECT_EQ(d.sheets.music.cell(10048, 0), "10048");
}

TEST(Decoder, RunawayStreamStopsAtTheLineLimit) {
    Bytes s(kMaxChannelLines / 64 + 1, 0xE1);
    s.push_back(0x17);
    Decoded d(s);
    EXPECT_FALSE(d.ok);
    EXPECT_LE(d.sheets.lineCount(), kMaxChannelLines);
    ASSERT_EQ(d.errors.history().size(), 1u);
    EXPECT_EQ(d.errors.history()[0], "Square One: the stream is longer than " +
                                         std::to_string(kMaxChannelLines) +
                                         " lines; it was read no further.");
    // Right at the limit is fine.
    s.erase(s.begin());
    s.back() = 0x17;
    s[s.size() - 2] = 0xC1;  // (limit / 64 - 1) * 64 + 32 lines, then the End line
    Decoded ok(s);
    EXPECT_TRUE(ok.ok);
    EXPECT_EQ(ok.sheets.lineCount(), (kMaxChannelLines / 64 - 1) * 64 + 32 + 1);
}

TEST(Decoder, ReplacesWhatTheSheetsHeld) {
    Decoded d({0x21, 0x17}, kSquare1, testing::channelOf({{"---", {{music::kVol, "7"}}}, {}, {}}));
    EXPECT_EQ(d.sheets.lineCount(), 2);
    EXPECT_EQ(d.sheets.music.cell(0, music::kVol), "-");
}

}  // namespace
}  // namespace kestra
