#include "encoder/find_place.h"

#include <algorithm>

#include "encoder/file_map.h"
#include "encoder/placement_checks.h"
#include "encoder/song_encoder.h"
#include "model/guard.h"
#include "rom/song_table.h"

namespace kestra {

std::string placeText(const Place& place) {
    std::string text =
        offsetText(place.headerOffset) + " (" + std::to_string(place.size) + " bytes, ";
    std::string grows = "the NSF grows by " + std::to_string(place.growBy) + " bytes";
    switch (place.kind) {
        case PlaceKind::InPlace:
            return text + "in place" + (place.growBy ? "; " + grows : "") + ")";
        case PlaceKind::FreeBytes:
            return text + "in free bytes at $" + offsetText(place.headerOffset) + ")";
        case PlaceKind::GrowsNsf:
            break;
    }
    return text + grows + ")";
}

std::string placeExplanation(const Place& place) {
    std::string at = "$" + offsetText(place.headerOffset);
    std::string size = std::to_string(place.size) + " bytes";
    std::string text;
    switch (place.kind) {
        case PlaceKind::InPlace:
            text = "The song (" + size + ") fits at its own place, " + at +
                   ": over its old bytes and the free bytes right after them.";
            break;
        case PlaceKind::FreeBytes:
            text = "The song (" + size + ") does not fit at its own place. It goes at " + at +
                   ", into the smallest free region that holds it (" +
                   std::to_string(place.regionSize) + " bytes).";
            break;
        case PlaceKind::GrowsNsf:
            text = "The song (" + size +
                   ") fits neither at its own place nor in a free region of the file. It goes at " +
                   at + ", at the end of the NSF's data.";
            break;
    }
    text += place.growBy ? " The NSF file grows by " + std::to_string(place.growBy) + " bytes."
                         : " The file keeps its size.";
    return text + " The address is in the address box; nothing is written until \"Create Code\".";
}

namespace {

// Runs of bytes a song may be written into: free bytes and the song's own (also shared) ones.
struct Span {
    std::uint64_t begin = 0;
    std::uint64_t end = 0;
};

std::vector<Span> spansOf(const std::vector<FileRegion>& map, int songId) {
    std::string own = std::to_string(songId);
    auto usedBySong = [&](const FileRegion& r) {
        return std::any_of(r.uses.begin(), r.uses.end(), [&](const std::string& u) {
            return u == "header:" + own || u.rfind(own + ":", 0) == 0;
        });
    };
    std::vector<Span> spans;
    for (const FileRegion& r : map) {
        if (r.kind != RegionKind::Free && !(r.kind == RegionKind::Used && usedBySong(r))) continue;
        if (!spans.empty() && spans.back().end == r.range.begin)
            spans.back().end = r.range.end;
        else
            spans.push_back({r.range.begin, r.range.end});
    }
    return spans;
}

}  // namespace

std::optional<Place> findPlace(const SongFrames& frames, const ReadMemory* memory,
                               const FileState& fs, const Bytes& file, int songId,
                               ErrorBox& errors) {
    if (!fs.isOpen()) {
        errors.report("Select a file first.");
        return std::nullopt;
    }
    if (songId < 1 || songId > fs.songCount) {
        errors.report("Song ID " + std::to_string(songId) +
                      " is not in the song table of this file (1 to " +
                      std::to_string(fs.songCount) + "). Nothing was written.");
        return std::nullopt;
    }
    std::vector<FileRegion> map = mapFile(fs, file, songId);
    std::vector<Span> spans = spansOf(map, songId);
    auto inSpans = [&](std::uint64_t begin, std::uint64_t end) {
        auto it = std::upper_bound(spans.begin(), spans.end(), begin,
                                   [](std::uint64_t b, const Span& s) { return b < s.begin; });
        return it != spans.begin() && std::prev(it)->end >= end;
    };

    std::vector<std::string> encodeErrors;
    // The fewest bytes the song took anywhere, and where it was last tried: a song moved away
    // from its place may need fewer bytes, its unchanged channels staying where they lie.
    std::uint64_t needed = 0, lastSize = 0;
    // The song encoded at start, when every check of Create Code passes there.
    auto tryAt = [&](std::uint64_t start, bool grow) -> std::optional<Place> {
        if (start > 0xFFFFFFFFu) return std::nullopt;
        auto header = static_cast<std::uint32_t>(start);
        ErrorBox box;
        auto song = encodeSong(frames, fs, header, songId, box, memory, &file);
        if (!song) {
            if (encodeErrors.empty()) encodeErrors = box.history();
            return std::nullopt;
        }
        Place place{header, 0, PlaceKind::InPlace, 0, 0};
        std::uint64_t end = 0;
        bool inside = true;
        for (const BytePatch& p : song->patches) {
            if (p.offset == song->tableEntryOffset && p.what == "song table entry") continue;
            place.size += p.bytes.size();
            end = std::max(end, p.offset + p.bytes.size());
            inside = inside && inSpans(p.offset, p.offset + p.bytes.size());
        }
        needed = needed ? std::min(needed, place.size) : place.size;
        lastSize = place.size;
        if (!inside) return std::nullopt;
        if (!checkPlacement(fs, file, *song, grow)) return std::nullopt;
        if (!checkReadBack(fs, patchedCopy(file, *song), *song)) return std::nullopt;
        place.growBy = end > file.size() ? end - file.size() : 0;
        return place;
    };
    auto spanAt = [&](std::uint64_t offset) -> std::optional<Span> {
        for (const Span& s : spans)
            if (s.begin <= offset && offset < s.end) return s;
        return std::nullopt;
    };

    auto old = songHeaderOffset(fs, file, songId);
    if (old && spanAt(*old))
        if (auto place = tryAt(*old, true)) return place;

    // The smallest region inside the file that holds the song.
    std::vector<Span> inside;
    for (const Span& s : spans)
        if (s.begin < file.size() && (!old || !(s.begin <= *old && *old < s.end)))
            inside.push_back({s.begin, std::min<std::uint64_t>(s.end, file.size())});
    std::stable_sort(inside.begin(), inside.end(), [](const Span& a, const Span& b) {
        return a.end - a.begin < b.end - b.begin;
    });
    lastSize = 0;
    for (const Span& s : inside) {
        if (lastSize && s.end - s.begin < lastSize) continue;
        // The first byte the reader can find a song at.
        std::uint64_t start = s.begin;
        while (start < s.end && !inDriverWindow(fs, start)) ++start;
        if (auto place = tryAt(start, false)) {
            place->kind = PlaceKind::FreeBytes;
            place->regionSize = s.end - start;
            return place;
        }
    }

    std::uint64_t limit = nsfSizeLimit(fs, file);
    if (limit > file.size()) {
        std::uint64_t start = file.size();
        if (auto tail = spanAt(file.size()); tail && tail->begin < file.size()) start = tail->begin;
        if (auto place = tryAt(start, true)) {
            place->kind = PlaceKind::GrowsNsf;
            return place;
        }
    }

    if (!needed) {
        for (const std::string& e : encodeErrors) errors.report(e);
        if (encodeErrors.empty()) errors.report("The song could not be placed anywhere.");
        return std::nullopt;
    }
    // The largest free region inside the file (neighbouring free regions count as one).
    std::uint64_t largest = 0, largestAt = 0, runAt = 0, runEnd = 0;
    for (const FileRegion& r : map) {
        if (r.kind != RegionKind::Free || r.range.begin >= file.size()) continue;
        if (r.range.begin != runEnd) runAt = r.range.begin;
        runEnd = std::min<std::uint64_t>(r.range.end, file.size());
        if (runEnd - runAt > largest) {
            largest = runEnd - runAt;
            largestAt = runAt;
        }
    }
    errors.report("No place in this file holds the song: it needs " + std::to_string(needed) +
                  " bytes, and " +
                  (largest ? "the largest free region holds " + std::to_string(largest) +
                                 " bytes (at $" + offsetText(largestAt) + ")"
                           : std::string("the file has no free region")) +
                  ". Nothing was written.");
    return std::nullopt;
}

std::optional<Place> findPlace(Document& doc, int songId, MessagePort* messages) {
    std::optional<Place> place;
    runGuarded(messages, [&] {
        auto file = readFileBytes(doc.file.path);
        if (!file) {
            doc.errors.report(file.error());
            return;
        }
        place = findPlace(songFrames(doc.sheets, doc.frames), &doc.memory(), doc.file, *file,
                          songId, doc.errors);
    });
    return place;
}

}  // namespace kestra
