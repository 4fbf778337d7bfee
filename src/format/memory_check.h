// Song files carry the bytes each line was read from. A file edited by hand or damaged can carry
// bytes that no longer spell their line; written back as they are, they would put into the game
// what the sheet does not show.
#pragma once

#include <string>

#include "model/read_memory.h"

namespace kestra {

// Decodes each channel's remembered bytes again. A line whose bytes do not give its remembered
// line is remembered as what they do give, so that the line as shown no longer matches and is
// encoded from its cells; a channel whose bytes do not even cut into the same lines is forgotten
// whole. Returns the one message naming those lines, or the empty text when all agree.
std::string forgetUnspelledLines(ReadMemory& memory);

}  // namespace kestra
