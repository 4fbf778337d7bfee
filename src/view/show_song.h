// Show Song: walks each channel's lines in the order the driver plays them (loops, breaks,
// jumps, early page ends) into the MySong sheets, and combines those in the FourChan sheet.
#pragma once

#include <string>
#include <vector>

#include "model/document.h"
#include "model/ports.h"
#include "model/sheet.h"

namespace kestra {

// A walk that never reaches its page end (a loop or jump that cycles) is cut after this many
// rows; lines that take no time count against a larger budget so that they cannot cycle either.
constexpr int kShowRowLimit = 100000;
constexpr int kShowLinesPerRow = 8;

// Fills one MySong sheet from a channel's frame texts (30, 38 and 32-character line records).
// Returns true when the walk reached the page end. On a failed frame-end check the sheet keeps
// one empty row; a walk that is cut or leaves the frame store keeps the rows walked, without an
// end row. Failures are reported into errors, naming the channel. Damaged loop, break or jump
// text throws ConversionError (the rows walked so far are kept).
bool showChannel(int frameCount, const std::string& channelName,
                 const std::vector<std::string>& musicFrames,
                 const std::vector<std::string>& loopFrames,
                 const std::vector<std::string>& breakFrames, Sheet& song, ErrorBox& errors,
                 int rowLimit = kShowRowLimit);

// FourChan: as many rows as the longest MySong sheet; Note, Vol and Ins of each channel side by
// side. Cells of rows beyond a shorter channel are empty.
void buildFourChanView(const Sheet& song1, const Sheet& song2, const Sheet& song3,
                       const Sheet& song4, Sheet& fourChan);

// A marker row: column 3 the mark three times, column 4 once, 5-17 twice, and with extra
// columns also 18-20 twice. The row must exist.
void writeEndRow(Sheet& grid, char mark, int row, bool withExtraColumns);

// Columns 0-2 of every row: line number, beat marker, count (the row numbering of the editable
// sheets). Every row gets all three cells, so no text of an earlier show survives.
void numberSongRows(Sheet& grid, bool decimalCounting = kDecimalCounting,
                    int countWrap = kCountWrap, int beatSpacing = kBeatSpacing);

// The "Show Song" action: stores the shown frame, shows the four channels (a failing channel does
// not stop the others; messages go to doc.errors, which is not emptied) and builds FourChan.
// Damaged cell text ends that channel's walk with a message box. Returns false if any channel
// stopped on damaged text.
bool showSong(Document& doc, MessagePort* messages);

}  // namespace kestra
