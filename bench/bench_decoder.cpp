// `kestra-cli dump` of a dense 4 x 8,500-line song: the four streams read into the sheets and
// written as a sheet dump. Target: at most 15 ms in all.
#include <benchmark/benchmark.h>

#include "dense_song.h"
#include "editing/undoable_edits.h"
#include "model/document.h"
#include "model/sheet_dump.h"
#include "model/undo_history.h"

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

namespace kestra {
namespace {

// The core of "Read Channel" in the window: four 10,000-line streams read with what reading
// remembers of each line, recorded as one undo step. Target: the window's whole Read Channel,
// painting included, at most 30 ms.
void BM_ReadChannelRecorded4x10000Lines(benchmark::State& state) {
    std::array<Bytes, 4> streams;
    for (int ch = 0; ch < 4; ++ch) streams[static_cast<size_t>(ch)] = bench::denseStream(ch, 10000);
    for (auto _ : state) {
        state.PauseTiming();
        auto doc = std::make_unique<Document>();
        UndoHistory history;
        state.ResumeTiming();
        runRecorded(*doc, history, UndoScope::everything(), {}, [&] {
            ReadMemory read;
            for (int ch = 0; ch < 4; ++ch) {
                ChannelMemory& memory = read[static_cast<size_t>(ch)].emplace();
                decodeChannel(streams[static_cast<size_t>(ch)], bench::kDenseStart,
                              bench::kDenseHeaderSize, ch, doc->sheets.channel(ch), doc->errors,
                              &memory.lines);
                memory.shareRecords(doc->sheets.channel(ch));
            }
            doc->remember(std::move(read));
        });
        benchmark::DoNotOptimize(history.size());
        state.PauseTiming();
        doc.reset();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_ReadChannelRecorded4x10000Lines)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace kestra
