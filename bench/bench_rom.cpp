// Opening a file and listing its songs; storing and loading a large frame store.
#include <benchmark/benchmark.h>

#include "fixtures/fixture_builder.h"
#include "model/frame_store.h"
#include "rom/layout.h"
#include "rom/song_table.h"

namespace kestra {
namespace {

void BM_RecogniseAndListSongs512K(benchmark::State& state) {
    // The split-bank fixture is a 512 KB ROM.
    auto built = fixtures::buildFile(Layout::Rom49, fixtures::sampleSongs());
    for (auto _ : state) {
        auto fs = recogniseLayout("bench.nes", built.bytes);
        auto songs = listSongs(*fs, built.bytes);
        benchmark::DoNotOptimize(songs.data());
    }
}
BENCHMARK(BM_RecogniseAndListSongs512K)->Unit(benchmark::kMicrosecond);

void BM_OpenFileAndListSongs512K(benchmark::State& state) {
    auto built = fixtures::buildFile(Layout::Rom49, fixtures::sampleSongs());
    std::string path = "/tmp/kestra-bench-rom.nes";
    fixtures::writeBytes(path, built.bytes);
    for (auto _ : state) {
        auto bytes = readFileBytes(path);
        auto fs = recogniseLayout(path, *bytes);
        auto songs = listSongs(*fs, *bytes);
        benchmark::DoNotOptimize(songs.data());
    }
}
BENCHMARK(BM_OpenFileAndListSongs512K)->Unit(benchmark::kMicrosecond);

Sheets bigSong(int lines) {
    Sheets s;
    for (auto& ch : s.channels) {
        growSheetRows(lines - 1, ch);
        initSheetRows(ch, 1, lines - 1);
    }
    return s;
}

void BM_SaveFrame10k(benchmark::State& state) {
    Sheets s = bigSong(10000);
    FrameStore store;
    for (auto _ : state) {
        saveFrame(s.channel(0), store, 0, 0);
        benchmark::DoNotOptimize(store.texts[0][0][0].data());
    }
}
BENCHMARK(BM_SaveFrame10k)->Unit(benchmark::kMicrosecond);

void BM_LoadFrame10k(benchmark::State& state) {
    Sheets s = bigSong(10000);
    FrameStore store;
    saveFrame(s.channel(0), store, 0, 0);
    for (auto _ : state) {
        loadFrame(10000, store, 0, 0, s.channel(0));
        benchmark::DoNotOptimize(s.channel(0).music.cell(9999, 3).data());
    }
}
BENCHMARK(BM_LoadFrame10k)->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace kestra

namespace kestra {
namespace {

void BM_StoreShownFrame4x10k(benchmark::State& state) {
    Sheets s = bigSong(10000);
    FrameStore store;
    for (auto _ : state) {
        storeShownFrame(s, store);
        benchmark::DoNotOptimize(store.texts[3][2][0].data());
    }
}
BENCHMARK(BM_StoreShownFrame4x10k)->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace kestra
