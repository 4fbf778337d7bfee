// Editing on a long song: one key edit, "Add lines" and "Remove Line" on a 10,000-line channel
// whose lines are full of loop, jump and break references (the other channels as long).
#include <benchmark/benchmark.h>

#include <string>

#include "editing/sheet_editing.h"
#include "model/hex_text.h"

namespace kestra {
namespace {

constexpr int kLines = 10000;

// Every line carries a loop reference and every third a break and a jump; all point at even
// lines below 9900, so removing an odd line is never blocked and 100 lines can be added.
Document longSong(int channels) {
    Document doc;
    for (int ch = 0; ch < channels; ++ch) {
        ChannelSheets& cs = doc.sheets.channel(ch);
        growSheetRows(kLines - 1, cs);
        initSheetRows(cs, 0, kLines - 1);
        for (int r = 0; r < kLines; ++r) {
            cs.music.cell(r, music::kNote) = "C#3";
            cs.music.cell(r, music::kTLg) = intToHexText(r % 256, 2);
            cs.loop.cell(r, loop::count(1)) = "02";
            cs.loop.cell(r, loop::frame(1)) = "00";
            cs.loop.cell(r, loop::line(1)) = intToDecText((r * 7 % 9000) & ~1, 4);
            if (r % 3 == 0) {
                cs.loop.cell(r, loop::kJumpLine) = intToDecText((r / 2) & ~1, 4);
                cs.brk.cell(r, brk::line(2)) = intToDecText((9000 - r % 9000) & ~1, 4);
            }
        }
    }
    return doc;
}

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
BENCHMARK(BM_AddLines)->Args({1, 1})->Args({4, 1})->Args({4, 100})->Unit(benchmark::kMillisecond);

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
BENCHMARK(BM_RemoveLine)->Arg(1)->Arg(4)->Unit(benchmark::kMillisecond);

// The first command after a song was read: the sheets grow their storage and the frame store
// its texts for the first time.
void BM_AddLinesFirstAfterReading(benchmark::State& state) {
    const Document start = longSong(4);
    const Selection sel = Selection::cell(SheetKind::Music, 0, kLines / 2, 3);
    for (auto _ : state) {
        state.PauseTiming();
        Document doc = start;
        state.ResumeTiming();
        EditResult r = addLines(doc, sel, "1", AddWhere::Before, nullptr);
        benchmark::DoNotOptimize(r.rows);
        state.PauseTiming();
        doc = Document();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_AddLinesFirstAfterReading)->Unit(benchmark::kMillisecond);

// A refused removal scans every reference before saying no.
void BM_RemoveLineBlocked(benchmark::State& state) {
    Document doc = longSong(4);
    const Selection sel = Selection::cell(SheetKind::Music, 0, kLines / 2, 3);
    for (auto _ : state) {
        EditResult r = removeLines(doc, sel, "1", nullptr);
        benchmark::DoNotOptimize(r.rows);
    }
}
BENCHMARK(BM_RemoveLineBlocked)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace kestra
