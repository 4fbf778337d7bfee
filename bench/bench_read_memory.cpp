// What remembering the read bytes costs: reading and writing a song with and without the
// memory, and the memory's size per line.
#include <benchmark/benchmark.h>

#include "encoder/song_encoder.h"
#include "fixtures/fixture_builder.h"
#include "format/read_song.h"
#include "rom/layout.h"

namespace kestra {
namespace {

// Blocks of eight lines with commands in the file's order and connected notes, a loop back to
// the block's start.
fixtures::ChannelStream blockStream(int blocks, bool noise) {
    fixtures::StreamBuilder s;
    std::uint8_t pitch = noise ? 0x05 : 0x1C;
    for (int b = 0; b < blocks; ++b) {
        std::string top = "b" + std::to_string(b);
        s.label(top);
        s.raw({0x06, 0xC8, 0x07, 0x0A, 0x08, 0x01});
        s.raw({0x41, 0x01, 0x21, 0x04, 0x40, 0x21, 0x23});
        s.raw({0x07, 0x05, static_cast<std::uint8_t>(0x20 | pitch), 0x02, 0x41});
        s.loop(1, 1, top);
    }
    return s.end().build();
}

struct Fixture {
    fixtures::BuiltFile built;
    FileState fs;
    std::uint32_t header = 0;
    // With `channels` 1, Square One only.
    explicit Fixture(int blocks = 100, int channels = 4) {
        fixtures::SongSpec songSpec;
        for (int c = 0; c < channels; ++c)
            songSpec.channels[static_cast<size_t>(c)] = blockStream(blocks, c == kNoise);
        built = fixtures::buildFile(Layout::Nsf, {songSpec});
        fs = *recogniseLayout("bench.nsf", built.bytes);
        header = built.songs[0].headerOffset;
    }
};

void BM_ReadSong(benchmark::State& state) {
    Fixture f;
    bool remember = state.range(0) != 0;
    size_t lines = 0;
    size_t memoryBytes = 0;
    for (auto _ : state) {
        Sheets sheets;
        ErrorBox errors;
        ReadMemory memory;
        if (!decodeSong(f.fs, f.built.bytes, f.header, sheets, errors,
                        remember ? &memory : nullptr))
            state.SkipWithError("not read");
        lines = 0;
        memoryBytes = 0;
        for (int c = 0; c < 4; ++c) {
            lines += static_cast<size_t>(sheets.channel(c).lineCount());
            if (const auto& m = memory[static_cast<size_t>(c)]) {
                memoryBytes += m->bytes.size() + sizeof(ChannelMemory);
                for (const LineMemory& line : m->lines)
                    memoryBytes += sizeof(LineMemory) + line.visible.capacity();
            }
        }
        benchmark::DoNotOptimize(sheets);
    }
    state.counters["lines"] = static_cast<double>(lines);
    state.counters["memory_bytes_per_line"] =
        static_cast<double>(memoryBytes) / static_cast<double>(lines);
}
BENCHMARK(BM_ReadSong)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);

void BM_WriteSong(benchmark::State& state) {
    Fixture f;
    bool remember = state.range(0) != 0;
    Sheets sheets;
    ErrorBox errors;
    ReadMemory memory;
    decodeSong(f.fs, f.built.bytes, f.header, sheets, errors, &memory);
    FrameStore store;
    storeShownFrame(sheets, store);
    for (auto _ : state) {
        ErrorBox box;
        auto song = encodeSong(store, f.fs, f.header, 1, box, remember ? &memory : nullptr);
        if (!song) state.SkipWithError("not created");
        benchmark::DoNotOptimize(song->patches.data());
    }
}
BENCHMARK(BM_WriteSong)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);

// Create Code on a channel of about 10,000 lines after N of its lines were edited (spread over
// the channel): its lines are aligned with the remembered ones first.
void BM_WriteEditedSong(benchmark::State& state) {
    static Fixture f(1100, 1);
    Sheets sheets;
    ErrorBox errors;
    ReadMemory memory;
    decodeSong(f.fs, f.built.bytes, f.header, sheets, errors, &memory);
    int edits = static_cast<int>(state.range(0));
    {
        ChannelSheets& ch = sheets.channel(kSquare1);
        int lines = ch.lineCount() - 1;
        for (int e = 0; e < edits; ++e) {
            int row = static_cast<int>(static_cast<long long>(lines) * (2 * e + 1) / (2 * edits));
            if (ch.music.cell(row, music::kVol) != "-") continue;
            ch.music.setCell(row, music::kVol, "3");
        }
    }
    FrameStore store;
    storeShownFrame(sheets, store);
    for (auto _ : state) {
        ErrorBox box;
        auto song = encodeSong(store, f.fs, f.header, 1, box, &memory);
        if (!song) state.SkipWithError("not created");
        benchmark::DoNotOptimize(song->patches.data());
    }
    state.counters["lines_per_channel"] = sheets.channel(0).lineCount();
}
BENCHMARK(BM_WriteEditedSong)->Arg(0)->Arg(1)->Arg(100)->Arg(600)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace kestra
