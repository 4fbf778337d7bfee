#include "model/song_file.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "test_files.h"

namespace kestra {
namespace {

std::string readText(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

void writeText(const std::string& path, const std::string& text) {
    std::ofstream(path, std::ios::binary) << text;
}

Sheets someSong() {
    Sheets s;
    ChannelSheets& c = s.channel(kTriangle);
    growSheetRows(4, c);
    initSheetRows(c, 1, 4);
    c.music.setCell(2, music::kNote, "C#1");
    c.loop.setCell(3, loop::line(1), "0001");
    setMarkerLine(c, 4, '|');
    return s;
}

TEST(SongFile, SaveAndLoadRoundTrip) {
    testing::TempDir dir;
    auto path = dir.file("tune.ksong");
    Sheets song = someSong();
    ASSERT_FALSE(saveSongFile(path, song, {"a message"}));
    auto loaded = loadSongFile(path);
    ASSERT_TRUE(loaded) << loaded.error();
    EXPECT_EQ(loaded->sheets, song);
    EXPECT_EQ(loaded->messages, std::vector<std::string>{"a message"});

    // Saving again replaces the file whole and leaves no temporary file behind.
    Sheets other;
    ASSERT_FALSE(saveSongFile(path, other));
    EXPECT_EQ(loadSongFile(path)->sheets, other);
    int files = 0;
    for (auto& e : std::filesystem::directory_iterator(dir.file(""))) files += e.exists();
    EXPECT_EQ(files, 1);
}

TEST(SongFile, RefusalsNameTheFileAndLine) {
    testing::TempDir dir;
    std::string good = writeSheetDump(someSong());
    std::string badRow = good;
    badRow.replace(badRow.find("\n001 ") + 5, 3, "C#");  // a Music record one character short
    struct Case {
        const char* name;
        std::string text;
        const char* expected;
    };
    for (const Case& c : std::initializer_list<Case>{
             {"foreign.ksong", "hello\n", "line 1:"},
             {"empty.ksong", "", "line 1:"},
             {"binary.ksong", std::string("channel 1\n\0\x01", 12), "binary data"},
             {"short.ksong", good.substr(0, good.find("channel 4")), "\"channel 4\" is missing"},
             {"damaged.ksong", badRow, "line 7:"},
         }) {
        auto path = dir.file(c.name);
        writeText(path, c.text);
        auto r = loadSongFile(path);
        ASSERT_FALSE(r) << c.name;
        EXPECT_NE(r.error().find(c.expected), std::string::npos) << r.error();
        EXPECT_NE(r.error().find(c.name), std::string::npos) << r.error();
    }
    EXPECT_FALSE(loadSongFile(dir.file("missing.ksong")));
    EXPECT_FALSE(loadSongFile(dir.file("")));
}

TEST(SongFile, FailedSaveLeavesTheOldFile) {
    testing::TempDir dir;
    auto path = dir.file("keep.ksong");
    ASSERT_FALSE(saveSongFile(path, someSong()));
    std::string before = readText(path);
    // A folder where the file should go cannot be replaced.
    EXPECT_TRUE(saveSongFile(dir.file(""), Sheets()));
    EXPECT_TRUE(saveSongFile(dir.file("no/such/folder.ksong"), Sheets()));
    EXPECT_EQ(readText(path), before);
}

}  // namespace
}  // namespace kestra
