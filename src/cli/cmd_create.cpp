// kestra-cli create: a sheet dump encoded and written into the file, as "Create Code" does.
#include <cstdio>
#include <memory>

#include "cli/cli_common.h"
#include "cli/commands.h"
#include "encoder/create_code.h"
#include "encoder/find_place.h"
#include "model/document.h"
#include "model/hex_text.h"
#include "rom/layout.h"

namespace kestra::cli {

namespace {

struct CreateArgs {
    std::string file;
    std::string address;
    std::string songId;
    std::string sheets = "-";
};

// Damaged cell text ends the action with a box; here it is a line on standard error.
class PrintedMessages : public MessagePort {
  public:
    void messageBox(const std::string& title, const std::string& text) override {
        printError(title + ": " + text);
    }
    bool confirm(const std::string&, const std::string&) override { return false; }
};

int runCreate(const CreateArgs& a) {
    auto songId = tryDecTextToInt(a.songId);
    if (!songId || *songId > 0xFFFF)
        return usageError("SONGID must be a decimal number, not \"" + a.songId + "\"");
    if (isStandardStream(a.file))
        return usageError("FILE must be a file: the song is written into it in place");
    // FILE is written in place by design; the dump must not be it.
    if (auto may = checkOutputNotInput(a.file, {a.sheets}); !may) return fail(may.error());
    auto dump = readSongTextForCli(a.sheets);
    if (!dump) return kFailed;
    auto file = openSongFile(a.file);
    if (!file) return fail(file.error());
    Document doc;
    doc.sheets = std::move(dump->sheets);
    doc.remember(std::move(dump->memory));
    doc.file = *file;
    PrintedMessages messages;
    std::string address = a.address;
    bool mayGrow = false;
    if (address == "auto") {
        auto place = findPlace(doc, static_cast<int>(*songId), &messages);
        if (!place) {
            printSongMessages(doc.errors.history());
            return fail("nothing was written to " + a.file);
        }
        address = offsetText(place->headerOffset);
        mayGrow = place->growBy > 0;
        // Told before writing: a write that then fails still says where it was meant to go.
        std::printf("placed: %s\n", placeText(*place).c_str());
    }
    bool written = createCode(doc, address, static_cast<int>(*songId), &messages, mayGrow);
    printSongMessages(doc.errors.history());
    if (!written) return fail("nothing was written to " + a.file);
    if (!doc.errors.empty())
        return fail("the song was written to " + a.file +
                    ", but it reads back differently from the file");
    return kDone;
}

}  // namespace

void addCreateCommand(CLI::App& app) {
    auto args = std::make_shared<CreateArgs>();
    CLI::App* cmd = addCommand(
        app, "create", "encode a sheet dump and write it into the file as a song",
        "Encodes the sheet dump (a file, or standard input when SHEETFILE is \"-\" or left out)\n"
        "behind a new song header at file offset ADDRESS (hex) and points the song table entry\n"
        "of SONGID at it, exactly as \"Create Code\" does. With ADDRESS \"auto\" the place is\n"
        "chosen as \"Find place\" does and printed first (\"placed: 01D57 (412 bytes, in\n"
        "place)\"): the song's own place when it fits there, else the smallest free region\n"
        "that holds it (see \"space\"), else the end of an NSF, which grows by the bytes the\n"
        "song needs (never past $FFFF; an NES file never changes size). Every check runs on\n"
        "the place chosen. Every message of the run is printed\n"
        "as \"message: TEXT\". The file is only written when the run reported nothing; it is\n"
        "replaced in one step and its first original is kept as FILE.bak.\n"
        "Exit status: 0 written; 1 nothing written, or written but the song read back from\n"
        "the file differs (said on standard error); 2 wrong usage.",
        [args] { return runCreate(*args); });
    cmd->add_option("FILE", args->file, "the NSF or NES file to write into")->required();
    cmd->add_option("ADDRESS", args->address,
                    "file offset of the new song header, in hex, or \"auto\"")
        ->required();
    cmd->add_option("SONGID", args->songId, "the Song ID to point at the song")->required();
    cmd->add_option("SHEETFILE", args->sheets, "the sheet dump (\"-\": standard input)");
}

}  // namespace kestra::cli
