#include "model/undo_step.h"

#include <utility>

namespace kestra {

namespace {

constexpr SheetKind kLineKinds[] = {SheetKind::Music, SheetKind::Loop, SheetKind::Break};

std::string readCell(const std::string& packed, size_t& pos) {
    size_t length = 0;
    for (int shift = 0; pos < packed.size(); shift += 7) {
        auto byte = static_cast<unsigned char>(packed[pos++]);
        length |= static_cast<size_t>(byte & 0x7F) << shift;
        if (!(byte & 0x80)) break;
    }
    length = std::min(length, packed.size() - pos);
    std::string cell = packed.substr(pos, length);
    pos += length;
    return cell;
}

size_t readCount(const std::string& packed, size_t& pos) {
    std::string digits = readCell(packed, pos);
    return digits.empty() ? 0 : std::stoul(digits);
}

void unpackSheetAt(const std::string& packed, size_t& pos, Sheet& sheet) {
    int rows = static_cast<int>(readCount(packed, pos));
    sheet.setRowCount(rows);
    for (int r = 0; r < rows; ++r)
        for (int c = 0; c < sheet.columnCount(); ++c) sheet.cell(r, c) = readCell(packed, pos);
}

// Rotates the numbering cells of rows first..last-1 so that row `middle` comes first.
void rotateFixed(Sheet& sheet, int first, int middle, int last) {
    auto reverse = [&](int a, int b) {
        for (--b; a < b; ++a, --b)
            for (int c = 0; c < kFixedColumns; ++c) std::swap(sheet.cell(a, c), sheet.cell(b, c));
    };
    reverse(first, middle);
    reverse(middle, last);
    reverse(first, last);
}

// Inserts count lines at `at` into the channel's three sheets: value cells from `values`, the
// numbering cells of the rows that grow at the end from `tail`; the numbering stays by row.
void insertLines(ChannelSheets& ch, int at, int count, const std::string& values,
                 const std::string& tail) {
    size_t vpos = 0, tpos = 0;
    for (SheetKind kind : kLineKinds) {
        Sheet& s = ch.sheet(kind);
        const int old = s.rowCount();
        s.insertRows(at, count);
        for (int r = at; r < at + count; ++r) {
            for (int c = kFixedColumns; c < s.columnCount(); ++c)
                s.cell(r, c) = readCell(values, vpos);
            for (int c = 0; c < kFixedColumns; ++c) s.cell(r, c) = readCell(tail, tpos);
        }
        rotateFixed(s, at, at + count, old + count);
    }
}

void removeLines(ChannelSheets& ch, int at, int count) {
    for (SheetKind kind : kLineKinds) {
        Sheet& s = ch.sheet(kind);
        const int old = s.rowCount();
        rotateFixed(s, at, old - count, old);
        s.removeRows(at, count);
    }
}

bool rowsAre(const ChannelSheets& ch, int rows) {
    return ch.music.rowCount() == rows && ch.loop.rowCount() == rows && ch.brk.rowCount() == rows;
}

void unpackChannel(const std::string& packed, ChannelSheets& ch) {
    size_t pos = 0;
    for (SheetKind kind : kLineKinds) unpackSheetAt(packed, pos, ch.sheet(kind));
}

void unpackViews(const std::string& packed, Sheets& sheets) {
    size_t pos = 0;
    for (auto& ch : sheets.channels) unpackSheetAt(packed, pos, ch.mySong);
    unpackSheetAt(packed, pos, sheets.fourChan);
}

void setCells(Sheets& sheets, const ChannelChange& c, bool forward) {
    ChannelSheets& ch = sheets.channel(c.channel);
    for (const CellChange& cell : c.cells) {
        Sheet& s = ch.sheet(static_cast<SheetKind>(cell.kind));
        if (s.inRange(cell.row, cell.column))
            s.cell(cell.row, cell.column) = forward ? cell.after : cell.before;
    }
}

std::string* frameText(FrameStore& store, const TextChange& t) {
    auto& frames = store.frames(t.channel, static_cast<SheetKind>(t.kind));
    return t.frame < frames.size() ? &frames[t.frame] : nullptr;
}

size_t heap(const std::string& s) {
    return s.capacity() > 15 ? s.capacity() : 0;
}

}  // namespace

void packCell(std::string& out, const std::string& cell) {
    size_t n = cell.size();
    do {
        auto byte = static_cast<unsigned char>(n & 0x7F);
        n >>= 7;
        out.push_back(static_cast<char>(n ? byte | 0x80 : byte));
    } while (n);
    out += cell;
}

std::string packSheet(const Sheet& sheet) {
    std::string out;
    packCell(out, std::to_string(sheet.rowCount()));
    for (int r = 0; r < sheet.rowCount(); ++r)
        for (int c = 0; c < sheet.columnCount(); ++c) packCell(out, sheet.cell(r, c));
    return out;
}

void unpackSheet(const std::string& packed, Sheet& sheet) {
    size_t pos = 0;
    unpackSheetAt(packed, pos, sheet);
}

bool UndoStep::empty() const {
    return channels.empty() && texts.empty() && !storeBefore && !viewsBefore &&
           frameCountBefore == frameCountAfter && currentFrameBefore == currentFrameAfter;
}

size_t UndoStep::bytes() const {
    size_t total = sizeof(UndoStep);
    for (const auto& c : channels) {
        total += sizeof(ChannelChange) + heap(c.lineValues) + heap(c.tailFixed);
        total += c.cells.capacity() * sizeof(CellChange);
        for (const auto& cell : c.cells) total += heap(cell.before) + heap(cell.after);
        if (c.wholeBefore) total += heap(*c.wholeBefore) + heap(*c.wholeAfter);
    }
    for (const auto& t : texts) {
        total += sizeof(TextChange) + heap(t.removed) + heap(t.inserted);
        total += t.runs.capacity() * sizeof(TextRun);
        for (const auto& r : t.runs) total += heap(r.before) + heap(r.after);
    }
    for (const auto* store : {&storeBefore, &storeAfter}) {
        if (!*store) continue;
        total += sizeof(FrameStore);
        for (const auto& ch : (*store)->texts)
            for (const auto& kind : ch)
                for (const auto& frame : kind) total += sizeof(std::string) + heap(frame);
    }
    if (viewsBefore) total += heap(*viewsBefore) + heap(*viewsAfter);
    for (const auto* memory : {&memoryBefore, &memoryAfter}) {
        if (!*memory) continue;
        for (const auto& ch : **memory) {
            if (!ch) continue;
            total += sizeof(ChannelMemory) + ch->bytes.capacity() +
                     ch->lines.capacity() * sizeof(LineMemory);
            for (const auto& line : ch->lines) total += heap(line.visible);
        }
    }
    return total;
}

bool UndoStep::applyForward(Sheets& sheets, FrameStore& store) const {
    for (const auto& c : channels)
        if (!c.wholeBefore && !rowsAre(sheets.channel(c.channel), c.rowsBefore)) return false;
    for (const auto& c : channels) {
        ChannelSheets& ch = sheets.channel(c.channel);
        if (c.wholeAfter) {
            unpackChannel(*c.wholeAfter, ch);
            continue;
        }
        if (c.rowsAfter > c.rowsBefore)
            insertLines(ch, c.at, c.rowsAfter - c.rowsBefore, c.lineValues, c.tailFixed);
        else if (c.rowsAfter < c.rowsBefore)
            removeLines(ch, c.at, c.rowsBefore - c.rowsAfter);
        setCells(sheets, c, true);
    }
    if (viewsAfter) unpackViews(*viewsAfter, sheets);
    if (storeAfter) store = *storeAfter;
    for (const auto& t : texts) {
        std::string* text = frameText(store, t);
        if (!text || t.at > text->size()) continue;
        text->replace(t.at, t.removed.size(), t.inserted);
        for (const auto& r : t.runs)
            if (r.at <= text->size()) text->replace(r.at, r.before.size(), r.after);
    }
    store.frameCount = frameCountAfter;
    store.currentFrame = currentFrameAfter;
    return true;
}

bool UndoStep::applyBackward(Sheets& sheets, FrameStore& store) const {
    for (const auto& c : channels)
        if (!c.wholeAfter && !rowsAre(sheets.channel(c.channel), c.rowsAfter)) return false;
    for (const auto& c : channels) {
        ChannelSheets& ch = sheets.channel(c.channel);
        if (c.wholeBefore) {
            unpackChannel(*c.wholeBefore, ch);
            continue;
        }
        setCells(sheets, c, false);
        if (c.rowsAfter > c.rowsBefore)
            removeLines(ch, c.at, c.rowsAfter - c.rowsBefore);
        else if (c.rowsAfter < c.rowsBefore)
            insertLines(ch, c.at, c.rowsBefore - c.rowsAfter, c.lineValues, c.tailFixed);
    }
    if (viewsBefore) unpackViews(*viewsBefore, sheets);
    if (storeBefore) store = *storeBefore;
    for (const auto& t : texts) {
        std::string* text = frameText(store, t);
        if (!text) continue;
        for (const auto& r : t.runs)
            if (r.at <= text->size()) text->replace(r.at, r.after.size(), r.before);
        if (t.at <= text->size()) text->replace(t.at, t.inserted.size(), t.removed);
    }
    store.frameCount = frameCountBefore;
    store.currentFrame = currentFrameBefore;
    return true;
}

}  // namespace kestra
