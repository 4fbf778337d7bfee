// Finding a place for a song whose size changed: its own place when it fits there, else the
// smallest free region of the file that holds it, else the end of an NSF, which then grows.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "model/document.h"
#include "model/file_state.h"
#include "model/frame_store.h"
#include "model/ports.h"
#include "model/read_memory.h"
#include "rom/file_bytes.h"

namespace kestra {

enum class PlaceKind { InPlace, FreeBytes, GrowsNsf };

struct Place {
    std::uint32_t headerOffset = 0;
    std::uint64_t size = 0;  // the song's bytes: header and streams
    PlaceKind kind = PlaceKind::InPlace;
    std::uint64_t regionSize = 0;  // the free region it goes into (FreeBytes)
    std::uint64_t growBy = 0;      // bytes the NSF grows by (0: the file keeps its size)
};

// "01D57 (412 bytes, in place)", "3A010 (412 bytes, in free bytes at $3A010)",
// "08123 (412 bytes, the NSF grows by 37 bytes)".
std::string placeText(const Place& place);
// Where, why, and whether the file grows, for the user.
std::string placeExplanation(const Place& place);

// The place for the song of the frame store as Song ID songId in `file`. Every check of
// "Create Code" is run on the place chosen. When there is none, the reason is reported into
// errors: the encoder's messages, or the bytes needed and the largest free region.
std::optional<Place> findPlace(const SongFrames& frames, const ReadMemory* memory,
                               const FileState& fs, const Bytes& file, int songId,
                               ErrorBox& errors);

// The same for the shown sheets of the document, against the file as it is on disk; damaged
// cell text goes to `messages` as a conversion error. Nothing is written.
std::optional<Place> findPlace(Document& doc, int songId, MessagePort* messages);

}  // namespace kestra
