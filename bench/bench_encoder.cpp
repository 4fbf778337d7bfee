// Encoding a whole four-channel song of 8,500 lines a channel, the work of `kestra-cli create`
// (target: at most 15 ms in all).
#include <benchmark/benchmark.h>

#include "encoder/song_encoder.h"
#include "model/frame_store.h"
#include "model/hex_text.h"
#include "model/sheets.h"

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
BENCHMARK(BM_EncodeSongFourChannels)->Arg(8500)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace kestra
