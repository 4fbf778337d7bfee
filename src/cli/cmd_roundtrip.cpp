// kestra-cli roundtrip: every song of a file read and created again in memory at its own
// address, to see which songs the editor carries through unchanged.
#include <cstdio>
#include <memory>

#include "cli/cli_common.h"
#include "cli/commands.h"
#include "encoder/round_trip.h"

namespace kestra::cli {

namespace {

int runRoundtrip(const std::string& path) {
    auto file = openSongFileForCli(path);
    if (!file) return kFailed;
    int same = 0;
    auto songs = roundTripSongs(file->state, file->bytes);
    for (const RoundTrip& r : songs) {
        std::printf("%d %s\n", r.songId, r.outcome.c_str());
        if (r.same) ++same;
    }
    std::printf("total: %d of %zu songs same\n", same, songs.size());
    return same == static_cast<int>(songs.size()) ? kDone : kFailed;
}

}  // namespace

void addRoundtripCommand(CLI::App& app) {
    addFileCommand(
        app, "roundtrip",
        "read every song and create it again in memory: which come back byte for byte",
        "Reads every song of FILE (sound effects and entries leading outside the file are\n"
        "skipped) and creates it again in memory at the address it was read from, under its\n"
        "own Song ID, as \"Read Channel\" followed by \"Create Code\" would; the file is not\n"
        "written. Prints a line per Song ID: \"same\", \"differs at OFFSET\" (the first file\n"
        "offset whose byte would change), or why the song could not be read or created; then\n"
        "a total. Exit status: 0 all the same; 1 some song differs, or the file cannot be\n"
        "read; 2 wrong usage.",
        runRoundtrip);
}

}  // namespace kestra::cli
