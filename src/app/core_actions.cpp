#include "app/core_actions.h"

namespace kestra {

void readSongCommand(Document& doc, MessagePort*) {
    doc.errors.report("Reading songs is not available in this build.");
}

void createCodeCommand(Document& doc, const std::string&, int, MessagePort*) {
    doc.errors.report("Creating code is not available in this build.");
}

void showSongCommand(Document& doc, MessagePort*) {
    doc.errors.report("Show Song is not available in this build.");
}

}  // namespace kestra
