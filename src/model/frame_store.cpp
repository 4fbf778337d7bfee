#include "model/frame_store.h"

#include <algorithm>
#include <cstring>

namespace kestra {

void FrameStore::reset() {
    frameCount = 1;
    currentFrame = 0;
    for (auto& ch : texts)
        for (auto& kind : ch) kind.assign(1, std::string());
}

int FrameStore::lineCount(int ch, int frame) const {
    const auto& f = frames(ch, SheetKind::Music);
    if (frame < 0 || frame >= static_cast<int>(f.size())) return 0;
    return static_cast<int>(f[static_cast<size_t>(frame)].size()) / kMusicRecordWidth;
}

namespace {

// Returns false when a cell does not have its fixed width (the record is then still written
// cell by cell, as the cells stand).
bool saveSheet(const Sheet& sheet, SheetKind kind, int lastCol, size_t width, std::string& out) {
    size_t widths[kMusicColumns] = {};
    for (int c = kFixedColumns; c <= lastCol; ++c)
        widths[c] = static_cast<size_t>(cellWidth(kind, c));
    out.resize(width * static_cast<size_t>(sheet.rowCount()));
    char* dst = out.data();
    bool exact = true;
    for (int r = 0; r < sheet.rowCount() && exact; ++r) {
        for (int c = kFixedColumns; c <= lastCol; ++c) {
            const std::string& cell = sheet.cell(r, c);
            if (cell.size() != widths[c]) {
                exact = false;
                break;
            }
            std::memcpy(dst, cell.data(), widths[c]);
            dst += widths[c];
        }
    }
    if (exact) return true;
    out.clear();
    for (int r = 0; r < sheet.rowCount(); ++r)
        for (int c = kFixedColumns; c <= lastCol; ++c) out.append(sheet.cell(r, c));
    return false;
}

void loadSheet(int lines, const std::string& text, SheetKind kind, int lastCol, size_t width,
               Sheet& sheet) {
    size_t widths[kMusicColumns] = {};
    for (int c = kFixedColumns; c <= lastCol; ++c)
        widths[c] = static_cast<size_t>(cellWidth(kind, c));
    const char* data = text.data();
    for (int r = 0; r < lines && r < sheet.rowCount(); ++r) {
        size_t pos = static_cast<size_t>(r) * width;
        for (int c = kFixedColumns; c <= lastCol; ++c) {
            std::string& cell = sheet.cell(r, c);
            size_t w = widths[c];
            if (pos + w <= text.size())
                cell.assign(data + pos, w);
            else if (pos < text.size())
                cell.assign(data + pos, text.size() - pos);
            else
                cell.clear();
            pos += w;
        }
    }
}

}  // namespace

bool saveFrame(const ChannelSheets& sheets, FrameStore& store, int ch, int frame) {
    bool exact = true;
    for (SheetKind kind : {SheetKind::Music, SheetKind::Loop, SheetKind::Break}) {
        auto& frames = store.frames(ch, kind);
        if (static_cast<int>(frames.size()) <= frame) frames.resize(static_cast<size_t>(frame) + 1);
        std::string& out = frames[static_cast<size_t>(frame)];
        switch (kind) {
            case SheetKind::Music:
                exact &= saveSheet(sheets.music, kind, kMusicColumns - 1, kMusicRecordWidth, out);
                break;
            case SheetKind::Loop:
                exact &= saveSheet(sheets.loop, kind, kLoopColumns - 1, kLoopRecordWidth, out);
                break;
            default:
                exact &= saveSheet(sheets.brk, kind, kBreakColumns - 1, kBreakRecordWidth, out);
                break;
        }
    }
    return exact;
}

bool keepsCellWidths(const ChannelSheets& sheets) {
    auto keeps = [](const Sheet& sheet, SheetKind kind) {
        size_t widths[kMusicColumns] = {};
        const int cols = std::min(sheet.columnCount(), kMusicColumns);
        for (int c = kFixedColumns; c < cols; ++c)
            widths[c] = static_cast<size_t>(cellWidth(kind, c));
        for (int r = 0; r < sheet.rowCount(); ++r)  // row by row, as the cells lie in memory
            for (int c = kFixedColumns; c < cols; ++c)
                if (sheet.cell(r, c).size() != widths[c]) return false;
        return true;
    };
    return keeps(sheets.music, SheetKind::Music) && keeps(sheets.loop, SheetKind::Loop) &&
           keeps(sheets.brk, SheetKind::Break);
}

void loadFrame(int lines, const FrameStore& store, int ch, int frame, ChannelSheets& sheets) {
    auto text = [&](SheetKind kind) -> const std::string& {
        static const std::string kNone;
        const auto& f = store.frames(ch, kind);
        return frame >= 0 && frame < static_cast<int>(f.size()) ? f[static_cast<size_t>(frame)]
                                                                : kNone;
    };
    if (lines <= 0) {
        initSheetRows(sheets, 0, 0);
        return;
    }
    loadSheet(lines, text(SheetKind::Music), SheetKind::Music, kMusicColumns - 1, kMusicRecordWidth,
              sheets.music);
    loadSheet(lines, text(SheetKind::Loop), SheetKind::Loop, kLoopColumns - 1, kLoopRecordWidth,
              sheets.loop);
    loadSheet(lines, text(SheetKind::Break), SheetKind::Break, kBreakColumns - 1, kBreakRecordWidth,
              sheets.brk);
}

void frameChange(Sheets& sheets, FrameStore& store, int newFrame) {
    bool exact = true;
    for (int ch = 0; ch < kChannelCount; ++ch)
        exact &= saveFrame(sheets.channel(ch), store, ch, store.currentFrame);
    int target = std::clamp(newFrame, 0, std::max(0, store.frameCount - 1));
    // Reloading the frame just saved changes nothing when every cell had its width: skip it,
    // it is most of the cost of storing a long song.
    if (target == store.currentFrame && exact) return;
    store.currentFrame = target;
    for (int ch = 0; ch < kChannelCount; ++ch) {
        int lines = store.lineCount(ch, store.currentFrame);
        ChannelSheets& cs = sheets.channel(ch);
        // A grid never has fewer than one row.
        int rows = std::max(1, lines);
        int before = cs.music.rowCount();
        cs.music.setRowCount(rows);
        cs.loop.setRowCount(rows);
        cs.brk.setRowCount(rows);
        // Rows that did not exist before get their counting columns, which loading leaves alone.
        for (int r = before; r < rows; ++r) {
            writeFixedColumns(cs.music, r);
            writeFixedColumns(cs.loop, r);
            writeFixedColumns(cs.brk, r);
        }
        loadFrame(lines, store, ch, store.currentFrame, cs);
    }
}

}  // namespace kestra
