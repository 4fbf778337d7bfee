// Show Song: walks each channel's lines in the order the driver plays them (loops, breaks,
// jumps, early page ends) into the MySong sheets, and combines those in the FourChan sheet.
#pragma once

#include <string>
#include <vector>

#include "model/document.h"
#include "model/ports.h"
#include "model/frame_store.h"
#include "model/song_rows.h"

namespace kestra {

// A walk that never reaches its page end (a loop or jump that cycles) is cut after this many
// rows; lines that take no time count against a larger budget so that they cannot cycle either.
constexpr int kShowRowLimit = 100000;
constexpr int kShowLinesPerRow = 8;

// Fills one channel's Song rows from its frame texts (30, 38 and 32-character line records).
// Returns true when the walk reached the page end, which then closes the rows with an end row.
// On a failed frame-end check no row is kept; a walk that is cut or leaves the frames keeps
// the rows walked. Failures are reported into errors, naming the channel. Damaged loop, break or
// jump text throws ConversionError (the rows walked so far are kept).
bool showChannel(int frameCount, const std::string& channelName, const FrameTexts& musicFrames,
                 const FrameTexts& loopFrames, const FrameTexts& breakFrames, SongRows& song,
                 ErrorBox& errors, int rowLimit = kShowRowLimit);

// The "Show Song" action: shows the four channels (a failing channel does
// not stop the others; messages go to doc.errors, which is not emptied) and builds FourChan.
// Damaged cell text ends that channel's walk with a message box. Returns false if any channel
// stopped on damaged text.
bool showSong(Document& doc, MessagePort* messages);

}  // namespace kestra
