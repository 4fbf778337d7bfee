#include "model/undo_history.h"

namespace kestra {

UndoOutcome UndoHistory::outcomeOf(const UndoStep& step, const UndoCursor& cursor) {
    UndoOutcome out;
    out.cursor = cursor;
    for (const auto& t : step.texts) {
        if (t.frame != kShownFrame) continue;
        out.channels |= 1u << t.channel;
        out.rowCounts |= t.sizeBefore != t.sizeAfter;
    }
    out.rowCounts |= step.storeBefore != nullptr;
    out.viewSheets = step.viewsBefore != nullptr;
    return out;
}

void UndoHistory::push(UndoStep step) {
    if (!step.complete) {
        clear();
        saved_.reset();
        return;
    }
    while (steps_.size() > position_) {
        bytes_ -= steps_.back().bytes;
        steps_.pop_back();
    }
    if (saved_ && *saved_ > position_) saved_.reset();  // the saved state can no longer be reached
    ++recorded_;
    size_t b = step.bytes();
    steps_.push_back({std::move(step), b});
    bytes_ += b;
    ++position_;
    // Keep at least the newest step, however large: it is the one most likely to be undone.
    while (steps_.size() > 1 && (bytes_ > byteLimit_ || steps_.size() > stepLimit_)) dropOldest();
}

void UndoHistory::dropOldest() {
    bytes_ -= steps_.front().bytes;
    steps_.pop_front();
    --position_;
    if (saved_) saved_ = *saved_ == 0 ? std::nullopt : std::optional(*saved_ - 1);
}

std::optional<UndoOutcome> UndoHistory::undo(Sheets& sheets, FrameStore& store,
                                             std::shared_ptr<const ReadMemory>* memory) {
    if (!canUndo()) return std::nullopt;
    const UndoStep& step = steps_[position_ - 1].step;
    if (!step.applyBackward(sheets, store)) {
        clear();
        saved_.reset();
        return std::nullopt;
    }
    --position_;
    if (memory && step.memoryBefore) *memory = step.memoryBefore;
    return outcomeOf(step, step.cursorBefore);
}

std::optional<UndoOutcome> UndoHistory::redo(Sheets& sheets, FrameStore& store,
                                             std::shared_ptr<const ReadMemory>* memory) {
    if (!canRedo()) return std::nullopt;
    const UndoStep& step = steps_[position_].step;
    if (!step.applyForward(sheets, store)) {
        clear();
        saved_.reset();
        return std::nullopt;
    }
    ++position_;
    if (memory && step.memoryAfter) *memory = step.memoryAfter;
    return outcomeOf(step, step.cursorAfter);
}

void UndoHistory::clear() {
    std::optional<size_t> saved =
        saved_ && *saved_ == position_ ? std::optional<size_t>(0) : std::nullopt;
    steps_.clear();
    position_ = 0;
    bytes_ = 0;
    saved_ = saved;
}

}  // namespace kestra
