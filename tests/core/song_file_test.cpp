#include "model/song_file.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "model/memory_text.h"
#include "song_lines.h"
#include "test_files.h"

namespace kestra {
namespace {

Sheets someSong() {
    Sheets s;
    s.channel(kTriangle) = testing::channelOf(
        {{}, {}, {"C#1"}, {"---", {}, {{loop::line(1), "0001"}}}, testing::end()});
    return s;
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
             {"damaged.ksong", badRow, "line 8:"},
         }) {
        auto r = loadSongFile(dir.write(c.name, Bytes(c.text.begin(), c.text.end())));
        ASSERT_FALSE(r) << c.name;
        EXPECT_NE(r.error().find(c.expected), std::string::npos) << r.error();
        EXPECT_NE(r.error().find(c.name), std::string::npos) << r.error();
    }
    EXPECT_FALSE(loadSongFile(dir.file("missing.ksong")));
    EXPECT_FALSE(loadSongFile(dir.file("")));
}

ReadMemory someMemory() {
    ReadMemory memory;
    ChannelMemory m;
    m.layout = Layout::Rom49;
    m.headerOffset = 0x41032;
    m.pointer = 0x9009;
    m.file = "/roms/a game (v1.1).nes";
    m.bytes = {0x07, 0x0A, 0x21, 0x16, 0x90, 0x09, 0x17};
    m.lines = {{0, 3, 1, 0}, {3, 6, 2, 1}, {6, 6, 0, 0}, {6, 7, 1, 0}};
    // Three empty lines, then one of bars.
    auto records = [](size_t w) { return std::string(3 * w, '-') + std::string(w, '|'); };
    m.setRecords(records(kMusicRecordWidth), records(kLoopRecordWidth), records(kBreakRecordWidth));
    memory[2] = m;
    return memory;
}

TEST(SongFile, KeepsWhatReadingRemembered) {
    testing::TempDir dir;
    auto path = dir.file("kept.ksong");
    ReadMemory memory = someMemory();
    ASSERT_TRUE(saveSongFile(path, someSong(), {"note"}, &memory).ok());
    auto loaded = loadSongFile(path);
    ASSERT_TRUE(loaded) << loaded.error();
    EXPECT_EQ(loaded->sheets, someSong());
    EXPECT_EQ(loaded->messages, std::vector<std::string>{"note"});
    EXPECT_TRUE(loaded->memory == someMemory());
    // A file without it (saved before it existed) loads with nothing remembered.
    ASSERT_TRUE(saveSongFile(path, someSong()).ok());
    EXPECT_TRUE(loadSongFile(path)->memory == ReadMemory());
}

TEST(SongFile, DamagedMemoryIsRefusedWithItsLine) {
    testing::TempDir dir;
    std::string sheets = writeSheetDump(someSong());
    size_t firstMemoryLine =
        static_cast<size_t>(std::count(sheets.begin(), sheets.end(), '\n')) + 1;
    std::string memory = writeMemoryText(someMemory());
    struct Case {
        const char* what;
        std::string from, to;
        size_t line;  // counted from the first memory line
    };
    for (const Case& c : std::initializer_list<Case>{
             {"unknown layout", "rom49", "rom99", 0},
             {"odd hex", "bytes 070A", "bytes 070", 1},
             {"a gap between lines", "line 1 3 6", "line 1 4 6", 3},
             {"past the bytes", "line 3 6 7", "line 3 6 9", 5},
             {"short text", "0000|-", "0000|", 2},
         }) {
        std::string text = sheets + memory;
        size_t at = text.find(c.from, sheets.size());
        ASSERT_NE(at, std::string::npos) << c.what;
        text.replace(at, c.from.size(), c.to);
        auto r = loadSongFile(dir.write("bad.ksong", Bytes(text.begin(), text.end())));
        ASSERT_FALSE(r) << c.what;
        EXPECT_NE(r.error().find("line " + std::to_string(firstMemoryLine + c.line) + ":"),
                  std::string::npos)
            << c.what << ": " << r.error();
    }
}

}  // namespace
}  // namespace kestra
