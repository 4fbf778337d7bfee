// Songs written into files packed tight the way games are: shared streams, a sound effect inside
// a music stream, no filler. The space guard, the file map, and placing a song that grew.
#include <gtest/gtest.h>

#include "encoder/create_code.h"
#include "encoder/file_map.h"
#include "encoder/find_place.h"
#include "encoder/song_encoder.h"
#include "model/frame_store.h"
#include "rom/song_table.h"
#include "song_lines.h"
#include "test_files.h"

namespace kestra {
namespace {

using fixtures::plain;
using fixtures::SharedStream;
using fixtures::SongSpec;
using testing::end;
using testing::Line;

// Song 1 owns its streams; Song 2 starts its Triangle in the middle of Song 1's and shares its
// Noise; the sound effect (Song 3) names a "channel" inside Song 1's Triangle; Song 4 follows.
std::vector<SongSpec> packedSongs() {
    std::vector<SongSpec> songs(4);
    songs[0].channels[0] = plain({0x09, 0x01, 0x61, 0x17});
    songs[0].channels[1] = plain({0x08, 0x00, 0x81, 0x17});
    songs[0].channels[2] = plain({0x09, 0x01, 0x68, 0x66, 0x64, 0x17});
    songs[0].channels[3] = plain({0x61, 0x65, 0x17});
    songs[1].channels[0] = plain({0x09, 0x02, 0x41, 0x17});
    songs[1].shares[2] = SharedStream{0, 2, 2};
    songs[1].shares[3] = SharedStream{0, 3, 0};
    songs[2].type = 1;
    songs[2].shares[0] = SharedStream{0, 2, 1};
    songs[3].channels[0] = plain({0x09, 0x03, 0x21, 0x17});
    return songs;
}

struct Packed : testing::OpenedFile {
    explicit Packed(Layout layout, fixtures::BuildOptions options = {},
                    void (*change)(Bytes&) = nullptr) {
        // Away from the split-bank crossing, which has its own tests.
        if (layout == Layout::Rom49) options.dataStart = 0x3D000;
        auto file = fixtures::buildFile(layout, packedSongs(), options);
        if (change) change(file.bytes);
        open(file);
    }
};

Sheets sheetsOf(const FileState& fs, const Bytes& file, std::uint32_t header) {
    Sheets sheets;
    ErrorBox box;
    EXPECT_TRUE(decodeSong(fs, file, header, sheets, box)) << box.text();
    return sheets;
}

class PackedFile : public ::testing::TestWithParam<Layout> {};

TEST_P(PackedFile, UnchangedSongsWriteBackInPlaceThoughTheyShareStreams) {
    // Song 2 points into Song 1's streams and keeps pointing there (the split-bank layout
    // writes every channel behind the header, so there it would overwrite the next song).
    std::vector<int> ids = {1, 2, 4};
    if (GetParam() == Layout::Rom49) ids = {1, 4};
    for (int id : ids) {
        Packed p(GetParam());
        ASSERT_TRUE(p.read(id)) << p.doc.errors.text();
        EXPECT_TRUE(createCode(p.doc, p.doc.readWriteAddress, id, &p.messages))
            << id << ": " << p.doc.errors.text();
        EXPECT_EQ(p.onDisk(), p.built.bytes) << id;
        auto place = findPlace(p.doc, id, &p.messages);
        ASSERT_TRUE(place) << p.doc.errors.text();
        EXPECT_EQ(placeText(*place), p.doc.readWriteAddress + (id == 1 ? " (26 bytes, in place)"
                                                                       : " (13 bytes, in place)"));
    }
}

TEST_P(PackedFile, AChangeToASharedByteNamesTheSongAndTheByte) {
    Packed p(GetParam());
    ASSERT_TRUE(p.read(1));
    p.doc.sheets.channel(3).music.setCell(0, music::kNote, "9-#");
    EXPECT_FALSE(createCode(p.doc, p.doc.readWriteAddress, 1, &p.messages));
    EXPECT_EQ(p.doc.errors.text(),
              "The new song would overwrite the Noise channel of Song ID 2 (at $" +
                  offsetText(*p.built.songs[0].channelOffsets[3]) +
                  "). Nothing was written; choose another address.");
    EXPECT_EQ(p.onDisk(), p.built.bytes);
}

TEST_P(PackedFile, ASongGrownByANoteIsPlacedAndSparesEveryOtherSong) {
    Layout layout = GetParam();
    fixtures::BuildOptions options;
    options.nsfEndsAfterData = true;
    options.fillerAfter = layout == Layout::Nsf ? 0 : 40;
    Packed p(layout, options);
    std::vector<Sheets> before;
    for (int id : {2, 4})
        before.push_back(sheetsOf(p.doc.file, p.built.bytes,
                                  p.built.songs[static_cast<size_t>(id - 1)].headerOffset));
    ASSERT_TRUE(p.read(1));
    std::vector<Line> grown(8);  // 09 01 61 61 17: one note more
    grown[0] = {"C-1", {{music::kOct, "01"}}};
    grown[4].note = "C-1";
    grown.push_back(end());
    testing::fillChannel(p.doc.sheets.channel(0), grown);
    auto place = findPlace(p.doc, 1, &p.messages);
    ASSERT_TRUE(place) << p.doc.errors.text();
    ASSERT_TRUE(
        createCode(p.doc, offsetText(place->headerOffset), 1, &p.messages, place->growBy > 0))
        << p.doc.errors.text();
    Bytes after = p.onDisk();
    std::uint64_t dataEnd = p.built.dataEnd;
    if (layout == Layout::Nsf) {
        EXPECT_EQ(placeText(*place),
                  offsetText(dataEnd) + " (14 bytes, the NSF grows by 14 bytes)");
        EXPECT_EQ(after.size(), dataEnd + 14);
    } else {
        // The split-bank layout writes every channel again.
        std::string size = layout == Layout::Rom49 ? "27" : "14";
        EXPECT_EQ(placeText(*place), offsetText(dataEnd) + " (" + size +
                                         " bytes, in free bytes at $" + offsetText(dataEnd) + ")");
        EXPECT_EQ(after.size(), p.built.bytes.size());
    }
    EXPECT_EQ(sheetsOf(p.doc.file, after, p.built.songs[1].headerOffset), before[0]);
    EXPECT_EQ(sheetsOf(p.doc.file, after, p.built.songs[3].headerOffset), before[1]);
    EXPECT_EQ(sheetsOf(p.doc.file, after, place->headerOffset), p.doc.sheets);
    EXPECT_EQ(songHeaderOffset(p.doc.file, after, 1).value(), place->headerOffset);
}

TEST_P(PackedFile, AFileWithoutRoomRefusesNamingTheBytesNeeded) {
    fixtures::BuildOptions options;
    options.fillerAfter = 20;
    // An NSF that switches banks has no end to grow from.
    Packed p(GetParam(), options, [](Bytes& b) {
        if (b[0] == 'N' && b[1] == 'E' && b[2] == 'S' && b[3] == 'M') b[0x77] = 1;
    });
    ASSERT_TRUE(p.read(1));
    // Moved, the song keeps its unchanged channels where they lie: 9 + 19 bytes.
    std::vector<Line> notes(16, Line{"C-1"});
    notes[0].music[music::kOct] = "01";
    notes.push_back(end());
    testing::fillChannel(p.doc.sheets.channel(0), notes);
    EXPECT_FALSE(findPlace(p.doc, 1, &p.messages));
    EXPECT_EQ(p.doc.errors.text(), "No place in this file holds the song: it needs " +
                                       std::string(GetParam() == Layout::Rom49 ? "41" : "28") +
                                       " bytes, and the largest free region holds 20 bytes (at $" +
                                       offsetText(p.built.dataEnd) + "). Nothing was written.");
}

INSTANTIATE_TEST_SUITE_P(AllLayouts, PackedFile, ::testing::ValuesIn(fixtures::allLayouts()),
                         testing::layoutParamName);

TEST(FileMap, SharedStreamsAreListedOnceAndAnEffectOnlyByItsHeader) {
    fixtures::BuildOptions options;
    options.nsfEndsAfterData = true;
    options.fillerAfter = 20;
    auto [built, fs] = testing::recognised(Layout::Nsf, packedSongs(), options);
    std::string text;
    for (const FileRegion& r : mapFile(fs, built.bytes)) text += regionText(r) + "\n";
    auto line = [](std::uint64_t from, std::uint64_t size, const std::string& what) {
        return offsetText(from) + "-" + offsetText(from + size - 1) + " " + std::to_string(size) +
               " " + what + "\n";
    };
    std::uint64_t t = *built.songs[0].channelOffsets[2];
    for (const std::string& expected :
         {line(0, 0x80, "file-header"), line(t, 2, "1:Triangle"),
          line(t + 2, 4, "1:Triangle 2:Triangle"),
          line(*built.songs[0].channelOffsets[3], 3, "1:Noise 2:Noise"),
          line(built.songs[2].headerOffset, 9, "sfx-header:3"), line(built.dataEnd, 20, "free FF"),
          line(built.dataEnd + 20, 0x8080 - built.dataEnd - 20, "free past-end")})
        EXPECT_NE(text.find(expected), std::string::npos) << expected << "in\n" << text;
}

// A jump into another channel's stream is kept only where the bytes it lands on stay: the encoder
// alone keeps it unchanged at the address it was read from in its own file; Create Code, in a copy
// of the file too, but not once Square One's bytes before the target change.
TEST(KeptTargets, AJumpIntoAnotherChannelIsKeptOnlyWhereTheDestinationHoldsItsBytes) {
    SongSpec song;
    song.channels[0] = plain({0x21, 0x22, 0x23, 0x17});
    song.channels[1] = fixtures::StreamBuilder().raw({0x24}).jumpToChannel(0, 1).end().build();
    testing::OpenedFile f(Layout::Nsf, {song});
    Document& doc = f.doc;
    ASSERT_TRUE(f.read(1));
    EXPECT_NE(doc.errors.text().find("lies outside the channel's own stream"), std::string::npos)
        << doc.errors.text();
    auto encoderRefuses = [&](std::uint32_t header, const FileState& file, const char* why) {
        ErrorBox box;
        EXPECT_FALSE(
            encodeSong(songFrames(doc.sheets, doc.frames), file, header, 1, box, &doc.memory()));
        EXPECT_NE(box.text().find(why), std::string::npos) << box.text();
    };
    const char* unchanged = "can only be written back unchanged at the address the song was read";
    encoderRefuses(f.built.dataEnd + 0x10, doc.file, unchanged);
    FileState other = doc.file;
    other.path = "another.nsf";
    encoderRefuses(f.built.songs[0].headerOffset, other, unchanged);
    doc.sheets.channel(0).music.setCell(0, music::kNote, "C-1");
    encoderRefuses(f.built.songs[0].headerOffset, doc.file, "has changed before this place");
    doc.sheets.channel(0).music.setCell(0, music::kNote, "C-0");
    // A copy of the file is another path with the same bytes: written back unchanged.
    std::string copy = f.dir.write("copy.nsf", f.built.bytes);
    doc.file.path = copy;
    doc.file.identity = testing::valueOf(readIdentifiedFile(copy)).identity;  // as if selected
    EXPECT_TRUE(createCode(doc, f.address(1), 1, nullptr)) << doc.errors.text();
    EXPECT_EQ(testing::valueOf(readFileBytes(copy)), f.built.bytes);
    doc.sheets.channel(0).music.setCell(0, music::kVol, "B");  // a longer first line
    EXPECT_FALSE(createCode(doc, f.address(1), 1, nullptr));
    EXPECT_NE(doc.errors.text().find("would not hold that channel's bytes"), std::string::npos)
        << doc.errors.text();
}

}  // namespace
}  // namespace kestra
