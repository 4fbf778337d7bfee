// The Loop and Break sheets' keys (loop counts, break flags, target frames and lines) and the
// Break sheet's double-click.
#pragma once

#include "editing/cell_editor.h"

namespace kestra {

void loopKeyUp(CellEditor& ed);
void breakKeyUp(CellEditor& ed);
void breakDblClick(CellEditor& ed);

}  // namespace kestra
