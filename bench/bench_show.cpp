// Show Song on a long song: 4 channels of 2,000 lines whose nested loops unroll to about
// 100,000 rows per channel (target: at most 100 ms and 60 MB for `kestra-cli show`).
#include <benchmark/benchmark.h>

#include <memory>

#include "model/document.h"
#include "model/hex_text.h"
#include "view/show_song.h"

namespace {

using namespace kestra;

// 99 blocks of 20 lines: loop 1 plays the block's first ten lines ten times, loop 2 (on a "^^^"
// line) plays the whole block outerCount + 1 times; then 19 plain lines and the page end.
ChannelSheets longChannel(int outerCount) {
    constexpr int kLines = 2000;
    ChannelSheets ch;
    growSheetRows(kLines - 1, ch);
    initSheetRows(ch, 0, kLines - 1);
    const char* notes[] = {"C-1", "E-1", "G-1", "///"};
    for (int r = 0; r < kLines - 1; ++r) {
        ch.music.setCell(r, music::kNote, notes[r % 4]);
        if (r % 8 == 3) ch.music.setCell(r, music::kVol, "9");
        if (r % 16 == 7) ch.music.setCell(r, music::kOct, "02");
    }
    for (int block = 0; block < 99; ++block) {
        const int start = block * 20;
        auto setLoop = [&](int row, int k, const std::string& count) {
            ch.loop.setCell(row, loop::count(k), count);
            ch.loop.setCell(row, loop::frame(k), "00");
            ch.loop.setCell(row, loop::line(k), intToDecText(start, 4));
        };
        setLoop(start + 9, 1, "09");
        ch.music.setCell(start + 19, music::kNote, "^^^");
        ch.music.setCell(start + 19, music::kIns, "01");
        setLoop(start + 19, 2, intToHexText(outerCount, 2));
    }
    setMarkerLine(ch, kLines - 1, '|');
    return ch;
}

class NoMessages : public MessagePort {
  public:
    void messageBox(const std::string&, const std::string&) override {}
    bool confirm(const std::string&, const std::string&) override { return false; }
};

Document longSong(int outerCount) {
    Document doc;
    for (int c = 0; c < kChannelCount; ++c) doc.sheets.channel(c) = longChannel(outerCount);
    return doc;
}

void setCounters(benchmark::State& state, const Document& doc) {
    state.counters["rows_per_channel"] = doc.sheets.grid(0, SheetKind::MySong).rowCount();
    state.counters["messages"] = static_cast<double>(doc.errors.history().size());
}

// Showing again: the views of the show before are let go.
void BM_ShowSongAgain(benchmark::State& state) {
    Document doc = longSong(static_cast<int>(state.range(0)));
    NoMessages messages;
    showSong(doc, &messages);
    for (auto _ : state) {
        showSong(doc, &messages);
        benchmark::DoNotOptimize(doc.sheets.grid(0, SheetKind::FourChan).rowCount());
    }
    setCounters(state, doc);
}
BENCHMARK(BM_ShowSongAgain)->Arg(8)->Unit(benchmark::kMillisecond);

// The first show, on a document that has shown nothing yet.
void BM_ShowSongFirst(benchmark::State& state) {
    const Document song = longSong(static_cast<int>(state.range(0)));
    NoMessages messages;
    for (auto _ : state) {
        state.PauseTiming();
        auto doc = std::make_unique<Document>(song);
        state.ResumeTiming();
        showSong(*doc, &messages);
        benchmark::DoNotOptimize(doc->sheets.grid(0, SheetKind::FourChan).rowCount());
        state.PauseTiming();
        setCounters(state, *doc);
        doc.reset();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_ShowSongFirst)->Arg(8)->Unit(benchmark::kMillisecond);

}  // namespace
