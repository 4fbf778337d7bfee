// Things real songs contain that the plain fixtures may not, each with a clear outcome.
#include <gtest/gtest.h>

#include "encoder/create_code.h"
#include "encoder/placement_checks.h"
#include "encoder/song_encoder.h"
#include "rom/song_table.h"
#include "test_files.h"

namespace kestra {
namespace {

using fixtures::StreamBuilder;

class RealSongs : public ::testing::Test, public testing::OpenedFile {
  protected:
    // Reads Song ID id into the document as the cells alone show it; false when it could not be.
    bool read(int id) {
        auto header = songHeaderOffset(doc.file, built.bytes, id);
        return header && decodeSong(doc.file, built.bytes, *header, doc.sheets, doc.errors);
    }
};

TEST_F(RealSongs, JumpIntoAnotherChannelIsAClearMessage) {
    fixtures::SongSpec song;
    song.channels[0] = StreamBuilder().raw({0x21}).jumpToChannel(1, 0).end().build();
    song.channels[1] = fixtures::plain({0x21, 0x17});
    open(fixtures::buildFile(Layout::Nsf, {song}));
    ASSERT_TRUE(read(1)) << doc.errors.text();
    // The jump's line cell keeps the driver address it could not turn into a line.
    std::string cell(doc.sheets.channel(0).loop.cell(0, loop::kJumpLine));
    EXPECT_EQ(cell.size(), 4u);
    EXPECT_FALSE(createCode(doc, address(1), 1, &messages));
    EXPECT_TRUE(messages.boxes.empty());
    ASSERT_GE(doc.errors.history().size(), 2u);
    EXPECT_EQ(doc.errors.text(), "Error with the a loop or break.");
    EXPECT_NE(doc.errors.history()[0].find(cell), std::string::npos) << doc.errors.history()[0];
    EXPECT_EQ(onDisk(), built.bytes);
}

TEST_F(RealSongs, LoopCount17AndEndOnlyChannelsComeBackByteForByte) {
    fixtures::SongSpec song;
    song.channels[0] = fixtures::stream("a: 41 0E 17 >a 21 17");
    song.channels[1] = fixtures::plain({0x17});
    song.channels[2] = fixtures::plain({0x17});
    song.channels[3] = fixtures::plain({0x17});
    open(fixtures::buildFile(Layout::Nsf, {song}));
    ASSERT_TRUE(read(1)) << doc.errors.text();
    EXPECT_EQ(doc.sheets.channel(0).loop.cell(1, loop::count(1)), "17");
    ASSERT_TRUE(createCode(doc, address(1), 1, &messages)) << doc.errors.text();
    EXPECT_TRUE(doc.errors.empty()) << doc.errors.text();
    EXPECT_TRUE(onDisk() == built.bytes);
}

TEST_F(RealSongs, EntryZeroLeadingOutsideTheFileCanReceiveANewSong) {
    fixtures::BuildOptions options;
    options.zeroEntries = 1;  // Song ID 5: entry 0000, which leads past the end of this file
    open(fixtures::buildFile(Layout::Nsf, fixtures::sampleSongs(), options));
    EXPECT_FALSE(songHeaderOffset(doc.file, built.bytes, 5));
    ASSERT_TRUE(read(1));
    // Song 1 copied to Song ID 5, behind the other songs; the 0000 entry guards nothing.
    ASSERT_TRUE(createCode(doc, offsetText(built.dataEnd), 5, &messages)) << doc.errors.text();
    Bytes after = onDisk();
    auto header = songHeaderOffset(doc.file, after, 5);
    ASSERT_TRUE(header);
    EXPECT_EQ(*header, built.dataEnd);
    // Nothing before the new header changed but the table entry.
    std::uint64_t entry = songTableEntryOffset(doc.file, 5);
    after[entry] = built.bytes[entry];
    after[entry + 1] = built.bytes[entry + 1];
    EXPECT_TRUE(
        std::equal(built.bytes.begin(), built.bytes.begin() + built.dataEnd, after.begin()));
}

}  // namespace
}  // namespace kestra
