// The editing session with undo: each call runs the editing action and records what it changed
// into the one undo history. The GUI calls these rather than the bare actions (inside runGuarded,
// as before); any other action that changes the song ("Read Channel") goes through runRecorded.
#pragma once

#include <memory>
#include <string_view>

#include "editing/sheet_editing.h"
#include "model/undo_history.h"
#include "model/undo_recorder.h"

namespace kestra {

UndoCursor cursorOf(const Selection& sel);
Selection selectionOf(const UndoCursor& cursor);

EditResult undoableKeyUp(Document& doc, UndoHistory& history, const Selection& sel,
                         EditContext& ctx);
EditResult undoableDoubleClick(Document& doc, UndoHistory& history, const Selection& sel,
                               EditContext& ctx);
EditResult undoableAddLines(Document& doc, UndoHistory& history, const Selection& sel,
                            std::string_view countText, AddWhere where, MessagePort* messages);
EditResult undoableRemoveLines(Document& doc, UndoHistory& history, const Selection& sel,
                               std::string_view countText, MessagePort* messages);

// Runs an edit, action(), returning an EditResult (or a result holding one as `edit`), and
// records what it changed within scope as one step called `name`. Undo puts the cursor back on
// `sel`, redo where the edit left the selection. What the edit did before an exception stays
// undoable.
template <class Action>
auto recordEdit(Document& doc, UndoHistory& history, const Selection& sel, UndoScope scope,
                const char* name, Action&& action) {
    UndoRecorder recorder(doc.sheets, doc.frames, scope, cursorOf(sel));
    auto push = [&](std::optional<UndoStep> step) {
        if (!step) return;
        step->name = name;
        history.push(std::move(*step));
    };
    decltype(action()) result;
    try {
        result = action();
    } catch (...) {
        push(recorder.finish(doc.sheets, doc.frames, cursorOf(sel)));
        throw;
    }
    const EditResult& edit = [&]() -> const EditResult& {
        if constexpr (requires { result.edit; })
            return result.edit;
        else
            return result;
    }();
    std::optional<LineMove> moved;
    if (edit.rows) moved = LineMove{edit.rows->channel, edit.rows->at};
    push(recorder.finish(doc.sheets, doc.frames, cursorOf(edit.selection.value_or(sel)), moved));
    return result;
}

// Runs action() and records what it changed within scope; the cursor stays where it was. An
// exception (damaged cell text) is passed on after the change so far was recorded. For
// "Read Channel": runRecorded(doc, history, UndoScope::everything(), cursor, [&] { ... }).
// name is what Undo and Redo call the step.
template <class Action>
void runRecorded(Document& doc, UndoHistory& history, UndoScope scope, UndoCursor cursor,
                 Action&& action, const char* name = "") {
    UndoRecorder recorder(doc.sheets, doc.frames, scope, cursor);
    std::shared_ptr<const ReadMemory> memory;
    if (scope.wholeSong) memory = doc.readMemory;
    auto record = [&] {
        if (auto step = recorder.finish(doc.sheets, doc.frames, cursor)) {
            step->name = name;
            if (memory && memory != doc.readMemory && *memory != doc.memory()) {
                step->memoryBefore = memory;
                step->memoryAfter = doc.readMemory;
            }
            history.push(std::move(*step));
        }
    };
    try {
        action();
    } catch (...) {
        record();  // what the action did before it was stopped stays undoable
        throw;
    }
    record();
}

}  // namespace kestra
