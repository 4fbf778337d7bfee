#include <cstdio>

#include "cli/cli_common.h"
#include "cli/commands.h"
#include "rom/file_bytes.h"
#include "rom/layout.h"
#include "rom/song_table.h"

namespace kestra::cli {

int runSongs(const Args& args) {
    if (args.size() != 1) {
        std::fprintf(stderr, "usage: kestra-cli songs FILE\n");
        return 2;
    }
    auto file = openSongFileForCli(args[0]);
    if (!file) return 1;
    for (const auto& e : listSongs(file->state, file->bytes)) {
        if (e.headerOffset)
            std::printf("%d %s %s\n", e.id, offsetText(*e.headerOffset).c_str(),
                        e.soundEffect ? "sfx" : "song");
        else
            std::printf("%d ----- outside\n", e.id);
    }
    return 0;
}

}  // namespace kestra::cli
