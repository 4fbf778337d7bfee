#include "editing/sheet_editing.h"

#include <algorithm>

#include "editing/cell_editor.h"
#include "editing/loop_break_keys.h"
#include "editing/music_keys.h"
#include "model/guard.h"

namespace kestra {

const std::vector<std::string>& instrumentListItems() {
    static const std::vector<std::string> kItems = {"00: Beep", "01: Short"};
    return kItems;
}

void EditResult::touch(int channel, SheetKind sheet, int firstRow, int lastRow) {
    for (ChangedRows& c : changed) {
        if (c.channel != channel || c.sheet != sheet) continue;
        c.firstRow = std::min(c.firstRow, firstRow);
        c.lastRow = std::max(c.lastRow, lastRow);
        return;
    }
    changed.push_back({channel, sheet, firstRow, lastRow});
}

bool keyDown(Document& doc, int key) {
    doc.lastKey = key;
    return !isArrowKey(key);
}

namespace {

bool isEditableSheet(SheetKind kind) {
    return kind == SheetKind::Music || kind == SheetKind::Loop || kind == SheetKind::Break;
}

// The selection names one cell of an editable sheet that exists.
bool actsOnCell(const Document& doc, const Selection& sel) {
    if (!isEditableSheet(sel.sheet) || !sel.singleColumn()) return false;
    if (sel.channel < 0 || sel.channel >= kChannelCount) return false;
    return doc.sheets.grid(sel.channel, sel.sheet).inRange(sel.row, sel.left);
}

}  // namespace

EditResult keyUp(Document& doc, const Selection& sel, EditContext& ctx) {
    EditResult result;
    // A cleared key (after a digit edit) is the release of Shift or of the digit: nothing to do.
    if (doc.lastKey == kKeyNone || isArrowKey(doc.lastKey)) return result;
    if (!actsOnCell(doc, sel)) return result;
    CellEditor ed(doc, sel, ctx, result);
    runGuarded(ctx.messages, [&] {
        switch (sel.sheet) {
            case SheetKind::Music:
                musicKeyUp(ed);
                break;
            case SheetKind::Loop:
                loopKeyUp(ed);
                break;
            default:
                breakKeyUp(ed);
                break;
        }
    });
    return result;
}

EditResult doubleClick(Document& doc, const Selection& sel, EditContext& ctx) {
    EditResult result;
    if (sel.sheet != SheetKind::Music && sel.sheet != SheetKind::Break) return result;
    if (!actsOnCell(doc, sel)) return result;
    doc.lastKey = kKeyEnter;
    CellEditor ed(doc, sel, ctx, result);
    runGuarded(ctx.messages, [&] {
        if (sel.sheet == SheetKind::Music)
            musicDblClick(ed);
        else
            breakDblClick(ed);
    });
    return result;
}

}  // namespace kestra
