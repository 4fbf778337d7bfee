// Mapping a 512 KB ROM with 255 songs, the work of `kestra-cli space` and of each "Find place"
// (target: under 10 ms).
#include <benchmark/benchmark.h>

#include "encoder/file_map.h"
#include "fixtures/fixture_builder.h"
#include "rom/layout.h"

namespace kestra {
namespace {

void BM_MapFile(benchmark::State& state) {
    std::vector<fixtures::SongSpec> songs(255);
    for (size_t i = 0; i < songs.size(); ++i) {
        for (auto& ch : songs[i].channels)
            ch = fixtures::plain({0x09, 0x01, static_cast<std::uint8_t>(0x61 + i % 8), 0x65, 0x17});
        // Every fifth song shares the Noise stream of the one before, as games do.
        if (i % 5 == 4) {
            songs[i].channels[3].reset();
            songs[i].shares[3] = fixtures::SharedStream{i - 1, 3, 2};
        }
    }
    fixtures::BuildOptions options;
    options.dataStart = 0x3D000;
    options.fillerAfter = 0x40000;  // half the ROM is filler: the slow case
    auto built = fixtures::buildFile(Layout::Rom49, songs, options);
    auto fs = recogniseLayout("big.nes", built.bytes).value();
    size_t regions = 0;
    for (auto _ : state) {
        auto map = mapFile(fs, built.bytes, 1);
        regions = map.size();
        benchmark::DoNotOptimize(map.data());
    }
    state.counters["bytes"] = static_cast<double>(built.bytes.size());
    state.counters["regions"] = static_cast<double>(regions);
}
BENCHMARK(BM_MapFile)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace kestra
