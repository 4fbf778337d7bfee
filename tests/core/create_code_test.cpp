#include "encoder/create_code.h"

#include <gtest/gtest.h>

#include "model/atomic_write.h"
#include "rom/song_table.h"
#include "song_lines.h"
#include "test_files.h"

namespace kestra {
namespace {

namespace fs = std::filesystem;
using testing::end;
using testing::fillSheets;
using testing::Line;

// The sample songs written to a fresh folder and opened as the editor opens them.
class CreateCodeTest : public ::testing::Test, public testing::OpenedFile {
  protected:
    void open(Layout layout, const fixtures::BuildOptions& options = {}) {
        OpenedFile::open(fixtures::buildFile(layout, fixtures::sampleSongs(), options));
    }
};

std::vector<Line> notes(int count) {
    std::vector<Line> l;
    for (int i = 0; i < count; ++i) l.push_back({"C-0"});
    l.push_back(end());
    return l;
}

TEST_F(CreateCodeTest, WritesOnlyTheSongsBytesAndKeepsABackup) {
    open(Layout::Nsf);
    fillSheets(doc.sheets, {{{"C-1", {{music::kOct, "01"}}}, {"---"}, {"---"}, {"---"}, end()},
                            {end()},
                            {end()},
                            {end()}});
    ASSERT_TRUE(createCode(doc, address(1), 1, &messages)) << doc.errors.text();
    EXPECT_TRUE(doc.errors.empty());
    Bytes after = onDisk();
    ASSERT_EQ(after.size(), built.bytes.size());
    std::uint32_t h = built.songs[0].headerOffset;
    // 9 header bytes, streams 09 01 61 17 / 17 / 17 / 17, nothing else.
    Bytes expected = built.bytes;
    Bytes song = {0x00, 0x8F, 0x89, 0x8F, 0x8D, 0x8F, 0x8E, 0x8F,
                  0x8F, 0x09, 0x01, 0x61, 0x17, 0x17, 0x17, 0x17};
    std::copy(song.begin(), song.end(), expected.begin() + h);
    EXPECT_EQ(after, expected);
    auto bak = readFileBytes(backupPathOf(path));
    ASSERT_TRUE(bak);
    EXPECT_EQ(*bak, built.bytes);

    // A second write keeps the first original.
    fillSheets(doc.sheets, {notes(2), {end()}, {end()}, {end()}});
    ASSERT_TRUE(createCode(doc, address(1), 1, &messages)) << doc.errors.text();
    EXPECT_EQ(*readFileBytes(backupPathOf(path)), built.bytes);
    EXPECT_EQ(onDisk().size(), built.bytes.size());
}

TEST_F(CreateCodeTest, ExistingBackupIsNeverOverwritten) {
    open(Layout::Nsf);
    ASSERT_TRUE(fixtures::writeBytes(backupPathOf(path), Bytes{1, 2, 3}));
    fillSheets(doc.sheets, {notes(1), {end()}, {end()}, {end()}});
    ASSERT_TRUE(createCode(doc, address(1), 1, &messages)) << doc.errors.text();
    EXPECT_EQ(*readFileBytes(backupPathOf(path)), (Bytes{1, 2, 3}));
}

struct Refusal {
    const char* what;
    int songId;
    std::function<std::string(const fixtures::BuiltFile&)> address;
    int notes;
    const char* message;
};

class CreateCodeRefusal : public CreateCodeTest, public ::testing::WithParamInterface<Refusal> {};

TEST_P(CreateCodeRefusal, NothingIsWritten) {
    const Refusal& r = GetParam();
    open(Layout::Nsf);
    fillSheets(doc.sheets, {notes(r.notes), {end()}, {end()}, {end()}});
    EXPECT_FALSE(createCode(doc, r.address(built), r.songId, &messages)) << r.what;
    EXPECT_EQ(doc.errors.text(), r.message) << r.what;
    EXPECT_EQ(onDisk(), built.bytes) << r.what;
    EXPECT_FALSE(fs::exists(backupPathOf(path))) << r.what;
}

INSTANTIATE_TEST_SUITE_P(
    Guard, CreateCodeRefusal,
    ::testing::Values(
        Refusal{"empty address", 1, [](const auto&) { return std::string(); }, 1,
                "Enter an address first."},
        Refusal{"address not hex", 1, [](const auto&) { return std::string("12G"); }, 1,
                "The value entered is not a hexadecimal."},
        Refusal{"runs into the next song's header", 1,
                [](const auto& b) { return offsetText(b.songs[0].headerOffset); }, 60,
                "The new song would overwrite the song header of Song ID 2 (at $01032). Nothing "
                "was written; choose another address."},
        Refusal{"runs into another song's channel", 1,
                [](const auto& b) { return offsetText(b.songs[1].headerOffset - 9); }, 1,
                "The new song would overwrite the song header of Song ID 2 (at $01032). Nothing "
                "was written; choose another address."},
        Refusal{"overwrites a stream of another Song ID", 2,
                [](const auto& b) { return offsetText(*b.songs[0].channelOffsets[1]); }, 1,
                "The new song would overwrite the Square Two channel of Song ID 1 (at $0101C). "
                "Nothing was written; choose another address."},
        Refusal{"past the end of the file", 1,
                [](const auto& b) {
                    return offsetText(static_cast<std::uint32_t>(b.bytes.size() - 12));
                },
                1,
                "The new song does not fit: Triangle would run past the end of the file "
                "($08080). Nothing was written; choose another address."},
        Refusal{"over the song table", 1,
                [](const auto& b) { return offsetText(b.songTableBase - 4); }, 1,
                "The new song would overwrite the song table (at $00AC0). Nothing was written; "
                "choose another address."},
        Refusal{"over the file header", 1, [](const auto&) { return std::string("00070"); }, 1,
                // The header's type byte 00 is what the file holds at $00070 already.
                "The new song would overwrite the file header (at $00071). Nothing was written; "
                "choose another address."},
        Refusal{"Song ID outside the table", 9, [](const auto& b) { return offsetText(b.dataEnd); },
                1,
                "Song ID 9 is not in the song table of this file (1 to 4). Nothing was written."}));

TEST_F(CreateCodeTest, ReplacingASongInPlaceMayReuseItsOwnBytes) {
    open(Layout::Nsf);
    // Song 2 is longer than this one; its own bytes are free to be overwritten.
    fillSheets(doc.sheets, {notes(3), {end()}, {end()}, {end()}});
    EXPECT_TRUE(createCode(doc, address(2), 2, &messages)) << doc.errors.text();
}

TEST_F(CreateCodeTest, DamagedCellStopsTheActionWithABox) {
    open(Layout::Nsf);
    fillSheets(doc.sheets, {{{"C-0", {{music::kIns, "ZZ"}}}, end()}, {end()}, {end()}, {end()}});
    EXPECT_FALSE(createCode(doc, address(1), 1, &messages));
    ASSERT_EQ(messages.boxes.size(), 1u);
    EXPECT_EQ(onDisk(), built.bytes);
}

TEST_F(CreateCodeTest, SplitBankUnreadableHeadersAndLayoutBytesAreRefused) {
    open(Layout::Rom49);
    fillSheets(doc.sheets, {notes(1), {end()}, {end()}, {end()}});
    const char* unreadable = "headers at $3FFFF to $4000F cannot be read back";
    // 32 program banks: the sound bank byte lies at 0x80000 - 0x8A, the signature at 0x8000E.
    const std::pair<std::uint32_t, const char*> cases[] = {
        {0x3FFFF, unreadable},
        {0x40005, unreadable},
        {0x4000F, unreadable},
        {0x80000 - 0x8A - 4, "the layout's sound bank byte"},
        {0x80002, "the layout's signature byte"}};
    for (auto [at, message] : cases) {
        EXPECT_FALSE(createCode(doc, offsetText(at), 1, &messages)) << at;
        EXPECT_NE(doc.errors.text().find(message), std::string::npos) << doc.errors.text();
    }
    EXPECT_EQ(onDisk(), built.bytes);
}

TEST_F(CreateCodeTest, SplitBankChannelThatWouldStartAt40000MovesToTheFollowingBank) {
    fixtures::BuildOptions options;
    options.dataStart = 0x3D000;
    open(Layout::Rom49, options);
    // A header at 0x3FFF6 puts Square 1 (two bytes) at 0x3FFFF; Square 2 cannot start at
    // 0x40001, where the reader would not find it, and goes to 0x3A010.
    fillSheets(doc.sheets, {notes(1), notes(1), {end()}, {end()}});
    ASSERT_TRUE(createCode(doc, "3FFF6", 1, &messages)) << doc.errors.text();
    Bytes after = onDisk();
    EXPECT_EQ(after[0x3FFFF], 0x21);
    EXPECT_EQ(after[0x40000], 0x17);
    EXPECT_EQ(after[0x40001], built.bytes[0x40001]);
    EXPECT_EQ(after[0x3A010], 0x21);
    EXPECT_EQ(after[0x3A011], 0x17);
    EXPECT_EQ(after[0x3A012], 0x17);  // Triangle right behind
}

TEST_F(CreateCodeTest, SplitBankSongCrossingIntoTheFollowingBankReadsBack) {
    fixtures::BuildOptions options;
    options.dataStart = 0x3D000;  // keeps 0x3FF00-0x4000F and the following bank free
    open(Layout::Rom49, options);
    std::vector<Line> sq1 = notes(0x1FF);
    fillSheets(doc.sheets, {sq1, notes(2), {end()}, {end()}});
    ASSERT_TRUE(createCode(doc, "3FEF7", 1, &messages)) << doc.errors.text();
    Bytes after = onDisk();
    EXPECT_EQ(after.size(), built.bytes.size());
    EXPECT_EQ(after[0x3FF00], 0x21);
    EXPECT_EQ(after[0x3A0FF], 0x17);  // Square 1's End, 0xF0 bytes into the following bank
    EXPECT_EQ(after[0x3A100], 0x21);  // Square 2 right behind it
}

}  // namespace
}  // namespace kestra
