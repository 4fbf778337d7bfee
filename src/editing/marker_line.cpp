#include "editing/marker_line.h"

namespace kestra {

namespace {

void resetValues(Sheet& sheet, SheetKind kind, int row) {
    for (int c = kFixedColumns; c < sheet.columnCount(); ++c)
        sheet.setCell(row, c, std::string(defaultCellText(kind, c)));
}

}  // namespace

void clearLineValues(ChannelSheets& lines, int row) {
    resetValues(lines.music, SheetKind::Music, row);
    resetValues(lines.loop, SheetKind::Loop, row);
    resetValues(lines.brk, SheetKind::Break, row);
}

void toggleMarkerLine(ChannelSheets& lines, char mark, int row, bool force) {
    if (force || lines.music.cell(row, music::kNote) != markerText(mark, 3))
        setMarkerLine(lines, row, mark);
    else
        clearLineValues(lines, row);
}

bool isMusicMarkerRow(const ChannelSheets& lines, int row) {
    const std::string& note = lines.music.cell(row, music::kNote);
    return note == "..." || note == "|||";
}

bool isGroupMarkerRow(const Sheet& sheet, int row) {
    const std::string& first = sheet.cell(row, 3);
    return first == ".." || first == "||";
}

}  // namespace kestra
