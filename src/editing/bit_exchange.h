// Opening the Flag/Tone bit dialog on the selected cell: the cell's bits go out through the
// BitDialogPort and the chosen bits come back as two hex digits.
#pragma once

#include <optional>
#include <string>

#include "editing/cell_editor.h"

namespace kestra {

// Shows the dialog for the cell text ("--" or two hex digits). Returns the new cell text, or
// nothing when the dialog was cancelled (or no dialog is available).
std::optional<std::string> exchangeBits(CellEditor& ed, BitKind kind, const std::string& cell);
// Enter: the dialog edits the selected cell; Delete: the cell becomes "--"; other keys nothing.
void openBitDialog(CellEditor& ed, BitKind kind);

}  // namespace kestra
