// The song held in memory: the seventeen sheets (Music, Loop, Break and MySong per channel, and
// FourChan), their column layout and default texts, and the row set-up routines.
#pragma once

#include <array>
#include <string>
#include <string_view>
#include <vector>

#include "model/sheet.h"

namespace kestra {

constexpr int kChannelCount = 4;
enum Channel : int { kSquare1 = 0, kSquare2 = 1, kTriangle = 2, kNoise = 3 };

enum class SheetKind : int { Music = 0, Loop = 1, Break = 2, MySong = 3, FourChan = 4 };

constexpr int kMusicColumns = 18;
constexpr int kLoopColumns = 17;
constexpr int kBreakColumns = 15;
constexpr int kSongColumns = 21;
constexpr int kFourChanColumns = 18;
constexpr int kFixedColumns = 3;

// Music sheet columns.
namespace music {
constexpr int kNote = 3, kVol = 4, kIns = 5, kOct = 6, kTLg = 7, kPitch = 8, kSld = 9, kFlag = 10,
              kTnTp = 11, kTrans = 12, kTrAll = 13, kSpeed1 = 14, kSpeed2 = 15, kTrip = 16,
              kPlus = 17;
constexpr int kFirstValue = 5, kLastValue = 17;
}  // namespace music

// Loop sheet: loop k (1-4) count/frame/line at 3k, 3k+1, 3k+2; jump frame/line at 15, 16.
namespace loop {
constexpr int count(int k) {
    return 3 * k;
}
constexpr int frame(int k) {
    return 3 * k + 1;
}
constexpr int line(int k) {
    return 3 * k + 2;
}
constexpr int kJumpFrame = 15, kJumpLine = 16;
}  // namespace loop

// Break sheet: break k (1-4) flag/frame/line at 3k, 3k+1, 3k+2.
namespace brk {
constexpr int flag(int k) {
    return 3 * k;
}
constexpr int frame(int k) {
    return 3 * k + 1;
}
constexpr int line(int k) {
    return 3 * k + 2;
}
}  // namespace brk

// MySong extra columns.
namespace song {
constexpr int kCurrentOctave = 18, kFrame = 19, kLine = 20;
}

inline constexpr std::string_view kEmptyLineCell = "----";
inline constexpr std::string_view kEndLineCell = "||||";

// Fixed settings of the row numbering.
constexpr bool kDecimalCounting = true;
constexpr int kCountWrap = 64;
constexpr int kBeatSpacing = 4;

// The most lines a channel's sheets hold; a longer stream is taken to be damaged.
constexpr int kMaxChannelLines = 65536;

// Record widths of one line in the frame store.
constexpr int kMusicRecordWidth = 30;
constexpr int kLoopRecordWidth = 38;
constexpr int kBreakRecordWidth = 32;

// Width of the cell text of column col in a sheet of the given kind (Music, Loop, Break), or 0.
int cellWidth(SheetKind kind, int col);
// The default ("nothing set") text of a value cell.
std::string_view defaultCellText(SheetKind kind, int col);
// True for the Loop/Break line cells (four decimal digits).
bool isLineColumn(SheetKind kind, int col);

struct ChannelSheets {
    Sheet music{kMusicColumns};
    Sheet loop{kLoopColumns};
    Sheet brk{kBreakColumns};
    Sheet mySong{kSongColumns};

    ChannelSheets();  // one default line
    int lineCount() const { return music.rowCount(); }
    Sheet& sheet(SheetKind kind);
    const Sheet& sheet(SheetKind kind) const;
    bool operator==(const ChannelSheets&) const = default;
};

// The seventeen sheets. Music, Loop and Break of one channel always have the same row count.
struct Sheets {
    std::array<ChannelSheets, kChannelCount> channels;
    Sheet fourChan{kFourChanColumns};

    Sheets();  // one default line per channel, as at start-up
    ChannelSheets& channel(int ch) { return channels[static_cast<size_t>(ch)]; }
    const ChannelSheets& channel(int ch) const { return channels[static_cast<size_t>(ch)]; }
    // The grid of kind on channel ch (FourChan ignores ch).
    Sheet& grid(int ch, SheetKind kind);
    const Sheet& grid(int ch, SheetKind kind) const;
    bool operator==(const Sheets&) const = default;
};

// Column 0-2 texts of a row: line number, beat marker, count.
void writeFixedColumns(Sheet& sheet, int row);
// Fixed columns and default texts for rows first..last (inclusive) of one channel's three sheets.
// The rows must exist. An empty range does nothing.
void initSheetRows(ChannelSheets& ch, int first, int last);
// Adds n rows at the end of the three editable sheets (texts left to initSheetRows).
void growSheetRows(int n, ChannelSheets& ch);
// Cuts the three editable sheets of a channel back to one default line.
void resetChannelSheets(ChannelSheets& ch);

// Page-end marker lines: mark is '|' (page end) or '.' (early page end).
void setMarkerLine(ChannelSheets& ch, int row, char mark);
// True when every value cell of the line carries the marker.
bool isMarkerLine(const ChannelSheets& ch, int row, char mark);
// The marker text of a cell of the given width ("|||" for the Note cell and so on).
std::string markerText(char mark, int width);

// The frame-store records of one line.
std::string musicRecord(const Sheet& music, int row);
std::string loopRecord(const Sheet& loop, int row);
std::string breakRecord(const Sheet& brk, int row);

// The list items of the frame combo box: "0" .. count-1.
std::vector<std::string> frameListItems(int count);

}  // namespace kestra
