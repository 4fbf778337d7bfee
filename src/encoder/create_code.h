// "Create Code": store the shown frame, encode the song behind a new header at the typed
// address, check it, and only when nothing was reported patch the file safely.
#pragma once

#include <string>

#include "model/document.h"
#include "model/ports.h"

namespace kestra {

// The whole action (btnCreateSongClick). Empties doc.errors first; every problem ends up there
// (damaged cell text goes to `messages` as a conversion error). Returns true when the file was
// written; a read-back mismatch after writing is reported but still returns true.
bool createCode(Document& doc, const std::string& addressText, int songId, MessagePort* messages);

}  // namespace kestra
