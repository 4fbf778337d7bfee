// kestra-cli songs: the song table of a file, one line per Song ID.
#include <cstdio>
#include <memory>

#include "cli/cli_common.h"
#include "cli/commands.h"
#include "rom/song_table.h"

namespace kestra::cli {

namespace {

int runSongs(const std::string& path) {
    auto file = openSongFileForCli(path);
    if (!file) return kFailed;
    for (const auto& e : listSongs(file->state, file->bytes)) {
        if (e.headerOffset)
            std::printf("%d %s %s\n", e.id, offsetText(*e.headerOffset).c_str(),
                        e.soundEffect ? "sfx" : "song");
        else
            std::printf("%d ----- outside\n", e.id);
    }
    return kDone;
}

}  // namespace

void addSongsCommand(CLI::App& app) {
    addFileCommand(
        app, "songs", "list the Song IDs of an NSF or NES file",
        "Prints one line per Song ID: the ID, the file offset of its song header (five hex\n"
        "digits) and its kind: \"song\", \"sfx\" (a sound effect), or \"outside\" when the\n"
        "table entry leads outside the file.",
        runSongs);
}

}  // namespace kestra::cli
