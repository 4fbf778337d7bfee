#include "encoder/round_trip.h"

#include <algorithm>
#include <map>
#include <memory>
#include <optional>
#include <vector>

#include "encoder/placement_checks.h"
#include "encoder/song_encoder.h"
#include "format/read_song.h"
#include "model/document.h"
#include "model/guard.h"
#include "rom/song_table.h"

namespace kestra {

namespace {

// A song as read from one header, ready to be created again under any of its Song IDs.
struct ReadSong {
    bool read = false;
    std::string failure;
    Sheets sheets;
    FrameStore store;
    ReadMemory memory;
};

std::string lastOf(const ErrorBox& errors) {
    return errors.empty() ? std::string("?") : errors.history().back();
}

std::unique_ptr<ReadSong> readOnce(const FileState& fs, const Bytes& bytes, std::uint32_t header) {
    auto song = std::make_unique<ReadSong>();
    ErrorBox errors;
    song->read = decodeSong(fs, bytes, header, song->sheets, errors, &song->memory);
    if (!song->read) {
        song->failure = "not read: " + lastOf(errors);
        return song;
    }
    return song;
}

RoundTrip createAgain(const FileState& fs, const Bytes& bytes, std::uint32_t header, int id,
                      const ReadSong& read) {
    RoundTrip out{id, false, read.failure};
    if (!read.read) return out;
    ErrorBox errors;
    std::optional<EncodedSong> song;
    // Damaged cells cannot come out of reading; the guard only keeps a surprise from ending the
    // whole run.
    bool ran = runGuarded(nullptr, [&] {
        song =
            encodeSong(songFrames(read.sheets, read.store), fs, header, id, errors, &read.memory);
    });
    if (!ran || !song) {
        out.outcome = "not created: " + lastOf(errors);
        return out;
    }
    // The check Create Code makes before patching: a song that does not fit is not patched in.
    if (auto fits = checkFit(fs, bytes, *song); !fits) {
        out.outcome = "not created: " + fits.error();
        return out;
    }
    Bytes patched = patchedCopy(bytes, *song);
    auto differs = std::mismatch(bytes.begin(), bytes.end(), patched.begin(), patched.end());
    if (differs.first != bytes.end() || differs.second != patched.end()) {
        out.outcome =
            "differs at " +
            offsetText(static_cast<std::uint64_t>(std::distance(bytes.begin(), differs.first)));
        return out;
    }
    out.same = true;
    out.outcome = "same";
    return out;
}

}  // namespace

std::vector<RoundTrip> roundTripSongs(const FileState& fs, const Bytes& bytes) {
    // Song IDs by header: each header is read once and let go before the next.
    std::map<std::uint32_t, std::vector<int>> idsAt;
    for (const auto& e : listSongs(fs, bytes))
        if (e.headerOffset && !e.soundEffect) idsAt[*e.headerOffset].push_back(e.id);
    std::vector<RoundTrip> out;
    for (const auto& [header, ids] : idsAt) {
        auto song = readOnce(fs, bytes, header);
        for (int id : ids) out.push_back(createAgain(fs, bytes, header, id, *song));
    }
    std::sort(out.begin(), out.end(),
              [](const RoundTrip& a, const RoundTrip& b) { return a.songId < b.songId; });
    return out;
}

}  // namespace kestra
