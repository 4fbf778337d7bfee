// Reading songs from files: channel bytes in every layout, the "Read Channel" action and
// kestra-cli dump.

#include <gtest/gtest.h>

#include "format/decoder.h"
#include "model/sheet_dump.h"
#include "test_files.h"

namespace kestra {
namespace {

using fixtures::buildFile;
using fixtures::sampleSongs;

// What the sample songs read as, taken from the NSF layout and checked there by hand.
std::vector<Sheets> referenceSongs(std::vector<std::vector<std::string>>& messages) {
    auto f = testing::recognised(Layout::Nsf, sampleSongs());
    std::vector<Sheets> out;
    for (const auto& song : f.built.songs) {
        ErrorBox errors;
        Sheets s;
        decodeSong(f.fs, f.built.bytes, song.headerOffset, s, errors);
        out.push_back(s);
        messages.push_back(errors.history());
    }
    return out;
}

TEST(ReadSong, SampleSongsReadAsWritten) {
    std::vector<std::vector<std::string>> messages;
    auto songs = referenceSongs(messages);
    ASSERT_EQ(songs.size(), 4u);
    // Song 1, Square 1: speed, instrument, volume, tone type and octave before the first note.
    const ChannelSheets& s1 = songs[0].channel(kSquare1);
    EXPECT_EQ(std::string(s1.music.record(0)), "C-3C0103--------80----0096----");
    EXPECT_EQ(s1.music.cell(12, music::kNote), "C-4");  // dotted 4-line note: 6 lines
    EXPECT_EQ(s1.music.cell(18, music::kNote), "A-3");
    EXPECT_EQ(s1.lineCount(), 22);
    EXPECT_EQ(songs[0].channel(kNoise).music.cell(12, music::kNote), "F-#");
    // Song 2, Square 1: a break to "after", a loop back to "a", a jump to the top.
    const ChannelSheets& s2 = songs[1].channel(kSquare1);
    // The loop target "a" follows the octave command: that command keeps a zero-length line.
    EXPECT_EQ(std::string(s2.music.record(0)), "^^^---02----------------------");
    EXPECT_EQ(std::string(s2.brk.record(4)), "00000007------------------------");
    EXPECT_EQ(std::string(s2.loop.record(6)), "02000001------------------------------");
    EXPECT_EQ(std::string(s2.loop.record(10)), "--------------------------------000000");
    EXPECT_TRUE(isMarkerLine(s2, 11, '|'));
    // The slide command between the note and the loop stays before the loop.
    EXPECT_EQ(songs[1].channel(kSquare2).music.cell(8, music::kNote), "^^^");
    EXPECT_EQ(songs[1].channel(kSquare2).loop.cell(8, loop::line(2)), "0000");
    EXPECT_EQ(songs[1].channel(kTriangle).lineCount(), 1);
    EXPECT_TRUE(isMarkerLine(songs[1].channel(kTriangle), 0, '|'));
    // No Noise stream: one default line.
    EXPECT_EQ(songs[1].channel(kNoise), Sheets().channel(kNoise));
    // Song 3 is a sound effect.
    EXPECT_EQ(songs[2], Sheets());
    EXPECT_EQ(messages[2], std::vector<std::string>{kNoSongInit});
    EXPECT_EQ(songs[3].channel(kNoise).loop.record(2).substr(0, 8), "03000000");
    for (size_t i : {0u, 1u, 3u}) EXPECT_TRUE(messages[i].empty()) << i;
}

// Every layout reads the same songs; in the split-bank layout, streams that start near the
// split run over channel address 0x4010 into the continuation.
TEST(ReadSong, EveryLayoutReadsTheSameSongs) {
    std::vector<std::vector<std::string>> messages;
    auto reference = referenceSongs(messages);
    std::vector<std::pair<Layout, std::uint32_t>> files;  // a data start of 0: the default
    for (Layout layout : fixtures::allLayouts()) files.push_back({layout, 0});
    for (std::uint32_t start : {0x3FF00u, 0x3FFE0u, 0x3FFF6u})
        files.push_back({Layout::Rom49, start});
    for (auto [layout, start] : files) {
        SCOPED_TRACE(std::string(layoutName(layout)) + " from " + std::to_string(start));
        fixtures::BuildOptions options;
        if (start) options.dataStart = start;
        auto f = testing::recognised(layout, sampleSongs(), options);
        for (size_t i = 0; i < f.built.songs.size(); ++i) {
            ErrorBox errors;
            Sheets s;
            bool ok = decodeSong(f.fs, f.built.bytes, f.header(i), s, errors);
            EXPECT_EQ(ok, i != 2) << "song " << i + 1;
            EXPECT_EQ(s, reference[i]) << "song " << i + 1;
            EXPECT_EQ(errors.history(), messages[i]) << "song " << i + 1;
        }
    }
}

fixtures::SongSpec songWith(int channel, fixtures::ChannelStream stream) {
    fixtures::SongSpec song;
    song.channels[static_cast<size_t>(channel)] = std::move(stream);
    return song;
}

// A song that cannot be read is refused whole, with one message, and leaves empty sheets.
TEST(ReadSong, AnUnreadableSongIsRefusedWhole) {
    // Notes without End up to the last byte of the file.
    auto runaway =
        testing::recognised(Layout::Nsf, {songWith(kSquare1, fixtures::plain({0x21, 0x61}))});
    Bytes& bytes = runaway.built.bytes;
    std::fill(bytes.begin() + *runaway.built.songs[0].channelOffsets[0], bytes.end(), 0x21);
    auto below = testing::recognised(Layout::Nsf, sampleSongs());
    below.built.bytes[below.header() + 5] = 0x12;  // Triangle pointer 0x12xx
    const std::pair<testing::Recognised*, std::string> cases[] = {
        {&runaway,
         "The Square One stream reaches the end of the file ($08080) before its End "
         "command (17); the song was not read."},
        {&below, "The Triangle pointer $12"}};
    for (const auto& [f, message] : cases) {
        ErrorBox errors;
        Sheets s;
        s.channel(kSquare1).music.setCell(0, music::kVol, "5");
        EXPECT_FALSE(decodeSong(f->fs, f->built.bytes, f->header(), s, errors));
        EXPECT_EQ(s, Sheets());
        ASSERT_EQ(errors.history().size(), 1u);
        EXPECT_NE(errors.history()[0].find(message), std::string::npos) << errors.history()[0];
    }
    // The last byte an operand: the End byte never comes either.
    bytes.back() = 0x0E;
    bytes[bytes.size() - 2] = 0x21;
    Sheets s;
    ErrorBox errors;
    EXPECT_FALSE(decodeSong(runaway.fs, bytes, runaway.header(), s, errors));
}

TEST(ReadSong, ChannelBytesStopAtTheEndInCommandPosition) {
    auto f = testing::recognised(
        Layout::Rom43, {songWith(kTriangle, fixtures::plain({0x0E, 0x17, 0x80, 0x17, 0x05, 0x17,
                                                             0x17, 0x21, 0x17, 0x21}))});
    const Bytes& bytes = f.built.bytes;
    auto address = readHeaderPointer(f.fs, bytes, f.header(), kTriangle);
    ASSERT_TRUE(address.ok());
    ASSERT_TRUE(address->has_value());
    EXPECT_FALSE(*readHeaderPointer(f.fs, bytes, f.header(), kSquare1));
    auto stream = readChannelBytes(f.fs, bytes, f.header(), **address, kTriangle);
    ASSERT_TRUE(stream.ok());
    EXPECT_EQ(*stream, (Bytes{0x0E, 0x17, 0x80, 0x17, 0x05, 0x17, 0x17, 0x21, 0x17}));
}

TEST(ReadSong, HeaderOutsideTheFile) {
    Bytes bytes(0x100, 0);
    FileState fs;
    ErrorBox errors;
    Sheets s;
    EXPECT_FALSE(decodeSong(fs, bytes, 0xFA, s, errors));  // pointers past the end
    EXPECT_FALSE(decodeSong(fs, bytes, 0x100, s, errors));
    EXPECT_EQ(errors.history().size(), 2u);
}

// --- Read Channel --------------------------------------------------------------------------

struct ReadFixture : testing::OpenedFile {
    ReadFixture() : OpenedFile(Layout::Rom49, sampleSongs()) { doc.currentChannel = kTriangle; }
    void setSong(size_t i) { doc.readWriteAddress = address(static_cast<int>(i + 1)); }
};

TEST(ReadChannel, ReadsAllFourChannelsAfterYes) {
    ReadFixture t;
    t.setSong(1);
    t.doc.frames.frameCount = 3;
    const auto shown = std::make_shared<const ShownSong>();
    t.doc.sheets.shown = shown;
    EXPECT_TRUE(readChannel(t.doc, &t.messages));
    EXPECT_EQ(t.messages.questions.size(), 1u);
    std::vector<std::vector<std::string>> messages;
    EXPECT_EQ(t.doc.sheets.channel(kSquare1), referenceSongs(messages)[1].channel(kSquare1));
    EXPECT_EQ(t.doc.frames, FrameStore());
    EXPECT_EQ(t.doc.sheets.shown, shown);  // Show Song's views are left alone
    EXPECT_EQ(t.doc.currentChannel, kTriangle);
    EXPECT_TRUE(t.doc.errors.history().empty());
    // The split-bank choice of the last channel read stays: song 2's Triangle starts in the
    // second area, song 1's Noise in the first.
    EXPECT_EQ(t.doc.file.bankXor, 0x6000u);
    t.setSong(0);
    EXPECT_TRUE(readChannel(t.doc, &t.messages));
    EXPECT_EQ(t.doc.file.bankXor, 0x4000u);
}

TEST(ReadChannel, RefusalsLeaveEverythingAsItWas) {
    struct Case {
        const char* name;
        bool file;
        bool address;
        bool answer;
        std::vector<std::string> reported;
        size_t questions;
    };
    for (const Case& c : std::initializer_list<Case>{
             {"no file", false, true, true, {"Select a file first."}, 0},
             {"no address", true, false, true, {"Enter an address first."}, 0},
             {"no file nor address", false, false, true, {"Select a file first."}, 0},
             {"answered No", true, true, false, {}, 1},
         }) {
        SCOPED_TRACE(c.name);
        ReadFixture t;
        t.setSong(0);
        if (!c.file) t.doc.file = FileState{};
        if (!c.address) t.doc.readWriteAddress.clear();
        t.messages.answer = c.answer;
        t.doc.sheets.channel(kNoise).music.setCell(0, music::kVol, "9");
        t.doc.frames.frameCount = 2;
        Sheets before = t.doc.sheets;
        FrameStore framesBefore = t.doc.frames;
        EXPECT_FALSE(readChannel(t.doc, &t.messages));
        EXPECT_EQ(t.doc.sheets, before);
        EXPECT_EQ(t.doc.frames, framesBefore);
        EXPECT_EQ(t.doc.errors.history(), c.reported);
        EXPECT_EQ(t.messages.questions.size(), c.questions);
        EXPECT_EQ(t.doc.currentChannel, kTriangle);
    }
}

// A read that fails once the old song is gone (Song ID 3, a sound effect; a damaged address;
// one past the end of the file) leaves empty sheets.
TEST(ReadChannel, AFailedReadLeavesEmptySheets) {
    ReadFixture t;
    const std::pair<const char*, std::string> cases[] = {
        {nullptr, kNoSongInit}, {"1G", ""}, {"FFFFF", "song header"}};
    for (const auto& [address, message] : cases) {
        t.setSong(0);
        ASSERT_TRUE(readChannel(t.doc, &t.messages));
        t.setSong(2);
        if (address) t.doc.readWriteAddress = address;
        t.doc.frames.frameCount = 2;
        EXPECT_FALSE(readChannel(t.doc, &t.messages));
        EXPECT_NE(t.doc.errors.text().find(message), std::string::npos) << t.doc.errors.text();
        EXPECT_EQ(t.doc.sheets, Sheets());
        EXPECT_EQ(t.doc.frames, FrameStore());
        EXPECT_EQ(t.doc.currentChannel, kTriangle);
    }
    ASSERT_EQ(t.messages.boxes.size(), 1u);  // for the damaged address
    EXPECT_EQ(t.messages.boxes[0].title, kConversionErrorTitle);
}

// --- kestra-cli dump -----------------------------------------------------------------------

using testing::runCliApart;

TEST(CliDump, PrintsTheSongAndItsMessages) {
    testing::TempDir dir;
    auto built = buildFile(Layout::Rom69, sampleSongs());
    std::string path = dir.write("song.nes", built.bytes);
    std::vector<std::vector<std::string>> messages;
    auto reference = referenceSongs(messages);
    std::string address = offsetText(built.songs[1].headerOffset);
    EXPECT_EQ(runCliApart("dump " + path + " " + address).out, writeSheetDump(reference[1]));
    // Lower-case hex is taken as the address box would take it.
    for (char& ch : address) ch = static_cast<char>(std::tolower(ch));
    EXPECT_EQ(runCliApart("dump " + path + " " + address).out, writeSheetDump(reference[1]));
    // A song that cannot be read still shows its messages.
    EXPECT_EQ(runCliApart("dump " + path + " " + offsetText(built.songs[2].headerOffset)).out,
              writeSheetDump(Sheets(), {kNoSongInit}));
    EXPECT_NE(runCliApart("dump " + path + " XYZ").err.find("not a hexadecimal"),
              std::string::npos);
}

}  // namespace
}  // namespace kestra
