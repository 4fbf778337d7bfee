#include <cstdio>
#include <stdexcept>

#include "cli/cli_common.h"
#include "cli/commands.h"
#include "encoder/create_code.h"
#include "model/document.h"
#include "model/song_file.h"
#include "rom/layout.h"

namespace kestra::cli {

namespace {

// Damaged cell text ends the action with a box; here it is a line on stderr.
class PrintedMessages : public MessagePort {
  public:
    void messageBox(const std::string& title, const std::string& text) override {
        std::fprintf(stderr, "%s: %s\n", title.c_str(), text.c_str());
        shown = true;
    }
    bool confirm(const std::string&, const std::string&) override { return false; }
    bool shown = false;
};

}  // namespace

int runCreate(const Args& args) {
    if (args.size() < 3 || args.size() > 4) {
        std::fprintf(stderr, "usage: kestra-cli create FILE ADDRESS SONGID [SHEETFILE|-]\n");
        return 2;
    }
    const std::string& path = args[0];
    std::string source = args.size() == 4 ? args[3] : "-";
    int songId = 0;
    try {
        size_t used = 0;
        songId = std::stoi(args[2], &used);
        if (used != args[2].size()) throw std::invalid_argument("junk");
    } catch (const std::exception&) {
        std::fprintf(stderr, "kestra-cli create: SONGID must be a decimal number, not \"%s\"\n",
                     args[2].c_str());
        return 2;
    }
    auto dump = readSongTextForCli(source, "kestra-cli create: ");
    if (!dump) return 1;
    auto file = openSongFile(path);
    if (!file) {
        std::fprintf(stderr, "kestra-cli create: %s\n", file.error().c_str());
        return 1;
    }
    Document doc;
    doc.sheets = std::move(dump->sheets);
    doc.readMemory = std::move(dump->memory);
    doc.file = *file;
    PrintedMessages messages;
    bool written = createCode(doc, args[1], songId, &messages);
    for (const std::string& m : doc.errors.history()) std::printf("message: %s\n", m.c_str());
    if (!written) return 1;
    return doc.errors.empty() ? 0 : 3;
}

}  // namespace kestra::cli
