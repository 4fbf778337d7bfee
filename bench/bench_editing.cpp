// Editing on a long song: a key edit, "Add lines", "Remove Line" and the block commands on a
// 10,000-line channel whose lines are full of loop, jump and break references (the other channels
// as long). Target: each within one 60 Hz frame (16 ms); key edits and line commands at most 5 ms.
#include <benchmark/benchmark.h>

#include <string>

#include "editing/block_edits.h"
#include "editing/sheet_editing.h"
#include "long_song.h"

namespace kestra {
namespace {

using bench::kLines;
using bench::longSong;

void BM_KeyEditByteCell(benchmark::State& state) {
    Document doc = longSong(4);
    EditContext ctx;
    const Selection sel = Selection::cell(SheetKind::Music, 0, kLines / 2, music::kPitch);
    keyDown(doc, kKeyEnter);
    keyUp(doc, sel, ctx);
    int digit = 0;
    for (auto _ : state) {
        keyDown(doc, kKey0 + digit);
        EditResult r = keyUp(doc, sel, ctx);
        benchmark::DoNotOptimize(r.changed.data());
        digit = (digit + 1) % 10;
    }
}
BENCHMARK(BM_KeyEditByteCell)->Unit(benchmark::kMicrosecond);

void BM_KeyToggleMarkerLine(benchmark::State& state) {
    Document doc = longSong(4);
    EditContext ctx;
    const Selection sel = Selection::cell(SheetKind::Loop, 0, kLines / 2, 5);
    for (auto _ : state) {
        keyDown(doc, kKeyFullStop);
        EditResult r = keyUp(doc, sel, ctx);
        benchmark::DoNotOptimize(r.changed.data());
    }
}
BENCHMARK(BM_KeyToggleMarkerLine)->Unit(benchmark::kMicrosecond);

// Steady state, as in a session: the command runs on a long-lived document (the line is taken
// out again untimed). state.range(0): channels of 10,000 lines; the store step saves them all.
void BM_AddLines(benchmark::State& state) {
    Document doc = longSong(static_cast<int>(state.range(0)));
    const Selection sel = Selection::cell(SheetKind::Music, 0, kLines / 2, 3);
    const int count = static_cast<int>(state.range(1));
    const std::string text = std::to_string(count);
    for (auto _ : state) {
        EditResult r = addLines(doc, sel, text, AddWhere::Before, nullptr);
        if (!r.rows) state.SkipWithError("adding refused");
        state.PauseTiming();
        removeLines(doc, sel, text, nullptr);
        state.ResumeTiming();
    }
}
BENCHMARK(BM_AddLines)->Args({4, 1})->Args({4, 100})->Unit(benchmark::kMillisecond);

void BM_RemoveLine(benchmark::State& state) {
    Document doc = longSong(static_cast<int>(state.range(0)));
    const Selection sel = Selection::cell(SheetKind::Break, 0, kLines / 2 + 1, 3);
    for (auto _ : state) {
        EditResult r = removeLines(doc, sel, "1", nullptr);
        if (!r.rows) state.SkipWithError("removal refused");
        state.PauseTiming();
        addLines(doc, sel, "1", AddWhere::Before, nullptr);
        state.ResumeTiming();
    }
}
BENCHMARK(BM_RemoveLine)->Arg(4)->Unit(benchmark::kMillisecond);

// Copy 1,000 lines, paste them over the middle, transpose the whole channel by a semitone.
void BM_BlockCommands(benchmark::State& state) {
    Document doc = longSong(4);
    const Selection sel = Selection::cell(SheetKind::Music, 0, kLines / 2, 3);
    const LineRange block{kLines / 4, kLines / 4 + 999};
    const std::string text = *copyLines(doc, sel, block, nullptr).clipboard;
    for (auto _ : state) {
        switch (state.range(0)) {
            case 0:
                benchmark::DoNotOptimize(copyLines(doc, sel, block, nullptr).clipboard);
                break;
            case 1:
                // The channel is full (line numbers stop at 9999): paste over its middle.
                if (!pasteOver(doc, sel, text, nullptr).lines) state.SkipWithError("refused");
                break;
            default:
                benchmark::DoNotOptimize(
                    transposeLines(doc, sel, {0, kLines - 2}, 1, nullptr).edit.changed.data());
        }
    }
}
BENCHMARK(BM_BlockCommands)->DenseRange(0, 2)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace kestra
