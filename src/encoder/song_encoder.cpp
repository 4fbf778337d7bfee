#include "encoder/song_encoder.h"

#include <algorithm>

#include "encoder/channel_encoder.h"
#include "encoder/placement_checks.h"
#include "encoder/song_footprint.h"
#include "model/big_endian.h"
#include "model/frame_checks.h"
#include "model/hex_text.h"
#include "model/same_file.h"
#include "rom/song_table.h"

namespace kestra {

bool isBareChannel(const SongFrames& frames, int channel) {
    auto bare = [&](SheetKind kind, size_t width) {
        const auto& texts = frames.frames(channel, kind);
        if (texts.empty() || texts[0] != std::string(width, '-')) return false;
        return std::all_of(texts.begin() + 1, texts.end(),
                           [](std::string_view t) { return t.empty(); });
    };
    return bare(SheetKind::Music, kMusicRecordWidth) && bare(SheetKind::Loop, kLoopRecordWidth) &&
           bare(SheetKind::Break, kBreakRecordWidth);
}

namespace {

// What reading remembered of channel c, if it was read in this kind of file.
const ChannelMemory* memoryOf(const ReadMemory* memory, const FileState& file, int c) {
    if (!memory) return nullptr;
    const auto& m = (*memory)[static_cast<size_t>(c)];
    return m && m->layout == file.layout ? &*m : nullptr;
}

// A kept target that pointed into a channel of this song as read is only still right when
// that channel is written where it was read, with the same bytes up to the target.
bool keptTargetsStillHold(const EncodedSong& song, const ReadMemory& memory, ErrorBox& errors) {
    for (size_t c = 0; c < 4; ++c) {
        for (std::uint16_t target : song.keptTargets[c]) {
            for (size_t o = 0; o < 4; ++o) {
                const auto& m = memory[o];
                if (!m || target < m->pointer || target >= m->pointer + m->bytes.size()) continue;
                const EncodedChannel& other = song.channels[o];
                size_t upTo = static_cast<size_t>(target - m->pointer) + 1;
                bool same =
                    other.present && other.startAddress == m->pointer &&
                    other.bytes.size() >= upTo &&
                    std::equal(m->bytes.begin(), m->bytes.begin() + upTo, other.bytes.begin());
                if (!same) {
                    errors.report("The " + std::string(kChannelNames[c]) +
                                  " channel keeps a loop, break or jump to $" +
                                  intToHexText(target, 4) + " in the " + kChannelNames[o] +
                                  " channel as it was read, but that channel has changed before "
                                  "this place: the song was not written.");
                    return false;
                }
            }
        }
    }
    return true;
}

// A kept target into one of the song's streams as read still holds when the destination, with
// the song written, holds that stream's bytes as read from its start up to the target.
bool keptTargetsHoldIn(const FileState& file, const Bytes& destination, const EncodedSong& song,
                       const ReadMemory& memory, ErrorBox& errors) {
    std::optional<Bytes> written;
    for (size_t c = 0; c < 4; ++c) {
        for (std::uint16_t target : song.keptTargets[c]) {
            bool inside = false, holds = false;
            for (size_t o = 0; o < 4 && !holds; ++o) {
                const auto& m = memory[o];
                if (!m || m->layout != file.layout || target < m->pointer ||
                    target >= m->pointer + m->bytes.size())
                    continue;
                inside = true;
                if (!written) written = patchedCopy(destination, song);
                StreamRead read = readStreamAt(file, *written, song.headerOffset, m->pointer);
                size_t upTo = static_cast<size_t>(target - m->pointer) + 1;
                holds = read.bytes.size() >= upTo &&
                        std::equal(m->bytes.begin(), m->bytes.begin() + upTo, read.bytes.begin());
            }
            if (inside && !holds) {
                errors.report("The " + std::string(kChannelNames[c]) +
                              " channel keeps a loop, break or jump to $" +
                              intToHexText(target, 4) +
                              " in a channel as it was read, but the file written would not hold "
                              "that channel's bytes up to this place: the song was not written.");
                return false;
            }
        }
    }
    return true;
}

std::uint64_t continuationOffset(const EncodedSong& song) {
    std::uint64_t window = (static_cast<std::uint64_t>(song.headerOffset) + 1) & 0xFFFF8000u;
    return (window ^ song.bankXorStart) - 0x1FF0;
}

}  // namespace

std::uint64_t writtenOffset(const FileState& file, const EncodedSong& song, std::uint64_t start,
                            std::uint64_t offset) {
    if (file.splitBankLayout && start <= kSplitCrossing && offset >= kSplitCrossing)
        return continuationOffset(song) + (offset - kSplitCrossing);
    return offset;
}

namespace {

// The song laid out behind its header, channel after channel; a channel marked inFile is not
// laid out but encoded where it was read, and kept there when its bytes are those read.
std::optional<EncodedSong> layOut(const SongFrames& frames, const FileState& file,
                                  std::uint32_t headerOffset, int songId, ErrorBox& errors,
                                  const ReadMemory* memory, const Bytes* destination,
                                  const std::array<bool, 4>& inFile) {
    EncodedSong song;
    song.headerOffset = headerOffset;
    song.songId = songId;
    std::uint32_t bankXor = headerBankXor(file, headerOffset);
    song.bankXorStart = bankXor;

    std::uint64_t p = headerOffset + kSongHeaderSize + kDriverBase - file.headerSize;
    bool allBare = true;
    for (int c = 0; c < kChannelCount; ++c) allBare = allBare && isBareChannel(frames, c);

    size_t reportedBefore = errors.history().size();
    for (int c = 0; c < kChannelCount; ++c) {
        if (!file.isOpen()) {
            errors.report("Select a file first.");
            return std::nullopt;
        }
        EncodedChannel& out = song.channels[static_cast<size_t>(c)];
        if (!allBare && isBareChannel(frames, c)) continue;  // pointer 0000, no bytes
        out.present = true;
        std::uint64_t start = fileOffsetOfLinear(file, p);
        if (file.splitBankLayout && bankXor == 0x4000 && start >= 0x40000 &&
            start < kSplitCrossing) {
            // The reader cannot find a channel that starts here (it picks the other bank for
            // it): the channel starts in the bank that follows instead.
            bankXor = 0x6000;
            p = linearOfFileOffset(file, continuationOffset(song));
        }
        ChannelInput in;
        in.music = &frames.frames(c, SheetKind::Music);
        in.loop = &frames.frames(c, SheetKind::Loop);
        in.brk = &frames.frames(c, SheetKind::Break);
        in.frameCount = frames.frameCount;
        in.name = kChannelNames[static_cast<size_t>(c)];
        in.noise = c == kNoise;
        in.memory = memoryOf(memory, file, c);
        if (destination) in.judgedByContent = memory;
        auto keepsPlace = [&](std::uint16_t address) {
            return in.memory &&
                   (in.memory->file == file.path || sameFile(in.memory->file, file.path)) &&
                   in.memory->headerOffset == headerOffset && in.memory->pointer == address;
        };
        if (inFile[static_cast<size_t>(c)] && in.memory) {
            std::uint16_t pointer = in.memory->pointer;
            std::uint64_t offset =
                channelDataOffset(headerOffset, *channelAddressOf(file, pointer), bankXor);
            std::uint64_t q = linearOfFileOffset(file, offset);
            in.keepsPlace = keepsPlace(pointer);
            ErrorBox quiet;
            auto code = createChannelCode(in, q, bankXor, quiet);
            if (code && resolveTargets(*code, in.name, quiet) && quiet.empty() &&
                code->bytes == in.memory->bytes &&
                driverAddressOfLinear(linearOfFileOffset(file, offset), bankXor) == pointer) {
                out.inFile = true;
                out.startAddress = pointer;
                out.startOffset = offset;
                out.bytes = std::move(code->bytes);
                out.addresses = std::move(code->addresses);
                song.keptTargets[static_cast<size_t>(c)] = std::move(code->keptTargets);
                continue;
            }
        }
        out.startAddress = driverAddressOfLinear(p, bankXor);
        out.startOffset = fileOffsetOfLinear(file, p);
        {
            in.keepsPlace = keepsPlace(out.startAddress);
            auto code = createChannelCode(in, p, bankXor, errors);
            if (!code) return std::nullopt;
            if (!resolveTargets(*code, in.name, errors)) return std::nullopt;
            out.bytes = std::move(code->bytes);
            out.addresses = std::move(code->addresses);
            song.keptTargets[static_cast<size_t>(c)] = std::move(code->keptTargets);
        }
        if (file.splitBankLayout && !out.bytes.empty()) {
            std::uint64_t last = out.startOffset + out.bytes.size() - 1;
            if (out.startOffset <= kSplitCrossing && last >= kSplitCrossing) {
                // The next channel continues in the bank that follows.
                bankXor = 0x6000;
                p -= 0x6000;
            }
        }
    }
    song.bankXorEnd = bankXor;
    // An octave error lets the run go on checking, but nothing of it may be written.
    if (errors.history().size() != reportedBefore) return std::nullopt;
    if (memory && !destination && !keptTargetsStillHold(song, *memory, errors)) return std::nullopt;

    song.header.assign(kSongHeaderSize, 0);
    for (size_t c = 0; c < 4; ++c) {
        std::uint16_t a = song.channels[c].present ? song.channels[c].startAddress : 0;
        writeBigEndian16(song.header, 1 + 2 * c, a);
    }
    // The header's own driver address: the first byte of the first channel is 9 bytes on.
    std::uint64_t headerLinear = headerOffset + kDriverBase - file.headerSize;
    song.tableEntry = driverAddressOfLinear(headerLinear, song.bankXorStart);
    song.tableEntryOffset = songTableEntryOffset(file, songId);

    for (size_t c = 0; c < 4; ++c) {
        const EncodedChannel& ch = song.channels[c];
        if (!ch.present || ch.bytes.empty() || ch.inFile) continue;
        const std::string& name = kChannelNames[c];
        std::uint64_t end = ch.startOffset + ch.bytes.size();
        if (file.splitBankLayout && ch.startOffset < kSplitCrossing && end > kSplitCrossing) {
            size_t first = static_cast<size_t>(kSplitCrossing - ch.startOffset);
            song.patches.push_back(
                {ch.startOffset, Bytes(ch.bytes.begin(), ch.bytes.begin() + first), name});
            song.patches.push_back({writtenOffset(file, song, ch.startOffset, kSplitCrossing),
                                    Bytes(ch.bytes.begin() + first, ch.bytes.end()), name});
        } else {
            song.patches.push_back(
                {writtenOffset(file, song, ch.startOffset, ch.startOffset), ch.bytes, name});
        }
    }
    song.patches.push_back({headerOffset, song.header, "song header"});
    song.patches.push_back({song.tableEntryOffset,
                            Bytes{highByte(song.tableEntry), lowByte(song.tableEntry)},
                            "song table entry"});
    if (memory && destination && !keptTargetsHoldIn(file, *destination, song, *memory, errors))
        return std::nullopt;
    return song;
}

}  // namespace

std::optional<EncodedSong> encodeSong(const SongFrames& frames, const FileState& file,
                                      std::uint32_t headerOffset, int songId, ErrorBox& errors,
                                      const ReadMemory* memory, const Bytes* destination) {
    auto song = layOut(frames, file, headerOffset, songId, errors, memory, destination, {});
    if (!song || !memory || !destination || file.splitBankLayout) return song;
    // A channel the destination already holds as read, outside every byte the song could be
    // laid out over, is pointed at where it lies: a song that shares another's stream keeps
    // sharing it, and its bytes are not written twice.
    std::uint64_t bound = headerOffset + std::uint64_t{kSongHeaderSize};
    for (const EncodedChannel& ch : song->channels) bound += ch.bytes.size();
    std::array<bool, 4> inFile{};
    bool any = false;
    for (size_t c = 0; c < 4; ++c) {
        const ChannelMemory* m = memoryOf(memory, file, static_cast<int>(c));
        if (!m || !song->channels[c].present) continue;
        StreamRead read = readStreamAt(file, *destination, headerOffset, m->pointer);
        inFile[c] = read.complete && read.bytes == m->bytes &&
                    std::all_of(read.ranges.begin(), read.ranges.end(), [&](const FileRange& r) {
                        return r.end <= headerOffset || r.begin >= bound;
                    });
        any = any || inFile[c];
    }
    if (!any) return song;
    ErrorBox quiet;
    auto kept = layOut(frames, file, headerOffset, songId, quiet, memory, destination, inFile);
    return kept ? kept : song;
}

}  // namespace kestra
