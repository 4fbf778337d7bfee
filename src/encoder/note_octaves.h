// The octave each line's note is named in, as code creation names it: the one answer to "which
// octave is in force on this line" for the editing commands that rename notes.
#pragma once

#include <vector>

#include "model/sheets.h"

namespace kestra {

// For each line of the channel, the octave its Note cell is read in when the channel is
// encoded; -1 on lines that send no note ("---"). Lines after a page end are taken as if the
// page went on, so every line has an answer.
std::vector<int> noteOctaves(const ChannelSheets& lines, bool noise);

}  // namespace kestra
