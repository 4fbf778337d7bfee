#include "listen/sheet_playback.h"

#include "encoder/create_code.h"
#include "encoder/find_place.h"
#include "rom/layout.h"
#include "rom/song_table.h"

namespace kestra::listen {

std::optional<PlayableSong> playableSheets(Document& doc, const std::string& addressText,
                                           int songId) {
    doc.errors.clear();
    auto prepared = prepareSong(doc, addressText, songId);
    if (!prepared) {
        // A song that no longer fits at the address still plays, from where Find place would
        // put it; what kept it from the address is still said.
        const std::vector<std::string> refusal = doc.errors.history();
        auto file = readFileBytes(doc.file.path);
        ErrorBox quiet;
        std::optional<Place> place;
        if (file)
            place = findPlace(songFrames(doc.sheets, doc.frames), &doc.memory(), doc.file, *file,
                              songId, quiet);
        if (!place) return std::nullopt;
        doc.errors.clear();
        prepared = prepareSong(doc, offsetText(place->headerOffset), songId, place->growBy > 0);
        if (!prepared) return std::nullopt;
        doc.errors.caution((refusal.empty() ? std::string() : refusal.back() + " ") +
                           "Playing it from $" + offsetText(place->headerOffset) +
                           " instead, where Find place would put it.");
    }
    PlayableSong out;
    out.places = placesOfEncodedSong(doc.file, prepared->song, songFrames(doc.sheets, doc.frames));
    out.nsf = std::move(prepared->patched);
    return out;
}

PlayableSong playableFile(const FileState& fs, Bytes bytes,
                          std::optional<std::uint32_t> headerOffset) {
    PlayableSong out;
    if (headerOffset)
        if (auto places = placesOfFileSong(fs, bytes, *headerOffset)) out.places = *places;
    out.nsf = std::move(bytes);
    return out;
}

PlayableSong playableTrack(Bytes bytes, const std::string& path, int track) {
    // Any NSF plays; lines are only known where the driver's song table is found.
    auto fs = recogniseLayout(path, bytes);
    std::optional<std::uint32_t> at;
    if (fs) {
        auto header = songHeaderOffset(*fs, bytes, track + 1);
        if (header && bytes[*header] == 0) at = *header;
    }
    return playableFile(fs ? *fs : FileState{}, std::move(bytes), at);
}

}  // namespace kestra::listen
