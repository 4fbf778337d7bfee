// What reading remembered, as text appended to a song file, so that a song saved and opened
// again still writes back its lines byte for byte:
//   memory N LAYOUT HEADER POINTER FILE (channel N = 1..4; layout name, hex offsets, the path
//                                        of the file it was read from: the rest of the line)
//   bytes HEX...                        (the stream as read, two hex digits a byte)
//   line R BEGIN END GROUP KEPT|TEXT    (one per line: its bytes, note lines, kept targets, the
//                                        100-character text it was read as)
#pragma once

#include <string>
#include <string_view>

#include "model/read_memory.h"
#include "model/result.h"

namespace kestra {

std::string writeMemoryText(const ReadMemory& memory);
// Refuses damaged text with a message naming the line (counted from firstLine).
Result<ReadMemory> parseMemoryText(std::string_view text, size_t firstLine);

}  // namespace kestra
