#include "editing/undoable_edits.h"

#include <gtest/gtest.h>

#include <random>

#include "core/fake_ports.h"
#include "model/frame_store.h"
#include "model/hex_text.h"
#include "model/keys.h"

namespace kestra {
namespace {

struct FakeBits : BitDialogPort {
    std::mt19937* rng = nullptr;
    std::string editBits(BitKind, const std::string&) override {
        if ((*rng)() % 4 == 0) return "--";
        std::string bits(8, '0');
        for (auto& b : bits) b = (*rng)() % 2 ? '1' : '0';
        return bits;
    }
};

struct State {
    Sheets sheets;
    FrameStore frames;
    bool operator==(const State&) const = default;
};

// Every editing action of the session, at random, through the undoable calls: undoing them all
// gives back the song read at the start, redoing them all the edited song, and no action breaks
// its promise (which would drop the history).
TEST(UndoableEdits, RandomSessionsUndoAndRedoExactly) {
    const int keys[] = {kKeyEnter,    kKeyDelete,     kKey0,  kKey5,     kKey9,      kKeyA,
                        kKeyC,        kKeyF,          kKeyG,  kKeySpace, kKeyInsert, kKeyEnd,
                        kKeyFullStop, kKeyApostrophe, kKeyUp, kKeyDown,  kKeyX};
    const SheetKind sheets[] = {SheetKind::Music, SheetKind::Loop, SheetKind::Break};
    for (unsigned seed = 1; seed <= 40; ++seed) {
        std::mt19937 rng(seed);
        auto pick = [&](int n) { return static_cast<int>(rng() % static_cast<unsigned>(n)); };
        Document doc;
        for (auto& ch : doc.sheets.channels) {
            growSheetRows(11, ch);
            initSheetRows(ch, 1, 11);
        }
        FakeBits bits;
        bits.rng = &rng;
        testing::FakeKeyboard keyboard;
        EditContext ctx{&keyboard, &bits, nullptr, 0, 2};
        UndoHistory history;
        std::vector<State> states{{doc.sheets, doc.frames}};
        for (int i = 0; i < 300; ++i) {
            const int ch = pick(kChannelCount);
            SheetKind kind = sheets[pick(3)];
            const int cols = doc.sheets.channel(ch).sheet(kind).columnCount();
            Selection sel = Selection::cell(kind, ch, pick(doc.sheets.channel(ch).lineCount()),
                                            3 + pick(cols - 3));
            const int what = pick(40);
            if (what == 0) {
                undoableAddLines(doc, history, sel, std::to_string(pick(4)), AddWhere(pick(2)),
                                 nullptr);
            } else if (what == 1) {
                undoableRemoveLines(doc, history, sel, std::to_string(pick(3)), nullptr);
            } else if (what < 5) {
                undoableDoubleClick(doc, history, sel, ctx);
            } else {
                keyboard.shift = pick(2);
                keyDown(doc, keys[pick(static_cast<int>(std::size(keys)))]);
                undoableKeyUp(doc, history, sel, ctx);
            }
            State now{doc.sheets, doc.frames};
            if (!(now == states.back())) states.push_back(std::move(now));
            ASSERT_EQ(history.size(), states.size() - 1) << "seed " << seed << " action " << i;
        }
        ASSERT_GT(states.size(), 20u);
        for (size_t i = states.size() - 1; i > 0; --i) {
            ASSERT_TRUE(history.undo(doc.sheets, doc.frames));
            ASSERT_TRUE((State{doc.sheets, doc.frames}) == states[i - 1]) << "seed " << seed;
        }
        for (size_t i = 1; i < states.size(); ++i) {
            ASSERT_TRUE(history.redo(doc.sheets, doc.frames));
            ASSERT_TRUE((State{doc.sheets, doc.frames}) == states[i]) << "seed " << seed;
        }
    }
}

TEST(UndoableEdits, CursorFollowsTheSelection) {
    Document doc;
    UndoHistory history;
    EditContext ctx;
    Selection sel = Selection::cell(SheetKind::Music, 2, 0, music::kIns);
    keyDown(doc, kKeyEnter);
    undoableKeyUp(doc, history, sel, ctx);
    ASSERT_EQ(doc.sheets.channel(2).music.cell(0, music::kIns), "00");
    auto undone = history.undo(doc.sheets, doc.frames);
    ASSERT_TRUE(undone);
    EXPECT_EQ(selectionOf(undone->cursor), sel);
    EXPECT_EQ(undone->channels, 1u << 2);
    EXPECT_EQ(doc.sheets.channel(2).music.cell(0, music::kIns), "--");

    // Anything else that replaces the song, recorded whole.
    Sheets before = doc.sheets;
    runRecorded(doc, history, UndoScope::everything(), cursorOf(sel), [&] {
        doc.sheets = Sheets();
        growSheetRows(5, doc.sheets.channel(0));
        doc.sheets.shown = std::make_shared<const ShownSong>();
    });
    ASSERT_TRUE(history.undo(doc.sheets, doc.frames));
    EXPECT_EQ(doc.sheets, before);

    // An action stopped by damaged text part way is still taken back whole.
    EXPECT_THROW(runRecorded(doc, history, UndoScope::allChannels(), cursorOf(sel),
                             [&] {
                                 doc.sheets.channel(1).music.setCell(0, music::kVol, "7");
                                 hexTextToInt("ZZ");
                             }),
                 ConversionError);
    ASSERT_TRUE(history.undo(doc.sheets, doc.frames));
    EXPECT_EQ(doc.sheets, before);
}

}  // namespace
}  // namespace kestra
