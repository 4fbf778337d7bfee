#include "editing/line_commands.h"

#include <array>
#include <string>
#include <utility>
#include <vector>

#include "model/hex_text.h"
#include "model/result.h"

namespace kestra {

namespace {

constexpr const char* kAddTitle = "Add lines";
constexpr const char* kRemoveTitle = "Remove lines";

struct RefColumn {
    SheetKind sheet;
    int col;
    std::string_view suffix;
};
// The line reference cells, in the order a blocking reference is searched for.
constexpr std::array<RefColumn, 9> kRefColumns = {{
    {SheetKind::Loop, loop::line(1), " on loop frame, loop 1."},
    {SheetKind::Loop, loop::line(2), " on loop frame, loop 2."},
    {SheetKind::Loop, loop::line(3), " on loop frame, loop 3."},
    {SheetKind::Loop, loop::line(4), " on loop frame, loop 4."},
    {SheetKind::Loop, loop::kJumpLine, " on loop frame, jump."},
    {SheetKind::Break, brk::line(1), " on break frame, break 1."},
    {SheetKind::Break, brk::line(2), " on break frame, break 2."},
    {SheetKind::Break, brk::line(3), " on break frame, break 3."},
    {SheetKind::Break, brk::line(4), " on break frame, break 4."},
}};

// A line cell holding a number refers to that line; "----", "||||" and "...." do not.
std::optional<long long> referencedLine(std::string_view cell) {
    return tryDecTextToInt(cell);
}

int shiftThreshold(int line, AddWhere where, bool removing) {
    return (!removing && where == AddWhere::After) ? line + 1 : line;
}

bool isViewSheet(SheetKind kind) {
    return kind == SheetKind::MySong || kind == SheetKind::FourChan;
}

constexpr std::array<SheetKind, 3> kLineSheets = {SheetKind::Music, SheetKind::Loop,
                                                  SheetKind::Break};

// The checks both commands make on the number box and the selection, in their order. Returns
// the message of the first that fails.
std::optional<std::string_view> checkCommand(const LineCount& count, const Selection& sel) {
    if (count.status == LineCount::Status::Empty) return "Please enter something in the text zone.";
    if (count.status == LineCount::Status::NotNumber)
        return "Please enter a number in the text zone.";
    if (!sel.singleColumn()) return "Select the line ( one square only ).";
    if (count.value < 0) return "Enter a positive number.";
    return std::nullopt;
}

bool selectionOnLine(const Document& doc, const Selection& sel) {
    if (sel.channel < 0 || sel.channel >= kChannelCount) return false;
    return sel.row >= 0 && sel.row < doc.sheets.channel(sel.channel).lineCount();
}

constexpr std::string_view kViewRefusal = "Show the Music, Loop or Break sheet to choose the line.";

void touchAll(EditResult& result, const Document& doc, int ch, int musicFrom) {
    const int last = doc.sheets.channel(ch).lineCount() - 1;
    if (musicFrom <= last) result.touch(ch, SheetKind::Music, musicFrom, last);
    result.touch(ch, SheetKind::Loop, 0, last);
    result.touch(ch, SheetKind::Break, 0, last);
}

}  // namespace

LineCount parseLineCount(std::string_view text) {
    auto blank = [](char c) { return c == ' ' || c == '\t'; };
    while (!text.empty() && blank(text.front())) text.remove_prefix(1);
    while (!text.empty() && blank(text.back())) text.remove_suffix(1);
    LineCount out;
    if (text.empty()) return out;
    out.status = LineCount::Status::NotNumber;
    bool negative = false;
    if (text.front() == '+' || text.front() == '-') {
        negative = text.front() == '-';
        text.remove_prefix(1);
    }
    while (text.size() > 1 && text.front() == '0') text.remove_prefix(1);
    auto v = tryDecTextToInt(text);  // digits only, at most 18 of them
    if (!v) return out;
    out.status = LineCount::Status::Ok;
    out.value = negative ? -*v : *v;
    return out;
}

void shiftLineRefs(ChannelSheets& lines, int n, int line, AddWhere where, bool removing) {
    const int threshold = shiftThreshold(line, where, removing);
    for (const RefColumn& ref : kRefColumns) {
        Sheet& sheet = lines.sheet(ref.sheet);
        for (int r = 0; r < sheet.rowCount(); ++r) {
            auto v = referencedLine(sheet.cell(r, ref.col));
            if (!v || *v < threshold) continue;
            sheet.setCell(r, ref.col, intToDecText(removing ? *v - n : *v + n, 4));
        }
    }
}

int highestShiftedRef(const ChannelSheets& lines, int line, AddWhere where) {
    const int threshold = shiftThreshold(line, where, false);
    long long highest = -1;
    for (const RefColumn& ref : kRefColumns) {
        const Sheet& sheet = lines.sheet(ref.sheet);
        for (int r = 0; r < sheet.rowCount(); ++r) {
            auto v = referencedLine(sheet.cell(r, ref.col));
            if (v && *v >= threshold && *v > highest) highest = *v;
        }
    }
    return static_cast<int>(highest);
}

std::optional<BlockingRef> findBlockingRef(const ChannelSheets& lines, int n, int first) {
    const int rows = lines.loop.rowCount();
    for (const RefColumn& ref : kRefColumns) {
        const Sheet& sheet = lines.sheet(ref.sheet);
        for (int r = 0; r < rows && r < sheet.rowCount(); ++r) {
            if (r >= first && r < first + n) continue;  // deleted with the block
            auto v = referencedLine(sheet.cell(r, ref.col));
            if (v && *v >= first && *v < static_cast<long long>(first) + n)
                return BlockingRef{r, ref.suffix};
        }
    }
    return std::nullopt;
}

namespace {

// The checks "Add lines" and "Remove Line" share, in their order.
Status checkLineCommand(const Document& doc, const Selection& sel, const LineCount& count) {
    if (isViewSheet(sel.sheet)) return Status::failure(std::string(kViewRefusal));
    if (auto message = checkCommand(count, sel)) return Status::failure(std::string(*message));
    if (!selectionOnLine(doc, sel)) return Status::failure("Select the line ( one square only ).");
    return Status::done();
}

}  // namespace

EditResult addLines(Document& doc, const Selection& sel, std::string_view countText, AddWhere where,
                    MessagePort* messages) {
    EditResult result;
    auto refuse = [&](std::string_view message) {
        if (messages) messages->messageBox(kAddTitle, std::string(message));
        return result;
    };
    const LineCount count = parseLineCount(countText);
    if (auto may = checkLineCommand(doc, sel, count); !may) return refuse(may.error());

    const int ch = sel.channel;
    ChannelSheets& lines = doc.sheets.channel(ch);
    const int old = lines.lineCount();
    if (count.value > kMaxChannelLines - old)
        return refuse("A channel can't have more than " + std::to_string(kMaxChannelLines) +
                      " lines.");
    const int n = static_cast<int>(count.value);
    const int highest = highestShiftedRef(lines, sel.row, where);
    if (highest >= 0 && highest + n > kMaxLineReference)
        return refuse("A loop, jump or break would point beyond line " +
                      std::to_string(kMaxLineReference) + ".");

    if (n == 0) return result;
    const int at = sel.row + static_cast<int>(where);
    for (SheetKind kind : kLineSheets) lines.sheet(kind).insertRows(at, n);
    shiftLineRefs(lines, n, sel.row, where, false);
    result.rows = RowsMoved{RowsMoved::Kind::Inserted, ch, at, n};
    touchAll(result, doc, ch, at);
    return result;
}

EditResult removeLines(Document& doc, const Selection& sel, std::string_view countText,
                       MessagePort* messages) {
    EditResult result;
    auto refuse = [&](std::string_view message) {
        if (messages) messages->messageBox(kRemoveTitle, std::string(message));
        return result;
    };
    const LineCount count = parseLineCount(countText);
    if (auto may = checkLineCommand(doc, sel, count); !may) return refuse(may.error());

    const int ch = sel.channel;
    ChannelSheets& lines = doc.sheets.channel(ch);
    const int rows = lines.lineCount();
    if (count.value >= rows) return refuse("You can't remove all the lines.");
    const int n = static_cast<int>(count.value);
    if (n > rows - sel.row)
        return refuse(
            "You can't delete 'x' lines if you don't have at least 'x' lines from where you "
            "delete.");
    if (auto blocking = findBlockingRef(lines, n, sel.row))
        return refuse("You can't delete lines on which you loop, jump or break! See line " +
                      std::to_string(blocking->line) + std::string(blocking->suffix));

    if (n == 0) return result;
    for (SheetKind kind : kLineSheets) lines.sheet(kind).removeRows(sel.row, n);
    shiftLineRefs(lines, n, sel.row, AddWhere::Before, true);
    result.rows = RowsMoved{RowsMoved::Kind::Removed, ch, sel.row, n};
    touchAll(result, doc, ch, sel.row);
    if (sel.row >= lines.lineCount()) {
        Selection moved = sel;
        moved.row = lines.lineCount() - 1;
        result.selection = moved;
    }
    return result;
}

}  // namespace kestra
