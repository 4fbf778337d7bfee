// Playing the sheets as they stand: written into a copy of the file in memory only, heard
// through the file's own driver; and the command line's timeline, --sheets and --mute.
#include "listen/sheet_playback.h"

#include <gtest/gtest.h>

#include "../core/test_files.h"
#include "fixtures/fixture_builder.h"
#include "fixtures/walker_driver.h"
#include "format/read_song.h"
#include "model/hex_text.h"
#include "model/sheet_dump.h"
#include "preview/nsf_render.h"

namespace kestra::listen {
namespace {

using testing::TempDir;

fixtures::SongSpec twoChannelSong() {
    fixtures::SongSpec s;
    s.channels[0] = fixtures::StreamBuilder()
                        .label("top")
                        .raw({0x09, 0x02, 0x41, 0x25, 0x28})
                        .loop(1, 1, "top")
                        .raw({0x81})
                        .end()
                        .build();
    s.channels[2] = fixtures::plain({0x09, 0x01, 0x61, 0x63, 0x17});
    return s;
}

std::vector<std::int16_t> render(const Bytes& nsf, size_t frames) {
    auto player = preview::NsfRenderer::open(nsf);
    EXPECT_TRUE(player) << player.error();
    if (!player) return {};
    EXPECT_FALSE(player->startTrack(0));
    return player->render(frames);
}

class SheetPlayback : public ::testing::Test {
  protected:
    void SetUp() override {
        auto built = fixtures::buildFile(Layout::Nsf, {twoChannelSong()});
        fixtures::installWalkerDriver(built.bytes, 3);
        original = built.bytes;
        auto opened = testing::openFixture(dir, "song.nsf", original, doc);
        ASSERT_TRUE(opened) << opened.error();
        path = *opened;
        address = offsetText(built.songs[0].headerOffset);
        ASSERT_TRUE(decodeSong(doc, original, built.songs[0].headerOffset));
    }
    TempDir dir;
    Document doc;
    Bytes original;
    std::string path;
    std::string address;
};

TEST_F(SheetPlayback, EditedSheetsSoundDifferentWhileTheFileStaysAsItWas) {
    const size_t kTwoSeconds = 2 * preview::kSampleRate;
    auto asRead = playableSheets(doc, address, 1);
    ASSERT_TRUE(asRead) << doc.errors.text();
    // Unedited sheets are the file's song byte for byte, so they sound the same.
    EXPECT_EQ(asRead->nsf, original);
    auto fileSound = render(original, kTwoSeconds);

    doc.sheets.channel(kSquare1).music.setCell(0, music::kNote, "G-2");
    auto edited = playableSheets(doc, address, 1);
    ASSERT_TRUE(edited) << doc.errors.text();
    EXPECT_NE(edited->nsf, original);
    EXPECT_NE(render(edited->nsf, kTwoSeconds), fileSound);

    EXPECT_EQ(readFileBytes(path).value(), original);
    EXPECT_FALSE(std::filesystem::exists(path + ".bak"));
}

// At an address that cannot hold it (the last bytes of the file), the edited song plays from
// where Find place puts it (its own place), and says so.
TEST_F(SheetPlayback, ASongThatDoesNotFitAtTheAddressPlaysWhereFindPlacePutsIt) {
    doc.sheets.channel(kSquare1).music.setCell(0, music::kNote, "G-2");
    auto moved = playableSheets(doc, offsetText(original.size() - 8), 1);
    ASSERT_TRUE(moved) << doc.errors.text();
    EXPECT_NE(doc.errors.text().find("Playing it from $" + address), std::string::npos)
        << doc.errors.text();
    EXPECT_EQ(moved->nsf, playableSheets(doc, address, 1)->nsf);
    EXPECT_EQ(readFileBytes(path).value(), original);
}

TEST_F(SheetPlayback, CommandLineTimelineOfTheFileAndOfItsSheetsAgree) {
    int status = 0;
    std::string fromFile = testing::runCliExit("timeline " + path + " 0 2", &status);
    ASSERT_EQ(status, 0) << fromFile;
    // Square 1 and Triangle start line 0 at frame 0; Square 1's loop goes back to line 0 at
    // frame 12 (lines 0-3, three frames a line).
    EXPECT_EQ(fromFile.rfind("0 1 0\n0 3 0\n3 1 1\n", 0), 0u) << fromFile;
    EXPECT_NE(fromFile.find("\n12 1 0\n"), std::string::npos) << fromFile;

    std::string dump = dir.write("song.txt", {});
    std::string dumped =
        testing::runCliExit("dump " + path + " " + address + " > " + dump, &status);
    ASSERT_EQ(status, 0) << dumped;
    std::string fromSheets = testing::runCliExit(
        "timeline " + path + " 0 2 --sheets " + dump + " --address " + address + " --song 1",
        &status);
    EXPECT_EQ(status, 0);
    EXPECT_EQ(fromSheets, fromFile);
    EXPECT_EQ(readFileBytes(path).value(), original);

    for (const char* bad : {"--mute 5", "--mute", "--sheets x", "--frobnicate 1"}) {
        testing::runCliExit("render " + path + " 0 1 " + dir.file("o.wav") + " " + bad, &status);
        EXPECT_EQ(status, 2) << bad;
    }
    testing::runCliExit("render " + path + " 0 1 " + dir.file("o.wav") + " --mute 1,tri", &status);
    EXPECT_EQ(status, 0);
}

}  // namespace
}  // namespace kestra::listen
