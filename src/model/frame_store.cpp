#include "model/frame_store.h"

#include <algorithm>
#include <utility>

namespace kestra {

namespace {
constexpr SheetKind kLineKinds[] = {SheetKind::Music, SheetKind::Loop, SheetKind::Break};
}

void FrameStore::reset() {
    frameCount = 1;
    currentFrame = 0;
    for (auto& ch : texts)
        for (auto& kind : ch) kind.assign(1, std::string());
}

FrameTexts frameTexts(const Sheets& sheets, const FrameStore& store, int ch, SheetKind kind) {
    const auto& stored = store.frames(ch, kind);
    FrameTexts out(std::max(stored.size(), static_cast<size_t>(store.currentFrame) + 1));
    for (size_t f = 0; f < stored.size(); ++f) out[f] = stored[f];
    out[static_cast<size_t>(store.currentFrame)] = sheets.channel(ch).sheet(kind).text();
    return out;
}

SongFrames songFrames(const Sheets& sheets, const FrameStore& store) {
    SongFrames out;
    out.frameCount = store.frameCount;
    for (int ch = 0; ch < kChannelCount; ++ch)
        for (SheetKind kind : kLineKinds)
            out.texts[static_cast<size_t>(ch)][static_cast<size_t>(kind)] =
                frameTexts(sheets, store, ch, kind);
    return out;
}

void frameChange(Sheets& sheets, FrameStore& store, int newFrame) {
    const int target = std::clamp(newFrame, 0, std::max(0, store.frameCount - 1));
    if (target == store.currentFrame) return;
    for (int ch = 0; ch < kChannelCount; ++ch) {
        ChannelSheets& cs = sheets.channel(ch);
        for (SheetKind kind : kLineKinds) {
            auto& frames = store.frames(ch, kind);
            const auto needed = static_cast<size_t>(std::max(target, store.currentFrame)) + 1;
            frames.resize(std::max(frames.size(), needed));
            Sheet& sheet = cs.sheet(kind);
            std::string& away = frames[static_cast<size_t>(store.currentFrame)];
            away = sheet.text();
            std::string& next = frames[static_cast<size_t>(target)];
            // Only whole records are taken; a frame without a line shows one empty line.
            const size_t width = static_cast<size_t>(layoutOf(kind).width);
            sheet = Sheet(kind, 0);
            sheet.insertRecords(0, std::string_view(next).substr(0, next.size() / width * width));
            if (sheet.rowCount() == 0) sheet.setRowCount(1);
            next.clear();
        }
        // The three sheets of a line share one row count: the Music text decides it.
        const int rows = cs.music.rowCount();
        cs.loop.setRowCount(rows);
        cs.brk.setRowCount(rows);
    }
    store.currentFrame = target;
}

}  // namespace kestra
