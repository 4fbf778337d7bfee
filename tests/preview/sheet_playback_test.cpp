// Playing the sheets as they stand: written into a copy of the file in memory only, heard
// through the file's own driver; and the command line's timeline, --sheets and --mute.
#include "listen/sheet_playback.h"

#include <gtest/gtest.h>

#include "../core/test_files.h"
#include "model/sheet_dump.h"
#include "preview/nsf_render.h"

namespace kestra::listen {
namespace {

fixtures::SongSpec twoChannelSong() {
    fixtures::SongSpec s;
    s.channels[0] = fixtures::stream("top: 09 02 41 25 28 0E 01 >top 81 17");
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

class SheetPlayback : public ::testing::Test, public testing::OpenedFile {
  protected:
    void SetUp() override {
        auto file = fixtures::buildFile(Layout::Nsf, {twoChannelSong()});
        fixtures::installWalkerDriver(file.bytes, 3);
        open(file);
        ASSERT_TRUE(read(1)) << doc.errors.text();
    }
};

TEST_F(SheetPlayback, EditedSheetsSoundDifferentWhileTheFileStaysAsItWas) {
    const size_t kTwoSeconds = 2 * preview::kSampleRate;
    auto asRead = playableSheets(doc, address(1), 1);
    ASSERT_TRUE(asRead) << doc.errors.text();
    // Unedited sheets are the file's song byte for byte, so they sound the same.
    EXPECT_EQ(asRead->nsf, built.bytes);
    auto fileSound = render(built.bytes, kTwoSeconds);

    doc.sheets.channel(kSquare1).music.setCell(0, music::kNote, "G-2");
    auto edited = playableSheets(doc, address(1), 1);
    ASSERT_TRUE(edited) << doc.errors.text();
    EXPECT_NE(edited->nsf, built.bytes);
    EXPECT_NE(render(edited->nsf, kTwoSeconds), fileSound);

    EXPECT_EQ(onDisk(), built.bytes);
    EXPECT_FALSE(std::filesystem::exists(path + ".bak"));
}

// At an address that cannot hold it (the last bytes of the file), the edited song plays from
// where Find place puts it (its own place), and says so.
TEST_F(SheetPlayback, ASongThatDoesNotFitAtTheAddressPlaysWhereFindPlacePutsIt) {
    doc.sheets.channel(kSquare1).music.setCell(0, music::kNote, "G-2");
    auto moved = playableSheets(doc, offsetText(built.bytes.size() - 8), 1);
    ASSERT_TRUE(moved) << doc.errors.text();
    EXPECT_NE(doc.errors.text().find("Playing it from $" + address(1)), std::string::npos)
        << doc.errors.text();
    EXPECT_EQ(moved->nsf, playableSheets(doc, address(1), 1)->nsf);
    EXPECT_EQ(onDisk(), built.bytes);
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
        testing::runCliExit("dump " + path + " " + address(1) + " > " + dump, &status);
    ASSERT_EQ(status, 0) << dumped;
    std::string fromSheets = testing::runCliExit(
        "timeline " + path + " 0 2 --sheets " + dump + " --address " + address(1) + " --song 1",
        &status);
    EXPECT_EQ(status, 0);
    EXPECT_EQ(fromSheets, fromFile);
    EXPECT_EQ(onDisk(), built.bytes);

    for (const char* bad : {"--mute 5", "--mute", "--sheets x", "--frobnicate 1"}) {
        testing::runCliExit("render " + path + " 0 1 " + dir.file("o.wav") + " " + bad, &status);
        EXPECT_EQ(status, 2) << bad;
    }
    testing::runCliExit("render " + path + " 0 1 " + dir.file("o.wav") + " --mute 1,tri", &status);
    EXPECT_EQ(status, 0);
}

}  // namespace
}  // namespace kestra::listen
