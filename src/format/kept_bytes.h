// What reading keeps of a channel's lines: the part of the stream each line came from, the
// cells it gave, and which of its Loop/Break/Jump targets stay addresses as read.
#pragma once

#include <cstddef>
#include <vector>

#include "model/read_memory.h"
#include "model/sheets.h"
#include "rom/file_bytes.h"

namespace kestra {

// Where the part of the stream that goes to `line` starts; the parts are consecutive.
struct LineMark {
    size_t at;
    int line;
};

// One LineMemory for each of the `rows` lines of `sheets` (their records are shared apart),
// decoded from `stream` (streamEnd:
// one past its End byte) whose lines start at `marks`. `kept` (ascending) holds the stream
// indexes of the Loop/Break/Jump commands whose target is no line.
std::vector<LineMemory> rememberLines(const Bytes& stream, size_t streamEnd,
                                      const std::vector<LineMark>& marks,
                                      const std::vector<size_t>& kept, const ChannelSheets& sheets,
                                      int rows);

}  // namespace kestra
