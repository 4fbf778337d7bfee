#include <gtest/gtest.h>

#include "encoder/note_bytes.h"
#include "encoder/song_encoder.h"
#include "rom/song_table.h"
#include "song_lines.h"
#include "test_files.h"

namespace kestra {
namespace {

using testing::early;
using testing::end;
using testing::hexOf;
using testing::Line;
using testing::storeOf;

// Encodes channel `ch` of the lines from driver address 0x8000.
struct Encoded {
    std::optional<ChannelCode> code;
    bool resolved = false;
    std::vector<std::string> messages;
};

Encoded encodeChannel(const std::vector<Line>& lines, int ch = kSquare1) {
    std::vector<std::vector<Line>> chans(static_cast<size_t>(ch) + 1, {end()});
    chans[static_cast<size_t>(ch)] = lines;
    ErrorBox box;
    testing::EncodedChannel e = testing::encodeStored(storeOf(chans), ch, box);
    if (e.code) {
        EXPECT_EQ(e.next - 0x8000, e.code->bytes.size()) << "P must advance by the bytes";
    }
    return {e.code, e.resolved, box.history()};
}

struct StreamCase {
    const char* what;
    std::vector<Line> lines;
    const char* bytes;
};

class EncodeStream : public ::testing::TestWithParam<StreamCase> {};

TEST_P(EncodeStream, GivesTheExpectedBytes) {
    const auto& c = GetParam();
    Encoded e = encodeChannel(c.lines);
    ASSERT_TRUE(e.code) << c.what;
    EXPECT_TRUE(e.messages.empty()) << c.what << ": " << (e.messages.empty() ? "" : e.messages[0]);
    EXPECT_EQ(hexOf(e.code->bytes), c.bytes) << c.what;
}

using namespace music;
const Line dash{};

std::vector<Line> noteOf(int lines) {
    std::vector<Line> l{{"C-0"}};
    for (int i = 1; i < lines; ++i) l.push_back(dash);
    l.push_back(end());
    return l;
}

// clang-format off
using S = StreamCase;
INSTANTIATE_TEST_SUITE_P(
    Lines, EncodeStream,
    ::testing::Values(
        S{"note over four lines", {{"C-1", {{kOct, "01"}}}, dash, dash, dash, end()},
          "09 01 61 17"},
        S{"five lines: connects in front and before the last piece", noteOf(5), "01 61 01 21 17"},
        S{"three lines: dotted, no connect", noteOf(3), "02 41 17"},
        S{"six lines: one dotted piece, no connect", noteOf(6), "02 61 17"},
        S{"seven lines: the last connect goes before the dotted prefix", noteOf(7),
          "01 02 61 01 21 17"},
        S{"held note split by a volume change",
          {{"C-0"}, dash, {"---", {{kVol, "5"}}}, dash, end()}, "01 41 07 05 01 41 17"},
        S{"rests are split but never connected", {{"///"}, dash, dash, dash, dash, end()},
          "60 20 17"},
        S{"a zero-length line ends the note and starts a rest",
          {{"C-0"}, dash, {"^^^", {{kVol, "3"}}}, dash, end()}, "41 07 03 20 17"},
        S{"line commands in their order",
          {{"C-2", {{kPlus, "ON"}, {kSpeed2, "96"}, {kSpeed1, "00"}, {kTrAll, "01"},
                    {kTrans, "02"}, {kTnTp, "80"}, {kFlag, "40"}, {kSld, "10"}, {kPitch, "03"},
                    {kTLg, "04"}, {kOct, "00"}, {kIns, "05"}, {kVol, "C"}, {kTrip, "ON"}}},
           end()},
          "00 07 0C 08 05 09 00 06 04 0C 03 0D 10 04 40 18 80 0B 02 0A 01 05 00 96 03 01 21 17"},
        S{"a new octave on a held line re-codes the note that goes on",
          {{"C-1"}, dash, {"---", {{kOct, "01"}}}, dash, end()}, "01 4D 09 01 01 41 17"},
        S{"a new octave on a zero-length line leaves the ended note alone",
          {{"C-0"}, {"^^^", {{kOct, "02"}}}, {"D-2"}, end()}, "21 09 02 23 17"},
        S{"the page end emits the note, then the End", {{"C-0"}, {"D-0"}, end()}, "21 23 17"},
        S{"a channel that is only its End", {end()}, "17"},
        S{"a 64-line note and more", noteOf(130), "01 E1 E1 01 41 17"},
        // Break 1 before Loop 2; both behind the note of line 0 (which is emitted at line 1).
        S{"a break and a loop follow the line's note",
          {{"C-0", {}, testing::loopTo(2, "02", 0), testing::breakTo(1, "00", 2)}, {"C-0"}, end()},
          "21 12 00 80 0A 0F 02 80 00 21 17"}));
// clang-format on

TEST(EncodeStream, LineAddressesAreWhereTheLinesMaterialStarts) {
    Encoded e = encodeChannel({{"C-1", {{kOct, "01"}}}, dash, dash, dash, end()});
    ASSERT_TRUE(e.code);
    const auto& t = e.code->addresses;
    EXPECT_EQ(t.at(0, 0), 0x8000);
    for (int n = 1; n <= 3; ++n) EXPECT_EQ(t.at(0, n), 0x8002) << n;
    EXPECT_EQ(t.at(0, 4), 0x8003);
    EXPECT_FALSE(t.at(0, 5));
    EXPECT_FALSE(t.at(1, 0));
}

TEST(EncodeStream, SlideConnectCountsInTheLinesBytes) {
    using namespace loop;
    // Slide off while sliding (state 3) with the same note: a Connect joins the line's note;
    // the jump back to line 2 must land on that line's own commands.
    Encoded e = encodeChannel({{"C-0", {{kSld, "10"}}},
                               {"---", {{kSld, "00"}}},
                               {"D-0", {{kVol, "1"}}},
                               {"---", {}, {{kJumpFrame, "00"}, {kJumpLine, "0002"}}},
                               end()});
    ASSERT_TRUE(e.resolved) << (e.messages.empty() ? "" : e.messages[0]);
    const Bytes& b = e.code->bytes;
    auto addr = e.code->addresses.at(0, 2);
    ASSERT_TRUE(addr);
    size_t at = *addr - 0x8000u;
    ASSERT_LT(at, b.size());
    EXPECT_EQ(b[at], cmd::kVolume) << hexOf(b);
}

struct MessageCase {
    const char* what;
    std::vector<Line> lines;
    std::vector<std::string> messages;
};

class EncodeMessages : public ::testing::TestWithParam<MessageCase> {};

TEST_P(EncodeMessages, ReportsInOrder) {
    const auto& c = GetParam();
    Encoded e = encodeChannel(c.lines);
    EXPECT_EQ(e.messages, c.messages) << c.what;
}

// The messages of a note its octave cannot play, and of a target that is not played.
std::string octaveError(int line) {
    return "The note on the line " + std::to_string(line) +
           " of channel Square One cannot be played because when the song reach this place, the "
           "octave does not allow the note to be played.";
}
std::string notPlayed(int frame, int line) {
    return "The loop, break or jump to the frame " + std::to_string(frame) + " on the line " +
           std::to_string(line) +
           " is impossible, because this place is not a part that is played on a page.It either "
           "do not exist, or is after a end of the page.";
}

INSTANTIATE_TEST_SUITE_P(
    Lines, EncodeMessages,
    ::testing::Values(
        MessageCase{"note outside the octave",
                    {{"C-0"}, dash, dash, dash, dash, {"C-3"}, end()},
                    {octaveError(5)}},
        MessageCase{
            "target after an early page end",
            {{"C-0", {}, {{loop::count(1), "01"}, {loop::frame(1), "00"}, {loop::line(1), "0002"}}},
             early(),
             {"C-0"},
             end()},
            {"There is no end channel to the music of channel Square One."}},
        MessageCase{
            "target line that was never encoded",
            {{"C-0", {}, {{loop::count(1), "01"}, {loop::frame(1), "00"}, {loop::line(1), "0002"}}},
             end(),
             dash},
            {notPlayed(0, 2), "Error with the a loop or break."}},
        MessageCase{"target frame that does not exist",
                    {{"C-0", {}, {{loop::kJumpFrame, "01"}, {loop::kJumpLine, "0000"}}}, end()},
                    {notPlayed(1, 0), "Error with the a loop or break."}},
        MessageCase{"unreadable target line (an address kept by reading)",
                    {{"C-0", {}, {{loop::kJumpFrame, "00"}, {loop::kJumpLine, "8A45"}}}, end()},
                    {"The loop, break or jump on the line 0 of channel Square One has no readable "
                     "target: its frame \"00\" and line \"8A45\" must be decimal numbers.",
                     "Error with the a loop or break."}},
        MessageCase{"loop count set, target left empty",
                    {{"C-0", {}, {{loop::count(2), "03"}}}, end()},
                    {"The loop, break or jump on the line 0 of channel Square One has no readable "
                     "target: its frame \"--\" and line \"----\" must be decimal numbers.",
                     "Error with the a loop or break."}},
        MessageCase{"no end line at all",
                    {{"C-0"}, dash},
                    {"One of the frame doesn't have a end on the channel Square One on frame 0."}},
        MessageCase{"a rest after a zero-length line under a new octave is no octave error",
                    {{"C-0"}, {"^^^", {{kOct, "05"}}}, {"---", {{kOct, "03"}}}, dash, end()},
                    {}},
        MessageCase{"an octave error ends the frame: its later target is never recorded",
                    {{"C-3"},
                     {"C-0", {}, {{loop::kJumpFrame, "00"}, {loop::kJumpLine, "0002"}}},
                     {"C-0"},
                     end()},
                    {octaveError(0)}},
        MessageCase{"a held note that the new octave cannot play",
                    {{"C-0"}, {"---", {{kOct, "05"}}}, end()},
                    {octaveError(1)}}));

TEST(NoteBytes, PiecesAndCodes) {
    EXPECT_EQ(lengthPieces(0), std::vector<int>{});
    EXPECT_EQ(lengthPieces(5), (std::vector<int>{4, 1}));
    EXPECT_EQ(lengthPieces(127), (std::vector<int>{64, 48, 12, 3}));
    EXPECT_EQ(lengthPieces(200), (std::vector<int>{64, 64, 64, 8}));
    NoteNames names = noteNames(0, false);
    EXPECT_EQ(noteCode(names, "///"), 0x20);
    EXPECT_EQ(noteCode(names, "F#2"), 0x3F);
    EXPECT_EQ(noteCode(names, "G-2"), -1);
    Bytes out;
    noteLengthPiece(out, 0x3F, 48);
    EXPECT_EQ(hexOf(out), "02 DF");
}

// The sample songs' NSF: song table at 0xAC1, four songs.
FileState nsfState() {
    return testing::recognised(Layout::Nsf, fixtures::sampleSongs()).fs;
}

TEST(EncodeSong, HeaderAndTableEntryPointAtTheChannels) {
    auto store = storeOf({{{"C-0"}, end()}, {end()}, {end()}, {end()}});
    ErrorBox box;
    // Header at driver address 0x8A00: file offset 0x8A00 - 0x8000 + 0x80.
    auto song = encodeSong(store, nsfState(), 0xA80, 2, box);
    ASSERT_TRUE(song) << box.text();
    EXPECT_EQ(song->tableEntry, 0x8A00);
    EXPECT_EQ(song->tableEntryOffset, 0xAC1u + 4);
    EXPECT_EQ(hexOf(song->header), "00 8A 09 8A 0B 8A 0C 8A 0D");
    ASSERT_EQ(song->patches.size(), 6u);
    EXPECT_EQ(song->patches[0].offset, 0xA89u);
    EXPECT_EQ(hexOf(song->patches[0].bytes), "21 17");
    EXPECT_EQ(song->patches[3].offset, 0xA8Du);
    EXPECT_EQ(song->patches[4].what, "song header");
    EXPECT_EQ(hexOf(song->patches[5].bytes), "8A 00");
}

TEST(EncodeSong, ChannelsWithoutAStreamAndMessagesThatStopTheRun) {
    const std::string noEnd = "One of the frame doesn't have a end on the channel ";
    struct Case {
        const char* what;
        std::vector<std::vector<Line>> channels;
        bool fileOpen;
        const char* header;  // of the song written; empty when refused
        std::vector<std::string> messages;
    };
    const std::vector<Case> cases = {
        {"a channel of one default line gets no stream",
         {{end()}, {}, {{"C-0"}, end()}},
         true,
         "00 8A 09 00 00 8A 0A 00 00",
         {}},
        {"an empty song is refused at Square One",
         {},
         true,
         "",
         {noEnd + "Square One on frame 0."}},
        {"messages name the channel and stop the run",
         {{end()}, {{"C-0"}, early()}, {{"C-0"}}, {end()}},
         true,
         "",
         {"There is no end channel to the music of channel Square Two."}},
        {"an octave error goes on checking the other channels",
         {{{"C-3"}, end()}, {end()}, {{"C-0"}}, {end()}},
         true,
         "",
         {octaveError(0), noEnd + "Triangle on frame 0."}},
        {"no file open", {{end()}}, false, "", {"Select a file first."}},
    };
    for (const Case& c : cases) {
        ErrorBox box;
        auto song =
            encodeSong(storeOf(c.channels), c.fileOpen ? nsfState() : FileState{}, 0xA80, 1, box);
        EXPECT_EQ(song ? hexOf(song->header) : "", c.header) << c.what;
        EXPECT_EQ(box.history(), c.messages) << c.what;
    }
}

TEST(EncodeSong, SplitBankStreamContinuesInTheFollowingBank) {
    FileState fs = nsfState();
    fs.layout = Layout::Rom49;
    fs.headerSize = 0x10;
    fs.splitBankLayout = true;
    fs.songTableBase = 0x3DA21;
    // Square 1 starts at 0x3FF00 and is 0x200 bytes long.
    std::vector<Line> sq1;
    for (int i = 0; i < 0x1FF; ++i) sq1.push_back({"C-0"});
    sq1.push_back(end());
    auto store = storeOf({sq1, {end()}, {end()}, {end()}});
    ErrorBox box;
    auto song = encodeSong(store, fs, 0x3FF00 - 9, 1, box);
    ASSERT_TRUE(song) << box.text();
    ASSERT_EQ(song->channels[0].bytes.size(), 0x200u);
    EXPECT_EQ(song->patches[0].offset, 0x3FF00u);
    EXPECT_EQ(song->patches[0].bytes.size(), 0x110u);
    EXPECT_EQ(song->patches[1].offset, 0x3A010u);
    EXPECT_EQ(song->patches[1].bytes.size(), 0xF0u);
    EXPECT_EQ(song->patches[2].offset, 0x3A100u);
    // The reader finds Square 2 where it was written.
    std::uint32_t c = song->channels[1].startAddress - kDriverBase + fs.headerSize;
    EXPECT_EQ(channelDataOffset(song->headerOffset, c, splitBankXorForChannel(c)), 0x3A100u);
    EXPECT_EQ(song->bankXorEnd, 0x6000u);
}

}  // namespace
}  // namespace kestra
