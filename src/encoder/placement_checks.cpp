#include "encoder/placement_checks.h"

#include <algorithm>

#include "format/read_song.h"
#include "model/frame_checks.h"
#include "rom/song_table.h"

namespace kestra {

namespace {

// Distance of the sound bank byte before the end of the program data, by layout.
std::uint32_t bankByteDistance(Layout layout) {
    switch (layout) {
        case Layout::Rom32:
            return 0x3F38;
        case Layout::Rom43:
            return 0x56;
        case Layout::Rom49:
            return 0x8A;
        case Layout::Rom69:
            return 0x7C;
        case Layout::Rom4C:
            return 0x3729;
        default:
            return 0;
    }
}

std::string hexOffset(std::uint64_t offset) {
    return "$" + offsetText(offset);
}

void protectByte(std::vector<ProtectedRange>& out, const Bytes& file, std::uint64_t at,
                 const std::string& owner, const char* label) {
    if (at < file.size()) out.push_back({{at, at + 1}, owner, 0, label});
}

const char* const kChannelTokens[4] = {"Square1", "Square2", "Triangle", "Noise"};

}  // namespace

std::vector<ProtectedRange> fileUses(const FileState& fs, const Bytes& file) {
    std::vector<ProtectedRange> out;
    out.push_back({{0, std::min<std::uint64_t>(fs.headerSize, file.size())},
                   "the file header",
                   0,
                   "file-header"});
    if (fs.songTableBase > 0)
        out.push_back({{fs.songTableBase - 1,
                        std::min<std::uint64_t>(
                            file.size(), fs.songTableBase +
                                             2ull * static_cast<std::uint64_t>(fs.songCount + 1))},
                       "the song table",
                       0,
                       "song-table"});
    if (fs.layout != Layout::Rom32)
        protectByte(out, file,
                    8192ull * static_cast<std::uint64_t>(fs.soundBank) + 0x10E + fs.headerSize,
                    "the byte that locates the song table", "table-position");
    if (fs.layout != Layout::Nsf && file.size() > 4) {
        std::uint64_t programEnd = 16384ull * file[4];
        protectByte(out, file, programEnd + 14, "the layout's signature byte", "layout-signature");
        protectByte(out, file, programEnd - bankByteDistance(fs.layout),
                    "the layout's sound bank byte", "layout-bank");
    }
    for (int id = 1; id <= fs.songCount; ++id) {
        std::uint64_t entry = songTableEntryOffset(fs, id);
        // An entry 0000 stands for no song.
        if (entry + 1 >= file.size() || (file[entry] == 0 && file[entry + 1] == 0)) continue;
        auto header = songHeaderOffset(fs, file, id);
        if (!header) continue;
        std::string song = "Song ID " + std::to_string(id);
        std::string tag = std::to_string(id);
        FileRange headerBytes{*header, std::min<std::uint64_t>(
                                           file.size(), *header + std::uint64_t{kSongHeaderSize})};
        if (file[*header] != 0) {
            // The reader refuses a sound effect, so it follows none of its fields: those that
            // stand where a song keeps its channel pointers mean something else.
            out.push_back(
                {headerBytes, "the header of the sound effect " + song, id, "sfx-header:" + tag});
            continue;
        }
        out.push_back({headerBytes, "the song header of " + song, id, "header:" + tag});
        auto read = readSongAt(fs, file, *header);
        if (!read) continue;
        for (size_t c = 0; c < 4; ++c) {
            if (!read->channels[c]) continue;
            for (const FileRange& r : read->channels[c]->ranges)
                out.push_back({r, "the " + kChannelNames[c] + " channel of " + song, id,
                               tag + ":" + kChannelTokens[c]});
        }
    }
    return out;
}

std::vector<ProtectedRange> protectedRanges(const FileState& fs, const Bytes& file, int songId) {
    std::vector<ProtectedRange> out = fileUses(fs, file);
    std::erase_if(out, [songId](const ProtectedRange& r) { return r.songId == songId; });
    return out;
}

std::uint64_t nsfSizeLimit(const FileState& fs, const Bytes& file) {
    if (fs.layout != Layout::Nsf || file.size() < 0x80) return file.size();
    // A bank-switching NSF maps its data in banks: there is no end to grow from.
    for (size_t i = 0x70; i < 0x78; ++i)
        if (file[i] != 0) return file.size();
    std::uint64_t load = file[8] | static_cast<std::uint64_t>(file[9]) << 8;
    if (load < kDriverBase) return file.size();
    return std::max<std::uint64_t>(file.size(), fs.headerSize + 0x10000 - load);
}

Status checkFit(const FileState& fs, const Bytes& file, const EncodedSong& song, bool mayGrow) {
    std::uint64_t limit = mayGrow ? nsfSizeLimit(fs, file) : file.size();
    for (const BytePatch& p : song.patches)
        if (p.offset + p.bytes.size() > limit)
            return Status::failure(
                "The new song does not fit: " + p.what +
                (limit > file.size()
                     ? " would run past the end of the NSF's address space ($FFFF)."
                     : " would run past the end of the file (" + hexOffset(file.size()) + ").") +
                " Nothing was written; choose another address.");
    return Status::done();
}

Status checkPlacement(const FileState& fs, const Bytes& file, const EncodedSong& song,
                      bool mayGrow) {
    const std::string retry = " Nothing was written; choose another address.";
    if (song.songId < 1 || song.songId > fs.songCount)
        return Status::failure("Song ID " + std::to_string(song.songId) +
                               " is not in the song table of this file (1 to " +
                               std::to_string(fs.songCount) + "). Nothing was written.");
    if (fs.splitBankLayout) {
        // The reader cannot find a header or a channel start here: the bank it picks for them
        // is the other one.
        if (song.headerOffset >= 0x3FFFF && song.headerOffset < kSplitCrossing)
            return Status::failure(
                "A song header cannot be placed at " + hexOffset(song.headerOffset) +
                ": in this file's layout headers at $3FFFF to $4000F cannot be read back." + retry);
        for (size_t c = 0; c < 4; ++c) {
            const EncodedChannel& ch = song.channels[c];
            if (ch.present && ch.startOffset >= 0x40000 && ch.startOffset < kSplitCrossing)
                return Status::failure(
                    "The channel " + kChannelNames[c] + " would start at " +
                    hexOffset(ch.startOffset) +
                    ": in this file's layout a channel starting at $40000 to $4000F cannot be "
                    "read back." +
                    retry);
        }
    }
    if (auto fits = checkFit(fs, file, song, mayGrow); !fits) return fits;
    // Bytes another song uses may be written over with the very bytes they hold: that song is
    // unchanged. Name the first byte, in file order, that would change.
    std::optional<ProtectedRange> hit;
    std::uint64_t hitAt = 0;
    for (const ProtectedRange& g : protectedRanges(fs, file, song.songId))
        for (const BytePatch& p : song.patches) {
            if (p.offset == song.tableEntryOffset && p.what == "song table entry") continue;
            std::uint64_t from = std::max(p.offset, g.range.begin);
            std::uint64_t to = std::min({p.offset + p.bytes.size(), g.range.end, file.size()});
            for (std::uint64_t at = from; at < to && (!hit || at < hitAt); ++at)
                if (p.bytes[at - p.offset] != file[at]) {
                    hit = g;
                    hitAt = at;
                    break;
                }
        }
    if (hit)
        return Status::failure("The new song would overwrite " + hit->owner + " (at " +
                               hexOffset(hitAt) + ")." + retry);
    return Status::done();
}

Bytes patchedCopy(const Bytes& file, const EncodedSong& song) {
    Bytes out = file;
    for (const BytePatch& p : song.patches)
        if (p.offset + p.bytes.size() > out.size()) out.resize(p.offset + p.bytes.size(), 0);
    for (const BytePatch& p : song.patches)
        std::copy(p.bytes.begin(), p.bytes.end(),
                  out.begin() + static_cast<std::ptrdiff_t>(p.offset));
    return out;
}

Status checkReadBack(const FileState& fs, const Bytes& file, const EncodedSong& song) {
    auto header = songHeaderOffset(fs, file, song.songId);
    if (!header || *header != song.headerOffset)
        return Status::failure("the song table entry of Song ID " + std::to_string(song.songId) +
                               " does not lead to the new song header");
    if (file[song.headerOffset] != 0)
        return Status::failure("the song header is not a song header");
    for (int c = 0; c < kChannelCount; ++c) {
        const EncodedChannel& ch = song.channels[static_cast<size_t>(c)];
        const std::string& name = kChannelNames[static_cast<size_t>(c)];
        auto address = readHeaderPointer(fs, file, song.headerOffset, c);
        if (!address) return Status::failure(address.error());
        if (!ch.present) {
            if (*address) return Status::failure("the " + name + " channel should be absent");
            continue;
        }
        if (!*address) return Status::failure("the " + name + " channel is missing");
        // The reader's own walk through the stream.
        auto bytes = readChannelBytes(fs, file, song.headerOffset, **address, c);
        if (!bytes || *bytes != ch.bytes)
            return Status::failure("the " + name + " channel reads back differently");
    }
    return Status::done();
}

}  // namespace kestra
