// The timeline of the driver itself, checked against the rows Show Song unrolls, for songs read
// from the file and for sheets encoded in memory.
#include "listen/driver_timeline.h"

#include <gtest/gtest.h>

#include "encoder/placement_checks.h"
#include "fixtures/fixture_builder.h"
#include "format/read_song.h"
#include "listen/song_places.h"
#include "model/frame_store.h"
#include "rom/layout.h"
#include "rom/song_table.h"
#include "view/channel_walk.h"

namespace kestra::listen {
namespace {

constexpr int kFramesPerLine = 3;

// Loops, a break on the last turn, a jump forward over a note, a dotted note, and a jump back
// that makes the song go round for ever.
fixtures::SongSpec loopingSong() {
    fixtures::SongSpec s;
    s.channels[0] = fixtures::stream("09 02 21 top: 41 21 0E 02 >top 61 17");
    s.channels[1] = fixtures::stream("41 again: 21 12 00 >out 22 0E 03 >again 81 out: 41 17");
    s.channels[2] = fixtures::stream("21 41 16 >over 61 over: 02 41 21 17");
    s.channels[3] = fixtures::stream("start: 02 41 23 16 >start 17");
    return s;
}

struct Walked : ShownLineSink {
    std::vector<SheetLine> lines;
    void show(const ShownLine& l) override {
        lines.push_back({static_cast<int>(l.frame), static_cast<int>(l.line)});
    }
};

class TimelineTest : public testing::Test {
  protected:
    void SetUp() override {
        built = fixtures::buildFile(Layout::Nsf, {loopingSong()});
        fixtures::installWalkerDriver(built.bytes, kFramesPerLine);
        auto opened = recogniseLayout("song.nsf", built.bytes);
        ASSERT_TRUE(opened) << opened.error();
        fs = *opened;
        header = built.songs[0].headerOffset;
        ASSERT_TRUE(decodeSong(fs, built.bytes, header, sheets, errors, &memory));
        frames = songFrames(sheets, store);
    }

    // The lines Show Song walks for channel c, in order.
    std::vector<SheetLine> shown(int c) const {
        ChannelWalk walk(1, frames.frames(c, SheetKind::Music), frames.frames(c, SheetKind::Loop),
                         frames.frames(c, SheetKind::Break), 1000, 8);
        Walked sink;
        walk.run(&sink);
        return sink.lines;
    }

    void expectFollowsShowSong(const Timeline& t) {
        for (int c = 0; c < kChannelCount; ++c) {
            SCOPED_TRACE("channel " + std::to_string(c));
            auto rows = shown(c);
            const auto& got = t.channels[static_cast<size_t>(c)];
            ASSERT_GE(got.size(), rows.size());
            for (size_t r = 0; r < rows.size(); ++r) {
                EXPECT_EQ(got[r].line, rows[r]) << "row " << r;
                EXPECT_EQ(got[r].frame, static_cast<int>(r) * kFramesPerLine) << "row " << r;
            }
        }
    }

    fixtures::BuiltFile built;
    FileState fs;
    std::uint32_t header = 0;
    Sheets sheets;
    FrameStore store;
    SongFrames frames;
    ErrorBox errors;
    ReadMemory memory;
};

TEST_F(TimelineTest, TheFileSongPlaysItsLinesInShowSongOrder) {
    auto places = placesOfFileSong(fs, built.bytes, header);
    ASSERT_TRUE(places) << places.error();
    auto t = runTimeline(built.bytes, 0, 400, *places);
    ASSERT_TRUE(t) << t.error();
    EXPECT_TRUE(t->stopped.empty()) << t->stopped;
    EXPECT_EQ(t->frames, 400);
    expectFollowsShowSong(*t);
    // Square 1 ends: its last entry is the End line, after the last note's four lines.
    const auto& sq1 = t->channels[0];
    EXPECT_EQ(sq1.back().line.line, sheets.channel(0).lineCount() - 1);
    // The noise channel goes round for ever: line 0 starts again every 4 lines.
    auto again = t->firstFrameOf(3, {0, 0});
    ASSERT_TRUE(again);
    EXPECT_EQ(t->lineAt(3, 4 * kFramesPerLine), (SheetLine{0, 0}));
    EXPECT_EQ(t->lineAt(3, 4 * kFramesPerLine - 1), (SheetLine{0, 3}));
    // The note the jump passes over never plays.
    EXPECT_FALSE(t->firstFrameOf(2, {0, 3}));
}

TEST_F(TimelineTest, SheetsEncodedInMemoryGiveTheSameTimeline) {
    ErrorBox box;
    auto song = encodeSong(frames, fs, header, 1, box);
    ASSERT_TRUE(song) << box.text();
    Bytes patched = patchedCopy(built.bytes, *song);
    auto t = runTimeline(patched, 0, 400, placesOfEncodedSong(fs, *song, frames));
    ASSERT_TRUE(t) << t.error();
    expectFollowsShowSong(*t);
}

TEST_F(TimelineTest, ADriverThatStopsEndsTheTimelineWithItsMessage) {
    Bytes broken = built.bytes;
    // PLAY's first instruction becomes an opcode the processor does not have.
    std::uint16_t play = static_cast<std::uint16_t>(broken[12] | (broken[13] << 8));
    broken[play - 0x8000 + 0x80] = 0x02;
    auto t = runTimeline(broken, 0, 100, SongPlaces{});
    ASSERT_TRUE(t);
    EXPECT_EQ(t->frames, 0);
    EXPECT_NE(t->stopped.find("not an instruction"), std::string::npos) << t->stopped;
}

}  // namespace
}  // namespace kestra::listen
