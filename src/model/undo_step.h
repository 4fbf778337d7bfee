// One undoable change of the song, stored as differences: changed cells (old and new text),
// lines inserted into or removed from a channel (with their texts), changed runs of the frame
// store's texts, and the cursor before and after. Only a change of the whole song keeps whole
// copies. Steps are made by UndoRecorder and kept by UndoHistory.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "model/frame_store.h"
#include "model/read_memory.h"
#include "model/sheets.h"

namespace kestra {

// Where the user was: restored by undo (the cursor before) and redo (the cursor after).
struct UndoCursor {
    int channel = kSquare1;
    SheetKind sheet = SheetKind::Music;
    int row = 0;
    int column = 0;
    bool operator==(const UndoCursor&) const = default;
};

// One cell of a channel's Music, Loop or Break sheet; row in the numbering after the change.
struct CellChange {
    std::uint8_t kind = 0;  // SheetKind Music, Loop or Break
    std::uint16_t column = 0;
    int row = 0;
    std::string before, after;
};

// The change of one channel's three editable sheets. Lines are rows of all three at once: `count`
// lines inserted at `at` (rowsAfter > rowsBefore) or removed from `at` (rowsAfter < rowsBefore).
// Like "Add lines" and "Remove Line", the value cells move with their line while the numbering
// columns stay with the row: the rows that appear or vanish at the end carry `tailFixed`.
struct ChannelChange {
    int channel = 0;
    int rowsBefore = 0, rowsAfter = 0;
    int at = 0;
    std::string lineValues;  // value cells of the inserted (or removed) lines, packed
    std::string tailFixed;   // numbering cells of the rows beyond the shorter state, packed
    std::vector<CellChange> cells;
    // Set when the three sheets did not share one row count: whole packed copies instead.
    std::optional<std::string> wholeBefore, wholeAfter;
};

// Changes inside one frame-store text, in the coordinates of the text after the change: `count`
// characters inserted at `at` (or removed), then runs of replaced characters.
struct TextRun {
    size_t at = 0;
    std::string before, after;
};
struct TextChange {
    std::uint8_t channel = 0, kind = 0;
    std::uint32_t frame = 0;
    size_t at = 0;
    std::string removed, inserted;  // one of them is empty
    std::vector<TextRun> runs;
};

struct UndoStep {
    std::vector<ChannelChange> channels;
    std::vector<TextChange> texts;
    // Frame store parts whose frame counts changed, and the whole song for "Read Channel".
    // Behind pointers: most steps have neither, and the history keeps thousands of steps.
    std::unique_ptr<FrameStore> storeBefore, storeAfter;
    std::optional<std::string> viewsBefore, viewsAfter;  // MySong and FourChan sheets, packed
    // What reading remembered, when the whole song changed (shared: it is never changed).
    std::shared_ptr<const ReadMemory> memoryBefore, memoryAfter;
    int frameCountBefore = 1, frameCountAfter = 1;
    int currentFrameBefore = 0, currentFrameAfter = 0;
    UndoCursor cursorBefore, cursorAfter;
    // What the Edit menu calls the step ("Paste" gives "Undo Paste"); empty for plain edits.
    std::string name;
    // False when the change could not be taken down (an action changed more than it promised):
    // the history is then dropped rather than ever restoring a wrong song.
    bool complete = true;

    bool empty() const;
    // Approximate heap and object bytes, for the history's memory cap.
    size_t bytes() const;
    // Row counts of the changed channels tell whether the sheets are in the state the step
    // expects; false (nothing changed) otherwise.
    bool applyForward(Sheets& sheets, FrameStore& store) const;
    bool applyBackward(Sheets& sheets, FrameStore& store) const;
};

// Packed cell texts: each cell as its length (7 bits a byte) and its characters.
void packCell(std::string& out, const std::string& cell);
std::string packSheet(const Sheet& sheet);
void unpackSheet(const std::string& packed, Sheet& sheet);

}  // namespace kestra
