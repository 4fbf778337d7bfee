#include <gtest/gtest.h>

#include "fixtures/fixture_builder.h"
#include "format/read_song.h"
#include "rom/layout.h"

namespace kestra {
namespace {

TEST(ReadLimits, AStreamOfMoreLinesThanASheetHoldsIsRefused) {
    fixtures::SongSpec huge;
    Bytes notes(1100, 0xE1);  // 1100 notes of 64 lines: 70,400 lines
    notes.push_back(0x17);
    huge.channels[1] = fixtures::ChannelStream{notes, {}};
    auto built = fixtures::buildFile(Layout::Nsf, {huge});
    auto fs = recogniseLayout("x.nsf", built.bytes);
    ASSERT_TRUE(fs);
    Sheets sheets;
    ErrorBox errors;
    EXPECT_FALSE(decodeSong(*fs, built.bytes, built.songs[0].headerOffset, sheets, errors));
    EXPECT_EQ(errors.text(),
              "Square Two: the stream is longer than 65536 lines; it was read no further.");
    EXPECT_EQ(sheets.channel(1).lineCount(), 1);
}

}  // namespace
}  // namespace kestra
