#include "encoder/song_encoder.h"

#include <algorithm>

#include "encoder/channel_encoder.h"
#include "encoder/frame_checks.h"
#include "rom/song_table.h"

namespace kestra {

bool isBareChannel(const FrameStore& frames, int channel) {
    auto bare = [&](SheetKind kind, size_t width) {
        const auto& texts = frames.frames(channel, kind);
        if (texts.empty() || texts[0] != std::string(width, '-')) return false;
        return std::all_of(texts.begin() + 1, texts.end(),
                           [](const std::string& t) { return t.empty(); });
    };
    return bare(SheetKind::Music, kMusicRecordWidth) && bare(SheetKind::Loop, kLoopRecordWidth) &&
           bare(SheetKind::Break, kBreakRecordWidth);
}

namespace {

// The remembered bytes of channel c when they still stand for its sheets at this place.
const ChannelMemory* usableMemory(const ReadMemory* memory, const FrameStore& frames,
                                  const FileState& file, std::uint32_t headerOffset, int c,
                                  std::uint16_t startAddress) {
    if (!memory || frames.frameCount != 1) return nullptr;
    const auto& m = (*memory)[static_cast<size_t>(c)];
    if (!m || m->layout != file.layout || m->headerOffset != headerOffset ||
        m->pointer != startAddress)
        return nullptr;
    for (size_t k = 0; k < 3; ++k) {
        const auto& texts = frames.texts[static_cast<size_t>(c)][k];
        if (texts.empty() || texts[0] != m->texts[k]) return nullptr;
    }
    return &*m;
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

std::optional<EncodedSong> encodeSong(const FrameStore& frames, const FileState& file,
                                      std::uint32_t headerOffset, int songId, ErrorBox& errors,
                                      const ReadMemory* memory) {
    EncodedSong song;
    song.headerOffset = headerOffset;
    song.songId = songId;
    std::uint32_t bankXor = file.bankXor;
    if (file.splitBankLayout)
        bankXor = headerOffset >= 0x3C010 && headerOffset < kSplitCrossing ? 0x4000 : 0x6000;
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
        out.startAddress = driverAddressOfLinear(p, bankXor);
        out.startOffset = fileOffsetOfLinear(file, p);
        if (const ChannelMemory* m =
                usableMemory(memory, frames, file, headerOffset, c, out.startAddress)) {
            out.bytes = m->bytes;
            p += out.bytes.size();
        } else {
            ChannelInput in;
            in.music = &frames.frames(c, SheetKind::Music);
            in.loop = &frames.frames(c, SheetKind::Loop);
            in.brk = &frames.frames(c, SheetKind::Break);
            in.frameCount = frames.frameCount;
            in.name = kChannelNames[static_cast<size_t>(c)];
            in.noise = c == kNoise;
            auto code = createChannelCode(in, p, bankXor, errors);
            if (!code) return std::nullopt;
            if (!resolveTargets(*code, in.name, errors)) return std::nullopt;
            out.bytes = std::move(code->bytes);
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

    song.header.assign(kSongHeaderSize, 0);
    for (size_t c = 0; c < 4; ++c) {
        std::uint16_t a = song.channels[c].present ? song.channels[c].startAddress : 0;
        song.header[1 + 2 * c] = static_cast<std::uint8_t>(a >> 8);
        song.header[2 + 2 * c] = static_cast<std::uint8_t>(a & 0xFF);
    }
    // The header's own driver address: the first byte of the first channel is 9 bytes on.
    std::uint64_t headerLinear = headerOffset + kDriverBase - file.headerSize;
    song.tableEntry = driverAddressOfLinear(headerLinear, song.bankXorStart);
    song.tableEntryOffset = songTableEntryOffset(file, songId);

    for (size_t c = 0; c < 4; ++c) {
        const EncodedChannel& ch = song.channels[c];
        if (!ch.present || ch.bytes.empty()) continue;
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
                            Bytes{static_cast<std::uint8_t>(song.tableEntry >> 8),
                                  static_cast<std::uint8_t>(song.tableEntry & 0xFF)},
                            "song table entry"});
    return song;
}

}  // namespace kestra
