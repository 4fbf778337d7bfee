#include "model/undo_recorder.h"

#include <algorithm>
#include <utility>

#include "model/packed_lines.h"

namespace kestra {

namespace {

constexpr SheetKind kLineKinds[] = {SheetKind::Music, SheetKind::Loop, SheetKind::Break};

// Two sequences of lengths na and nb are matched up with one block of |nb - na| elements
// inserted into the longer at position x: element k of the shorter pairs with element k of the
// longer below x and with element k + |nb - na| from x on. x is chosen so that the fewest pairs
// differ. Returns x and, per element of the shorter, whether its pair is equal.
struct Alignment {
    size_t at = 0;
    std::vector<char> equal;
};

template <class Same, class Shifted>
Alignment align(size_t shorter, bool shifts, std::optional<size_t> hint, Same same,
                Shifted shifted) {
    Alignment a;
    a.equal.resize(shorter);
    if (!shifts) {
        for (size_t k = 0; k < shorter; ++k) a.equal[k] = same(k);
        return a;
    }
    if (hint && *hint <= shorter) {
        a.at = *hint;
        for (size_t k = 0; k < shorter; ++k) a.equal[k] = k < a.at ? same(k) : shifted(k);
        return a;
    }
    std::vector<char> eqSame(shorter), eqShifted(shorter);
    for (size_t k = 0; k < shorter; ++k) eqShifted[k] = shifted(k);
    // cost(x) = differing unshifted pairs below x + differing shifted pairs from x on.
    size_t cost = 0;
    for (size_t k = 0; k < shorter; ++k) cost += !eqShifted[k];
    size_t best = cost, bestAt = 0;
    for (size_t k = 0; k < shorter; ++k) {
        eqSame[k] = same(k);
        cost += !eqSame[k];
        cost -= !eqShifted[k];
        if (cost < best) best = cost, bestAt = k + 1;
        if (best == 0) break;  // no pair differs: nothing can do better
    }
    a.at = bestAt;
    for (size_t k = 0; k < shorter; ++k) a.equal[k] = k < a.at ? eqSame[k] : eqShifted[k];
    return a;
}

bool evenRows(const ChannelSheets& ch) {
    return ch.music.rowCount() == ch.loop.rowCount() && ch.music.rowCount() == ch.brk.rowCount();
}

std::string packChannel(const ChannelSheets& ch) {
    std::string out;
    for (SheetKind kind : kLineKinds) out += packSheet(ch.sheet(kind));
    return out;
}

std::string packViews(const Sheets& sheets) {
    std::string out;
    for (const auto& ch : sheets.channels) out += packSheet(ch.mySong);
    out += packSheet(sheets.fourChan);
    return out;
}

void diffCells(const ChannelSheets& a, int ra, const ChannelSheets& b, int rb, int firstCol,
               int lastCol, ChannelChange& out) {
    for (SheetKind kind : kLineKinds) {
        const Sheet& sa = a.sheet(kind);
        const Sheet& sb = b.sheet(kind);
        for (int c = firstCol; c < std::min(lastCol, sa.columnCount()); ++c)
            if (sa.cell(ra, c) != sb.cell(rb, c))
                out.cells.push_back({static_cast<std::uint8_t>(kind), static_cast<std::uint16_t>(c),
                                     rb, sa.cell(ra, c), sb.cell(rb, c)});
    }
}

// The change from channel a (packed before the action) to channel b; hint: where lines were
// inserted or removed.
ChannelChange diffChannel(int channel, const PackedLines& a, const ChannelSheets& b,
                          std::optional<size_t> hint) {
    ChannelChange out;
    out.channel = channel;
    const int na = a.rows(0), nb = b.lineCount();
    out.rowsBefore = na;
    out.rowsAfter = nb;
    const bool grows = nb > na;
    const size_t shorter = static_cast<size_t>(std::min(na, nb));
    const int d = std::abs(nb - na);
    auto rowA = [&](size_t k, bool shifted) {
        return static_cast<int>(k) + (shifted && !grows ? d : 0);
    };
    auto rowB = [&](size_t k, bool shifted) {
        return static_cast<int>(k) + (shifted && grows ? d : 0);
    };
    Alignment al = align(
        shorter, na != nb, hint,
        [&](size_t k) { return a.sameValues(rowA(k, false), b, rowB(k, false)); },
        [&](size_t k) { return a.sameValues(rowA(k, true), b, rowB(k, true)); });
    out.at = static_cast<int>(al.at);
    // Cells of row ra of a from column `first` on (the bytes of `cells`) against row rb of b.
    auto diffRow = [&](int k, std::string_view cells, int first, int last, int ra, int rb) {
        const Sheet& sb = b.sheet(PackedLines::kKinds[k]);
        size_t pos = static_cast<size_t>(cells.data() - a.data().data());
        for (int c = first; c < last; ++c) {
            std::string_view before = a.cell(pos);
            if (before != sb.cell(rb, c))
                out.cells.push_back({static_cast<std::uint8_t>(PackedLines::kKinds[k]),
                                     static_cast<std::uint16_t>(c), rb, std::string(before),
                                     sb.cell(rb, c)});
        }
        (void)ra;
    };
    for (size_t k = 0; k < shorter; ++k) {
        if (al.equal[k]) continue;
        bool shifted = na != nb && k >= al.at;
        int ra = rowA(k, shifted), rb = rowB(k, shifted);
        for (int s = 0; s < 3; ++s)
            diffRow(s, a.values(s, ra), kFixedColumns,
                    b.sheet(PackedLines::kKinds[s]).columnCount(), ra, rb);
    }
    // The numbering cells belong to the row: compared by row number.
    for (int r = 0; r < static_cast<int>(shorter); ++r)
        if (!a.sameFixed(r, b, r))
            for (int s = 0; s < 3; ++s) diffRow(s, a.fixed(s, r), 0, kFixedColumns, r, r);
    for (int s = 0; s < 3; ++s) {
        const Sheet& sb = b.sheet(PackedLines::kKinds[s]);
        for (int r = out.at; r < out.at + d; ++r) {
            if (grows)
                for (int c = kFixedColumns; c < sb.columnCount(); ++c)
                    packCell(out.lineValues, sb.cell(r, c));
            else
                out.lineValues += a.values(s, r);
        }
        for (int r = static_cast<int>(shorter); r < static_cast<int>(shorter) + d; ++r) {
            if (grows)
                for (int c = 0; c < kFixedColumns; ++c) packCell(out.tailFixed, sb.cell(r, c));
            else
                out.tailFixed += a.fixed(s, r);
        }
    }
    out.lineValues.shrink_to_fit();
    out.tailFixed.shrink_to_fit();
    out.cells.shrink_to_fit();
    return out;
}

// Runs of differing characters closer than this are kept as one run.
constexpr size_t kRunGap = 16;

TextChange diffText(const std::string& a, const std::string& b) {
    TextChange t;
    const bool grows = b.size() > a.size();
    const size_t shorter = std::min(a.size(), b.size());
    const size_t d = grows ? b.size() - a.size() : a.size() - b.size();
    auto posA = [&](size_t k, bool shifted) { return k + (shifted && !grows ? d : 0); };
    auto posB = [&](size_t k, bool shifted) { return k + (shifted && grows ? d : 0); };
    Alignment al = align(
        shorter, d != 0, std::nullopt, [&](size_t k) { return a[k] == b[k]; },
        [&](size_t k) { return a[posA(k, true)] == b[posB(k, true)]; });
    t.at = al.at;
    if (grows)
        t.inserted = b.substr(al.at, d);
    else
        t.removed = a.substr(al.at, d);
    for (size_t k = 0; k < shorter;) {
        if (al.equal[k]) {
            ++k;
            continue;
        }
        // Runs do not cross the splice: the two sides pair up differently.
        const bool shifted = d != 0 && k >= al.at;
        const size_t limit = shifted || d == 0 ? shorter : al.at;
        size_t end = k + 1, last = k;
        for (; end < limit && end - last <= kRunGap; ++end)
            if (!al.equal[end]) last = end;
        end = last + 1;
        TextRun run;
        run.at = posB(k, shifted);
        run.before = a.substr(posA(k, shifted), end - k);
        run.after = b.substr(posB(k, shifted), end - k);
        t.runs.push_back(std::move(run));
        k = end;
    }
    return t;
}

bool sameFrameShape(const FrameStore& a, const FrameStore& b) {
    for (int ch = 0; ch < kChannelCount; ++ch)
        for (SheetKind kind : kLineKinds)
            if (a.frames(ch, kind).size() != b.frames(ch, kind).size()) return false;
    return true;
}

void diffStore(const FrameStore& before, const FrameStore& after, UndoStep& step) {
    for (int ch = 0; ch < kChannelCount; ++ch)
        for (SheetKind kind : kLineKinds) {
            const auto& a = before.frames(ch, kind);
            const auto& b = after.frames(ch, kind);
            for (size_t f = 0; f < a.size(); ++f) {
                if (a[f] == b[f]) continue;
                TextChange t = diffText(a[f], b[f]);
                t.channel = static_cast<std::uint8_t>(ch);
                t.kind = static_cast<std::uint8_t>(kind);
                t.frame = static_cast<std::uint32_t>(f);
                step.texts.push_back(std::move(t));
            }
        }
}

}  // namespace

void UndoRecorder::copyRows(const ChannelSheets& src, int ch) {
    rowCount_ = src.lineCount();
    firstRow_ = std::clamp(scope_.rows->first, 0, rowCount_);
    const int last = std::clamp(scope_.rows->second, firstRow_ - 1, rowCount_ - 1);
    ChannelSheets copy;
    for (SheetKind kind : kLineKinds) {
        Sheet& dst = copy.sheet(kind);
        const Sheet& from = src.sheet(kind);
        dst.setRowCount(last - firstRow_ + 1);
        for (int r = firstRow_; r <= last; ++r)
            for (int c = 0; c < from.columnCount(); ++c)
                dst.cell(r - firstRow_, c) = from.cell(r, c);
    }
    rowsCopy_ = std::move(copy);
    rowsChannel_ = ch;
}

UndoRecorder::UndoRecorder(const Sheets& sheets, const FrameStore& store, UndoScope scope,
                           UndoCursor before)
    : scope_(scope), before_(before) {
    if (scope_.wholeSong) {
        scope_.channels = 0xF;
        scope_.frames = true;
        scope_.rows.reset();
        views_ = packViews(sheets);
    }
    if (scope_.rows) {
        int ch = 0;
        while (ch < kChannelCount && !(scope_.channels & (1u << ch))) ++ch;
        // A row promise covers a single channel whose sheets line up.
        if (ch == kChannelCount || (scope_.channels & ~(1u << ch)) || !evenRows(sheets.channel(ch)))
            scope_.rows.reset();
        else
            copyRows(sheets.channel(ch), ch);
    }
    if (!scope_.rows)
        for (int ch = 0; ch < kChannelCount; ++ch)
            if (scope_.channels & (1u << ch))
                packed_[static_cast<size_t>(ch)].emplace(sheets.channel(ch));
    if (scope_.frames) store_ = store;
}

std::optional<UndoStep> UndoRecorder::finish(const Sheets& sheets, const FrameStore& store,
                                             UndoCursor after,
                                             std::optional<LineMove> moved) const {
    UndoStep step;
    step.cursorBefore = before_;
    step.cursorAfter = after;
    step.frameCountBefore = step.frameCountAfter = store.frameCount;
    step.currentFrameBefore = step.currentFrameAfter = store.currentFrame;
    if (rowsCopy_) {
        const ChannelSheets& now = sheets.channel(rowsChannel_);
        if (!evenRows(now) || now.lineCount() != rowCount_) {
            step.complete = false;
            return step;
        }
        ChannelChange change;
        change.channel = rowsChannel_;
        change.rowsBefore = change.rowsAfter = rowCount_;
        for (int r = 0; r < rowsCopy_->lineCount(); ++r)
            diffCells(*rowsCopy_, r, now, r + firstRow_, 0, kMusicColumns, change);
        if (!change.cells.empty()) step.channels.push_back(std::move(change));
    }
    for (int ch = 0; ch < kChannelCount; ++ch) {
        const auto& before = packed_[static_cast<size_t>(ch)];
        if (!before) continue;
        const ChannelSheets& now = sheets.channel(ch);
        if (scope_.wholeSong || !before->evenRows() || !evenRows(now)) {
            std::string after = packChannel(now);
            if (after == before->data()) continue;
            ChannelChange change;
            change.channel = ch;
            change.wholeBefore = before->data();
            change.wholeAfter = std::move(after);
            step.channels.push_back(std::move(change));
            continue;
        }
        std::optional<size_t> hint;
        if (moved && moved->channel == ch && moved->at >= 0) hint = static_cast<size_t>(moved->at);
        ChannelChange change = diffChannel(ch, *before, now, hint);
        if (change.rowsBefore != change.rowsAfter || !change.cells.empty())
            step.channels.push_back(std::move(change));
    }
    if (scope_.wholeSong) {
        std::string views = packViews(sheets);
        if (views != views_) {
            step.viewsBefore = views_;
            step.viewsAfter = std::move(views);
        }
    }
    if (store_) {
        step.frameCountBefore = store_->frameCount;
        step.currentFrameBefore = store_->currentFrame;
        if (*store_ != store) {
            if (scope_.wholeSong || !sameFrameShape(*store_, store)) {
                step.storeBefore = std::make_unique<FrameStore>(*store_);
                step.storeAfter = std::make_unique<FrameStore>(store);
            } else {
                diffStore(*store_, store, step);
            }
        }
    }
    if (step.empty()) return std::nullopt;
    return step;
}

}  // namespace kestra
