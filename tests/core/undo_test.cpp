#include <gtest/gtest.h>

#include <random>

#include "editing/sheet_editing.h"
#include "model/frame_store.h"
#include "model/undo_history.h"
#include "model/undo_recorder.h"

namespace kestra {
namespace {

constexpr SheetKind kKinds[] = {SheetKind::Music, SheetKind::Loop, SheetKind::Break};

struct State {
    Sheets sheets;
    FrameStore frames;
    bool operator==(const State&) const = default;
};

class RandomEditor {
  public:
    explicit RandomEditor(unsigned seed) : rng_(seed) {}

    int pick(int n) { return static_cast<int>(rng_() % static_cast<unsigned>(n)); }

    std::string text() {
        static const char* pool[] = {"--",   "0A",   "C#1",
                                     "|||",  "",     "-",
                                     "0007", "....", "a text longer than the short-string buffer"};
        return pool[pick(9)];
    }

    // One random action on the document, recorded into the history.
    void edit(Document& doc, UndoHistory& history) {
        UndoCursor cursor{pick(4), kKinds[pick(3)], 0, 3};
        const int ch = pick(kChannelCount);
        ChannelSheets& lines = doc.sheets.channel(ch);
        const int rows = lines.lineCount();
        const int action = pick(100);
        std::optional<LineMove> moved;
        UndoScope scope = UndoScope::allChannels();
        if (action < 40) {
            int row = pick(rows);
            scope = pick(2) ? UndoScope::rowsOf(ch, row, row) : UndoScope::allChannels();
            UndoRecorder rec(doc.sheets, doc.frames, scope, cursor);
            int n = 1 + pick(3);
            for (int i = 0; i < n; ++i) {
                Sheet& s = lines.sheet(kKinds[pick(3)]);
                s.setCell(row, 3 + pick(s.columnCount() - 3), text());
            }
            push(history, rec.finish(doc.sheets, doc.frames, cursor));
            return;
        }
        UndoRecorder rec(doc.sheets, doc.frames, scope, cursor);
        if (action < 60) {
            // "Add lines" / "Remove Line" as the editor runs them.
            Selection sel = Selection::cell(kKinds[pick(3)], ch, pick(rows), 4);
            std::string count = std::to_string(pick(4) == 0 ? 30 : pick(4));
            EditResult r = pick(2) ? addLines(doc, sel, count, AddWhere(pick(2)), nullptr)
                                   : removeLines(doc, sel, count, nullptr);
            if (r.rows && pick(2)) moved = LineMove{r.rows->channel, r.rows->at};
        } else if (action < 75) {
            // Lines moved with their numbering, plus scattered cell changes anywhere.
            int at = pick(rows + 1);
            int n = 1 + pick(5);
            bool insert = pick(2) || rows <= n;
            for (SheetKind k : kKinds) {
                Sheet& s = lines.sheet(k);
                if (insert) {
                    // An earlier step may have left this sheet shorter than the Music sheet.
                    const int from = std::min(at, s.rowCount());
                    s.insertRows(from, n);
                    for (int r = from; r < from + n; ++r)
                        for (int c = 0; c < s.columnCount(); ++c) s.setCell(r, c, text());
                } else {
                    s.removeRows(std::min(at, rows - n), n);
                }
            }
            for (int i = pick(3); i > 0; --i) {
                Sheet& s = lines.sheet(kKinds[pick(3)]);
                s.setCell(pick(s.rowCount()), pick(s.columnCount()), text());
            }
        } else if (action < 85) {
            // A frame put away in the store, as a frame switch leaves one.
            doc.frames.frames(pick(4), kKinds[pick(3)]).push_back(std::string(30 * pick(3), 'x'));
        } else if (action < 90) {
            // One sheet alone changes its row count: kept as whole copies.
            lines.sheet(kKinds[pick(3)]).setRowCount(1 + pick(rows + 3));
        } else {
            // "Read Channel": a new song everywhere.
            rec = UndoRecorder(doc.sheets, doc.frames, UndoScope::everything(), cursor);
            doc.sheets = Sheets();
            for (int c = 0; c < kChannelCount; ++c) {
                ChannelSheets& l = doc.sheets.channel(c);
                int n = pick(40);
                growSheetRows(n, l);
                initSheetRows(l, 1, n);
                for (int i = pick(10); i > 0; --i) l.music.setCell(pick(n + 1), music::kNote, text());
            }
            auto shown = std::make_shared<ShownSong>();
            if (pick(2)) shown->channels[static_cast<size_t>(pick(4))].setNumbered();
            doc.sheets.shown = std::move(shown);
            doc.frames.reset();
        }
        push(history, rec.finish(doc.sheets, doc.frames, cursor, moved));
    }

  private:
    void push(UndoHistory& history, std::optional<UndoStep> step) {
        if (step) {
            ASSERT_TRUE(step->complete);
            history.push(std::move(*step));
        }
    }
    std::mt19937 rng_;
};

Document startingSong(RandomEditor& ed) {
    Document doc;
    for (int ch = 0; ch < kChannelCount; ++ch) {
        ChannelSheets& l = doc.sheets.channel(ch);
        int n = 5 + ed.pick(30);
        growSheetRows(n, l);
        initSheetRows(l, 1, n);
        l.loop.setCell(ed.pick(n), loop::line(1), "0003");
        l.brk.setCell(ed.pick(n), brk::line(2), "0010");
    }
    return doc;
}

TEST(Undo, RandomEditsUndoToTheOriginalAndRedoToTheEdited) {
    for (unsigned seed = 1; seed <= 100; ++seed) {
        RandomEditor ed(seed);
        Document doc = startingSong(ed);
        UndoHistory history;
        std::vector<State> states{{doc.sheets, doc.frames}};
        int edits = 1 + ed.pick(40);
        for (int i = 0; i < edits; ++i) {
            size_t before = history.size();
            ed.edit(doc, history);
            if (::testing::Test::HasFatalFailure()) return;
            if (history.size() > before)
                states.push_back({doc.sheets, doc.frames});
            else
                ASSERT_EQ((State{doc.sheets, doc.frames}), states.back()) << "unrecorded change";
        }
        for (size_t i = states.size() - 1; i > 0; --i) {
            ASSERT_TRUE(history.undo(doc.sheets, doc.frames)) << "seed " << seed;
            ASSERT_TRUE((State{doc.sheets, doc.frames}) == states[i - 1])
                << "seed " << seed << " undo to state " << i - 1;
        }
        EXPECT_FALSE(history.canUndo());
        for (size_t i = 1; i < states.size(); ++i) {
            ASSERT_TRUE(history.redo(doc.sheets, doc.frames)) << "seed " << seed;
            ASSERT_TRUE((State{doc.sheets, doc.frames}) == states[i])
                << "seed " << seed << " redo to state " << i;
        }
        EXPECT_FALSE(history.canRedo());
    }
}

UndoStep cellStep(Sheets& sheets, FrameStore& store, int row, const std::string& text) {
    UndoRecorder rec(sheets, store, UndoScope::rowsOf(0, row, row), {});
    sheets.channel(0).music.setCell(row, music::kNote, text);
    return *rec.finish(sheets, store, {0, SheetKind::Music, row, music::kNote});
}

TEST(Undo, CursorAndOutcome) {
    Document doc;
    UndoHistory history;
    UndoCursor before{2, SheetKind::Loop, 0, 5};
    UndoRecorder rec(doc.sheets, doc.frames, UndoScope::allChannels(), before);
    Selection sel = Selection::cell(SheetKind::Music, 1, 0, 3);
    EditResult r = addLines(doc, sel, "3", AddWhere::After, nullptr);
    ASSERT_TRUE(r.rows);
    auto step = rec.finish(doc.sheets, doc.frames, {1, SheetKind::Music, 0, 3});
    ASSERT_TRUE(step);
    history.push(std::move(*step));
    auto undone = history.undo(doc.sheets, doc.frames);
    ASSERT_TRUE(undone);
    EXPECT_EQ(undone->cursor, before);
    EXPECT_EQ(undone->channels, 1u << 1);
    EXPECT_TRUE(undone->rowCounts);
    EXPECT_EQ(doc.sheets.channel(1).lineCount(), 1);
    auto redone = history.redo(doc.sheets, doc.frames);
    ASSERT_TRUE(redone);
    EXPECT_EQ(redone->cursor, (UndoCursor{1, SheetKind::Music, 0, 3}));
    EXPECT_EQ(doc.sheets.channel(1).lineCount(), 4);
}

TEST(Undo, AddLinesIsKeptAsTheNewLinesOnly) {
    Document doc;
    for (auto& ch : doc.sheets.channels) {
        growSheetRows(1999, ch);
        initSheetRows(ch, 1, 1999);
    }
    doc.sheets.channel(2).loop.setCell(1500, loop::line(1), "1400");  // shifted by the insertion
    Document original = doc;
    UndoRecorder rec(doc.sheets, doc.frames, UndoScope::allChannels(), {});
    EditResult r = addLines(doc, Selection::cell(SheetKind::Music, 2, 1000, 3), "50",
                            AddWhere::After, nullptr);
    ASSERT_TRUE(r.rows);
    auto step = rec.finish(doc.sheets, doc.frames, {}, LineMove{r.rows->channel, r.rows->at});
    ASSERT_TRUE(step);
    // The 50 new records of each sheet of channel 2, and one run: the shifted reference.
    ASSERT_EQ(step->texts.size(), 3u);
    for (const TextChange& t : step->texts) {
        EXPECT_EQ(t.channel, 2);
        EXPECT_EQ(t.at, 1001u * static_cast<size_t>(layoutOf(SheetKind(t.kind)).width));
        EXPECT_EQ(t.inserted.size(), 50u * static_cast<size_t>(layoutOf(SheetKind(t.kind)).width));
        EXPECT_EQ(t.runs.size(), t.kind == static_cast<int>(SheetKind::Loop) ? 1u : 0u);
    }
    // Against some 200 KB for a copy of the channel.
    EXPECT_LT(step->bytes(), 24u * 1024);
    UndoHistory h;
    h.push(std::move(*step));
    Document edited = doc;
    ASSERT_TRUE(h.undo(doc.sheets, doc.frames));
    EXPECT_TRUE(doc.sheets == original.sheets && doc.frames == original.frames);
    ASSERT_TRUE(h.redo(doc.sheets, doc.frames));
    EXPECT_TRUE(doc.sheets == edited.sheets && doc.frames == edited.frames);
}

TEST(UndoHistory, NothingChangedRecordsNothing) {
    Document doc;
    UndoRecorder rec(doc.sheets, doc.frames, UndoScope::everything(), {});
    EXPECT_FALSE(rec.finish(doc.sheets, doc.frames, {}));
}

TEST(UndoHistory, SavedMarkFollowsThePosition) {
    Document doc;
    UndoHistory h;
    EXPECT_FALSE(h.isModified());
    h.push(cellStep(doc.sheets, doc.frames, 0, "C-1"));
    EXPECT_TRUE(h.isModified());
    h.markSaved();
    EXPECT_FALSE(h.isModified());
    h.undo(doc.sheets, doc.frames);
    EXPECT_TRUE(h.isModified());
    h.redo(doc.sheets, doc.frames);
    EXPECT_FALSE(h.isModified());
    h.undo(doc.sheets, doc.frames);
    h.push(cellStep(doc.sheets, doc.frames, 0, "D-1"));  // the saved state is gone for good
    h.undo(doc.sheets, doc.frames);
    EXPECT_TRUE(h.isModified());
}

TEST(UndoHistory, CapsDropTheOldestSteps) {
    Document doc;
    UndoHistory bySteps(UndoHistory::kDefaultByteLimit, 5);
    for (int i = 0; i < 12; ++i)
        bySteps.push(cellStep(doc.sheets, doc.frames, 0, "N" + std::to_string(10 + i)));
    EXPECT_EQ(bySteps.size(), 5u);
    int undone = 0;
    while (bySteps.undo(doc.sheets, doc.frames)) ++undone;
    EXPECT_EQ(undone, 5);
    EXPECT_EQ(doc.sheets.channel(0).music.cell(0, music::kNote), "N16");
    EXPECT_TRUE(bySteps.isModified());  // the saved state (the start) was dropped

    UndoHistory byBytes(1);  // every step is over the limit: only the newest is kept
    byBytes.push(cellStep(doc.sheets, doc.frames, 0, "E-1"));
    byBytes.push(cellStep(doc.sheets, doc.frames, 0, "F-1"));
    EXPECT_EQ(byBytes.size(), 1u);
    EXPECT_GT(byBytes.bytes(), 0u);
}

TEST(UndoHistory, BrokenPromisesAndForeignChangesClearTheHistory) {
    Document doc;
    UndoHistory h;
    h.push(cellStep(doc.sheets, doc.frames, 0, "C-1"));
    // A row promise broken by an action that adds lines.
    UndoRecorder rec(doc.sheets, doc.frames, UndoScope::rowsOf(0, 0, 0), {});
    growSheetRows(2, doc.sheets.channel(0));
    auto step = rec.finish(doc.sheets, doc.frames, {});
    ASSERT_TRUE(step);
    EXPECT_FALSE(step->complete);
    h.push(std::move(*step));
    EXPECT_FALSE(h.canUndo());
    EXPECT_TRUE(h.isModified());

    // Sheets changed behind the history's back: undo refuses instead of guessing.
    Document other;
    UndoHistory h2;
    h2.push(cellStep(other.sheets, other.frames, 0, "C-1"));
    growSheetRows(1, other.sheets.channel(0));
    Sheets changed = other.sheets;
    EXPECT_FALSE(h2.undo(other.sheets, other.frames));
    EXPECT_EQ(other.sheets, changed);
    EXPECT_FALSE(h2.canUndo());
}

}  // namespace
}  // namespace kestra
