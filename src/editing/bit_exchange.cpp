#include "editing/bit_exchange.h"

#include "editing/bit_dialog.h"
#include "model/hex_text.h"

namespace kestra {

std::optional<std::string> exchangeBits(CellEditor& ed, BitKind kind, const std::string& cell) {
    std::string bits = cell == "--" ? std::string(kNoBits) : hexToBin8(cell);
    BitDialogPort* dialog = ed.context().bits;
    if (!dialog) return std::nullopt;
    std::string answer = dialog->editBits(kind, bits);
    // Anything but eight bits is a Cancel: the cell must keep its two-digit form.
    if (!isBitText(answer)) return std::nullopt;
    return binToHexText(answer, 2);
}

void openBitDialog(CellEditor& ed, BitKind kind) {
    if (ed.key() == kKeyEnter) {
        if (auto text = exchangeBits(ed, kind, std::string(ed.selected()))) ed.setSelected(*text);
    } else if (ed.key() == kKeyDelete) {
        ed.setSelected("--");
    }
}

}  // namespace kestra
