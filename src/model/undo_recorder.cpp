#include "model/undo_recorder.h"

#include <algorithm>
#include <utility>

namespace kestra {

namespace {

constexpr SheetKind kLineKinds[] = {SheetKind::Music, SheetKind::Loop, SheetKind::Break};

bool evenRows(const ChannelSheets& ch) {
    return ch.music.rowCount() == ch.loop.rowCount() && ch.music.rowCount() == ch.brk.rowCount();
}

size_t recordWidth(SheetKind kind) {
    return static_cast<size_t>(layoutOf(kind).width);
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

UndoRecorder::UndoRecorder(const Sheets& sheets, const FrameStore& store, UndoScope scope,
                           UndoCursor before)
    : scope_(scope), before_(before) {
    if (scope_.wholeSong) {
        scope_.channels = 0xF;
        scope_.frames = true;
        scope_.rows.reset();
        views_ = sheets.shown;
    }
    if (scope_.rows) {
        int ch = 0;
        while (ch < kChannelCount && !(scope_.channels & (1u << ch))) ++ch;
        // A row promise covers a single channel whose sheets line up.
        if (ch == kChannelCount || (scope_.channels & ~(1u << ch)) || !evenRows(sheets.channel(ch)))
            scope_.rows.reset();
        else {
            const ChannelSheets& src = sheets.channel(ch);
            rowCount_ = src.lineCount();
            firstRow_ = std::clamp(scope_.rows->first, 0, rowCount_);
            const int last = std::clamp(scope_.rows->second, firstRow_ - 1, rowCount_ - 1);
            Texts texts;
            for (size_t k = 0; k < 3; ++k) {
                const size_t w = recordWidth(kLineKinds[k]);
                texts[k] = src.sheet(kLineKinds[k])
                               .text()
                               .substr(static_cast<size_t>(firstRow_) * w,
                                       static_cast<size_t>(last - firstRow_ + 1) * w);
            }
            rows_ = std::move(texts);
            rowsChannel_ = ch;
        }
    }
    if (!scope_.rows)
        for (int ch = 0; ch < kChannelCount; ++ch)
            if (scope_.channels & (1u << ch)) {
                const ChannelSheets& src = sheets.channel(ch);
                channels_[static_cast<size_t>(ch)] = std::array<SharedRecords, 3>{
                    src.music.sharedText(), src.loop.sharedText(), src.brk.sharedText()};
            }
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
    auto add = [&](TextChange t, int ch, size_t k) {
        t.channel = static_cast<std::uint8_t>(ch);
        t.kind = static_cast<std::uint8_t>(kLineKinds[k]);
        step.texts.push_back(std::move(t));
    };
    if (rows_) {
        const ChannelSheets& now = sheets.channel(rowsChannel_);
        if (!evenRows(now) || now.lineCount() != rowCount_) {
            step.complete = false;
            return step;
        }
        for (size_t k = 0; k < 3; ++k) {
            const std::string& text = now.sheet(kLineKinds[k]).text();
            const size_t from = static_cast<size_t>(firstRow_) * recordWidth(kLineKinds[k]);
            const std::string_view range = std::string_view(text).substr(from, (*rows_)[k].size());
            if (range == (*rows_)[k]) continue;
            TextChange t = diffText((*rows_)[k], range);
            for (TextRun& r : t.runs) r.at += from;
            t.sizeBefore = t.sizeAfter = text.size();
            add(std::move(t), rowsChannel_, k);
        }
    }
    for (int ch = 0; ch < kChannelCount; ++ch) {
        const auto& before = channels_[static_cast<size_t>(ch)];
        if (!before) continue;
        const ChannelSheets& now = sheets.channel(ch);
        for (size_t k = 0; k < 3; ++k) {
            const SharedRecords& kept = (*before)[k];
            const Sheet& sheet = now.sheet(kLineKinds[k]);
            const std::string& a = *kept;
            const std::string& b = sheet.text();
            if (kept == sheet.sharedText() || a == b) continue;
            if (scope_.wholeSong) {
                // The song replaced: both sides kept whole, as the sheets share them.
                TextChange t;
                t.sizeBefore = a.size();
                t.sizeAfter = b.size();
                t.wholeBefore = kept;
                t.wholeAfter = sheet.sharedText();
                add(std::move(t), ch, k);
                continue;
            }
            std::optional<size_t> hint;
            if (moved && moved->channel == ch && moved->at >= 0)
                hint = static_cast<size_t>(moved->at) * recordWidth(kLineKinds[k]);
            add(diffText(a, b, hint), ch, k);
        }
    }
    if (scope_.wholeSong && sheets.shown != views_ && !(*sheets.shown == *views_)) {
        step.viewsBefore = views_;
        step.viewsAfter = sheets.shown;
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
