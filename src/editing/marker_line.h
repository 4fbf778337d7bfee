// Page-end marker lines: the full-stop key ("." early page end) and the End key ("|" page end)
// mark a line across the channel's Music, Loop and Break sheets, or clear it again.
#pragma once

#include "model/sheets.h"

namespace kestra {

// Marks the row with mark ('.' or '|') unless its Note cell already carries that marker; then
// (and only without force) the row's value cells go back to their default texts.
void toggleMarkerLine(ChannelSheets& lines, char mark, int row, bool force);
// The value cells of the row in all three sheets := their default texts.
void clearLineValues(ChannelSheets& lines, int row);
// True when the Music Note cell of the row is "..." or "|||".
bool isMusicMarkerRow(const ChannelSheets& lines, int row);
// True when the given (Loop or Break) sheet's column 3 of the row is ".." or "||".
bool isGroupMarkerRow(const Sheet& sheet, int row);

}  // namespace kestra
