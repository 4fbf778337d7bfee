// The line places a timeline needs, from the two places a song can come from: the sheets as
// encoded in memory (the encoder's line addresses) or a song of the file (the reader's lines).
#pragma once

#include <cstdint>

#include "encoder/song_encoder.h"
#include "listen/driver_timeline.h"
#include "model/file_state.h"
#include "model/frame_store.h"
#include "model/result.h"

namespace kestra::listen {

// The song as encodeSong laid it out from these frames.
SongPlaces placesOfEncodedSong(const FileState& fs, const EncodedSong& song,
                               const SongFrames& frames);

// The song whose header is at headerOffset of the file, read as "Read Channel" reads it (lines
// of frame 0). Fails with the reader's message when the song cannot be read.
Result<SongPlaces> placesOfFileSong(const FileState& fs, const Bytes& file,
                                    std::uint32_t headerOffset);

}  // namespace kestra::listen
