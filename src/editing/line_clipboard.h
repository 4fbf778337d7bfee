// Lines on the clipboard: whole lines of one channel (Music, Loop and Break records together) as
// sheet-dump text, so they move between two editor windows and read well in a text editor:
//   channel N
//   RRR <music 30>|<loop 38>|<break 32>
// Each line keeps its line number, so loops, breaks and jumps that go to a line of the block can
// be moved with it when the block is pasted elsewhere.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "editing/line_selection.h"
#include "model/result.h"
#include "model/sheets.h"

namespace kestra {

struct ClipLine {
    int source = 0;  // the line number it had where it was copied
    std::string music, loop, brk;
};

struct ClipBlock {
    int channel = -1;  // 0-3 as copied, -1 when the text did not say
    std::vector<ClipLine> lines;
};

// True for the page-end and early page-end lines, which are never copied or overwritten.
bool isPageEndLine(const ChannelSheets& lines, int row);

// The lines of range (page-end lines left out) as clipboard text.
ClipBlock copyBlock(const ChannelSheets& lines, int channel, LineRange range);
std::string clipboardText(const ClipBlock& block);

// Reads clipboard text. Page-end lines and "message:" lines are left out; anything else that is
// not a sheet line, lines of more than one channel, or line numbers that do not increase are
// refused with a message naming the line.
Result<ClipBlock> parseClipboardText(std::string_view text);

}  // namespace kestra
