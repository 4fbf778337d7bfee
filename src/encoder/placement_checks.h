// The checks made before a new song is written into the file: that it fits, that it spares
// every other song and the layout's own bytes, and that the reader would find it where written.
#pragma once

#include <string>
#include <vector>

#include "encoder/song_encoder.h"
#include "encoder/song_footprint.h"
#include "model/file_state.h"
#include "rom/file_bytes.h"

namespace kestra {

// A part of the file that must not be overwritten, with the words that name it in a message.
struct ProtectedRange {
    FileRange range;
    std::string owner;  // "the song header of Song ID 4", "the song table" ...
};

// Everything in the file the new song of songId must spare: the file header, the song table,
// the layout's bank, signature and table-position bytes, and the header and channel streams of
// every other Song ID (the bytes of songId's present song are free to be replaced).
std::vector<ProtectedRange> protectedRanges(const FileState& fs, const Bytes& file, int songId);

// Why the song's patches do not all lie inside the file, or the empty text: what must hold
// before any patch, on disk or in memory.
std::string fitProblem(const FileState& fs, const Bytes& file, const EncodedSong& song);

// The first reason not to write `song` into `file`, or the empty text when it may be written.
std::string placementProblem(const FileState& fs, const Bytes& file, const EncodedSong& song);

// The file with the song's patches applied (the patches must lie inside the file).
Bytes patchedCopy(const Bytes& file, const EncodedSong& song);

// Reads the song back from `file` by the reader's rules and compares it with what was encoded:
// the table entry, the header and every stream. The empty text when all agree.
std::string readBackProblem(const FileState& fs, const Bytes& file, const EncodedSong& song);

}  // namespace kestra
