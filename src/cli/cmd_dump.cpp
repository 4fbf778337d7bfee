// kestra-cli dump: the song at a header offset, read as "Read Channel" reads it, as a sheet dump.
#include <cctype>
#include <cstdio>

#include "cli/cli_common.h"
#include "cli/commands.h"
#include "format/read_song.h"
#include "model/hex_text.h"
#include "model/memory_text.h"
#include "model/sheet_dump.h"
#include "rom/layout.h"
#include "rom/song_table.h"

namespace kestra::cli {

int runDump(const Args& args) {
    bool remember = args.size() == 3 && args[2] == "--remember";
    if (args.size() != 2 && !remember) {
        std::fprintf(stderr, "usage: kestra-cli dump FILE ADDRESS [--remember]\n");
        return 2;
    }
    std::string address = args[1];
    for (char& c : address) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    if (std::string problem = addressTextProblem(address); !problem.empty()) {
        std::fprintf(stderr, "%s\n", problem.c_str());
        return 2;
    }
    auto file = openSongFileForCli(args[0]);
    if (!file) return 1;
    const Bytes* bytes = &file->bytes;
    const FileState* fs = &file->state;
    auto header = tryHexTextToInt(address);
    ErrorBox errors;
    Sheets sheets;
    ReadMemory memory;
    bool read = false;
    if (!header || *header >= static_cast<long long>(bytes->size()))
        errors.report(
            outsideFileMessage(header ? static_cast<std::uint64_t>(*header) : 0, "song header"));
    else
        read =
            decodeSong(*fs, *bytes, static_cast<std::uint32_t>(*header), sheets, errors, &memory);
    std::fputs(writeSheetDump(sheets, errors.history()).c_str(), stdout);
    if (remember) std::fputs(writeMemoryText(memory).c_str(), stdout);
    return read ? 0 : 1;
}

}  // namespace kestra::cli
