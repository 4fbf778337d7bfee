#include "listen/song_places.h"

#include "encoder/song_footprint.h"
#include "format/read_song.h"

namespace kestra::listen {

namespace {

// The Note cell leads the Music line record.
constexpr size_t kNoteAt = 0;
constexpr size_t kNoteWidth = 3;

std::string noteOf(std::string_view musicText, size_t line) {
    size_t at = line * kMusicRecordWidth + kNoteAt;
    return at + kNoteWidth <= musicText.size() ? std::string(musicText.substr(at, kNoteWidth))
                                               : std::string();
}

}  // namespace

SongPlaces placesOfEncodedSong(const FileState& fs, const EncodedSong& song,
                               const SongFrames& frames) {
    SongPlaces out;
    for (int c = 0; c < kChannelCount; ++c) {
        const EncodedChannel& ch = song.channels[static_cast<size_t>(c)];
        if (!ch.present || ch.bytes.empty()) continue;
        std::vector<std::uint32_t> offsets(ch.bytes.size());
        for (size_t i = 0; i < offsets.size(); ++i)
            offsets[i] = static_cast<std::uint32_t>(
                writtenOffset(fs, song, ch.startOffset, ch.startOffset + i));
        std::vector<StreamLine> lines;
        const auto& music = frames.frames(c, SheetKind::Music);
        for (int f = 0; f < ch.addresses.frames(); ++f) {
            const int count =
                f < static_cast<int>(music.size())
                    ? static_cast<int>(music[static_cast<size_t>(f)].size() / kMusicRecordWidth)
                    : 0;
            for (int n = 0; n < count && n < ch.addresses.lines(); ++n) {
                auto address = ch.addresses.at(f, n);
                if (!address) continue;
                // The stream runs on from its start address (wrapping as the driver's does).
                auto begin = static_cast<std::uint16_t>(*address - ch.startAddress);
                if (begin >= ch.bytes.size()) continue;
                lines.push_back(
                    {begin, {f, n}, noteOf(music[static_cast<size_t>(f)], static_cast<size_t>(n))});
            }
        }
        out[static_cast<size_t>(c)] = placesOf(ch.bytes, offsets, lines);
    }
    return out;
}

Result<SongPlaces> placesOfFileSong(const FileState& fs, const Bytes& file,
                                    std::uint32_t headerOffset) {
    using R = Result<SongPlaces>;
    Sheets sheets;
    ErrorBox errors;
    ReadMemory memory;
    if (!decodeSong(fs, file, headerOffset, sheets, errors, &memory))
        return R::failure(errors.text());
    SongPlaces out;
    for (int c = 0; c < kChannelCount; ++c) {
        const auto& m = memory[static_cast<size_t>(c)];
        if (!m) continue;
        StreamRead read = readStreamAt(fs, file, headerOffset, m->pointer);
        std::vector<std::uint32_t> offsets;
        for (const FileRange& r : read.ranges)
            for (std::uint64_t o = r.begin; o < r.end; ++o)
                offsets.push_back(static_cast<std::uint32_t>(o));
        std::vector<StreamLine> lines;
        for (size_t i = 0; i < m->lines.size(); ++i)
            lines.push_back({m->lines[i].begin,
                             {0, static_cast<int>(i)},
                             std::string(m->record(0, i).substr(kNoteAt, kNoteWidth))});
        out[static_cast<size_t>(c)] = placesOf(m->bytes, offsets, lines);
    }
    return out;
}

}  // namespace kestra::listen
