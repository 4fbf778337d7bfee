// kestra-cli roundtrip: every song of a file read and created again in memory at its own
// address, to see which songs the editor carries through unchanged.
#include <algorithm>
#include <cstdio>
#include <memory>

#include "cli/cli_common.h"
#include "cli/commands.h"
#include "encoder/placement_checks.h"
#include "encoder/song_encoder.h"
#include "format/read_song.h"
#include "model/guard.h"
#include "model/hex_text.h"
#include "rom/file_bytes.h"
#include "rom/layout.h"
#include "rom/song_table.h"

namespace kestra::cli {

namespace {

// What a song's round trip gave: "same", "differs at OFFSET", or why it could not be made.
std::string roundTripOf(const FileState& fs, const Bytes& bytes, std::uint32_t header, int id,
                        bool& same) {
    same = false;
    Document doc;
    doc.file = fs;
    if (!decodeSong(doc.file, bytes, header, doc.sheets, doc.errors, &doc.readMemory))
        return "not read: " + (doc.errors.empty() ? std::string("?") : doc.errors.history().back());
    std::optional<EncodedSong> song;
    // Damaged cells cannot come out of reading; the guard only keeps a surprise from ending
    // the whole run.
    bool ran = runGuarded(nullptr, [&] {
        storeShownFrame(doc.sheets, doc.frames);
        song = encodeSong(doc.frames, doc.file, header, id, doc.errors, &doc.readMemory);
    });
    if (!ran || !song)
        return "not created: " +
               (doc.errors.empty() ? std::string("?") : doc.errors.history().back());
    Bytes patched = patchedCopy(bytes, *song);
    size_t n = std::min(patched.size(), bytes.size());
    for (size_t i = 0; i < n; ++i)
        if (patched[i] != bytes[i]) return "differs at " + offsetText(i);
    if (patched.size() != bytes.size()) return "differs at " + offsetText(n);
    same = true;
    return "same";
}

int runRoundtrip(const std::string& path) {
    auto file = openSongFileForCli(path);
    if (!file) return kFailed;
    const Bytes* bytes = &file->bytes;
    const FileState* fs = &file->state;
    int songs = 0;
    int same = 0;
    for (const auto& e : listSongs(*fs, *bytes)) {
        if (!e.headerOffset || e.soundEffect) continue;
        bool isSame = false;
        std::string result = roundTripOf(*fs, *bytes, *e.headerOffset, e.id, isSame);
        std::printf("%d %s\n", e.id, result.c_str());
        ++songs;
        if (isSame) ++same;
    }
    std::printf("total: %d of %d songs same\n", same, songs);
    return same == songs ? kDone : kFailed;
}

}  // namespace

void addRoundtripCommand(CLI::App& app) {
    auto file = std::make_shared<std::string>();
    CLI::App* cmd = addCommand(
        app, "roundtrip",
        "read every song and create it again in memory: which come back byte for byte",
        "Reads every song of FILE (sound effects and entries leading outside the file are\n"
        "skipped) and creates it again in memory at the address it was read from, under its\n"
        "own Song ID, as \"Read Channel\" followed by \"Create Code\" would; the file is not\n"
        "written. Prints a line per Song ID: \"same\", \"differs at OFFSET\" (the first file\n"
        "offset whose byte would change), or why the song could not be read or created; then\n"
        "a total. Exit status: 0 all the same; 1 some song differs, or the file cannot be\n"
        "read; 2 wrong usage.",
        [file] { return runRoundtrip(*file); });
    cmd->add_option("FILE", *file, "the NSF or NES file (\"-\": standard input)")->required();
}

}  // namespace kestra::cli
