#include "listen/sheet_playback.h"

#include "encoder/create_code.h"
#include "rom/layout.h"
#include "rom/song_table.h"

namespace kestra::listen {

std::optional<PlayableSong> playableSheets(Document& doc, const std::string& addressText,
                                           int songId) {
    doc.errors.clear();
    auto prepared = prepareSong(doc, addressText, songId);
    if (!prepared) return std::nullopt;
    PlayableSong out;
    out.places = placesOfEncodedSong(doc.file, prepared->song, doc.frames);
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
