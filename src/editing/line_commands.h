// "Add lines" and "Remove Line": the pieces behind them, open to tests and benchmarks. The two
// commands themselves are declared with the rest of the editing session (sheet_editing.h).
#pragma once

#include <optional>
#include <string_view>

#include "editing/sheet_editing.h"

namespace kestra {

// The number box (txtNbLineAdd) read as a line count. Blanks around the number are ignored; an
// optional sign and decimal digits are accepted, nothing else.
struct LineCount {
    enum class Status { Ok, Empty, NotNumber };
    Status status = Status::Empty;
    long long value = 0;
};
LineCount parseLineCount(std::string_view text);

// The highest line a loop, jump or break line cell can hold (four decimal digits).
constexpr int kMaxLineReference = 9999;

// Renumbers the line references of the channel after n lines were added at `line` (before or
// after it) or removed from `line` on: references at or behind the place of change follow their
// lines.
void shiftLineRefs(ChannelSheets& lines, int n, int line, AddWhere where, bool removing);
// The highest reference that adding n lines at `line` would move, or -1 when none moves.
int highestShiftedRef(const ChannelSheets& lines, int line, AddWhere where);

struct BlockingRef {
    int line = 0;             // the line that holds the reference
    std::string_view suffix;  // names the cell: " on loop frame, loop 1." ...
};
// A reference held outside lines first..first+n-1 that points into them, in the order loops 1-4,
// jump, breaks 1-4, each scanned from line 0.
std::optional<BlockingRef> findBlockingRef(const ChannelSheets& lines, int n, int first);

}  // namespace kestra
