// One undoable change of the song, stored as differences of line records: for each changed
// text (a channel's Music, Loop or Break sheet, or a stored frame), the block of records inserted
// or removed and the runs of characters replaced, with the cursor before and after. Steps are
// made by UndoRecorder and kept by UndoHistory.
#pragma once

#include <cstdint>
#include <memory>
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

// Runs are in the coordinates of the text after the change.
struct TextRun {
    size_t at = 0;
    std::string before, after;
};

// The frame of a TextChange that means the sheet shown rather than a stored frame.
constexpr std::uint32_t kShownFrame = UINT32_MAX;

// The change of one text: `removed` or `inserted` at `at` (one of them empty), then runs of
// replaced characters. The sizes tell whether a text is in the state the change expects.
struct TextChange {
    std::uint8_t channel = 0, kind = 0;
    std::uint32_t frame = kShownFrame;
    size_t sizeBefore = 0, sizeAfter = 0;
    size_t at = 0;
    std::string removed, inserted;
    std::vector<TextRun> runs;
    // Instead, a sheet's records replaced whole (a song read): shared with the sheets, not copied.
    SharedRecords wholeBefore, wholeAfter;
};

// The difference from text a to text b: one block inserted or removed where it leaves the
// fewest characters differing (at `hint` when given), and runs of replaced characters.
TextChange diffText(std::string_view a, std::string_view b,
                    std::optional<size_t> hint = std::nullopt);

struct UndoStep {
    std::vector<TextChange> texts;
    // The frame store when its frames changed in number ("Read Channel" and frame commands).
    // Behind pointers: most steps have none, and the history keeps thousands of steps.
    std::unique_ptr<FrameStore> storeBefore, storeAfter;
    // The Show Song views, when the step changed them (shared: they are never changed).
    std::shared_ptr<const ShownSong> viewsBefore, viewsAfter;
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
    // False (nothing changed) when a text is not in the state the step expects.
    bool applyForward(Sheets& sheets, FrameStore& store) const;
    bool applyBackward(Sheets& sheets, FrameStore& store) const;
};

}  // namespace kestra
