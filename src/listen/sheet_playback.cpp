#include "listen/sheet_playback.h"

#include "encoder/create_code.h"

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

}  // namespace kestra::listen
