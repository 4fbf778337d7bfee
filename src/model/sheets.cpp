#include "model/sheets.h"

namespace kestra {

int cellWidth(SheetKind kind, int col) {
    if (kind != SheetKind::Music && kind != SheetKind::Loop && kind != SheetKind::Break) return 0;
    const RecordLayout& l = layoutOf(kind);
    return col >= 0 && col < l.columns ? l.cols[static_cast<size_t>(col)].width : 0;
}

Sheet& ChannelSheets::sheet(SheetKind kind) {
    switch (kind) {
        case SheetKind::Loop:
            return loop;
        case SheetKind::Break:
            return brk;
        default:
            return music;
    }
}

const Sheet& ChannelSheets::sheet(SheetKind kind) const {
    return const_cast<ChannelSheets*>(this)->sheet(kind);
}

const Grid& Sheets::grid(int ch, SheetKind kind) const {
    if (kind == SheetKind::FourChan) return shown->fourChan();
    if (kind == SheetKind::MySong) return shown->channels[static_cast<size_t>(ch)];
    return channel(ch).sheet(kind);
}

void initSheetRows(ChannelSheets& ch, int first, int last) {
    for (int r = first; r <= last; ++r)
        for (Sheet* s : {&ch.music, &ch.loop, &ch.brk}) s->clearLine(r);
}

void growSheetRows(int n, ChannelSheets& ch) {
    for (Sheet* s : {&ch.music, &ch.loop, &ch.brk}) s->setRowCount(s->rowCount() + n);
}

void resetChannelSheets(ChannelSheets& ch) {
    for (Sheet* s : {&ch.music, &ch.loop, &ch.brk}) {
        s->setRowCount(1);
        s->clearLine(0);
    }
}

std::string markerText(char mark, int width) {
    return std::string(static_cast<size_t>(width), mark);
}

void setMarkerLine(ChannelSheets& ch, int row, char mark) {
    // Every value cell filled with the mark is the whole record filled with it.
    for (Sheet* s : {&ch.music, &ch.loop, &ch.brk})
        s->setRecord(row, markerText(mark, s->layout().width));
}

bool isMarkerLine(const ChannelSheets& ch, int row, char mark) {
    for (const Sheet* s : {&ch.music, &ch.loop, &ch.brk})
        if (s->record(row).find_first_not_of(mark) != std::string_view::npos) return false;
    return true;
}

std::vector<std::string> frameListItems(int count) {
    std::vector<std::string> items;
    for (int i = 0; i < count; ++i) items.push_back(std::to_string(i));
    return items;
}

}  // namespace kestra
