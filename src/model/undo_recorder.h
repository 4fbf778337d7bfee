// Taking down what an action changes: the recorder keeps what the action may touch before it
// runs, and after it computes a compact UndoStep (cells, inserted or removed lines, frame-store
// runs). Any core action can be recorded this way without knowing about undo.
#pragma once

#include <array>
#include <optional>

#include "model/packed_lines.h"
#include "model/undo_step.h"

namespace kestra {

// What an action may change. The narrower the scope, the less is copied and compared.
struct UndoScope {
    unsigned channels = 0;  // bit ch: that channel's Music, Loop and Break sheets
    // With a single channel: only rows first..last change and the row count stays (key edits,
    // the bit dialog, marker lines). An action that breaks this promise drops the history.
    std::optional<std::pair<int, int>> rows;
    bool frames = false;     // the frame store
    bool wholeSong = false;  // every sheet and the store, kept as whole copies ("Read Channel")

    static UndoScope rowsOf(int channel, int first, int last) {
        return {1u << channel, std::pair{first, last}, false, false};
    }
    // "Add lines" and "Remove Line" store every channel into the frame store on the way.
    static UndoScope allChannels() { return {0xFu, std::nullopt, true, false}; }
    static UndoScope everything() { return {0xFu, std::nullopt, true, true}; }
};

// Where lines were inserted or removed, when the action knows: spares the search for it.
struct LineMove {
    int channel = 0;
    int at = 0;
};

class UndoRecorder {
  public:
    UndoRecorder(const Sheets& sheets, const FrameStore& store, UndoScope scope, UndoCursor before);
    // The difference to the state now; nothing when the action changed nothing.
    std::optional<UndoStep> finish(const Sheets& sheets, const FrameStore& store, UndoCursor after,
                                   std::optional<LineMove> moved = {}) const;

  private:
    void copyRows(const ChannelSheets& src, int ch);
    UndoScope scope_;
    UndoCursor before_;
    // The promised rows of one channel, copied as they are.
    std::optional<ChannelSheets> rowsCopy_;
    int rowsChannel_ = 0;
    int firstRow_ = 0;  // row 0 of the copy
    int rowCount_ = 0;  // the channel's row count before
    // Otherwise each channel in scope, packed.
    std::array<std::optional<PackedLines>, kChannelCount> packed_;
    std::optional<FrameStore> store_;
    std::string views_;
};

}  // namespace kestra
