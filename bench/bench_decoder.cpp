// `kestra-cli dump` of a dense 4 x 8,500-line song: the four streams read into the sheets and
// written as a sheet dump. Target: at most 15 ms in all.
#include <benchmark/benchmark.h>

#include "dense_song.h"
#include "model/sheet_dump.h"

namespace kestra {
namespace {

void BM_DumpSong4x8500Lines_Max15ms(benchmark::State& state) {
    const auto streams = bench::denseStreams();
    size_t lines = 0;
    for (auto _ : state) {
        Sheets sheets;
        ErrorBox errors;
        lines = bench::decodeDense(streams, sheets, errors);
        std::string dump = writeSheetDump(sheets, errors.history());
        benchmark::DoNotOptimize(dump.data());
        if (!errors.history().empty()) state.SkipWithError(errors.history().front().c_str());
    }
    state.counters["lines"] = static_cast<double>(lines);
    state.counters["lines/s"] = benchmark::Counter(static_cast<double>(lines),
                                                   benchmark::Counter::kIsIterationInvariantRate);
}
BENCHMARK(BM_DumpSong4x8500Lines_Max15ms)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace kestra
