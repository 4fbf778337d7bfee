// Every song of a file read and created again in memory at the address it was read from, under
// its own Song ID, as "Read Channel" then "Create Code" would: which songs the editor carries
// through unchanged. The file is never written.
#pragma once

#include <string>
#include <vector>

#include "model/file_state.h"
#include "rom/file_bytes.h"

namespace kestra {

struct RoundTrip {
    int songId = 0;
    bool same = false;
    // "same", "differs at OFFSET" (the first byte that would change), or why the song could not
    // be read ("not read: ...") or created ("not created: ...").
    std::string outcome;
};

// The songs of the file's table (sound effects and entries leading outside skipped), in Song ID
// order. A header shared by several Song IDs is read once.
std::vector<RoundTrip> roundTripSongs(const FileState& fs, const Bytes& bytes);

}  // namespace kestra
