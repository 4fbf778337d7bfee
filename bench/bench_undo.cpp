// Undo and redo on a song of 10,000 lines a channel: undoing and redoing "Add lines", recording
// key edits and line commands as the window runs them. Target: each at most 5 ms.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdlib>

#include "editing/sheet_editing.h"
#include "editing/undoable_edits.h"
#include "long_song.h"
#include "model/undo_history.h"
#include "model/undo_recorder.h"

namespace kestra {
namespace {

using bench::kLines;
using bench::longSong;

UndoStep recordAddLines(Document& doc) {
    UndoRecorder rec(doc.sheets, doc.frames, UndoScope::allChannels(), {});
    Selection sel = Selection::cell(SheetKind::Music, 0, kLines / 2, music::kNote);
    EditResult r = addLines(doc, sel, "100", AddWhere::Before, nullptr);
    if (!r.rows) std::abort();  // refused: the benchmark would measure nothing
    return *rec.finish(doc.sheets, doc.frames, {}, LineMove{r.rows->channel, r.rows->at});
}

void BM_UndoAddLines100Into10k(benchmark::State& state) {
    Document doc = longSong();
    UndoHistory history;
    history.push(recordAddLines(doc));
    for (auto _ : state) {
        history.undo(doc.sheets, doc.frames);
        state.PauseTiming();
        history.redo(doc.sheets, doc.frames);
        state.ResumeTiming();
    }
}
BENCHMARK(BM_UndoAddLines100Into10k)->Unit(benchmark::kMillisecond);

void BM_RedoAddLines100Into10k(benchmark::State& state) {
    Document doc = longSong();
    UndoHistory history;
    history.push(recordAddLines(doc));
    for (auto _ : state) {
        state.PauseTiming();
        history.undo(doc.sheets, doc.frames);
        state.ResumeTiming();
        history.redo(doc.sheets, doc.frames);
    }
}
BENCHMARK(BM_RedoAddLines100Into10k)->Unit(benchmark::kMillisecond);

// A key edit recorded with its row promise (the usual case) and with the whole channel copied.
void BM_RecordCellEdit10k(benchmark::State& state) {
    const bool promise = state.range(0) != 0;
    Document doc = longSong();
    int row = 0;
    for (auto _ : state) {
        row = (row + 7919) % kLines;
        UndoScope scope =
            promise ? UndoScope::rowsOf(0, row, row) : UndoScope{1u, {}, false, false};
        UndoRecorder rec(doc.sheets, doc.frames, scope, {});
        doc.sheets.channel(0).music.setCell(row, music::kVol, row % 2 ? "5" : "A");
        auto step = rec.finish(doc.sheets, doc.frames, {});
        benchmark::DoNotOptimize(step);
    }
}
BENCHMARK(BM_RecordCellEdit10k)->Arg(1)->Unit(benchmark::kMicrosecond);

// Add lines and Remove Line as the window runs them (recorded for undo) on the same song again
// and again, as in an editing session. Two actions an iteration.
void BM_RecordAddAndRemoveWarm(benchmark::State& state) {
    Document doc = longSong();
    UndoHistory history;
    Selection sel = Selection::cell(SheetKind::Music, 0, kLines / 2, music::kNote);
    for (auto _ : state) {
        EditResult add = undoableAddLines(doc, history, sel, "100", AddWhere::Before, nullptr);
        EditResult remove = undoableRemoveLines(doc, history, sel, "100", nullptr);
        if (!add.rows || !remove.rows) std::abort();
        if (history.size() > 64) history.clear();
    }
}
BENCHMARK(BM_RecordAddAndRemoveWarm)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace kestra
