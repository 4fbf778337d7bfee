// What Play hands the player: the NSF bytes to play and the places of the song's lines for the
// timeline, either with the shown sheets written in memory as "Create Code" would write them,
// or the file as it is on disk.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "listen/song_places.h"
#include "model/document.h"

namespace kestra::listen {

struct PlayableSong {
    Bytes nsf;
    SongPlaces places;
};

// The shown sheets encoded as Create Code would for the address text and songId, patched into
// a copy of the file read from disk; the file is not written. Where the song does not fit at
// the address, it goes where findPlace puts it (the NSF copy may grow), with a caution saying so.
// Every message goes to doc.errors as Create Code reports it (the box is emptied first). Damaged
// cell text throws ConversionError, as in Create Code.
std::optional<PlayableSong> playableSheets(Document& doc, const std::string& addressText,
                                           int songId);

// The file's bytes as they are, with the places of the song whose header is at headerOffset
// (none when there is no such song).
PlayableSong playableFile(const FileState& fs, Bytes bytes,
                          std::optional<std::uint32_t> headerOffset);

// The file's bytes as they are, with the places of the song NSF track `track` (from 0) plays:
// Song ID track + 1, when the layout is known and that Song ID is a song.
PlayableSong playableTrack(Bytes bytes, const std::string& path, int track);

}  // namespace kestra::listen
