#include "model/sheets.h"

#include <gtest/gtest.h>

#include "model/frame_store.h"
#include "model/sheet_dump.h"
#include "song_lines.h"

namespace kestra {
namespace {

TEST(Sheets, CellsKeepTheirWidthAndLinesMoveWhole) {
    Sheet music(SheetKind::Music, 3);
    EXPECT_TRUE(music.setCell(1, music::kNote, "C-1"));
    EXPECT_TRUE(music.setCell(1, music::kVol, "A"));
    // Text of another width, or a numbering column, is refused and changes nothing.
    const std::pair<int, std::string_view> refused[] = {
        {music::kNote, "C-"}, {music::kNote, "C-11"},  {music::kVol, "AB"}, {music::kIns, ""},
        {0, "001"},           {music::kPlus + 1, "--"}};
    for (auto [col, text] : refused)
        EXPECT_FALSE(music.setCell(1, col, text)) << col << " " << text;
    EXPECT_FALSE(music.setCell(3, music::kNote, "C-1"));  // no such row
    EXPECT_FALSE(music.setRecord(0, "short"));
    EXPECT_EQ(music.record(1).substr(0, 4), "C-1A");

    music.insertRows(1, 2);  // the line moves, the numbering stays with the row
    EXPECT_EQ(music.rowCount(), 5);
    EXPECT_EQ(music.cell(3, music::kNote), "C-1");
    EXPECT_EQ(music.cell(3, 0), "003");
    EXPECT_EQ(music.cell(1, music::kNote), "---");
    music.removeRows(0, 3);
    EXPECT_EQ(music.cell(0, music::kNote), "C-1");
    EXPECT_EQ(music.cell(0, 0), "000");
    EXPECT_FALSE(music.splice(0, 1, ""));  // would leave a broken record
    EXPECT_EQ(music.rowCount(), 2);
}

TEST(Sheets, FixedColumnsOfLaterLines) {
    ChannelSheets c;
    growSheetRows(1100, c);
    initSheetRows(c, 1, 1100);
    struct Case {
        int row;
        const char* num;
        const char* beat;
        const char* count;
    };
    for (const Case& k : std::initializer_list<Case>{{4, "004", "--", "004"},
                                                     {5, "005", "", "005"},
                                                     {64, "064", "-0-", "000"},
                                                     {65, "065", "", "001"},
                                                     {1000, "1000", "--", "040"}}) {
        EXPECT_EQ(c.music.cell(k.row, 0), k.num);
        EXPECT_EQ(c.loop.cell(k.row, 1), k.beat) << k.row;
        EXPECT_EQ(c.brk.cell(k.row, 2), k.count);
    }
    initSheetRows(c, 5, 4);  // an empty range does nothing
    EXPECT_EQ(c.music.rowCount(), 1101);
}

ChannelSheets threeLines() {
    return testing::channelOf(
        {{"C-1"}, {"---", {{music::kVol, "A"}}, testing::loopTo(1, "02", 0)}, testing::end()});
}

TEST(FrameStore, LoadingAnEmptyFrameLeavesOneDefaultLine) {
    Sheets s;
    s.channel(0) = threeLines();
    FrameStore store;  // every frame text empty
    store.frameCount = 2;
    for (auto& ch : store.texts)
        for (auto& kind : ch) kind.resize(2);
    frameChange(s, store, 1);  // frame 1 is empty
    EXPECT_EQ(s.channel(0).music.rowCount(), 1);
    EXPECT_EQ(s.channel(0).music.cell(0, 3), "---");
    // The frame put away is what the encoder reads for it; the shown one comes from the sheets.
    EXPECT_EQ(frameTexts(s, store, 0, SheetKind::Music)[0], threeLines().music.text());
    frameChange(s, store, 0);
    EXPECT_EQ(s.channel(0), threeLines());
}

TEST(SheetDump, RoundTripsAndRefusesDamage) {
    Sheets s;
    s.channel(2) = threeLines();
    std::string text = writeSheetDump(s, {"first", "second"});
    EXPECT_NE(text.find("channel 3\n000 C-1"), std::string::npos);
    auto back = parseSheetDump(text);
    ASSERT_TRUE(back) << back.error();
    EXPECT_EQ(back->sheets.channel(2), s.channel(2));
    EXPECT_EQ(back->messages, (std::vector<std::string>{"first", "second"}));

    struct Case {
        std::string text;
        const char* error;
    };
    std::string shortLine = text;
    shortLine.replace(shortLine.find("000 C-1"), 7, "000 C-");
    for (const Case& c :
         std::vector<Case>{{"", "\"channel 1\" is missing"},
                           {"channel 2\n", "line 1: expected \"channel 1\""},
                           {shortLine, "line 7:"},
                           {"channel 1\n001 x\n", "line 2: expected row 000"},
                           {"format 3\n", "line 1: written in format 3, by a newer"},
                           {"format 2\nformat 2\n", "line 2: the dump must start"}}) {
        auto r = parseSheetDump(c.text);
        ASSERT_FALSE(r);
        EXPECT_NE(r.error().find(c.error), std::string::npos) << r.error();
    }
}

}  // namespace
}  // namespace kestra
