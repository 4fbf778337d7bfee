#include "view/show_song.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <string_view>

#include "model/frame_checks.h"
#include "model/guard.h"
#include "model/hex_text.h"
#include "view/channel_walk.h"

namespace kestra {

namespace {

// Writes each shown line into its row of a Song sheet, every cell of columns 3-20.
class SongRowWriter : public ShownLineSink {
  public:
    explicit SongRowWriter(Sheet& song) : song_(song) {}
    void show(const ShownLine& line) override {
        if (line.row >= song_.rowCount()) song_.setRowCount(line.row + 1);
        std::string* row = &song_.cell(line.row, 0);
        for (int c = music::kNote; c <= music::kLastValue; ++c)
            row[c].assign(line.cells[static_cast<size_t>(c)]);
        row[song::kCurrentOctave].assign(line.octave);
        setNumber(row[song::kFrame], line.frame);
        setNumber(row[song::kLine], line.line);
    }

  private:
    static void setNumber(std::string& cell, long long v) {
        char buf[24];
        auto end = std::to_chars(buf, buf + sizeof buf, v).ptr;
        cell.assign(buf, end);
    }
    Sheet& song_;
};

// Cuts the sheet to the rows kept; a sheet never has fewer than one row.
void keepRows(Sheet& song, int rows) {
    song.setRowCount(std::max(rows, 1));
    if (rows == 0) song.clearRow(0);
    numberSongRows(song);
}

std::string withThousands(int v) {
    std::string digits = std::to_string(v);
    for (int at = static_cast<int>(digits.size()) - 3; at > 0; at -= 3)
        digits.insert(static_cast<size_t>(at), ",");
    return digits;
}

void setPaddedNumber(std::string& cell, int v, bool decimal) {
    if (!decimal) {
        cell = intToHexText(v, 3);
        return;
    }
    char buf[16];
    auto end = std::to_chars(buf, buf + sizeof buf, v).ptr;
    const auto digits = static_cast<size_t>(end - buf);
    if (digits >= 3)
        cell.assign(buf, digits);
    else
        cell.assign(3 - digits, '0').append(buf, digits);
}

}  // namespace

bool showChannel(int frameCount, const std::string& channelName,
                 const std::vector<std::string>& musicFrames,
                 const std::vector<std::string>& loopFrames,
                 const std::vector<std::string>& breakFrames, Sheet& song, ErrorBox& errors,
                 int rowLimit) {
    FrameEnds ends;
    if (!checkFrameEnds(musicFrames, frameCount, channelName, errors, ends)) {
        keepRows(song, 0);
        return false;
    }

    // A first walk only counts, so the sheet gets its rows in one step: growing a sheet of
    // 100,000 rows bit by bit would move every cell several times.
    ChannelWalk counting(frameCount, musicFrames, loopFrames, breakFrames, rowLimit,
                         kShowLinesPerRow);
    int rows = 0;
    try {
        WalkEnd end = counting.run(nullptr);
        rows = end == WalkEnd::PageEnd ? counting.nextRow() + 1 : counting.rowsShown();
    } catch (const ConversionError&) {
        rows = counting.rowsShown();  // the writing walk stops at the same line and reports it
    }
    song.setRowCount(std::max(rows, 1));

    ChannelWalk walk(frameCount, musicFrames, loopFrames, breakFrames, rowLimit, kShowLinesPerRow);
    SongRowWriter writer(song);
    WalkEnd end;
    try {
        end = walk.run(&writer);
    } catch (const ConversionError& e) {
        keepRows(song, walk.rowsShown());
        throw ConversionError(std::string(e.what()) + " Channel " + channelName + ", frame " +
                              std::to_string(walk.frame()) + ", line " +
                              std::to_string(walk.line()) + ".");
    }

    if (end == WalkEnd::PageEnd) {
        const int r = walk.nextRow();
        if (r >= song.rowCount()) song.setRowCount(r + 1);
        writeEndRow(song, '|', r, true);
        song.setRowCount(r + 1);
        numberSongRows(song);
        return true;
    }
    const int kept = walk.rowsShown();
    keepRows(song, kept);
    const std::string shown = kept == 0 ? " No row is shown."
                              : kept == 1
                                  ? " Only the first row is shown."
                                  : " Only the first " + std::to_string(kept) + " rows are shown.";
    if (end == WalkEnd::Cut && walk.provenEndless())
        errors.report("The song of channel " + channelName +
                      " does not reach its page end: a loop or jump goes round without end." +
                      shown);
    else if (end == WalkEnd::Cut)
        errors.report("The song of channel " + channelName +
                      " does not reach its page end within " + withThousands(rowLimit) + " rows." +
                      shown);
    else
        errors.report("The song of channel " + channelName + " goes to the frame " +
                      std::to_string(walk.frame()) + " on the line " + std::to_string(walk.line()) +
                      ", which does not exist." + shown);
    return false;
}

void buildFourChanView(const Sheet& song1, const Sheet& song2, const Sheet& song3,
                       const Sheet& song4, Sheet& fourChan) {
    const std::array<const Sheet*, kChannelCount> songs = {&song1, &song2, &song3, &song4};
    int rows = 0;
    for (const Sheet* s : songs) rows = std::max(rows, s->rowCount());
    fourChan.setRowCount(rows);
    for (int r = 0; r < rows; ++r) {
        std::string* out = &fourChan.cell(r, 0);
        const Sheet* numbering = nullptr;  // the last sheet holding the row numbers it
        for (size_t s = 0; s < songs.size(); ++s) {
            const Sheet& song = *songs[s];
            std::string* group = out + 3 + 4 * s;
            const bool separator = s + 1 < songs.size();
            if (r < song.rowCount()) {
                const std::string* in = &song.cell(r, 0);
                for (int i = 0; i < 3; ++i) group[i] = in[music::kNote + i];
                if (separator) group[3] = "|||";
                numbering = &song;
            } else {
                for (int i = 0; i < 3; ++i) group[i].clear();
                if (separator) group[3].clear();
            }
        }
        for (int c = 0; c < kFixedColumns; ++c) out[c] = numbering->cell(r, c);
    }
}

void writeEndRow(Sheet& grid, char mark, int row, bool withExtraColumns) {
    grid.cell(row, music::kNote).assign(3, mark);
    grid.cell(row, music::kVol).assign(1, mark);
    const int last = withExtraColumns ? song::kLine : music::kLastValue;
    for (int c = music::kFirstValue; c <= last; ++c) grid.cell(row, c).assign(2, mark);
}

void numberSongRows(Sheet& grid, bool decimalCounting, int countWrap, int beatSpacing) {
    for (int r = 0; r < grid.rowCount(); ++r) {
        const int count = countWrap > 0 ? r % countWrap : r;
        std::string* row = &grid.cell(r, 0);
        setPaddedNumber(row[0], r, decimalCounting);
        if (count == 0)
            row[1] = "-0-";
        else if (beatSpacing > 0 && r % beatSpacing == 0)
            row[1] = "--";
        else
            row[1].clear();
        setPaddedNumber(row[2], count, decimalCounting);
    }
}

bool showSong(Document& doc, MessagePort* messages) {
    storeShownFrame(doc.sheets, doc.frames);
    bool allShown = true;
    for (int ch = 0; ch < kChannelCount; ++ch) {
        allShown &= runGuarded(messages, [&] {
            showChannel(
                doc.frames.frameCount, kChannelNames[static_cast<size_t>(ch)],
                doc.frames.frames(ch, SheetKind::Music), doc.frames.frames(ch, SheetKind::Loop),
                doc.frames.frames(ch, SheetKind::Break), doc.sheets.channel(ch).mySong, doc.errors);
        });
    }
    const auto& c = doc.sheets.channels;
    buildFourChanView(c[0].mySong, c[1].mySong, c[2].mySong, c[3].mySong, doc.sheets.fourChan);
    return allShown;
}

}  // namespace kestra
