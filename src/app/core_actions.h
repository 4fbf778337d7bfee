// The commands of the window as calls into the core: one place where the program meets the
// decoder, the encoder and the song view.
#pragma once

#include <optional>
#include <string>

#include "encoder/create_code.h"
#include "encoder/find_place.h"
#include "model/document.h"

namespace kestra {

// "Read Channel": asks for confirmation, then reads the song at the read/write address. True
// when a song was read.
bool readSongCommand(Document& doc, MessagePort* messages);
// "Create Code": encodes the sheets and writes them behind a header at addressText. True when
// the file was written; `written` tells what. mayGrow: the address is a place "Find place" chose
// at the end of an NSF.
bool createCodeCommand(Document& doc, const std::string& addressText, int songId,
                       MessagePort* messages, bool mayGrow, CodeWritten* written);
// "Find place": where the shown song would go as songId; nothing is written.
std::optional<Place> findPlaceCommand(Document& doc, int songId, MessagePort* messages);
// "Show Song": fills the MySong and FourChan sheets.
void showSongCommand(Document& doc, MessagePort* messages);

}  // namespace kestra
