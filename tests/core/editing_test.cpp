// Key and double-click editing of the Music, Loop and Break sheets, driven by key sequences.
#include <gtest/gtest.h>

#include <deque>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "core/fake_ports.h"
#include "editing/bit_dialog.h"
#include "editing/sheet_editing.h"

namespace kestra {
namespace {

using testing::FakeBitDialog;
using testing::FakeKeyboard;
using testing::FakeMessages;

// One key press of a script: "Enter", "Space", "Ins", "Del", "End", "Up", ".", "'", a digit or
// letter; "S+" in front holds Shift for it. "Dbl" is a double-click instead.
constexpr int kDoubleClick = -1;

struct Press {
    int key;
    bool shift;
};

std::vector<Press> parseKeys(const std::string& script) {
    static const std::map<std::string, int> kNamed = {
        {"Enter", kKeyEnter},  {"Space", kKeySpace}, {"Ins", kKeyInsert}, {"Del", kKeyDelete},
        {"End", kKeyEnd},      {"Up", kKeyUp},       {"Home", 36},        {".", kKeyFullStop},
        {"'", kKeyApostrophe}, {"Dbl", kDoubleClick}};
    std::vector<Press> out;
    std::istringstream in(script);
    for (std::string tok; in >> tok;) {
        bool shift = tok.rfind("S+", 0) == 0 && tok.size() > 2;
        if (shift) tok = tok.substr(2);
        auto named = kNamed.find(tok);
        if (named == kNamed.end() && tok.size() != 1) ADD_FAILURE() << "bad key " << tok;
        out.push_back({named != kNamed.end() ? named->second : keyOf(tok[0]), shift});
    }
    return out;
}

struct Fixture {
    Document doc;
    FakeKeyboard keyboard;
    FakeBitDialog dialog;
    FakeMessages messages;
    EditContext ctx{&keyboard, &dialog, &messages};

    explicit Fixture(int rows = 1) {
        for (auto& ch : doc.sheets.channels) {
            growSheetRows(rows - 1, ch);
            initSheetRows(ch, 0, rows - 1);
        }
    }
    // A full key press: down, then release with Shift as scripted.
    EditResult press(const Selection& sel, Press p) {
        if (p.key == kDoubleClick) return doubleClick(doc, sel, ctx);
        keyDown(doc, p.key);
        keyboard.shift = p.shift;
        return keyUp(doc, sel, ctx);
    }
    void type(const Selection& sel, const std::string& script) {
        for (Press p : parseKeys(script)) press(sel, p);
    }
    std::string_view cell(int ch, SheetKind kind, int row, int col) {
        return doc.sheets.grid(ch, kind).cell(row, col);
    }
    void setCell(int ch, SheetKind kind, int row, int col, std::string_view text) {
        ASSERT_TRUE(doc.sheets.channel(ch).sheet(kind).setCell(row, col, text)) << text;
    }
};

struct Cell {
    SheetKind sheet;
    int col;
    const char* text;
};

struct KeyCase {
    const char* name;
    int channel;
    SheetKind sheet;
    int column;
    std::vector<Cell> before;  // cells of row 0 set before the keys
    const char* keys;
    std::vector<Cell> after;               // cells of row 0 expected after
    std::vector<std::string> messages;     // everything reported, in order
    std::deque<std::string> answers = {};  // of the bit dialog, in order
    std::vector<std::string> asked = {};   // what the bit dialog was opened with: "F:--", "T:..."
};

constexpr SheetKind M = SheetKind::Music;
constexpr SheetKind L = SheetKind::Loop;
constexpr SheetKind B = SheetKind::Break;

class KeySequence : public ::testing::TestWithParam<KeyCase> {};

TEST_P(KeySequence, GivesCellsAndMessages) {
    const KeyCase& c = GetParam();
    Fixture f;
    for (const Cell& b : c.before) f.setCell(c.channel, b.sheet, 0, b.col, b.text);
    f.dialog.answers = c.answers;
    f.type(Selection::cell(c.sheet, c.channel, 0, c.column), c.keys);
    for (const Cell& a : c.after)
        EXPECT_EQ(f.cell(c.channel, a.sheet, 0, a.col), a.text) << "column " << a.col;
    EXPECT_EQ(f.doc.errors.history(), c.messages);
    std::vector<std::string> asked;
    for (const auto& call : f.dialog.calls)
        asked.push_back((call.kind == BitKind::Flag ? "F:" : "T:") + call.bits);
    EXPECT_EQ(asked, c.asked);
}

const char* const kEnterFirst = "Press 'Enter' on the data first to set it to 0.";
const char* const kSquareFirst = "Press 'Enter' on the square first to set it to 0.";
const char* const kOctave9 = "'A', 'B', 'G' note cannot have an octave of 9.";

// clang-format off
const KeyCase kMusicCases[] = {
    // Two-digit byte cells and the hex-digit editor.
    {"TLgEnterThenDigit", 0, M, 7, {}, "Enter 5", {{M, 7, "05"}}, {}},
    {"TLgShiftSetsHighDigit", 0, M, 7, {}, "Enter 5 S+A", {{M, 7, "A5"}}, {}},
    {"TLgDelete", 0, M, 7, {{M, 7, "A5"}}, "Del", {{M, 7, "--"}}, {}},
    {"TLgDigitOnEmpty", 0, M, 7, {}, "5", {{M, 7, "--"}}, {kEnterFirst}},
    {"TLgDeleteOnEmpty", 0, M, 7, {}, "Del", {{M, 7, "--"}}, {kEnterFirst}},
    {"TLgMeaninglessKeyOnEmpty", 0, M, 7, {}, "G", {{M, 7, "--"}}, {kEnterFirst}},
    {"TLgMeaninglessKeyOnSet", 0, M, 7, {{M, 7, "12"}}, "G Space Ins", {{M, 7, "12"}}, {}},
    {"EnterResetsSetByte", 0, M, 9, {{M, 9, "7F"}}, "Enter", {{M, 9, "00"}}, {}},
    {"HexLetterDigits", 0, M, 12, {}, "Enter F S+E", {{M, 12, "EF"}}, {}},
    {"ArrowDoesNothing", 0, M, 7, {}, "Up", {{M, 7, "--"}}, {}},
    {"HomeIsSwallowedAndRefused", 0, M, 8, {}, "Home", {{M, 8, "--"}}, {kEnterFirst}},
    // Volume: one digit, no Enter needed, Triangle refuses.
    {"VolDigitWithoutEnter", 0, M, 4, {}, "7", {{M, 4, "7"}}, {}},
    {"VolShiftHasNoEffect", 1, M, 4, {}, "Enter S+C", {{M, 4, "C"}}, {}},
    {"VolDelete", 0, M, 4, {{M, 4, "9"}}, "Del", {{M, 4, "-"}}, {}},
    {"TriangleVolRefusesEnter", 2, M, 4, {}, "Enter", {{M, 4, "-"}},
     {"Triangle channel doesn't support volume modification."}},
    {"TriangleVolRefusesDigit", 2, M, 4, {{M, 4, "3"}}, "5 Del", {{M, 4, "3"}},
     {"Triangle channel doesn't support volume modification.",
      "Triangle channel doesn't support volume modification."}},
    // Instrument: Space writes the selected item.
    {"InsSpaceWritesSelected", 0, M, 5, {}, "Space", {{M, 5, "00"}}, {}},
    {"InsDigitsAfterSpace", 0, M, 5, {}, "Space 1 S+2", {{M, 5, "21"}}, {}},
    // Octave.
    {"OctEnterDigit", 0, M, 6, {}, "Enter 7", {{M, 6, "07"}}, {}},
    {"OctShiftIgnored", 0, M, 6, {{M, 6, "03"}}, "S+5", {{M, 6, "05"}}, {}},
    {"OctEightOnEmptyIsSilent", 0, M, 6, {}, "8 9 A", {{M, 6, "--"}}, {}},
    {"OctEightOnSetIsIgnored", 0, M, 6, {{M, 6, "02"}}, "8", {{M, 6, "02"}}, {}},
    {"OctDigitOnEmpty", 0, M, 6, {}, "3", {{M, 6, "--"}},
     {"Press 'Enter' on an octave first to set it to 0."}},
    {"OctDelete", 0, M, 6, {{M, 6, "04"}}, "Del", {{M, 6, "--"}}, {}},
    // Speed: both bytes together.
    {"SpeedEnterSetsBoth", 0, M, 14, {}, "Enter", {{M, 14, "00"}, {M, 15, "00"}}, {}},
    {"SpeedSecondEnterSetsBoth", 0, M, 15, {}, "Enter 3", {{M, 14, "00"}, {M, 15, "03"}}, {}},
    {"SpeedDeleteClearsBoth", 0, M, 15, {{M, 14, "12"}, {M, 15, "34"}}, "Del",
     {{M, 14, "--"}, {M, 15, "--"}}, {}},
    {"SpeedDigitTouchesOnlyItsByte", 0, M, 14, {{M, 14, "12"}, {M, 15, "34"}}, "S+9",
     {{M, 14, "92"}, {M, 15, "34"}}, {}},
    // Trip and Plus switches.
    {"TripOn", 0, M, 16, {}, "Enter 5", {{M, 16, "ON"}}, {}},
    {"PlusOff", 0, M, 17, {{M, 17, "ON"}}, "Del", {{M, 17, "--"}}, {}},
    // Fixed columns never change.
    {"FixedColumns", 0, M, 1, {}, "Enter Del 5", {{M, 1, "-0-"}}, {}},
    // Tonal notes.
    {"NoteEnter", 0, M, 3, {{M, 3, "F#4"}}, "Enter", {{M, 3, "C-0"}}, {}},
    {"NoteRestHoldEmpty", 0, M, 3, {}, "Space", {{M, 3, "///"}}, {}},
    {"NoteHold", 0, M, 3, {}, "Ins", {{M, 3, "^^^"}}, {}},
    {"NoteDelete", 0, M, 3, {{M, 3, "C-3"}}, "Del", {{M, 3, "---"}}, {}},
    {"NoteOctave", 0, M, 3, {{M, 3, "C-3"}}, "9", {{M, 3, "C-9"}}, {}},
    {"NoteOctaveNineOnA", 0, M, 3, {{M, 3, "A-3"}}, "9", {{M, 3, "A-3"}}, {kOctave9}},
    {"NoteLetterOnOctaveNine", 0, M, 3, {{M, 3, "C-9"}}, "A B G", {{M, 3, "C-9"}},
     {kOctave9, kOctave9, kOctave9}},
    {"NoteLetterOnOctaveNineUnchecked", 0, M, 3, {{M, 3, "C-9"}}, "D", {{M, 3, "D-9"}}, {}},
    {"NoteEOnSharp", 0, M, 3, {{M, 3, "D#4"}}, "E", {{M, 3, "D#4"}},
     {"'E' note cannot have a '#'."}},
    {"NoteBOnSharp", 0, M, 3, {{M, 3, "C#4"}}, "B", {{M, 3, "C#4"}},
     {"'B' note cannot have a '#'."}},
    {"NoteSharpToggles", 1, M, 3, {{M, 3, "D-4"}}, "'", {{M, 3, "D#4"}}, {}},
    {"NoteSharpTogglesBack", 1, M, 3, {{M, 3, "D-4"}}, "' '", {{M, 3, "D-4"}}, {}},
    {"NoteSharpOnB", 0, M, 3, {{M, 3, "B-2"}}, "'", {{M, 3, "B-2"}},
     {"'B' and 'E' note cannot have a '#'."}},
    {"NoteSharpOnEmpty", 0, M, 3, {}, "'", {{M, 3, "---"}}, {"You must first insert a note."}},
    {"NoteLetterOnEmpty", 0, M, 3, {}, "C", {{M, 3, "---"}}, {"Set a note with 'Enter' first."}},
    {"NoteLetterOnRest", 0, M, 3, {{M, 3, "///"}}, "B", {{M, 3, "///"}},
     {"Set a note with 'Enter' first."}},
    {"NoteDigitOnEmpty", 0, M, 3, {}, "5", {{M, 3, "---"}}, {}},
    {"NoteKeysLeaveRestAlone", 0, M, 3, {{M, 3, "///"}}, "5 9 '", {{M, 3, "///"}}, {}},
    {"NoteKeysLeaveHoldAlone", 2, M, 3, {{M, 3, "^^^"}}, "5 9 '", {{M, 3, "^^^"}}, {}},
    {"NoteOtherLetterNothing", 0, M, 3, {{M, 3, "C-1"}}, "H Z", {{M, 3, "C-1"}}, {}},
    {"NoteEnterThenSteps", 2, M, 3, {}, "Enter G 4 '", {{M, 3, "G#4"}}, {}},
    // Noise notes.
    {"NoiseEnter", 3, M, 3, {}, "Enter", {{M, 3, "0-#"}}, {}},
    {"NoiseDigit", 3, M, 3, {}, "Enter 7", {{M, 3, "7-#"}}, {}},
    {"NoiseLetterB", 3, M, 3, {{M, 3, "0-#"}}, "B", {{M, 3, "B-#"}}, {}},
    {"NoiseNonHexLetter", 3, M, 3, {{M, 3, "0-#"}}, "G '", {{M, 3, "0-#"}}, {}},
    {"NoiseDigitOnEmpty", 3, M, 3, {}, "5", {{M, 3, "---"}}, {}},
    {"NoiseDigitLeavesRestAlone", 3, M, 3, {{M, 3, "///"}}, "5", {{M, 3, "///"}}, {}},
    {"NoiseDigitLeavesHoldAlone", 3, M, 3, {{M, 3, "^^^"}}, "A", {{M, 3, "^^^"}}, {}},
    // Marker lines.
    {"KeysOnMarkerLineDoNothing", 0, M, 7, {{M, 3, "..."}, {M, 7, ".."}}, "Enter 5 Del",
     {{M, 7, ".."}}, {}},
    {"KeysOnPageEndDoNothing", 0, M, 4, {{M, 3, "|||"}, {M, 4, "|"}}, "Enter", {{M, 4, "|"}}, {}},
    // Flag and Tone: Enter opens the bit dialog; a cancel or a malformed answer keeps the cell.
    {"FlagEnterOnEmpty", 0, M, 10, {}, "Enter", {{M, 10, "81"}}, {}, {"10000001"}, {"F:--"}},
    {"ToneCancelKeeps", 0, M, 11, {{M, 11, "A0"}}, "Enter", {{M, 11, "A0"}}, {}, {},
     {"T:10100000"}},
    {"FlagNoBitsSet", 0, M, 10, {}, "Enter", {{M, 10, "00"}}, {}, {"00000000"}, {"F:--"}},
    {"FlagMalformedAnswers", 0, M, 10, {{M, 10, "40"}}, "Enter Enter", {{M, 10, "40"}}, {},
     {"1234", "1010101x"}, {"F:01000000", "F:01000000"}},
    {"FlagDeleteWithoutDialog", 0, M, 10, {{M, 10, "40"}}, "5 Space Del", {{M, 10, "--"}}, {}},
    {"ToneDeleteWithoutDialog", 0, M, 11, {{M, 11, "80"}}, "Del", {{M, 11, "--"}}, {}},
};

const KeyCase kLoopBreakCases[] = {
    {"LoopCountEnter", 0, L, 6, {}, "Enter", {{L, 6, "00"}, {L, 7, "00"}, {L, 8, "0000"}}, {}},
    {"LoopCountDelete", 0, L, 6, {}, "Enter Del", {{L, 6, "--"}, {L, 7, "--"}, {L, 8, "----"}},
     {}},
    {"LoopCountDigits", 0, L, 3, {}, "Enter 4 S+1", {{L, 3, "14"}, {L, 5, "0000"}}, {}},
    {"LoopCountOnEmpty", 0, L, 9, {}, "7", {{L, 9, "--"}}, {kEnterFirst}},
    {"LoopFrameEnter", 0, L, 10, {}, "Enter", {{L, 9, "00"}, {L, 10, "00"}, {L, 11, "0000"}}, {}},
    {"LoopFrameDelete", 0, L, 4, {{L, 3, "05"}, {L, 4, "00"}, {L, 5, "0012"}}, "Del",
     {{L, 3, "--"}, {L, 4, "--"}, {L, 5, "----"}}, {}},
    {"LoopFrameDigitIgnored", 0, L, 4, {}, "5", {{L, 4, "--"}}, {}},
    {"JumpLineEnter", 0, L, 16, {{L, 14, "0042"}}, "Enter",
     {{L, 14, "0042"}, {L, 15, "00"}, {L, 16, "0000"}}, {}},
    {"JumpFrameEnter", 0, L, 15, {{L, 14, "0042"}}, "Enter",
     {{L, 14, "0042"}, {L, 15, "00"}, {L, 16, "0000"}}, {}},
    {"LineEnterResetsGroup", 0, L, 5, {{L, 3, "07"}, {L, 4, "00"}, {L, 5, "0123"}}, "Enter",
     {{L, 3, "00"}, {L, 4, "00"}, {L, 5, "0000"}}, {}},
    {"LineStepTwo", 0, L, 5, {{L, 5, "0950"}}, "2", {{L, 5, "1950"}}, {}},
    {"LineStepW", 0, L, 5, {{L, 5, "0950"}}, "W", {{L, 5, "0050"}}, {}},
    {"LineStepZ", 0, L, 5, {{L, 5, "0950"}}, "Z", {{L, 5, "0959"}}, {}},
    {"LineStepOne", 0, L, 5, {{L, 5, "0950"}}, "1", {{L, 5, "9950"}}, {}},
    {"LineStepX", 0, L, 5, {{L, 5, "0959"}}, "X", {{L, 5, "0950"}}, {}},
    {"LineStepQAS", 0, L, 8, {{L, 8, "0000"}}, "Q A S S", {{L, 8, "0910"}}, {}},
    {"LineShiftPlaysNoPart", 0, L, 16, {{L, 16, "0005"}}, "S+X", {{L, 16, "0006"}}, {}},
    {"LineOtherKeyNothing", 0, L, 5, {{L, 5, "0005"}}, "3 B", {{L, 5, "0005"}}, {}},
    {"LineKeyOnEmpty", 0, L, 5, {}, "X", {{L, 5, "----"}}, {kSquareFirst}},
    {"LineDeleteOnEmpty", 0, L, 5, {}, "Del", {{L, 5, "----"}}, {kSquareFirst}},
    {"LineDelete", 0, L, 14, {{L, 12, "01"}, {L, 13, "00"}, {L, 14, "0003"}}, "Del",
     {{L, 12, "--"}, {L, 13, "--"}, {L, 14, "----"}}, {}},
    {"JumpLineDeleteKeepsLoop4", 0, L, 16, {{L, 14, "0003"}, {L, 15, "00"}, {L, 16, "0001"}},
     "Del", {{L, 14, "0003"}, {L, 15, "--"}, {L, 16, "----"}}, {}},
    {"LoopKeysOnMarkerLine", 0, L, 5, {{L, 3, ".."}, {L, 5, "...."}}, "Enter X",
     {{L, 5, "...."}}, {}},
    {"BreakFrameEnter", 1, B, 4, {}, "Enter", {{B, 3, "00"}, {B, 4, "00"}, {B, 5, "0000"}}, {}},
    {"BreakLineEnter", 1, B, 11, {}, "Enter S", {{B, 9, "00"}, {B, 10, "00"}, {B, 11, "0010"}},
     {}},
    {"BreakFlagDelete", 1, B, 12, {{B, 12, "81"}, {B, 13, "00"}, {B, 14, "0002"}}, "Del",
     {{B, 12, "--"}, {B, 13, "--"}, {B, 14, "----"}}, {}},
    {"BreakFlagDeleteOnEmpty", 1, B, 3, {}, "Del", {{B, 3, "--"}, {B, 5, "----"}}, {}},
    {"BreakFlagDigitIgnored", 1, B, 3, {{B, 3, "81"}}, "5", {{B, 3, "81"}}, {}},
    {"BreakKeysOnPageEnd", 0, B, 5, {{B, 3, "||"}, {B, 5, "||||"}}, "Enter Del",
     {{B, 5, "||||"}}, {}},
    // Enter on a break flag starts the break only when the dialog is confirmed; on a set break it
    // changes the flag alone.
    {"BreakFlagEnterCancelled", 0, B, 6, {}, "Enter", {{B, 6, "--"}, {B, 7, "--"}, {B, 8, "----"}},
     {}, {}, {"F:--"}},
    {"BreakFlagEnterStarts", 0, B, 6, {}, "Enter", {{B, 6, "00"}, {B, 7, "00"}, {B, 8, "0000"}},
     {}, {"00000000"}, {"F:--"}},
    {"BreakFlagEnterOnSet", 0, B, 6, {{B, 6, "00"}, {B, 7, "00"}, {B, 8, "0042"}}, "Enter",
     {{B, 6, "40"}, {B, 8, "0042"}}, {}, {"01000000"}, {"F:00000000"}},
    // A double-click opens the dialog on a Music flag or tone, even empty, and on a set Break
    // flag only, which it never starts as a group; elsewhere it does nothing.
    {"DblMusicFlag", 0, M, 10, {}, "Dbl", {{M, 10, "02"}}, {}, {"00000010"}, {"F:--"}},
    {"DblMusicTone", 0, M, 11, {}, "Dbl", {{M, 11, "C0"}}, {}, {"11000000"}, {"T:--"}},
    {"DblOtherColumn", 0, M, 7, {}, "Dbl", {{M, 7, "--"}}, {}, {"11000000"}, {}},
    {"DblMarkerLine", 0, M, 10, {{M, 3, "|||"}}, "Dbl", {{M, 10, "--"}}, {}, {"11000000"}, {}},
    {"DblEmptyBreakFlag", 0, B, 3, {}, "Dbl", {{B, 3, "--"}}, {}, {"11111111"}, {}},
    {"DblSetBreakFlag", 0, B, 9, {{B, 9, "10"}}, "Dbl", {{B, 9, "FF"}, {B, 10, "--"}}, {},
     {"11111111"}, {"F:00010000"}},
    {"DblBreakLine", 0, B, 11, {{B, 11, "0003"}}, "Dbl", {{B, 11, "0003"}}, {}, {"11111111"}, {}},
};
// clang-format on

std::string caseName(const ::testing::TestParamInfo<KeyCase>& info) {
    return info.param.name;
}

INSTANTIATE_TEST_SUITE_P(Music, KeySequence, ::testing::ValuesIn(kMusicCases), caseName);
INSTANTIATE_TEST_SUITE_P(LoopBreak, KeySequence, ::testing::ValuesIn(kLoopBreakCases), caseName);

TEST(KeyIntake, ActsOnLastKeyDownNotOnTheReleasedKey) {
    Fixture f;
    const Selection sel = Selection::cell(M, 0, 0, 7);
    f.type(sel, "Enter");
    // Shift goes down, then "5"; "5" is released with Shift held, then Shift is released.
    keyDown(f.doc, kKeyShift);
    keyDown(f.doc, kKey5);
    f.keyboard.shift = true;
    keyUp(f.doc, sel, f.ctx);
    EXPECT_EQ(f.cell(0, M, 0, 7), "50");
    EXPECT_EQ(f.doc.lastKey, kKeyNone);  // cleared by the digit edit
    f.keyboard.shift = false;
    EditResult r = keyUp(f.doc, sel, f.ctx);
    EXPECT_EQ(f.cell(0, M, 0, 7), "50");
    EXPECT_FALSE(r.changedAnything());
    EXPECT_TRUE(f.doc.errors.history().empty());
}

// Views, cells outside the sheets, several columns: keys and double-clicks change nothing; a
// double-click on a Loop cell neither, and it takes no key.
TEST(KeyIntake, SelectionsWithoutAnActionDoNothing) {
    Fixture f;
    f.doc.lastKey = kKey5;
    f.setCell(0, L, 0, 3, "05");
    const Sheets before = f.doc.sheets;
    const Selection none[] = {Selection::cell(SheetKind::MySong, 0, 0, 3),
                              Selection::cell(SheetKind::FourChan, 0, 0, 3),
                              Selection::cell(M, 0, 5, 7),
                              Selection::cell(M, 0, 0, 18),
                              Selection::cell(M, 4, 0, 7),
                              Selection::cell(L, -1, 0, 5)};
    for (Selection sel : none) EXPECT_FALSE(doubleClick(f.doc, sel, f.ctx).changedAnything());
    EXPECT_FALSE(doubleClick(f.doc, Selection::cell(L, 0, 0, 3), f.ctx).changedAnything());
    EXPECT_EQ(f.doc.lastKey, kKey5);
    EXPECT_TRUE(f.dialog.calls.empty());
    for (Selection sel : none) f.press(sel, {kKeyEnter, false});
    Selection columns = Selection::cell(M, 0, 0, 7);
    columns.right = 8;
    for (Press p : parseKeys("Enter . End 5")) f.press(columns, p);
    EXPECT_EQ(f.doc.sheets, before);
    EXPECT_TRUE(f.doc.errors.history().empty());
}

// The full-stop and End keys act from all three sheets on the same line.
struct MarkerCase {
    SheetKind sheet;
    int column;
};
class MarkerKeys : public ::testing::TestWithParam<MarkerCase> {};

TEST_P(MarkerKeys, MarkAndClearTheLineAcrossTheThreeSheets) {
    Fixture f(3);
    f.setCell(1, M, 1, 7, "12");
    f.setCell(1, L, 1, 5, "0002");
    f.setCell(1, B, 1, 3, "81");
    const Selection sel = Selection::cell(GetParam().sheet, 1, 1, GetParam().column);
    EditResult r = f.press(sel, {kKeyFullStop, false});
    const ChannelSheets& ch = f.doc.sheets.channel(1);
    EXPECT_EQ(std::string(ch.music.record(1)), "...." + std::string(26, '.'));
    EXPECT_EQ(std::string(ch.loop.record(1)), std::string(38, '.'));
    EXPECT_EQ(std::string(ch.brk.record(1)), std::string(32, '.'));
    EXPECT_EQ(ch.music.cell(1, 4), ".");
    EXPECT_EQ(ch.loop.cell(1, 16), "....");
    EXPECT_EQ(r.changed.size(), 3u);
    // End on a "..." line makes it a page end.
    f.press(sel, {kKeyEnd, false});
    EXPECT_TRUE(isMarkerLine(ch, 1, '|'));
    // End again clears it back to the defaults; the old values are gone.
    f.press(sel, {kKeyEnd, false});
    EXPECT_EQ(std::string(ch.music.record(1)), std::string(30, '-'));
    EXPECT_EQ(ch.music.cell(1, 3), "---");
    EXPECT_EQ(ch.loop.cell(1, 5), "----");
    EXPECT_EQ(ch.brk.cell(1, 3), "--");
    // The neighbouring lines and the numbering stay.
    EXPECT_EQ(ch.music.cell(1, 0), "001");
    EXPECT_EQ(ch.music.cell(0, 3), "---");
    EXPECT_EQ(ch.music.cell(2, 3), "---");
    EXPECT_TRUE(f.doc.errors.history().empty());
}

INSTANTIATE_TEST_SUITE_P(FromEachSheet, MarkerKeys,
                         ::testing::Values(MarkerCase{M, 7}, MarkerCase{M, 1}, MarkerCase{L, 5},
                                           MarkerCase{B, 3}));

TEST(BitDialog, NoDialogPortMeansCancel) {
    Fixture f;
    f.ctx.bits = nullptr;
    f.type(Selection::cell(M, 0, 0, 10), "Enter");
    f.type(Selection::cell(B, 0, 0, 3), "Enter");
    EXPECT_EQ(f.cell(0, M, 0, 10), "--");
    EXPECT_EQ(f.cell(0, B, 0, 3), "--");
}

TEST(Instrument, SpaceWritesTheSelectedItemOrSaysWhyNot) {
    struct Case {
        int count, index;
        const char *before, *after;
        std::vector<std::string> messages;
    };
    for (const Case& c : std::initializer_list<Case>{
             {2, 1, "--", "01", {}},
             {0, -1, "--", "--", {"There is no instrument in the instrument list.", kEnterFirst}},
             {2, -1, "01", "01", {"Select an instrument in the instrument list."}}}) {
        Fixture f;
        f.ctx.instrumentCount = c.count;
        f.ctx.instrumentIndex = c.index;
        f.setCell(0, M, 0, 5, c.before);
        f.type(Selection::cell(M, 0, 0, 5), "Space");
        EXPECT_EQ(f.cell(0, M, 0, 5), c.after) << c.index;
        EXPECT_EQ(f.doc.errors.history(), c.messages) << c.index;
    }
}

TEST(DamagedCells, ConversionErrorEndsTheActionWithABox) {
    Fixture f;
    f.setCell(0, L, 0, 5, "12x4");
    f.setCell(0, M, 0, 6, "Z9");
    f.setCell(0, M, 0, 10, "G1");
    f.type(Selection::cell(L, 0, 0, 5), "X");
    f.type(Selection::cell(M, 0, 0, 6), "3");
    f.type(Selection::cell(M, 0, 0, 10), "Enter");
    EXPECT_EQ(f.messages.boxes.size(), 3u);
    for (const auto& box : f.messages.boxes) EXPECT_EQ(box.title, kConversionErrorTitle);
    EXPECT_EQ(f.cell(0, L, 0, 5), "12x4");
    EXPECT_TRUE(f.dialog.calls.empty());
    // Enter repairs a damaged octave without reading it.
    f.type(Selection::cell(M, 0, 0, 6), "Enter");
    EXPECT_EQ(f.cell(0, M, 0, 6), "00");
}

}  // namespace
}  // namespace kestra
