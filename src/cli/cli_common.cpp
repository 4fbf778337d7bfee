#include "cli/cli_common.h"

#include <cstdio>

#include "rom/layout.h"

namespace kestra::cli {

std::optional<OpenedFile> openSongFileForCli(const std::string& path) {
    auto bytes = readFileBytes(path);
    if (!bytes) {
        std::fprintf(stderr, "%s\n", bytes.error().c_str());
        return std::nullopt;
    }
    auto fs = recogniseLayout(path, *bytes);
    if (!fs) {
        std::fprintf(stderr, "%s\n", fs.error().c_str());
        return std::nullopt;
    }
    return OpenedFile{std::move(*bytes), std::move(*fs)};
}

}  // namespace kestra::cli
