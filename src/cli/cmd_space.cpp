// kestra-cli space: the map of a file, one region per line in address order.
#include <cstdio>
#include <memory>

#include "cli/cli_common.h"
#include "cli/commands.h"
#include "encoder/file_map.h"

namespace kestra::cli {

namespace {

int runSpace(const std::string& path) {
    auto file = openSongFileForCli(path);
    if (!file) return kFailed;
    for (const FileRegion& r : mapFile(file->state, file->bytes))
        std::printf("%s\n", regionText(r).c_str());
    return kDone;
}

}  // namespace

void addSpaceCommand(CLI::App& app) {
    addFileCommand(
        app, "space", "map the regions of an NSF or NES file and its free bytes",
        "Prints every region of the file in address order, one per line: the first and last\n"
        "file offset (five hex digits), the size in bytes, and what uses it:\n"
        "  file-header, song-table, table-position, layout-signature, layout-bank\n"
        "  header:ID       the song header of Song ID ID\n"
        "  sfx-header:ID   the header of a sound effect (the only bytes of it that are known)\n"
        "  ID:CHANNEL      a channel stream (Square1, Square2, Triangle, Noise)\n"
        "A region several songs share is printed once with all of them. Other regions are\n"
        "  free 00, free FF  a run of at least 16 filler bytes no one uses, where the driver\n"
        "                    can read a song\n"
        "  free past-end     after the end of an NSF that does not switch banks, up to $FFFF:\n"
        "                    the file may grow there when a song is placed with create ... auto\n"
        "  other             bytes of the game (code, graphics, data): never written",
        runSpace);
}

}  // namespace kestra::cli
