// The timeline of five minutes of a four-channel song: the driver reads a note on every channel
// in every frame (one frame a line), the busiest a timeline can be.
#include <benchmark/benchmark.h>

#include "fixtures/fixture_builder.h"
#include "fixtures/walker_driver.h"
#include "listen/driver_timeline.h"
#include "listen/song_places.h"
#include "rom/layout.h"

namespace {

using namespace kestra;

fixtures::BuiltFile busySong() {
    fixtures::SongSpec song;
    for (size_t c = 0; c < 4; ++c) {
        fixtures::StreamBuilder s;
        s.label("top");
        // 200 one-line notes with a loop inside, then round again for ever.
        for (int i = 0; i < 200; ++i) {
            if (i % 10 == 0) s.raw({0x09, static_cast<std::uint8_t>(i % 5)});
            s.raw({static_cast<std::uint8_t>(0x21 + (i % 24))});
            if (i == 100) s.loop(1, 3, "top");
        }
        s.jump("top").end();
        song.channels[c] = s.build();
    }
    auto built = fixtures::buildFile(Layout::Nsf, {song});
    fixtures::installWalkerDriver(built.bytes, 1);
    return built;
}

void BM_TimelineFiveMinutes(benchmark::State& state) {
    auto built = busySong();
    auto fs = recogniseLayout("busy.nsf", built.bytes);
    const int frames = 5 * 60 * 60;
    size_t starts = 0;
    for (auto _ : state) {
        auto places = listen::placesOfFileSong(*fs, built.bytes, built.songs[0].headerOffset);
        auto t = listen::runTimeline(built.bytes, 0, frames, *places);
        starts = t->channels[0].size() + t->channels[1].size() + t->channels[2].size() +
                 t->channels[3].size();
        benchmark::DoNotOptimize(t);
    }
    state.counters["line_starts"] = static_cast<double>(starts);
}
BENCHMARK(BM_TimelineFiveMinutes)->Unit(benchmark::kMillisecond);

}  // namespace
