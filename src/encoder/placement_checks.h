// The checks made before a new song is written into the file: that it fits, that it spares
// every other song and the layout's own bytes, and that the reader would find it where written.
#pragma once

#include <string>
#include <vector>

#include "encoder/song_encoder.h"
#include "encoder/song_footprint.h"
#include "model/file_state.h"
#include "model/result.h"
#include "rom/file_bytes.h"

namespace kestra {

// A part of the file that must not be overwritten, with the words that name it in a message.
struct ProtectedRange {
    FileRange range;
    std::string owner;  // "the song header of Song ID 4", "the song table" ...
    int songId = 0;     // 0: the file's own bytes (header, table, layout bytes)
    std::string label;  // as the file map names it: "header:4", "4:Noise", "song-table" ...
};

// Every part of the file a song, the table or the layout uses, in no particular order. Of a
// sound effect only its header counts: the reader follows none of its fields.
std::vector<ProtectedRange> fileUses(const FileState& fs, const Bytes& file);

// Everything in the file the new song of songId must spare: the file header, the song table,
// the layout's bank, signature and table-position bytes, and the header and channel streams of
// every other Song ID (the bytes of songId's present song are free to be replaced).
std::vector<ProtectedRange> protectedRanges(const FileState& fs, const Bytes& file, int songId);

// The size an NSF may grow to: its data loaded at its load address reaching up to $FFFF. The
// file's own size for an iNES ROM and for an NSF that switches banks.
std::uint64_t nsfSizeLimit(const FileState& fs, const Bytes& file);

// Why the song's patches do not all lie inside the file (or, with mayGrow, inside the NSF's
// address space): what must hold before any patch, on disk or in memory.
Status checkFit(const FileState& fs, const Bytes& file, const EncodedSong& song,
                bool mayGrow = false);

// Fails with the first reason not to write `song` into `file`.
// Bytes of other songs may be written over with the bytes they already hold. With mayGrow the
// song may run past the end of an NSF, up to nsfSizeLimit.
Status checkPlacement(const FileState& fs, const Bytes& file, const EncodedSong& song,
                      bool mayGrow = false);

// The file with the song's patches applied; a song past the end of the file makes it longer.
Bytes patchedCopy(const Bytes& file, const EncodedSong& song);

// Reads the song back from `file` by the reader's rules and compares it with what was encoded:
// the table entry, the header and every stream. Fails with the first difference.
Status checkReadBack(const FileState& fs, const Bytes& file, const EncodedSong& song);

}  // namespace kestra
