#include "app/core_actions.h"

#include "encoder/create_code.h"
#include "format/read_song.h"
#include "view/show_song.h"

namespace kestra {

void readSongCommand(Document& doc, MessagePort* messages) {
    readChannel(doc, messages);
}

void createCodeCommand(Document& doc, const std::string& addressText, int songId,
                       MessagePort* messages) {
    createCode(doc, addressText, songId, messages);
}

void showSongCommand(Document& doc, MessagePort* messages) {
    showSong(doc, messages);
}

}  // namespace kestra
