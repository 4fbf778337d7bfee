// A map of the opened file: every region in address order with what uses it (the file header,
// layout bytes, song table, song headers and channel streams), and the bytes a song may be
// written into. Used by `kestra-cli space` and by finding a place for a song.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "encoder/song_footprint.h"
#include "model/file_state.h"
#include "rom/file_bytes.h"

namespace kestra {

enum class RegionKind {
    Used,   // by a song, the table or the layout
    Free,   // may be written into
    Other,  // used by nothing we know of: code, graphics or data of the game
};

enum class FreeKind {
    Filler,   // a run of at least kMinFillerRun equal 0x00 or 0xFF bytes in the driver's window
    OwnOld,   // the old bytes of the song being written that no other song uses
    PastEnd,  // after the end of an NSF that does not switch banks, up to $FFFF
};

struct FileRegion {
    FileRange range;
    RegionKind kind = RegionKind::Other;
    FreeKind free = FreeKind::Filler;
    std::uint8_t fill = 0;          // the filler byte of a Filler region
    std::vector<std::string> uses;  // what uses it ("header:4", "4:Noise" ...), sorted
};

// Shorter runs of filler may be part of code or tables, so they are never called free.
inline constexpr std::uint64_t kMinFillerRun = 16;

// Whether a song may start at `offset`: a header there is found through a song table entry,
// and a channel starting there is read there.
bool inDriverWindow(const FileState& fs, std::uint64_t offset);

// The whole file in address order, regions neither empty nor overlapping; a region shared by
// several songs is one region with all their uses. writingSongId (0: none) is the song about
// to be written: its bytes that no other song uses count as free.
std::vector<FileRegion> mapFile(const FileState& fs, const Bytes& file, int writingSongId = 0);

// One line of `kestra-cli space`: "01009-0101F 23 2:Square1 5:Noise", "0A000-0AFFF 4096 free FF".
std::string regionText(const FileRegion& region);

}  // namespace kestra
