#include "model/undo_step.h"

#include <algorithm>
#include <utility>

namespace kestra {

namespace {

// Two texts of lengths na and nb are matched up with one block of |nb - na| characters inserted
// into the longer at position x: character k of the shorter pairs with character k of the
// longer below x and with character k + |nb - na| from x on. Without a hint, x is chosen so that
// the fewest pairs differ.
template <class Same, class Shifted>
size_t spliceAt(size_t shorter, std::optional<size_t> hint, Same same, Shifted shifted) {
    if (hint && *hint <= shorter) return *hint;
    std::vector<char> eqShifted(shorter);
    for (size_t k = 0; k < shorter; ++k) eqShifted[k] = shifted(k);
    // cost(x) = differing unshifted pairs below x + differing shifted pairs from x on.
    size_t cost = 0;
    for (size_t k = 0; k < shorter; ++k) cost += !eqShifted[k];
    size_t best = cost, bestAt = 0;
    for (size_t k = 0; k < shorter && best != 0; ++k) {
        cost += !same(k);
        cost -= !eqShifted[k];
        if (cost < best) best = cost, bestAt = k + 1;
    }
    return bestAt;
}

// Runs of differing characters closer than this are kept as one run.
constexpr size_t kRunGap = 16;

size_t heap(const std::string& s) {
    return s.capacity() > 15 ? s.capacity() : 0;
}

// The text a change applies to, and how to splice it: a sheet keeps its records whole.
struct Target {
    Sheet* sheet = nullptr;
    std::string* text = nullptr;
    size_t size() const { return sheet ? sheet->text().size() : text->size(); }
    bool splice(size_t at, size_t count, std::string_view with) const {
        if (sheet) return sheet->splice(at, count, with);
        if (at > text->size() || count > text->size() - at) return false;
        text->replace(at, count, with);
        return true;
    }
    void apply(const TextChange& t, bool forward) const {
        if (const SharedRecords& whole = forward ? t.wholeAfter : t.wholeBefore; whole && sheet) {
            sheet->adoptText(whole);
            return;
        }
        if (forward) {
            splice(t.at, t.removed.size(), t.inserted);
            for (const auto& r : t.runs) splice(r.at, r.before.size(), r.after);
        } else {
            for (const auto& r : t.runs) splice(r.at, r.after.size(), r.before);
            splice(t.at, t.inserted.size(), t.removed);
        }
    }
};

Target targetOf(Sheets& sheets, FrameStore& store, const TextChange& t) {
    if (t.channel >= kChannelCount || t.kind > 2) return {};
    const auto kind = static_cast<SheetKind>(t.kind);
    if (t.frame == kShownFrame) return {&sheets.channel(t.channel).sheet(kind), nullptr};
    auto& frames = store.frames(t.channel, kind);
    return t.frame < frames.size() ? Target{nullptr, &frames[t.frame]} : Target{};
}

bool sizesAre(Sheets& sheets, FrameStore& store, const std::vector<TextChange>& texts,
              bool before) {
    for (const auto& t : texts) {
        Target target = targetOf(sheets, store, t);
        if ((!target.sheet && !target.text) ||
            target.size() != (before ? t.sizeBefore : t.sizeAfter))
            return false;
    }
    return true;
}

}  // namespace

TextChange diffText(std::string_view a, std::string_view b, std::optional<size_t> hint) {
    TextChange t;
    t.sizeBefore = a.size();
    t.sizeAfter = b.size();
    const bool grows = b.size() > a.size();
    const size_t shorter = std::min(a.size(), b.size());
    const size_t d = grows ? b.size() - a.size() : a.size() - b.size();
    const size_t dA = grows ? 0 : d, dB = grows ? d : 0;
    if (d != 0)
        t.at = spliceAt(
            shorter, hint, [&](size_t k) { return a[k] == b[k]; },
            [&](size_t k) { return a[k + dA] == b[k + dB]; });
    if (grows)
        t.inserted = b.substr(t.at, d);
    else
        t.removed = a.substr(t.at, d);
    // Runs within each side of the splice (they pair up differently): pairs from..to of a at
    // `shiftA` and b at `shiftB`.
    auto runsIn = [&](size_t from, size_t to, size_t shiftA, size_t shiftB) {
        const char* pa = a.data() + shiftA;
        const char* pb = b.data() + shiftB;
        size_t k = from;
        while (k < to) {
            k = static_cast<size_t>(std::mismatch(pa + k, pa + to, pb + k).first - pa);
            if (k >= to) break;
            size_t last = k, end = k + 1;
            for (; end < to && end - last <= kRunGap; ++end)
                if (pa[end] != pb[end]) last = end;
            end = last + 1;
            TextRun run;
            run.at = k + shiftB;
            run.before = a.substr(k + shiftA, end - k);
            run.after = b.substr(k + shiftB, end - k);
            t.runs.push_back(std::move(run));
            k = end;
        }
    };
    runsIn(0, d != 0 ? t.at : shorter, 0, 0);
    if (d != 0) runsIn(t.at, shorter, dA, dB);
    t.inserted.shrink_to_fit();
    t.removed.shrink_to_fit();
    t.runs.shrink_to_fit();
    return t;
}

bool UndoStep::empty() const {
    return texts.empty() && !storeBefore && !viewsBefore && frameCountBefore == frameCountAfter &&
           currentFrameBefore == currentFrameAfter;
}

size_t UndoStep::bytes() const {
    size_t total = sizeof(UndoStep);
    for (const auto& t : texts) {
        total += sizeof(TextChange) + heap(t.removed) + heap(t.inserted);
        for (const auto* whole : {&t.wholeBefore, &t.wholeAfter})
            if (*whole) total += (*whole)->size();
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
    for (const auto* memory : {&memoryBefore, &memoryAfter}) {
        if (!*memory) continue;
        for (const auto& ch : **memory) {
            if (!ch) continue;
            total += sizeof(ChannelMemory) + ch->bytes.capacity() +
                     ch->lines.capacity() * sizeof(LineMemory);
        }
    }
    return total;
}

bool UndoStep::applyForward(Sheets& sheets, FrameStore& store) const {
    if (storeAfter) store = *storeAfter;
    if (!sizesAre(sheets, store, texts, true)) {
        if (storeAfter) store = *storeBefore;
        return false;
    }
    for (const auto& t : texts) targetOf(sheets, store, t).apply(t, true);
    if (viewsAfter) sheets.shown = viewsAfter;
    store.frameCount = frameCountAfter;
    store.currentFrame = currentFrameAfter;
    return true;
}

bool UndoStep::applyBackward(Sheets& sheets, FrameStore& store) const {
    if (!sizesAre(sheets, store, texts, false)) return false;
    for (const auto& t : texts) targetOf(sheets, store, t).apply(t, false);
    if (storeBefore) store = *storeBefore;
    if (viewsBefore) sheets.shown = viewsBefore;
    store.frameCount = frameCountBefore;
    store.currentFrame = currentFrameBefore;
    return true;
}

}  // namespace kestra
