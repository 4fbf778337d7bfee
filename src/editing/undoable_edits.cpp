#include "editing/undoable_edits.h"

namespace kestra {

namespace {

// Key actions and the bit dialog change the selected line only: a promise that spares copying
// the channel on every key. Should an action report more, the step is marked incomplete and the
// history is dropped rather than left to restore a wrong song.
EditResult recordOnLine(Document& doc, UndoHistory& history, const Selection& sel,
                        EditResult (*action)(Document&, const Selection&, EditContext&),
                        EditContext& ctx, const char* name) {
    UndoRecorder recorder(doc.sheets, doc.frames, UndoScope::rowsOf(sel.channel, sel.row, sel.row),
                          cursorOf(sel));
    EditResult result;
    try {
        result = action(doc, sel, ctx);
    } catch (...) {
        // Damaged cell text ends the action part way (the caller shows it): keep what it did.
        if (auto step = recorder.finish(doc.sheets, doc.frames, cursorOf(sel))) {
            step->name = name;
            history.push(std::move(*step));
        }
        throw;
    }
    auto step = recorder.finish(doc.sheets, doc.frames, cursorOf(result.selection.value_or(sel)));
    bool kept = !result.rows;
    for (const ChangedRows& c : result.changed)
        kept &= c.channel == sel.channel && c.firstRow >= sel.row && c.lastRow <= sel.row &&
                c.sheet != SheetKind::MySong && c.sheet != SheetKind::FourChan;
    if (!kept) {
        UndoStep incomplete;
        incomplete.complete = false;
        history.push(std::move(incomplete));
    } else if (step) {
        step->name = name;
        history.push(std::move(*step));
    }
    return result;
}

}  // namespace

UndoCursor cursorOf(const Selection& sel) {
    return {sel.channel, sel.sheet, sel.row, sel.left};
}

Selection selectionOf(const UndoCursor& cursor) {
    return Selection::cell(cursor.sheet, cursor.channel, cursor.row, cursor.column);
}

EditResult undoableKeyUp(Document& doc, UndoHistory& history, const Selection& sel,
                         EditContext& ctx) {
    return recordOnLine(doc, history, sel, keyUp, ctx, "Edit cell");
}

EditResult undoableDoubleClick(Document& doc, UndoHistory& history, const Selection& sel,
                               EditContext& ctx) {
    return recordOnLine(doc, history, sel, doubleClick, ctx, "Edit cell");
}

EditResult undoableAddLines(Document& doc, UndoHistory& history, const Selection& sel,
                            std::string_view countText, AddWhere where, MessagePort* messages) {
    return recordEdit(doc, history, sel, UndoScope::linesOf(sel.channel), "Add lines",
                      [&] { return addLines(doc, sel, countText, where, messages); });
}

EditResult undoableRemoveLines(Document& doc, UndoHistory& history, const Selection& sel,
                               std::string_view countText, MessagePort* messages) {
    return recordEdit(doc, history, sel, UndoScope::linesOf(sel.channel), "Remove lines",
                      [&] { return removeLines(doc, sel, countText, messages); });
}

}  // namespace kestra
