// The working context of one key or mouse action on the selected cell: reads and writes cells of
// the acting channel (recording what changed), reports refusals, reads Shift, and holds the
// hex-digit editor shared by the Music, Loop and Break sheets.
#pragma once

#include <string>
#include <string_view>

#include "editing/sheet_editing.h"

namespace kestra {

enum class HexMode { LoopCount = 3, OneDigit = 4, TwoDigits = 5 };

class CellEditor {
  public:
    CellEditor(Document& doc, const Selection& sel, EditContext& ctx, EditResult& result)
        : doc_(doc), sel_(sel), ctx_(ctx), result_(result) {}

    int key() const { return doc_.lastKey; }
    void clearKey() { doc_.lastKey = kKeyNone; }
    int row() const { return sel_.row; }
    int col() const { return sel_.left; }
    int channel() const { return sel_.channel; }
    ChannelSheets& lines() { return doc_.sheets.channel(sel_.channel); }
    EditContext& context() { return ctx_; }
    EditResult& result() { return result_; }

    // The selected cell of the acting grid.
    std::string_view selected() const;
    void setSelected(std::string_view text) { setCell(sel_.sheet, col(), text); }
    // A cell of the selected row in the acting grid or in another sheet of the same channel.
    std::string_view cell(int col) const { return cell(sel_.sheet, col); }
    std::string_view cell(SheetKind sheet, int col) const;
    void setCell(int col, std::string_view text) { setCell(sel_.sheet, col, text); }
    // Text that is not the cell's width is not stored.
    void setCell(SheetKind sheet, int col, std::string_view text);
    // Records the whole selected row of a sheet as changed (after bulk writes).
    void touchRow(SheetKind sheet);

    void report(std::string_view message) { doc_.errors.report(std::string(message)); }
    bool shiftHeld() const { return ctx_.keyboard && ctx_.keyboard->shiftDown(); }

    // The selected cell as a number: decimal, else hex; -1 for "-" or "--". Damaged text throws
    // ConversionError.
    long long selectedCellValue() const;

    // The hex-digit editor: Enter starts the value, Delete empties it, a hex digit key sets the
    // low digit (with Shift the high one) of a value that exists.
    void editHexCell(HexMode mode);

  private:
    Document& doc_;
    Selection sel_;
    EditContext& ctx_;
    EditResult& result_;
};

}  // namespace kestra
