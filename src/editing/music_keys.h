// The Music sheet's keys, column by column, and its double-click (the bit dialog of the Flag and
// Tn tp columns).
#pragma once

#include "editing/cell_editor.h"

namespace kestra {

// The full-stop and End keys toggle a marker line from any editable sheet; true when the key
// was one of them.
bool markerKeyUp(CellEditor& ed);
void musicKeyUp(CellEditor& ed);
void musicDblClick(CellEditor& ed);

}  // namespace kestra
