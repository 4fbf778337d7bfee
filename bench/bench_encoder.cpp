// Encoding speed: one long channel, and a whole four-channel song with placement checks.
#include <benchmark/benchmark.h>

#include "encoder/channel_encoder.h"
#include "encoder/placement_checks.h"
#include "encoder/song_encoder.h"
#include "fixtures/fixture_builder.h"
#include "model/frame_store.h"
#include "model/hex_text.h"
#include "model/sheets.h"
#include "rom/layout.h"

namespace kestra {
namespace {

// A channel of `lines` lines: a note every other line, commands on every fourth, a volume on
// held lines (splitting notes), loops and breaks back to earlier lines, a page end at the end.
void fillDense(ChannelSheets& ch, int lines, bool noise) {
    resetChannelSheets(ch);
    growSheetRows(lines - 1, ch);
    initSheetRows(ch, 0, lines - 1);
    static const char* kTonal[] = {"C-0", "E-0", "G-0", "C-1", "A#1", "///"};
    static const char* kNoise[] = {"0-#", "3-#", "7-#", "F-#", "A-#", "///"};
    for (int r = 0; r + 1 < lines; ++r) {
        if (r % 2 == 0) ch.music.setCell(r, music::kNote, (noise ? kNoise : kTonal)[(r / 2) % 6]);
        if (r % 4 == 0) {
            ch.music.setCell(r, music::kIns, "01");
            ch.music.setCell(r, music::kFlag, "80");
        }
        if (r % 4 == 1) ch.music.setCell(r, music::kVol, "9");
        if (r % 64 == 0) ch.music.setCell(r, music::kOct, "00");
        if (r % 16 == 15) {
            ch.loop.setCell(r, loop::count(1), "02");
            ch.loop.setCell(r, loop::frame(1), "00");
            ch.loop.setCell(r, loop::line(1), padLeftZeros(4, std::to_string(r - 8)));
        }
        if (r % 32 == 13 && r + 3 < lines - 1) {
            ch.brk.setCell(r, brk::flag(1), "00");
            ch.brk.setCell(r, brk::frame(1), "00");
            ch.brk.setCell(r, brk::line(1), padLeftZeros(4, std::to_string(r + 3)));
        }
    }
    setMarkerLine(ch, lines - 1, '|');
}

FileState nsfState() {
    FileState fs;
    fs.path = "bench.nsf";
    fs.layout = Layout::Nsf;
    fs.headerSize = 0x80;
    fs.bankXor = 0;
    return fs;
}

void BM_EncodeChannel10000Lines(benchmark::State& state) {
    Sheets sheets;
    fillDense(sheets.channel(0), 10000, false);
    FrameStore store;
    storeShownFrame(sheets, store);
    ChannelInput in;
    in.music = &store.frames(0, SheetKind::Music);
    in.loop = &store.frames(0, SheetKind::Loop);
    in.brk = &store.frames(0, SheetKind::Break);
    in.name = "Square One";
    size_t bytes = 0;
    for (auto _ : state) {
        ErrorBox errors;
        std::uint64_t p = 0x8000;
        auto code = createChannelCode(in, p, 0, errors);
        if (!code || !resolveTargets(*code, in.name, errors))
            state.SkipWithError("encoding failed");
        bytes = code->bytes.size();
        benchmark::DoNotOptimize(code->bytes.data());
    }
    state.counters["stream_bytes"] = static_cast<double>(bytes);
    state.counters["lines_per_s"] =
        benchmark::Counter(10000.0, benchmark::Counter::kIsIterationInvariantRate);
}
BENCHMARK(BM_EncodeChannel10000Lines)->Unit(benchmark::kMillisecond);

void BM_EncodeSongFourChannels(benchmark::State& state) {
    int lines = static_cast<int>(state.range(0));
    Sheets sheets;
    for (int c = 0; c < 4; ++c) fillDense(sheets.channel(c), lines, c == kNoise);
    FrameStore store;
    storeShownFrame(sheets, store);
    FileState fs = nsfState();
    for (auto _ : state) {
        ErrorBox errors;
        auto song = encodeSong(store, fs, 0x80, 1, errors);
        if (!song) state.SkipWithError("encoding failed");
        benchmark::DoNotOptimize(song->patches.data());
    }
}
BENCHMARK(BM_EncodeSongFourChannels)->Arg(1000)->Arg(10000)->Unit(benchmark::kMillisecond);

// Encoding plus every check made before writing, on a fixture file.
void BM_CreateSongChecksInMemory(benchmark::State& state) {
    auto built = fixtures::buildFile(Layout::Nsf, fixtures::sampleSongs());
    auto fs = recogniseLayout("bench.nsf", built.bytes);
    Sheets sheets;
    for (int c = 0; c < 4; ++c) fillDense(sheets.channel(c), 500, c == kNoise);
    FrameStore store;
    storeShownFrame(sheets, store);
    for (auto _ : state) {
        ErrorBox errors;
        auto song = encodeSong(store, *fs, 0x2000, 1, errors);
        if (!song || !placementProblem(*fs, built.bytes, *song).empty())
            state.SkipWithError("placement refused");
        Bytes patched = patchedCopy(built.bytes, *song);
        benchmark::DoNotOptimize(readBackProblem(*fs, patched, *song));
    }
}
BENCHMARK(BM_CreateSongChecksInMemory)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace kestra
