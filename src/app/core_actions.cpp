#include "app/core_actions.h"

#include "format/read_song.h"

namespace kestra {

void readSongCommand(Document& doc, MessagePort* messages) {
    readChannel(doc, messages);
}

void createCodeCommand(Document& doc, const std::string&, int, MessagePort*) {
    doc.errors.report("Creating code is not available in this build.");
}

void showSongCommand(Document& doc, MessagePort*) {
    doc.errors.report("Show Song is not available in this build.");
}

}  // namespace kestra
