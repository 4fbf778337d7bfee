#include "cli/cli_common.h"

#include <cstdio>
#include <iostream>
#include <iterator>

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

std::optional<SongFileContent> readSongTextForCli(const std::string& source,
                                                  const std::string& prefix) {
    std::string text;
    if (source == "-") {
        text.assign(std::istreambuf_iterator<char>(std::cin), std::istreambuf_iterator<char>());
        if (std::cin.bad()) {
            std::fprintf(stderr, "%scannot read the sheet dump from standard input\n",
                         prefix.c_str());
            return std::nullopt;
        }
    } else {
        auto bytes = readFileBytes(source);
        if (!bytes) {
            std::fprintf(stderr, "%s%s\n", prefix.c_str(), bytes.error().c_str());
            return std::nullopt;
        }
        text.assign(bytes->begin(), bytes->end());
    }
    auto content = parseSongFileText(text);
    if (!content) {
        std::fprintf(stderr, "%s%s\n", prefix.c_str(), content.error().c_str());
        return std::nullopt;
    }
    return std::move(*content);
}

}  // namespace kestra::cli
