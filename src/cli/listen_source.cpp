#include "cli/listen_source.h"

#include <cstdio>

#include "cli/cli_common.h"
#include "model/guard.h"
#include "model/hex_text.h"

namespace kestra::cli {

void addListenOptions(CLI::App& cmd, ListenOptions& options) {
    cmd.add_option("--sheets", options.sheets, "a sheet dump to play instead of the file's song");
    cmd.add_option("--address", options.address, "where the dump is written (hex), with --sheets");
    cmd.add_option("--song", options.song, "the Song ID it is written under, with --sheets");
}

Status checkListenOptions(const ListenOptions& options) {
    bool any = !options.sheets.empty() || !options.address.empty() || !options.song.empty();
    bool all = !options.sheets.empty() && !options.address.empty() && !options.song.empty();
    if (any && !all)
        return Status::failure(
            "--sheets, --address and --song go together: the dump is written (in memory) at "
            "ADDRESS under Song ID ID");
    return Status::done();
}

std::optional<listen::PlayableSong> loadListenSource(const std::string& path, int track,
                                                     const ListenOptions& options) {
    if (options.sheets.empty()) {
        auto bytes = readInput(path);
        if (!bytes) {
            printError(bytes.error());
            return std::nullopt;
        }
        return listen::playableTrack(std::move(*bytes), path, track);
    }
    auto file = openSongFileForCli(path);
    if (!file) return std::nullopt;
    auto songId = tryDecTextToInt(options.song);
    if (!songId || *songId < 1 || *songId > file->state.songCount) {
        printError("--song must be a Song ID from 1 to " + std::to_string(file->state.songCount) +
                   ", not \"" + options.song + "\"");
        return std::nullopt;
    }
    auto dump = readSongTextForCli(options.sheets);
    if (!dump) return std::nullopt;
    Document doc;
    doc.sheets = std::move(dump->sheets);
    doc.remember(std::move(dump->memory));
    doc.file = file->state;
    std::optional<listen::PlayableSong> out;
    try {
        out = listen::playableSheets(doc, options.address, static_cast<int>(*songId));
    } catch (const ConversionError& e) {
        doc.errors.report(e.what());
    }
    printSongMessages(doc.errors.history());
    if (!out)
        printError("the sheets cannot be written at $" + options.address + ": nothing to play");
    return out;
}

std::optional<unsigned> parseMuteMask(const std::string& text) {
    static const char* const kNames[][3] = {{"1", "sq1", "square1"},
                                            {"2", "sq2", "square2"},
                                            {"3", "tri", "triangle"},
                                            {"4", "noise", "noise"}};
    unsigned mask = 0;
    size_t start = 0;
    while (start <= text.size()) {
        size_t comma = text.find(',', start);
        std::string item = text.substr(start, comma == std::string::npos ? comma : comma - start);
        for (char& ch : item)
            if (ch >= 'A' && ch <= 'Z') ch = static_cast<char>(ch - 'A' + 'a');
        bool known = false;
        for (unsigned c = 0; c < 4; ++c)
            for (const char* name : kNames[c])
                if (item == name) {
                    mask |= 1u << c;
                    known = true;
                }
        if (!known) return std::nullopt;
        if (comma == std::string::npos) break;
        start = comma + 1;
    }
    return mask;
}

}  // namespace kestra::cli
