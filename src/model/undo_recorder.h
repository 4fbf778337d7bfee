// Taking down what an action changes: the recorder keeps the line records the action may touch
// before it runs, and after it computes a compact UndoStep (records inserted or removed, runs of
// characters replaced). Any core action can be recorded this way without knowing about undo.
#pragma once

#include <array>
#include <optional>

#include "model/undo_step.h"

namespace kestra {

// What an action may change. The narrower the scope, the less is copied and compared.
struct UndoScope {
    unsigned channels = 0;  // bit ch: that channel's Music, Loop and Break sheets
    // With a single channel: only rows first..last change and the row count stays (key edits,
    // the bit dialog, marker lines). An action that breaks this promise drops the history.
    std::optional<std::pair<int, int>> rows;
    bool frames = false;     // the frame store
    bool wholeSong = false;  // every sheet, the store and the Show Song views ("Read Channel")

    static UndoScope rowsOf(int channel, int first, int last) {
        return {1u << channel, std::pair{first, last}, false, false};
    }
    // Lines inserted into or removed from one channel ("Add lines", "Cut", "Paste").
    static UndoScope linesOf(int channel) {
        if (channel < 0 || channel >= kChannelCount) return allChannels();
        return {1u << channel, std::nullopt, true, false};
    }
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
    using Texts = std::array<std::string, 3>;  // Music, Loop, Break records
    UndoScope scope_;
    UndoCursor before_;
    // A row promise: the records of rows firstRow_.. of one channel, and its row count before.
    std::optional<Texts> rows_;
    int rowsChannel_ = 0;
    int firstRow_ = 0;
    int rowCount_ = 0;
    // Otherwise the records of each channel in scope, shared with the sheets until they change.
    std::array<std::optional<std::array<SharedRecords, 3>>, kChannelCount> channels_;
    std::optional<FrameStore> store_;
    std::shared_ptr<const ShownSong> views_;
};

}  // namespace kestra
