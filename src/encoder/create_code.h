// "Create Code": store the shown frame, encode the song behind a new header at the typed
// address, check it, and only when nothing was reported patch the file safely.
#pragma once

#include <optional>
#include <string>

#include "encoder/song_encoder.h"
#include "model/document.h"
#include "model/ports.h"

namespace kestra {

struct PreparedSong {
    EncodedSong song;
    Bytes original;  // the file as read
    Bytes patched;   // the file as Create Code would write it
};

// Everything "Create Code" does before it writes: the checks of the address, the encoding of the
// shown sheets with all its checks, and the placement and read-back checks against the file as
// it is on disk. Messages go to doc.errors (not emptied here). Nothing is written. With mayGrow
// the song may run past the end of an NSF within its address space (a place findPlace chose).
std::optional<PreparedSong> prepareSong(Document& doc, const std::string& addressText, int songId,
                                        bool mayGrow = false);

// What a run wrote, for the window's report of it.
struct CodeWritten {
    std::uint32_t headerOffset = 0;
    std::size_t songBytes = 0;  // the header and the four streams
    std::string backupPath;     // the file as before its first write
};

// The whole action (btnCreateSongClick). Empties doc.errors first; every problem ends up there
// (damaged cell text goes to `messages` as a conversion error). Returns true when the file was
// written (and fills `written` when given); a read-back mismatch after writing is reported but
// still returns true. mayGrow: the address is a place findPlace chose at the end of an NSF.
bool createCode(Document& doc, const std::string& addressText, int songId, MessagePort* messages,
                bool mayGrow = false, CodeWritten* written = nullptr);

}  // namespace kestra
