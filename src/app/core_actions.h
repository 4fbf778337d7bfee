// The commands of the window as calls into the core: one place where the program meets the
// decoder, the encoder and the song view.
#pragma once

#include <string>

#include "model/document.h"

namespace kestra {

// "Read Channel": asks for confirmation, then reads the song at the read/write address.
void readSongCommand(Document& doc, MessagePort* messages);
// "Create Code": encodes the sheets and writes them behind a header at addressText.
void createCodeCommand(Document& doc, const std::string& addressText, int songId,
                       MessagePort* messages);
// "Show Song": fills the MySong and FourChan sheets.
void showSongCommand(Document& doc, MessagePort* messages);

}  // namespace kestra
