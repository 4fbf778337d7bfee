#include "editing/cell_editor.h"

#include "model/hex_text.h"

namespace kestra {

std::string_view CellEditor::selected() const {
    return cell(sel_.sheet, col());
}

std::string_view CellEditor::cell(SheetKind sheet, int col) const {
    return doc_.sheets.channel(sel_.channel).sheet(sheet).cell(sel_.row, col);
}

void CellEditor::setCell(SheetKind sheet, int col, std::string_view text) {
    Sheet& target = lines().sheet(sheet);
    if (target.cell(sel_.row, col) == text || !target.setCell(sel_.row, col, text)) return;
    result_.touch(sel_.channel, sheet, sel_.row, sel_.row);
}

void CellEditor::touchRow(SheetKind sheet) {
    result_.touch(sel_.channel, sheet, sel_.row, sel_.row);
}

long long CellEditor::selectedCellValue() const {
    const std::string_view text = selected();
    if (text == "-" || text == "--") return -1;
    if (auto v = tryDecTextToInt(text)) return *v;
    return hexTextToInt(text);
}

void CellEditor::editHexCell(HexMode mode) {
    const bool oneDigit = mode == HexMode::OneDigit;
    if (key() == kKeyEnter) {
        setSelected(oneDigit ? "0" : "00");
        if (mode == HexMode::LoopCount) {
            setCell(col() + 2, "0000");
            setCell(col() + 1, "00");
        }
    }
    std::string text(selected());
    // A one-character text has no second character and counts as set: the Vol cell takes a digit
    // without Enter.
    if (text.size() >= 2 && text[1] == '-') {
        if (key() != kKeyEnter) report("Press 'Enter' on the data first to set it to 0.");
        return;
    }
    const int width = oneDigit ? 1 : 2;
    const size_t position = (oneDigit || shiftHeld()) ? 0 : 1;
    if (key() == kKeyDelete) {
        setSelected(oneDigit ? "-" : "--");
        if (mode == HexMode::LoopCount) {
            setCell(col() + 2, kEmptyLineCell);
            setCell(col() + 1, "--");
        }
    } else if (isHexDigitKey(key())) {
        // Pad first as well, so a short damaged text never has a digit written past its end.
        padLeftZeros(width, text);
        text[position] = keyChar(key());
        padLeftZeros(width, text);
        setSelected(std::move(text));
        clearKey();
    }
}

}  // namespace kestra
