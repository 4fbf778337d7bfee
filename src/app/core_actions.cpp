#include "app/core_actions.h"

#include "encoder/create_code.h"
#include "format/read_song.h"
#include "view/show_song.h"

namespace kestra {

bool readSongCommand(Document& doc, MessagePort* messages) {
    return readChannel(doc, messages);
}

bool createCodeCommand(Document& doc, const std::string& addressText, int songId,
                       MessagePort* messages, bool mayGrow, CodeWritten* written) {
    return createCode(doc, addressText, songId, messages, mayGrow, written);
}

std::optional<Place> findPlaceCommand(Document& doc, int songId, MessagePort* messages) {
    doc.errors.clear();
    return findPlace(doc, songId, messages);
}

void showSongCommand(Document& doc, MessagePort* messages) {
    showSong(doc, messages);
}

}  // namespace kestra
