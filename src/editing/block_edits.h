// Block commands on whole lines of the Music, Loop and Break sheets: Copy, Cut, Paste (inserted
// before the current line as "Add lines" inserts), Paste over (from the current line down, the
// line count kept) and Transpose. The page-end line is never copied, cut or overwritten. Each
// undoable version is one named step of the undo history ("Undo Paste").
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "editing/line_selection.h"
#include "editing/sheet_editing.h"
#include "model/undo_history.h"

namespace kestra {

struct BlockResult {
    EditResult edit;
    std::optional<LineRange> lines;        // the lines to show selected afterwards
    std::optional<std::string> clipboard;  // the text to put on the clipboard (Copy, Cut)
};

// Refusals and reports are shown in a box titled after the command.
BlockResult copyLines(const Document& doc, const Selection& sel, LineRange range,
                      MessagePort* messages);
BlockResult cutLines(Document& doc, const Selection& sel, LineRange range, MessagePort* messages);
BlockResult pasteLines(Document& doc, const Selection& sel, std::string_view text,
                       MessagePort* messages);
BlockResult pasteOver(Document& doc, const Selection& sel, std::string_view text,
                      MessagePort* messages);
// Moves the notes of range by `semitones` (12 for an octave), each named in the octave in force
// on its line. Notes that would leave what that octave can encode stay and are named in one box.
BlockResult transposeLines(Document& doc, const Selection& sel, LineRange range, int semitones,
                           MessagePort* messages);

BlockResult undoableCut(Document& doc, UndoHistory& history, const Selection& sel, LineRange range,
                        MessagePort* messages);
BlockResult undoablePaste(Document& doc, UndoHistory& history, const Selection& sel,
                          std::string_view text, MessagePort* messages);
BlockResult undoablePasteOver(Document& doc, UndoHistory& history, const Selection& sel,
                              std::string_view text, MessagePort* messages);
BlockResult undoableTranspose(Document& doc, UndoHistory& history, const Selection& sel,
                              LineRange range, int semitones, MessagePort* messages);

}  // namespace kestra
