// Notes are named by the driver's octave state, and encoding looks names up by the same state:
// each stream below reads as the names given and the names encode back to the same bytes.
#include <gtest/gtest.h>

#include "core/song_lines.h"
#include "encoder/old_note_names.h"
#include "format/decoder.h"
#include "model/song_file.h"

namespace kestra {
namespace {

// Streams start at driver address 0x8000 (channel address 0x80 of an NSF): a target operand
// "80 i" names byte i.
constexpr std::uint32_t kStart = 0x80, kHeaderSize = 0x80;

struct OctaveCase {
    const char* what;
    Bytes stream;
    std::vector<std::string> notes;  // the Note cells of the lines that hold a name, in order
    const char* message = nullptr;   // part of the only message expected
};

std::vector<std::string> namedNotes(const Sheet& music) {
    std::vector<std::string> out;
    for (int r = 0; r < music.rowCount(); ++r) {
        const std::string_view n = music.cell(r, music::kNote);
        if (n != "---" && n != "^^^" && n != "|||") out.emplace_back(n);
    }
    return out;
}

TEST(OctaveRules, ReadAsTheDriverPlaysAndEncodedBackToTheSameBytes) {
    const std::vector<OctaveCase> cases = {
        {"03 toggles octave-plus", {0x03, 0x21, 0x03, 0x21, 0x17}, {"C-2", "C-0"}},
        {"Octave after 03 keeps octave-plus", {0x03, 0x21, 0x09, 0x05, 0x21, 0x17}, {"C-2", "C-7"}},
        {"operand 8 is octave 0 plus two", {0x09, 0x08, 0x21, 0x17}, {"C-2"}},
        {"operand 9 sets plus, a later operand keeps it",
         {0x09, 0x09, 0x21, 0x09, 0x01, 0x21, 0x03, 0x21, 0x17},
         {"C-3", "C-3", "C-1"}},
        {"operand 0A is octave 2 plus two", {0x09, 0x0A, 0x25, 0x17}, {"E-4"}},
        {"Flag without 08 clears plus", {0x03, 0x21, 0x04, 0x00, 0x21, 0x17}, {"C-2", "C-0"}},
        {"Flag with 08 sets plus",
         {0x09, 0x03, 0x04, 0x08, 0x21, 0x04, 0x80, 0x21, 0x17},
         {"C-5", "C-3"}},
        {"a Break flag acts where the break lands",
         // C-0 with Break 1 (flag 08, to byte 9) and Loop 1 (to byte 0); then the landing note.
         {0x21, 0x12, 0x08, 0x80, 0x09, 0x0E, 0x01, 0x80, 0x00, 0x21, 0x17},
         {"C-0", "C-2"}},
        {"a Break flag that lands backwards names nothing it passed",
         {0x21, 0x21, 0x12, 0x08, 0x80, 0x01, 0x21, 0x17},
         {"C-0", "C-0", "C-0"}},
        {"high octaves keep three characters",
         {0x09, 0x0F, 0x21, 0x3F, 0x17},
         {"C-9", "F#B"},
         "line 1: a note above octave 9"},
        {"an operand above 0F names by its low four bits",
         {0x09, 0x13, 0x21, 0x17},
         {"C-3"},
         "the Octave operand 13 also sets driver bits"},
    };
    for (const OctaveCase& c : cases) {
        SCOPED_TRACE(c.what);
        ChannelSheets ch;
        ErrorBox errors;
        ASSERT_TRUE(decodeChannel(c.stream, kStart, kHeaderSize, kSquare1, ch, errors));
        EXPECT_EQ(namedNotes(ch.music), c.notes);
        if (c.message) {
            ASSERT_EQ(errors.history().size(), 1u);
            EXPECT_NE(errors.history()[0].find(c.message), std::string::npos)
                << errors.history()[0];
        } else {
            EXPECT_TRUE(errors.history().empty()) << errors.text();
        }
        ErrorBox box;
        EXPECT_EQ(testing::channelBytes(ch, box), c.stream) << box.text();
    }
}

// A song file without the format line named notes the old way (Octave ended octave-plus, Flags
// left it alone, octave 6 raised also took the names of octave 0): opened, it keeps its bytes.
TEST(OctaveRules, AnOldSongFileIsRenamedToTheBytesItMeant) {
    using namespace music;
    Sheets sheets;
    testing::fillChannel(sheets.channel(kSquare1), {{"C-0", {{kOct, "06"}, {kPlus, "ON"}}},
                                                    {"D-8", {{kFlag, "00"}}},
                                                    {"E-1", {{kOct, "01"}}},
                                                    testing::end()});
    std::string text = writeSheetDump(sheets);
    ASSERT_EQ(text.substr(0, 9), "format 2\n");
    EXPECT_EQ(parseSongFileText(text)->format, kSheetDumpFormat);

    auto old = parseSongFileText(text.substr(9));
    ASSERT_TRUE(old);
    EXPECT_EQ(old->format, 1);
    EXPECT_EQ(renameOldNoteNames(old->sheets), 2);
    const Sheet& m = old->sheets.channel(kSquare1).music;
    EXPECT_EQ(m.cell(0, kNote), "C-8");
    EXPECT_EQ(m.cell(1, kNote), "D-6");
    EXPECT_EQ(m.cell(2, kNote), "E-1");
    ErrorBox box;
    EXPECT_EQ(testing::channelBytes(old->sheets.channel(kSquare1), box),
              (Bytes{0x09, 0x06, 0x03, 0x21, 0x04, 0x00, 0x23, 0x09, 0x01, 0x25, 0x17}))
        << box.text();
}

}  // namespace
}  // namespace kestra
