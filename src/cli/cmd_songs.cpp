#include <cstdio>

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
    auto bytes = readFileBytes(args[0]);
    if (!bytes) {
        std::fprintf(stderr, "%s\n", bytes.error().c_str());
        return 1;
    }
    auto fs = recogniseLayout(args[0], *bytes);
    if (!fs) {
        std::fprintf(stderr, "%s\n", fs.error().c_str());
        return 1;
    }
    for (const auto& e : listSongs(*fs, *bytes)) {
        if (e.headerOffset)
            std::printf("%d %s %s\n", e.id, offsetText(*e.headerOffset).c_str(),
                        e.soundEffect ? "sfx" : "song");
        else
            std::printf("%d ----- outside\n", e.id);
    }
    return 0;
}

}  // namespace kestra::cli
