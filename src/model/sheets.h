// The song held in memory: each channel's Music, Loop and Break sheets, the Show Song views,
// and the line set-up routines.
#pragma once

#include <array>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "model/sheet.h"
#include "model/song_rows.h"

namespace kestra {

constexpr int kChannelCount = 4;
enum Channel : int { kSquare1 = 0, kSquare2 = 1, kTriangle = 2, kNoise = 3 };

// Fixed settings of the row numbering.
constexpr bool kDecimalCounting = true;
constexpr int kCountWrap = 64;
constexpr int kBeatSpacing = 4;

// The most lines a channel's sheets hold; a longer stream is taken to be damaged.
constexpr int kMaxChannelLines = 65536;

// Width of the cell text of column col in a sheet of the given kind (Music, Loop, Break), or 0.
int cellWidth(SheetKind kind, int col);

struct ChannelSheets {
    Sheet music{SheetKind::Music};
    Sheet loop{SheetKind::Loop};
    Sheet brk{SheetKind::Break};

    int lineCount() const { return music.rowCount(); }
    Sheet& sheet(SheetKind kind);
    const Sheet& sheet(SheetKind kind) const;
    bool operator==(const ChannelSheets&) const = default;
};

// The seventeen sheets: Music, Loop and Break of each channel, which hold the song, and the
// MySong and FourChan views of its last Show Song. Music, Loop and Break of one channel always
// have the same row count.
struct Sheets {
    std::array<ChannelSheets, kChannelCount> channels;
    // Shared and never changed once made: copies of the sheets (undo) share it.
    std::shared_ptr<const ShownSong> shown = ShownSong::none();

    ChannelSheets& channel(int ch) { return channels[static_cast<size_t>(ch)]; }
    const ChannelSheets& channel(int ch) const { return channels[static_cast<size_t>(ch)]; }
    // The grid of kind on channel ch (FourChan ignores ch).
    const Grid& grid(int ch, SheetKind kind) const;
    bool operator==(const Sheets& other) const {
        return channels == other.channels && *shown == *other.shown;
    }
};

// Empty lines for rows first..last (inclusive) of one channel's three sheets; the rows must
// exist. An empty range does nothing.
void initSheetRows(ChannelSheets& ch, int first, int last);
// Adds n empty lines at the end of the three editable sheets.
void growSheetRows(int n, ChannelSheets& ch);
// Cuts the three editable sheets of a channel back to one empty line.
void resetChannelSheets(ChannelSheets& ch);

// Page-end marker lines: mark is '|' (page end) or '.' (early page end).
void setMarkerLine(ChannelSheets& ch, int row, char mark);
// True when every value cell of the line carries the marker.
bool isMarkerLine(const ChannelSheets& ch, int row, char mark);
// The marker text of a cell of the given width ("|||" for the Note cell and so on).
std::string markerText(char mark, int width);

// The list items of the frame combo box: "0" .. count-1.
std::vector<std::string> frameListItems(int count);

}  // namespace kestra
