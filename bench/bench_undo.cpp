// Undo and redo on a song of 10,000 lines a channel: recording "Add lines", undoing and redoing
// it, recording key edits, and the memory of a history of 1,000 single-cell edits.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdlib>

#include "editing/sheet_editing.h"
#include "editing/undoable_edits.h"
#include "model/frame_store.h"
#include "model/hex_text.h"
#include "model/undo_history.h"
#include "model/undo_recorder.h"

namespace kestra {
namespace {

constexpr int kLines = 10000;

// Four channels of 10,000 lines with notes on every line and a loop reference every 64 lines,
// stored in the frame store as the editor keeps it.
Document bigDocument() {
    Document doc;
    for (auto& ch : doc.sheets.channels) {
        growSheetRows(kLines - 1, ch);
        initSheetRows(ch, 1, kLines - 1);
        for (int r = 0; r < kLines; ++r) {
            ch.music.cell(r, music::kNote) = r % 3 ? "C#1" : "D-2";
            ch.music.cell(r, music::kIns) = intToHexText(r % 256, 2);
            if (r % 64 == 63) {
                ch.loop.cell(r, loop::count(1)) = "02";
                ch.loop.cell(r, loop::frame(1)) = "00";
                // Below 9900, so that 100 more lines keep every reference in four digits.
                ch.loop.cell(r, loop::line(1)) = intToDecText(std::min(r - 63, 9800), 4);
            }
        }
    }
    storeShownFrame(doc.sheets, doc.frames);
    return doc;
}

// What the song itself holds: every cell as a string object plus its text beyond the buffer.
size_t songBytes(const Document& doc) {
    size_t total = 0;
    for (const auto& ch : doc.sheets.channels)
        for (const Sheet* s : {&ch.music, &ch.loop, &ch.brk})
            total += static_cast<size_t>(s->rowCount() * s->columnCount()) * sizeof(std::string);
    return total;
}

UndoStep recordAddLines(Document& doc) {
    UndoRecorder rec(doc.sheets, doc.frames, UndoScope::allChannels(), {});
    Selection sel = Selection::cell(SheetKind::Music, 0, kLines / 2, music::kNote);
    EditResult r = addLines(doc, sel, "100", AddWhere::Before, nullptr);
    if (!r.rows) std::abort();  // refused: the benchmark would measure nothing
    return *rec.finish(doc.sheets, doc.frames, {}, LineMove{r.rows->channel, r.rows->at});
}

void BM_RecordAddLines100Into10k(benchmark::State& state) {
    Document doc = bigDocument();
    size_t bytes = 0;
    for (auto _ : state) {
        state.PauseTiming();
        Document copy = doc;
        state.ResumeTiming();
        UndoStep step = recordAddLines(copy);
        bytes = step.bytes();
        benchmark::DoNotOptimize(step);
        state.PauseTiming();
        copy = Document();  // freeing 10,000 lines is not part of the action
        state.ResumeTiming();
    }
    state.counters["step_bytes"] = static_cast<double>(bytes);
}
BENCHMARK(BM_RecordAddLines100Into10k)->Unit(benchmark::kMillisecond);

void BM_UndoAddLines100Into10k(benchmark::State& state) {
    Document doc = bigDocument();
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
    Document doc = bigDocument();
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
    Document doc = bigDocument();
    int row = 0;
    for (auto _ : state) {
        row = (row + 7919) % kLines;
        UndoScope scope =
            promise ? UndoScope::rowsOf(0, row, row) : UndoScope{1u, {}, false, false};
        UndoRecorder rec(doc.sheets, doc.frames, scope, {});
        doc.sheets.channel(0).music.cell(row, music::kVol) = row % 2 ? "5" : "A";
        auto step = rec.finish(doc.sheets, doc.frames, {});
        benchmark::DoNotOptimize(step);
    }
}
BENCHMARK(BM_RecordCellEdit10k)->Arg(1)->Arg(0)->Unit(benchmark::kMicrosecond);

void BM_HistoryOf1000CellEdits10k(benchmark::State& state) {
    Document doc = bigDocument();
    size_t bytes = 0;
    for (auto _ : state) {
        UndoHistory history;
        for (int i = 0; i < 1000; ++i) {
            int row = (i * 7919) % kLines;
            UndoRecorder rec(doc.sheets, doc.frames, UndoScope::rowsOf(i % 4, row, row), {});
            std::string& cell = doc.sheets.channel(i % 4).music.cell(row, music::kPitch);
            cell = cell == "01" ? "02" : "01";
            if (auto step = rec.finish(doc.sheets, doc.frames, {})) history.push(std::move(*step));
        }
        bytes = history.bytes();
        benchmark::DoNotOptimize(history);
    }
    state.counters["history_bytes"] = static_cast<double>(bytes);
    state.counters["song_bytes"] = static_cast<double>(songBytes(doc));
    state.counters["bytes_per_edit"] = static_cast<double>(bytes) / 1000;
}
BENCHMARK(BM_HistoryOf1000CellEdits10k)->Unit(benchmark::kMillisecond);

void BM_RecordReadChannel10k(benchmark::State& state) {
    Document doc = bigDocument();
    size_t bytes = 0;
    for (auto _ : state) {
        UndoRecorder rec(doc.sheets, doc.frames, UndoScope::everything(), {});
        Document fresh;
        std::swap(fresh.sheets, doc.sheets);
        std::swap(fresh.frames, doc.frames);
        auto step = rec.finish(doc.sheets, doc.frames, {});
        bytes = step ? step->bytes() : 0;
        std::swap(fresh.sheets, doc.sheets);
        std::swap(fresh.frames, doc.frames);
    }
    state.counters["step_bytes"] = static_cast<double>(bytes);
}
BENCHMARK(BM_RecordReadChannel10k)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace kestra

namespace kestra {
namespace {

// Add lines and Remove Line as the window runs them (recorded for undo) on the same song again
// and again: the recording once the song's memory is warm, as in an editing session (the first
// insertion after reading also moves every cell of the channel, see
// BM_AddLinesFirstAfterReading). Two actions an iteration.
void BM_RecordAddAndRemoveWarm(benchmark::State& state) {
    Document doc = bigDocument();
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
