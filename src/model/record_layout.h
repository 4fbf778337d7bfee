// The one description of a line record: for each editable sheet kind, where each column's text
// sits in the fixed-width record of a line, how wide it is and what it holds when nothing is
// set. Sheets, the frame texts, the encoder, the walk and the line commands all read it here.
#pragma once

#include <array>
#include <cstddef>
#include <string_view>

namespace kestra {

enum class SheetKind : int { Music = 0, Loop = 1, Break = 2, MySong = 3, FourChan = 4 };

constexpr int kMusicColumns = 18;
constexpr int kLoopColumns = 17;
constexpr int kBreakColumns = 15;
constexpr int kSongColumns = 21;
constexpr int kFourChanColumns = 18;
// Columns 0-2 number the rows (line number, beat marker, count): computed, never stored.
constexpr int kFixedColumns = 3;

// Music sheet columns.
namespace music {
constexpr int kNote = 3, kVol = 4, kIns = 5, kOct = 6, kTLg = 7, kPitch = 8, kSld = 9, kFlag = 10,
              kTnTp = 11, kTrans = 12, kTrAll = 13, kSpeed1 = 14, kSpeed2 = 15, kTrip = 16,
              kPlus = 17;
constexpr int kFirstValue = 5, kLastValue = 17;
}  // namespace music

// Loop sheet: loop k (1-4) count/frame/line at columns 3k, 3k+1, 3k+2; jump frame/line at 15, 16.
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

// Break sheet: break k (1-4) flag/frame/line at columns 3k, 3k+1, 3k+2.
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

// Record widths of one line.
constexpr int kMusicRecordWidth = 30;
constexpr int kLoopRecordWidth = 38;
constexpr int kBreakRecordWidth = 32;

// In the Loop and Break records each of the four groups is 8 characters: count (or flag) 2,
// frame 2, line 4; the jump's frame and line follow the loops.
constexpr size_t groupOffset(int k) {
    return 8 * static_cast<size_t>(k - 1);
}
constexpr size_t kGroupFrame = 2, kGroupLine = 4;
constexpr size_t kJumpOffset = 32;

struct ColumnLayout {
    int offset = 0;
    int width = 0;  // 0: a numbering column, not in the record
    std::string_view empty;
};

struct RecordLayout {
    int columns = 0;
    int width = 0;  // record width
    std::array<ColumnLayout, kMusicColumns> cols{};
    std::string_view emptyRecord;  // every cell at its empty text
};

namespace detail {
constexpr RecordLayout musicLayout() {
    RecordLayout l{kMusicColumns, kMusicRecordWidth, {}, {}};
    l.cols[music::kNote] = {0, 3, "---"};
    l.cols[music::kVol] = {3, 1, "-"};
    for (int c = music::kFirstValue; c <= music::kLastValue; ++c) l.cols[c] = {4 + 2 * (c - 5), 2, "--"};
    l.emptyRecord = "------------------------------";
    return l;
}
constexpr RecordLayout groupLayout(int columns, int width, bool jump) {
    RecordLayout l{columns, width, {}, {}};
    for (int k = 1; k <= 4; ++k) {
        const int at = static_cast<int>(groupOffset(k));
        l.cols[3 * k] = {at, 2, "--"};
        l.cols[3 * k + 1] = {at + 2, 2, "--"};
        l.cols[3 * k + 2] = {at + 4, 4, kEmptyLineCell};
    }
    if (jump) {
        l.cols[loop::kJumpFrame] = {static_cast<int>(kJumpOffset), 2, "--"};
        l.cols[loop::kJumpLine] = {static_cast<int>(kJumpOffset) + 2, 4, kEmptyLineCell};
    }
    l.emptyRecord = std::string_view("--------------------------------------", width);
    return l;
}
}  // namespace detail

inline constexpr RecordLayout kMusicLayout = detail::musicLayout();
inline constexpr RecordLayout kLoopLayout = detail::groupLayout(kLoopColumns, kLoopRecordWidth, true);
inline constexpr RecordLayout kBreakLayout =
    detail::groupLayout(kBreakColumns, kBreakRecordWidth, false);

// Every empty record is dashes only, so empty lines are made by filling.
static_assert(kMusicLayout.emptyRecord.find_first_not_of('-') == std::string_view::npos &&
              kLoopLayout.emptyRecord.find_first_not_of('-') == std::string_view::npos &&
              kBreakLayout.emptyRecord.find_first_not_of('-') == std::string_view::npos);

// The layout of an editable kind (Music, Loop, Break); other kinds get the Music layout.
constexpr const RecordLayout& layoutOf(SheetKind kind) {
    return kind == SheetKind::Loop    ? kLoopLayout
           : kind == SheetKind::Break ? kBreakLayout
                                      : kMusicLayout;
}

// The text of column col in a line record of the given layout ("" for a numbering column).
constexpr std::string_view fieldOf(std::string_view record, const RecordLayout& layout, int col) {
    const ColumnLayout& c = layout.cols[static_cast<size_t>(col)];
    return record.substr(static_cast<size_t>(c.offset), static_cast<size_t>(c.width));
}

}  // namespace kestra
