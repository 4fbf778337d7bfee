// Show Song: the order in which lines are walked, the values shown on each row, the end row,
// the guards against walks that never end, FourChan, and `kestra-cli show`.
#include "view/show_song.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <sstream>
#include <tuple>

#include "model/sheet_dump.h"
#include "song_lines.h"
#include "test_files.h"

namespace kestra {
namespace {

using testing::FakeMessages;

using testing::breakTo;
using testing::Cells;
using testing::channelOf;
using testing::jumpTo;
using testing::Line;
using testing::loopTo;

const std::vector<Line> kEndOnly = {{"|||"}};

// A document whose channels hold the given songs (missing channels: a lone end line).
Document documentOf(const std::vector<std::vector<Line>>& channels) {
    Document doc;
    for (int ch = 0; ch < kChannelCount; ++ch)
        doc.sheets.channel(ch) = channelOf(
            ch < static_cast<int>(channels.size()) ? channels[static_cast<size_t>(ch)] : kEndOnly);
    return doc;
}

std::vector<std::string> column(const Grid& s, int col) {
    std::vector<std::string> out;
    for (int r = 0; r < s.rowCount(); ++r) out.emplace_back(s.cell(r, col));
    return out;
}

Line note(const char* n = "C-1", Cells loops = {}, Cells breaks = {}) {
    return {n, {}, std::move(loops), std::move(breaks)};
}

// Lines 0-3 plain, lines 4-7 looped by loop 1 on line 7 (count 02), then lines 8 and 9 plain.
std::vector<Line> loopSong(Cells breakOnLine5 = {}) {
    std::vector<Line> s(11, note());
    s[5] = note("D-1", {}, std::move(breakOnLine5));
    s[7] = note("E-1", loopTo(1, "02", 4));
    s[10] = note("F-1");
    s.push_back({"|||"});
    return s;
}

struct OrderCase {
    const char* name;
    std::vector<Line> lines;
    std::vector<std::string> lineColumn;  // column "Line" of every row, the end row's "||" last
};

class WalkOrder : public ::testing::TestWithParam<OrderCase> {};

TEST_P(WalkOrder, ShowsLinesInPlayingOrder) {
    Document doc = documentOf({GetParam().lines});
    FakeMessages boxes;
    EXPECT_TRUE(showSong(doc, &boxes));
    EXPECT_EQ(column(doc.sheets.grid(0, SheetKind::MySong), song::kLine), GetParam().lineColumn);
    EXPECT_TRUE(doc.errors.history().empty());
    EXPECT_TRUE(boxes.boxes.empty());
}

INSTANTIATE_TEST_SUITE_P(
    ShowSong, WalkOrder,
    ::testing::Values(
        // clang-format off
        OrderCase{"EndLineOnly", kEndOnly, {"||"}},
        OrderCase{"Plain", {note(), note(), {"|||"}}, {"0", "1", "||"}},
        OrderCase{"LoopCount02ShowsLinesThreeTimes",
                  loopSong(),
                  {"0", "1", "2", "3", "4", "5", "6", "7", "4",  "5",
                   "6", "7", "4", "5", "6", "7", "8", "9", "10", "||"}},
        OrderCase{
            "BreakFiresOnThirdPass",
            loopSong(breakTo(1, "80", 10)),
            {"0", "1", "2", "3", "4", "5", "6", "7", "4", "5", "6", "7", "4", "5", "10", "||"}},
        OrderCase{"LoopCount00DoesNotRepeat",
                  {note(), note("C-1", loopTo(1, "00", 0)), {"|||"}},
                  {"0", "1", "||"}},
        OrderCase{"NestedLoopsRestartInnerCount",
                  {note(),
                   note("C-1", loopTo(1, "01", 0)),
                   note("C-1", loopTo(2, "01", 0)),
                   note(),
                   {"|||"}},
                  {"0", "1", "0", "1", "2", "0", "1", "0", "1", "2", "3", "||"}},
        OrderCase{
            "ForwardJump", {note("C-1", jumpTo(2)), note(), note(), {"|||"}}, {"0", "2", "||"}},
        OrderCase{"JumpBeforeEndStops",
                  {note(), note(), note("C-1", jumpTo(0)), {"|||"}},
                  {"0", "1", "2", "||"}},
        OrderCase{"JumpBeforeEndToZeroLengthLineKeepsJumpLine",
                  {{"^^^"}, note(), note("C-1", jumpTo(0)), {"|||"}},
                  {"1", "2", "||"}},
        OrderCase{"ZeroLengthLinesAreNotShown",
                  {note(), {"^^^"}, {"^^^"}, note(), {"^^^"}, {"|||"}},
                  {"0", "3", "||"}},
        OrderCase{"ZeroLengthLine0LeavesNoEmptyRow", {{"^^^"}, note(), {"|||"}}, {"1", "||"}},
        OrderCase{"OnlyZeroLengthLines", {{"^^^"}, {"^^^"}, {"|||"}}, {"||"}}),
    // clang-format on
    [](const auto& info) { return std::string(info.param.name); });

struct CellCase {
    const char* name;
    std::vector<Line> lines;
    std::vector<std::tuple<int, int, std::string>> expected;  // row, column, text
};

class ShownCells : public ::testing::TestWithParam<CellCase> {};

TEST_P(ShownCells, HoldTheValuesInForce) {
    Document doc = documentOf({GetParam().lines});
    FakeMessages boxes;
    ASSERT_TRUE(showSong(doc, &boxes));
    const Grid& s = doc.sheets.grid(0, SheetKind::MySong);
    for (const auto& [row, col, text] : GetParam().expected) {
        ASSERT_LT(row, s.rowCount());
        EXPECT_EQ(s.cell(row, col), text) << "row " << row << " column " << col;
    }
}

const Cells kVol7 = {{music::kVol, "7"}};
const Cells kVol9 = {{music::kVol, "9"}};

INSTANTIATE_TEST_SUITE_P(
    ShowSong, ShownCells,
    ::testing::Values(
        // clang-format off
        CellCase{"ZeroLengthVolumeFillsAnEmptyVolume",
                 {{"^^^", kVol7}, {"C-1"}, {"|||"}},
                 {{0, music::kVol, "7"}, {0, music::kNote, "C-1"}}},
        CellCase{"ZeroLengthVolumeWinsOverTheLinesOwn",
                 {{"^^^", kVol7}, {"C-1", kVol9}, {"D-1"}, {"|||"}},
                 {{0, music::kVol, "7"}, {1, music::kVol, "-"}}},
        CellCase{"LaterZeroLengthLineOverridesEarlier",
                 {note(),
                  {"^^^", {{music::kIns, "03"}, {music::kSpeed1, "01"}}},
                  {"^^^", {{music::kIns, "05"}, {music::kSpeed2, "02"}, {music::kTrip, "ON"}}},
                  {"D-1", {{music::kIns, "07"}}},
                  {"|||"}},
                 {{1, music::kIns, "05"}, {1, music::kSpeed1, "01"}, {1, music::kSpeed2, "02"},
                  {1, music::kTrip, "ON"}, {1, song::kLine, "3"}}},
        CellCase{"FlagOfZeroLengthLineShownUnlessLineHasOwn",
                 {{"^^^", {{music::kFlag, "40"}}},
                  {"C-1"},
                  {"^^^", {{music::kFlag, "40"}}},
                  {"C-1", {{music::kFlag, "10"}}},
                  {"C-1"},
                  {"|||"}},
                 {{0, music::kFlag, "40"}, {1, music::kFlag, "10"}, {2, music::kFlag, "--"}}},
        CellCase{"BreakFlagShownOnTheLineItLeadsTo",
                 loopSong(breakTo(1, "80", 10)),
                 {{14, song::kLine, "10"}, {14, music::kFlag, "80"}, {13, music::kFlag, "--"}}},
        CellCase{"BreakFlagGivesWayToTheTargetsOwnFlag",
                 [] {
                     auto s = loopSong(breakTo(1, "80", 10));
                     s[10].music = {{music::kFlag, "01"}};
                     return s;
                 }(),
                 {{14, song::kLine, "10"}, {14, music::kFlag, "01"}}},
        CellCase{"CurrentOctaveIsTheOneTheDriverPlays",
                 {note(),
                  {"^^^", {{music::kOct, "02"}}},
                  note(),
                  {"C-1", {{music::kPlus, "ON"}}},
                  {"C-1", {{music::kOct, "03"}}},
                  {"C-1", {{music::kFlag, "00"}}},
                  {"|||"}},
                 {{0, song::kCurrentOctave, "00"},
                  {1, song::kCurrentOctave, "02"},
                  {1, music::kOct, "02"},
                  {2, song::kCurrentOctave, "04"},
                  {3, song::kCurrentOctave, "05"},  // Octave keeps octave-plus
                  {4, song::kCurrentOctave, "03"}}},
        CellCase{"ATakenBreaksFlagSetsTheOctaveWhereItLands",
                 loopSong(breakTo(1, "08", 10)),
                 {{13, song::kCurrentOctave, "00"}, {14, song::kCurrentOctave, "02"}}},
        CellCase{"EndRowAndNumbering",
                 {note(), note(), {"|||"}}, {{2, music::kNote, "|||"}, {2, music::kVol, "|"},
                  {2, music::kIns, "||"}, {2, music::kFlag, "||"}, {2, music::kPlus, "||"},
                  {2, song::kCurrentOctave, "||"}, {2, song::kFrame, "||"}, {2, song::kLine, "||"},
                  {0, 0, "000"}, {0, 1, "-0-"}, {0, 2, "000"}, {1, 0, "001"}, {1, 1, ""}}},
        CellCase{"NumberingPastOneWrap",
                 {note("C-1", loopTo(1, "45", 0)), {"|||"}},  // 0x45 + 1 = 70 rows
                 {{4, 1, "--"}, {5, 1, ""}, {64, 0, "064"}, {64, 1, "-0-"}, {64, 2, "000"},
                  {65, 2, "001"}, {69, song::kFrame, "0"}, {70, music::kNote, "|||"}}}),
    // clang-format on
    [](const auto& info) { return std::string(info.param.name); });

TEST(ShowSong, EarlyPageEndLineIsNotShown) {
    const ChannelSheets first = channelOf({note("C-1"), note("D-1"), {"..."}});
    const ChannelSheets second = channelOf({note("E-1"), {"|||"}});
    auto frames = [&](SheetKind kind) {
        return FrameTexts{first.sheet(kind).text(), second.sheet(kind).text()};
    };
    SongRows song;
    ErrorBox errors;
    EXPECT_TRUE(showChannel(2, "Square One", frames(SheetKind::Music), frames(SheetKind::Loop),
                            frames(SheetKind::Break), song, errors));
    EXPECT_EQ(column(song, music::kNote), (std::vector<std::string>{"C-1", "D-1", "E-1", "|||"}));
    EXPECT_EQ(column(song, song::kFrame), (std::vector<std::string>{"0", "0", "1", "||"}));
    EXPECT_TRUE(errors.history().empty());
}

struct BadWalkCase {
    const char* name;
    std::vector<Line> lines;
    int rows;
    std::string message;
};

class BadWalk : public ::testing::TestWithParam<BadWalkCase> {};

TEST_P(BadWalk, EndsWithTheRowsWalkedAndAMessage) {
    Document doc = documentOf({GetParam().lines, {note(), {"|||"}}});
    FakeMessages boxes;
    showSong(doc, &boxes);
    const Grid& s = doc.sheets.grid(0, SheetKind::MySong);
    EXPECT_EQ(s.rowCount(), GetParam().rows);
    EXPECT_NE(s.cell(s.rowCount() - 1, music::kNote), "|||");
    ASSERT_EQ(doc.errors.history().size(), 1u);
    EXPECT_EQ(doc.errors.history()[0], GetParam().message);
    // The other channels are still shown, and FourChan is built.
    EXPECT_EQ(column(doc.sheets.grid(1, SheetKind::MySong), music::kNote),
              (std::vector<std::string>{"C-1", "|||"}));
    EXPECT_EQ(doc.sheets.grid(0, SheetKind::FourChan).rowCount(), std::max(2, GetParam().rows));
}

const std::string kCycle =
    "The song of channel Square One does not reach its page end: a loop or jump goes round "
    "without end.";

INSTANTIATE_TEST_SUITE_P(
    ShowSong, BadWalk,
    ::testing::Values(
        // clang-format off
        BadWalkCase{"JumpBackCycles",
                    {note(), note("C-1", jumpTo(0)), note(), {"|||"}},
                    kShowRowLimit,
                    kCycle + " Only the first 100000 rows are shown."},
        BadWalkCase{
            "LongWalkNotProvenEndless",
            {note(), note("C-1", loopTo(1, "FF", 0)), note("C-1", loopTo(2, "FF", 0)), {"|||"}},
            kShowRowLimit,
            "The song of channel Square One does not reach its page end within 100,000 "
            "rows. Only the first 100000 rows are shown."},
        BadWalkCase{"ZeroLengthLinesCycle",
                    {{"^^^", {}, jumpTo(0)}, note(), {"|||"}}, 1,
                    kCycle + " No row is shown."},
        BadWalkCase{"JumpBeyondTheLines",
                    {note("C-1", jumpTo(50)), note(), {"|||"}}, 1,
                    "The song of channel Square One goes to the frame 0 on the line 50, which does "
                    "not exist. Only the first row is shown."},
        BadWalkCase{"LoopBeyondTheFrames",
                    {note(), note("C-1", loopTo(1, "02", 0, "03")), {"|||"}}, 2,
                    "The song of channel Square One goes to the frame 3 on the line 0, which does "
                    "not exist. Only the first 2 rows are shown."},
        BadWalkCase{"JumpPastTheEndLine",
                    {note("C-1", jumpTo(3)), note(), {"|||"}, note()}, 2,
                    "The song of channel Square One goes to the frame 0 on the line 4, which does "
                    "not exist. Only the first 2 rows are shown."}),
    // clang-format on
    [](const auto& info) { return std::string(info.param.name); });

TEST(ShowSong, FailedChannelCheckKeepsOneEmptyRowAndOthersAreShown) {
    Document doc = documentOf({{note(), {"|||"}}, {note(), {"..."}}, {note(), note(), {"|||"}}});
    doc.errors.report("earlier message");
    FakeMessages boxes;
    EXPECT_TRUE(showSong(doc, &boxes));
    EXPECT_EQ(
        doc.errors.history(),
        (std::vector<std::string>{"earlier message",
                                  "There is no end channel to the music of channel Square Two."}));
    const Grid& failed = doc.sheets.grid(1, SheetKind::MySong);
    ASSERT_EQ(failed.rowCount(), 1);
    EXPECT_EQ(failed.cell(0, music::kNote), "");
    EXPECT_EQ(column(doc.sheets.grid(2, SheetKind::MySong), song::kLine),
              (std::vector<std::string>{"0", "1", "||"}));
}

TEST(ShowSong, DamagedLoopCountStopsOnlyItsChannel) {
    Document doc = documentOf(
        {{note(), note("C-1", {{loop::count(1), "ZZ"}}), {"|||"}}, {note("D-1"), {"|||"}}});
    FakeMessages boxes;
    EXPECT_FALSE(showSong(doc, &boxes));
    ASSERT_EQ(boxes.boxes.size(), 1u);
    EXPECT_NE(boxes.boxes[0].text.find("'ZZ'"), std::string::npos) << boxes.boxes[0].text;
    EXPECT_NE(boxes.boxes[0].text.find("Channel Square One, frame 0, line 1."), std::string::npos);
    EXPECT_EQ(column(doc.sheets.grid(0, SheetKind::MySong), song::kLine),
              (std::vector<std::string>{"0", "1"}));
    EXPECT_EQ(column(doc.sheets.grid(1, SheetKind::MySong), music::kNote),
              (std::vector<std::string>{"D-1", "|||"}));
    EXPECT_EQ(doc.sheets.grid(0, SheetKind::FourChan).rowCount(), 2);
}

TEST(ShowSong, FourChanCombinesChannelsAndClearsRowsBeyondShorterOnes) {
    Document doc = documentOf({{{"C-1", kVol7}, note(), note(), {"|||"}}, {note("D-1"), {"|||"}}});
    FakeMessages boxes;
    showSong(doc, &boxes);
    const Grid& four = doc.sheets.grid(0, SheetKind::FourChan);
    ASSERT_EQ(four.rowCount(), 4);
    // Row 0: Square One's note, volume and instrument, Square Two's note, the other two's end
    // rows and the separators; row 3: Square One's end row, nothing of the shorter channels.
    const std::vector<std::string> row0 = {"C-1", "7", "--", "|||", "D-1"};
    for (int col = 3; col < 8; ++col) EXPECT_EQ(four.cell(0, col), row0[col - 3]) << col;
    for (int col : {10, 11, 14, 15}) EXPECT_EQ(four.cell(0, col), "|||") << col;
    EXPECT_EQ(four.cell(1, 7), "|||");
    for (int col = 7; col <= 17; ++col) EXPECT_EQ(four.cell(3, col), "") << "column " << col;
    EXPECT_EQ(
        std::string(four.cell(3, 0)) + std::string(four.cell(3, 3)) + std::string(four.cell(3, 6)),
        "003||||||");

    // A second, shorter show leaves nothing of the first.
    doc.sheets.channel(0) = channelOf({{"^^^", kVol9}, note("E-1"), {"|||"}});
    showSong(doc, &boxes);
    const Grid& song = doc.sheets.grid(0, SheetKind::MySong);
    EXPECT_EQ(column(song, music::kNote), (std::vector<std::string>{"E-1", "|||"}));
    EXPECT_EQ(song.cell(0, music::kVol), "9");
    const Grid& again = doc.sheets.grid(0, SheetKind::FourChan);
    EXPECT_EQ(again.rowCount(), 2);
    EXPECT_EQ(again.cell(1, 3), "|||");
}

std::vector<std::string> splitTabs(const std::string& line) {
    std::vector<std::string> out;
    size_t start = 0;
    for (size_t tab; (tab = line.find('\t', start)) != std::string::npos; start = tab + 1)
        out.push_back(line.substr(start, tab - start));
    out.push_back(line.substr(start));
    return out;
}

TEST(ShowSongCli, PrintsSheetsAndMessages) {
    Document doc = documentOf({{note(), note("C-1", loopTo(1, "01", 0)), {"|||"}}, {note()}});
    testing::TempDir dir;
    std::string path = dir.file("song.txt");
    std::ofstream(path) << writeSheetDump(doc.sheets);
    int status = 0;
    std::istringstream out(testing::runCli("show " + path, &status));

    std::vector<std::string> lines;
    for (std::string l; std::getline(out, l);) lines.push_back(l);
    const std::vector<std::string> heads = {"channel 1", "channel 2", "channel 3", "channel 4",
                                            "fourchan"};
    std::vector<size_t> at;
    for (const auto& h : heads) {
        auto it = std::find(lines.begin(), lines.end(), h);
        ASSERT_NE(it, lines.end()) << h;
        at.push_back(static_cast<size_t>(it - lines.begin()));
    }
    ASSERT_EQ(at[1] - at[0], 6u);  // 4 rows walked and the end row
    auto row = splitTabs(lines[at[0] + 3]);
    ASSERT_EQ(row.size(), 21u);
    EXPECT_EQ(row[0], "002");
    EXPECT_EQ(row[1], "");
    EXPECT_EQ(row[3], "C-1");
    EXPECT_EQ(row[20], "0");
    EXPECT_EQ(at[2] - at[1], 2u);  // Square Two failed its check: one row
    EXPECT_EQ(splitTabs(lines[at[4] + 1]).size(), 18u);
    EXPECT_EQ(lines.back(),
              "message: One of the frame doesn't have a end on the channel Square Two on frame 0.");
}

}  // namespace
}  // namespace kestra
