#include "editing/marker_line.h"

namespace kestra {

void clearLineValues(ChannelSheets& lines, int row) {
    initSheetRows(lines, row, row);
}

void toggleMarkerLine(ChannelSheets& lines, char mark, int row, bool force) {
    if (force || lines.music.cell(row, music::kNote) != markerText(mark, 3))
        setMarkerLine(lines, row, mark);
    else
        clearLineValues(lines, row);
}

bool isMusicMarkerRow(const ChannelSheets& lines, int row) {
    const std::string_view note = lines.music.cell(row, music::kNote);
    return note == "..." || note == "|||";
}

bool isGroupMarkerRow(const Sheet& sheet, int row) {
    const std::string_view first = sheet.cell(row, 3);
    return first == ".." || first == "||";
}

}  // namespace kestra
