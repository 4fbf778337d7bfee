// kestra-cli roundtrip: every song of a file read and created again in memory at its own
// address, to see which songs the editor carries through unchanged.
#include <algorithm>
#include <cstdio>

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

}  // namespace

int runRoundtrip(const Args& args) {
    if (args.size() != 1) {
        std::fprintf(stderr, "usage: kestra-cli roundtrip FILE\n");
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
    return same == songs ? 0 : 3;
}

}  // namespace kestra::cli
