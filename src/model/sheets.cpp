#include "model/sheets.h"

#include "model/hex_text.h"

namespace kestra {

int cellWidth(SheetKind kind, int col) {
    switch (kind) {
        case SheetKind::Music:
            if (col == music::kNote) return 3;
            if (col == music::kVol) return 1;
            return (col >= music::kIns && col <= music::kPlus) ? 2 : 0;
        case SheetKind::Loop:
            if (col < 3 || col > loop::kJumpLine) return 0;
            return isLineColumn(kind, col) ? 4 : 2;
        case SheetKind::Break:
            if (col < 3 || col > brk::line(4)) return 0;
            return isLineColumn(kind, col) ? 4 : 2;
        default:
            return 0;
    }
}

bool isLineColumn(SheetKind kind, int col) {
    if (kind == SheetKind::Loop) return col == 5 || col == 8 || col == 11 || col == 14 || col == 16;
    if (kind == SheetKind::Break) return col == 5 || col == 8 || col == 11 || col == 14;
    return false;
}

std::string_view defaultCellText(SheetKind kind, int col) {
    switch (cellWidth(kind, col)) {
        case 1:
            return "-";
        case 2:
            return "--";
        case 3:
            return "---";
        case 4:
            return kEmptyLineCell;
        default:
            return "";
    }
}

Sheet& ChannelSheets::sheet(SheetKind kind) {
    switch (kind) {
        case SheetKind::Loop:
            return loop;
        case SheetKind::Break:
            return brk;
        case SheetKind::MySong:
            return mySong;
        default:
            return music;
    }
}

const Sheet& ChannelSheets::sheet(SheetKind kind) const {
    return const_cast<ChannelSheets*>(this)->sheet(kind);
}

ChannelSheets::ChannelSheets() {
    initSheetRows(*this, 0, 0);
}

Sheets::Sheets() = default;

Sheet& Sheets::grid(int ch, SheetKind kind) {
    if (kind == SheetKind::FourChan) return fourChan;
    return channel(ch).sheet(kind);
}

const Sheet& Sheets::grid(int ch, SheetKind kind) const {
    return const_cast<Sheets*>(this)->grid(ch, kind);
}

void writeFixedColumns(Sheet& sheet, int row) {
    sheet.setCell(row, 0, intToDecText(row, 3));
    int count = row % kCountWrap;
    if (row % kBeatSpacing == 0)
        sheet.setCell(row, 1, count == 0 ? "-0-" : "--");
    else if (count == 0)
        sheet.setCell(row, 1, "-0-");
    sheet.setCell(row, 2, intToDecText(count, 3));
}

void initSheetRows(ChannelSheets& ch, int first, int last) {
    // Runs for every line a song is read into, so the texts are made once per row and assigned
    // in place rather than built per cell.
    std::string number, count;
    for (int r = first; r <= last; ++r) {
        number = intToDecText(r, 3);
        int c64 = r % kCountWrap;
        count = intToDecText(c64, 3);
        const char* beat = nullptr;
        if (r % kBeatSpacing == 0)
            beat = c64 == 0 ? "-0-" : "--";
        else if (c64 == 0)
            beat = "-0-";
        for (Sheet* sheet : {&ch.music, &ch.loop, &ch.brk}) {
            sheet->cell(r, 0).assign(number);
            if (beat) sheet->cell(r, 1).assign(beat);
            sheet->cell(r, 2).assign(count);
        }
        ch.music.cell(r, music::kNote).assign("---");
        ch.music.cell(r, music::kVol).assign("-");
        for (int c = music::kFirstValue; c <= music::kLastValue; ++c)
            ch.music.cell(r, c).assign("--");
        for (int k = 1; k <= 4; ++k) {
            ch.loop.cell(r, loop::count(k)).assign("--");
            ch.loop.cell(r, loop::frame(k)).assign("--");
            ch.loop.cell(r, loop::line(k)).assign(kEmptyLineCell);
            ch.brk.cell(r, brk::flag(k)).assign("--");
            ch.brk.cell(r, brk::frame(k)).assign("--");
            ch.brk.cell(r, brk::line(k)).assign(kEmptyLineCell);
        }
        ch.loop.cell(r, loop::kJumpFrame).assign("--");
        ch.loop.cell(r, loop::kJumpLine).assign(kEmptyLineCell);
    }
}

void growSheetRows(int n, ChannelSheets& ch) {
    ch.music.setRowCount(ch.music.rowCount() + n);
    ch.loop.setRowCount(ch.loop.rowCount() + n);
    ch.brk.setRowCount(ch.brk.rowCount() + n);
}

void resetChannelSheets(ChannelSheets& ch) {
    ch.music.setRowCount(1);
    ch.loop.setRowCount(1);
    ch.brk.setRowCount(1);
    initSheetRows(ch, 0, 0);
}

std::string markerText(char mark, int width) {
    return std::string(static_cast<size_t>(width), mark);
}

void setMarkerLine(ChannelSheets& ch, int row, char mark) {
    for (int c = music::kNote; c <= music::kLastValue; ++c)
        ch.music.setCell(row, c, markerText(mark, cellWidth(SheetKind::Music, c)));
    for (int c = 3; c < kLoopColumns; ++c)
        ch.loop.setCell(row, c, markerText(mark, cellWidth(SheetKind::Loop, c)));
    for (int c = 3; c < kBreakColumns; ++c)
        ch.brk.setCell(row, c, markerText(mark, cellWidth(SheetKind::Break, c)));
}

bool isMarkerLine(const ChannelSheets& ch, int row, char mark) {
    for (int c = music::kNote; c <= music::kLastValue; ++c)
        if (ch.music.cell(row, c) != markerText(mark, cellWidth(SheetKind::Music, c))) return false;
    for (int c = 3; c < kLoopColumns; ++c)
        if (ch.loop.cell(row, c) != markerText(mark, cellWidth(SheetKind::Loop, c))) return false;
    for (int c = 3; c < kBreakColumns; ++c)
        if (ch.brk.cell(row, c) != markerText(mark, cellWidth(SheetKind::Break, c))) return false;
    return true;
}

namespace {
std::string record(const Sheet& sheet, int row, int firstCol, int lastCol, size_t width) {
    std::string out;
    out.reserve(width);
    for (int c = firstCol; c <= lastCol; ++c) out += sheet.cell(row, c);
    return out;
}
}  // namespace

std::string musicRecord(const Sheet& m, int row) {
    return record(m, row, 3, kMusicColumns - 1, kMusicRecordWidth);
}
std::string loopRecord(const Sheet& l, int row) {
    return record(l, row, 3, kLoopColumns - 1, kLoopRecordWidth);
}
std::string breakRecord(const Sheet& b, int row) {
    return record(b, row, 3, kBreakColumns - 1, kBreakRecordWidth);
}

std::vector<std::string> frameListItems(int count) {
    std::vector<std::string> items;
    for (int i = 0; i < count; ++i) items.push_back(std::to_string(i));
    return items;
}

}  // namespace kestra
