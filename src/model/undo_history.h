// The one undo history of the editor: steps of UndoRecorder, undone and redone in order, with a
// cap on memory (oldest steps dropped first) and the mark of the last saved state.
#pragma once

#include <cstddef>
#include <cstdint>
#include <deque>
#include <optional>
#include <string>

#include "model/undo_step.h"

namespace kestra {

// What an undo or redo changed, for the GUI: where to put the cursor and which sheets to refresh.
struct UndoOutcome {
    UndoCursor cursor;
    unsigned channels = 0;    // bit ch: that channel's Music, Loop and Break sheets
    bool rowCounts = false;   // lines were inserted or removed
    bool viewSheets = false;  // the MySong and FourChan sheets
};

class UndoHistory {
  public:
    static constexpr size_t kDefaultByteLimit = 64u << 20;
    static constexpr size_t kDefaultStepLimit = 10000;

    explicit UndoHistory(size_t byteLimit = kDefaultByteLimit, size_t stepLimit = kDefaultStepLimit)
        : byteLimit_(byteLimit), stepLimit_(stepLimit) {}

    // Adds a step after the current position (the steps that could be redone are dropped). An
    // incomplete step clears the history: earlier steps no longer lead back to a known song.
    void push(UndoStep step);
    bool canUndo() const { return position_ > 0; }
    bool canRedo() const { return position_ < steps_.size(); }
    // The names of the steps undo and redo would apply; empty when unnamed or none.
    std::string undoName() const { return canUndo() ? steps_[position_ - 1].step.name : ""; }
    std::string redoName() const { return canRedo() ? steps_[position_].step.name : ""; }
    // Nothing when there is nothing to undo/redo, or when the sheets are not in the state the step
    // expects (changed outside the history): the history is then cleared and nothing is changed.
    // With `memory`, what reading remembered goes back and forth with the songs read.
    std::optional<UndoOutcome> undo(Sheets& sheets, FrameStore& store,
                                    std::shared_ptr<const ReadMemory>* memory = nullptr);
    std::optional<UndoOutcome> redo(Sheets& sheets, FrameStore& store,
                                    std::shared_ptr<const ReadMemory>* memory = nullptr);
    void clear();

    // The saved state: isModified() is false while the position is where markSaved() was called.
    void markSaved() { saved_ = position_; }
    bool isModified() const { return saved_ != position_; }

    size_t size() const { return steps_.size(); }
    // How many steps were ever recorded: tells whether an action recorded one.
    std::uint64_t recorded() const { return recorded_; }
    size_t bytes() const { return bytes_; }

  private:
    struct Entry {
        UndoStep step;
        size_t bytes;
    };
    static UndoOutcome outcomeOf(const UndoStep& step, const UndoCursor& cursor);
    void dropOldest();

    size_t byteLimit_, stepLimit_;
    std::deque<Entry> steps_;
    size_t position_ = 0;  // steps before it are done
    std::optional<size_t> saved_ = 0;
    size_t bytes_ = 0;
    std::uint64_t recorded_ = 0;
};

}  // namespace kestra
