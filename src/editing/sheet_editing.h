// The editing session the GUI calls: key intake, key-release and double-click actions on the
// Music, Loop and Break sheets, and the "Add lines" / "Remove Line" commands. Each call returns
// what changed so the GUI can tell its table models; no Qt type crosses this interface.
//
// Use: on every key press in any grid call keyDown and swallow the key when it says so; on key
// release call keyUp with the selection of the grid shown. Then apply the EditResult: first the
// row insertion or removal (all three sheets of that channel), then dataChanged for each
// ChangedRows, then move the selection if one is given.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "model/document.h"
#include "model/keys.h"
#include "model/ports.h"
#include "model/sheets.h"

namespace kestra {

// The selection of the grid that received the event: its sheet and channel (the channel shown),
// the top row and the left and right columns. Editing acts only when exactly one column is
// selected.
struct Selection {
    SheetKind sheet = SheetKind::Music;
    int channel = kSquare1;
    int row = 0;
    int left = 0;
    int right = 0;

    static Selection cell(SheetKind sheet, int channel, int row, int column) {
        return {sheet, channel, row, column, column};
    }
    bool singleColumn() const { return left == right; }
    bool operator==(const Selection&) const = default;
};

// The instrument list items ("00: Beep", "01: Short"); the GUI fills cbxInstrument from it.
const std::vector<std::string>& instrumentListItems();

// What a key action may need besides the document. Any port may be null: no keyboard means
// Shift is not held, no bit dialog means every dialog is cancelled, no message port means
// conversion errors end the action silently.
struct EditContext {
    KeyboardPort* keyboard = nullptr;  // Shift at the moment of action
    BitDialogPort* bits = nullptr;     // the Flag/Tone bit dialog
    MessagePort* messages = nullptr;   // the box that shows damaged cell text
    int instrumentIndex = 0;           // selected item of cbxInstrument; -1 when none
    int instrumentCount = 2;           // items in cbxInstrument
};

// Rows of one sheet whose cell texts may have changed (inclusive range; GUI: dataChanged).
struct ChangedRows {
    int channel = 0;
    SheetKind sheet = SheetKind::Music;
    int firstRow = 0;
    int lastRow = 0;
    bool operator==(const ChangedRows&) const = default;
};

// Rows inserted into or removed from a channel's Music, Loop and Break sheets (all three alike).
// GUI: beginInsertRows(at, at + count - 1) / beginRemoveRows(at, at + count - 1) on each of the
// three models, then dataChanged for `changed`.
struct RowsMoved {
    enum class Kind { Inserted, Removed };
    Kind kind = Kind::Inserted;
    int channel = 0;
    int at = 0;
    int count = 0;
    bool operator==(const RowsMoved&) const = default;
};

// What one action changed. `changed` refers to row numbers after any insertion or removal.
struct EditResult {
    std::vector<ChangedRows> changed;
    std::optional<RowsMoved> rows;
    std::optional<Selection> selection;  // where the selection must go, when it has to move

    bool changedAnything() const { return !changed.empty() || rows.has_value(); }
    // Records rows of a sheet as changed, merging with an entry of the same sheet.
    void touch(int channel, SheetKind sheet, int firstRow, int lastRow);
};

// Key down in any sheet (editable or view): remembers the key in doc.lastKey. Returns true when
// the key must be swallowed (every key but the arrows), so that the grid never acts on it.
bool keyDown(Document& doc, int key);

// Key released in the sheet of `sel`: acts on doc.lastKey (not on the released key) by the
// editing rules of the Music, Loop or Break sheet. The MySong and FourChan views do nothing.
// Refusals go to doc.errors; damaged cell text ends the action through ctx.messages.
EditResult keyUp(Document& doc, const Selection& sel, EditContext& ctx);

// Double-click in the sheet of `sel`: the Flag and Tn tp columns of the Music sheet and the
// flags of set breaks open the bit dialog. The Loop sheet and the views have no action.
EditResult doubleClick(Document& doc, const Selection& sel, EditContext& ctx);

// "Where to add the lines" (cbxBefAft).
enum class AddWhere { Before = 0, After = 1 };

// "Add lines": inserts the number of lines in countText (txtNbLineAdd) before or after the
// selected line of sel.channel and renumbers the loop, jump and break line references.
// Refusals are shown in a box titled "Add lines".
EditResult addLines(Document& doc, const Selection& sel, std::string_view countText, AddWhere where,
                    MessagePort* messages);

// "Remove Line": deletes the number of lines in countText from the selected line on, refusing
// when a line that stays refers to a line to be deleted. Refusals: box titled "Remove lines".
EditResult removeLines(Document& doc, const Selection& sel, std::string_view countText,
                       MessagePort* messages);

}  // namespace kestra
