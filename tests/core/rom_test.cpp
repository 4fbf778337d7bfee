#include <gtest/gtest.h>

#include <map>
#include <string_view>

#include "rom/open_kind.h"
#include "rom/song_table.h"
#include "test_files.h"

namespace kestra {
namespace {

using fixtures::buildFile;
using fixtures::sampleSongs;

TEST(FileKind, ExtensionsAreExact) {
    struct Case {
        const char* path;
        FileKind kind;
    };
    const FileKind nsf = FileKind::Nsf, nes = FileKind::Ines, none = FileKind::Unsupported;
    // clang-format off
    for (const Case& c : std::initializer_list<Case>{
             {"a.nsf", nsf}, {"a.NSF", nsf}, {"a.Nsf", nsf}, {"a.nes", nes}, {"a.NES", nes},
             {"a.Nes", nes}, {"a.nSf", none}, {"a.nEs", none}, {"anes", none},
             {"/x.nes/file", none}, {"a.nes.bak", none}, {"", none}})
        // clang-format on
        EXPECT_EQ(fileKindOf(c.path), c.kind) << c.path;
    EXPECT_EQ(loadedLabel("C:\\games/x\\song.nes"), "Loaded: song.nes");
    EXPECT_EQ(loadedLabel("plain.nsf"), "Loaded: plain.nsf");
}

TEST(Layouts, EveryLayoutIsRecognisedWithItsSongsAndValues) {
    struct Values {
        std::uint32_t headerSize, bankXor;
        int bank;
    };
    const std::map<Layout, Values> values = {
        {Layout::Nsf, {0x80, 0, 0}},
        {Layout::Rom43, {0x10, 0x4000, 10}},  // 0x8A: bit 7 dropped
        {Layout::Rom32, {0x10, 0x4000, 10}},
        {Layout::Rom69, {0x10, 0, 8}},
        {Layout::Rom4C, {0x10, 0, 8}}};
    for (Layout layout : fixtures::allLayouts()) {
        SCOPED_TRACE(layoutName(layout));
        auto built = buildFile(layout, sampleSongs());
        auto fs = recogniseLayout("x" + fixtures::extensionFor(layout), built.bytes);
        ASSERT_TRUE(fs) << fs.error();
        EXPECT_EQ(fs->layout, layout);
        EXPECT_EQ(fs->songTableBase, built.songTableBase);
        EXPECT_EQ(fs->songCount, 4);
        EXPECT_EQ(fs->splitBankLayout, layout == Layout::Rom49);
        EXPECT_EQ(fs->bankRelativeTable, layout == Layout::Rom32);
        if (auto v = values.find(layout); v != values.end()) {
            EXPECT_EQ(fs->headerSize, v->second.headerSize);
            EXPECT_EQ(fs->bankXor, v->second.bankXor);
            EXPECT_EQ(fs->soundBank, v->second.bank);
        }
        auto songs = listSongs(*fs, built.bytes);
        ASSERT_EQ(songs.size(), 4u);
        for (size_t i = 0; i < songs.size(); ++i) {
            ASSERT_TRUE(songs[i].headerOffset);
            EXPECT_EQ(*songs[i].headerOffset, built.songs[i].headerOffset);
            EXPECT_EQ(songs[i].soundEffect, i == 2);
        }
    }
}

TEST(Layouts, SplitBankPointerAboveC000UsesTheSecondBank) {
    FileState fs;
    fs.splitBankLayout = true;
    fs.headerSize = 0x10;
    fs.songTableBase = 0x3CA21;
    Bytes b(0x80000, 0);
    b[0x3CA21 + 2] = 0xC1;
    b[0x3CA21 + 3] = 0x23;
    // X = 0x4100 - 0x6000 = -0x1F00, then + 0x23 + 0x3C000 + 0x10.
    EXPECT_EQ(*songHeaderOffset(fs, b, 1), 0x3A133u);
}

TEST(Layouts, BadFilesGiveClearMessages) {
    auto good = buildFile(Layout::Rom43, sampleSongs()).bytes;
    struct Case {
        std::string name;
        Bytes bytes;
        const char* message;
    };
    Bytes unknownSig = good;
    unknownSig[16384 * 8 + 14] = 0x55;
    Bytes truncated(good.begin(), good.begin() + 0x14A00);
    Bytes notInes = good;
    notInes[0] = 'X';
    Bytes bigBanks = good;
    bigBanks[4] = 0x90;  // 144 banks, read unsigned: the signature lies far outside the file
    Bytes tableOut = buildFile(Layout::Nsf, sampleSongs()).bytes;
    tableOut.resize(0xAC1 + 4);
    for (const Case& c :
         std::vector<Case>{{"x.nEs", good, "is not an NSF or NES file"},
                           {"noext", good, "is not an NSF or NES file"},
                           {"x.nes", unknownSig, "signature byte $55"},
                           {"x.nes", truncated, "The file ends before offset"},
                           {"x.nes", notInes, "no iNES header"},
                           {"x.nes", bigBanks, "The file ends before offset $24000E"},
                           {"x.nsf", Bytes(0x40, 0), "too short"},
                           {"x.nsf", tableOut, "song table"}}) {
        auto fs = recogniseLayout(c.name, c.bytes);
        ASSERT_FALSE(fs) << c.message;
        EXPECT_NE(fs.error().find(c.message), std::string::npos) << fs.error();
    }
}

TEST(SongTable, EntryLeadingOutsideTheFile) {
    auto built = buildFile(Layout::Nsf, sampleSongs(), {.dataStart = {}, .zeroEntries = 1});
    auto fs = recogniseLayout("x.nsf", built.bytes);
    ASSERT_TRUE(fs);
    auto songs = listSongs(*fs, built.bytes);
    ASSERT_EQ(songs.size(), 5u);
    EXPECT_FALSE(songs[4].headerOffset);  // entry 0000 -> offset 0x8080, one past the end
    auto off = songHeaderOffset(*fs, built.bytes, 5);
    ASSERT_FALSE(off);
    EXPECT_NE(off.error().find("Song ID 5"), std::string::npos);
}

TEST(SongTable, SongIdAndAddressBoxes) {
    struct Case {
        const char* typed;
        int max;
        const char* want;
    };
    // clang-format off
    for (const Case& c : std::initializer_list<Case>{
             {"a5", 9, "5"}, {"0", 9, "1"}, {"", 9, "1"}, {"12", 9, "9"}, {"999", 40, "40"},
             {"007", 40, "7"}, {"x", 40, "1"}})
        // clang-format on
        EXPECT_EQ(cleanSongIdText(c.typed, c.max), c.want) << c.typed;
    EXPECT_EQ(addressTextProblem(""), "Please enter something in the text zone.");
    EXPECT_EQ(addressTextProblem("AG0"), "The value entered is not a hexadecimal.");
    EXPECT_EQ(addressTextProblem("AD0"), "");
}

TEST(Fixtures, SplitBankSongsLieOnBothSidesOfTheSplit) {
    auto built = fixtures::buildFile(Layout::Rom49, fixtures::sampleSongs());
    bool before = false, after = false, crossing = false;
    const auto songs = fixtures::sampleSongs();
    for (size_t s = 0; s < built.songs.size(); ++s)
        for (size_t c = 0; c < 4; ++c) {
            auto off = built.songs[s].channelOffsets[c];
            if (!off) continue;
            size_t len = songs[s].channels[c]->bytes.size();
            if (*off >= 0x3C010 && *off < 0x40010) before = true;
            if (*off < 0x3C000) after = true;
            if (*off < 0x40010 && *off + len > 0x40010) crossing = true;
        }
    EXPECT_TRUE(before);
    EXPECT_TRUE(after);
    EXPECT_TRUE(crossing);
}

TEST(OpenKind, ByMagicFirstThenByFirstLineThenByName) {
    using namespace std::string_view_literals;
    struct Case {
        std::string_view start, name;
        OpenKind kind;
    };
    const Case cases[] = {
        {"NESM\x1a\x01"sv, "song.ksong", OpenKind::Nsf},
        {"NES\x1a\x10"sv, "game.nsf", OpenKind::Rom},
        {"format 2\n"sv, "tune.txt", OpenKind::Song},
        {"channel 1\n"sv, "old", OpenKind::Song},
        {"anything"sv, "tune.KSong", OpenKind::Song},
        {"NESM"sv, "short.nsf", OpenKind::Unknown},
        {""sv, "empty.nes", OpenKind::Unknown},
    };
    for (const Case& c : cases) EXPECT_EQ(openKindOfStart(c.start, c.name), c.kind) << c.name;
    EXPECT_EQ(openKindOf("/nonexistent/file.ksong"), OpenKind::Unknown);
}

}  // namespace
}  // namespace kestra
