// `kestra-cli create` of the dump of the dense 4 x 8,500-line song (dense_song.h): the dump
// parsed and the whole song encoded. Target: at most 15 ms in all.
#include <benchmark/benchmark.h>

#include "dense_song.h"
#include "encoder/song_encoder.h"
#include "model/frame_store.h"
#include "model/sheet_dump.h"

namespace kestra {
namespace {

FileState nsfState() {
    FileState fs;
    fs.path = "bench.nsf";
    fs.layout = Layout::Nsf;
    fs.headerSize = 0x80;
    fs.bankXor = 0;
    return fs;
}

void BM_CreateFromDump4x8500Lines_Max15ms(benchmark::State& state) {
    std::string text;
    {
        Sheets sheets;
        ErrorBox errors;
        bench::decodeDense(bench::denseStreams(), sheets, errors);
        text = writeSheetDump(sheets);
    }
    const FileState fs = nsfState();
    for (auto _ : state) {
        auto dump = parseSheetDump(text);
        if (!dump) {
            state.SkipWithError("the dump was refused");
            break;
        }
        FrameStore store;
        ErrorBox errors;
        auto song = encodeSong(songFrames(dump->sheets, store), fs, 0x80, 1, errors);
        if (!song) {
            state.SkipWithError("encoding failed");
            break;
        }
        benchmark::DoNotOptimize(song->patches.data());
    }
    state.counters["dump_bytes"] = static_cast<double>(text.size());
}
BENCHMARK(BM_CreateFromDump4x8500Lines_Max15ms)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace kestra
