#include "encoder/song_footprint.h"

#include "format/stream_def.h"
#include "rom/song_table.h"

namespace kestra {

StreamRead readStreamAt(const FileState& fs, const Bytes& file, std::uint32_t headerOffset,
                        std::uint16_t pointer) {
    StreamRead out;
    auto channel = channelAddressOf(fs, pointer);
    if (!channel) return out;
    std::uint32_t c = *channel;
    std::uint32_t bankXor = fs.splitBankLayout ? splitBankXorForChannel(c) : fs.bankXor;
    std::int64_t offset = static_cast<std::int64_t>(channelDataOffset(headerOffset, c, bankXor));
    int operandsDue = 0;
    for (std::uint32_t i = 0;; ++i) {
        // Only a stream that starts in the first bank goes on elsewhere; one that starts at
        // channel address 0x4000 or above is already in the following bank.
        if (fs.splitBankLayout && c < 0x4000 && c + i == kSplitContinuationAddress)
            offset = splitContinuationOffset(headerOffset, bankXor);
        if (offset < 0 || static_cast<std::uint64_t>(offset) >= file.size()) return out;
        std::uint64_t at = static_cast<std::uint64_t>(offset);
        std::uint8_t b = file[at];
        out.bytes.push_back(b);
        if (!out.ranges.empty() && out.ranges.back().end == at)
            ++out.ranges.back().end;
        else
            out.ranges.push_back({at, at + 1});
        ++offset;
        if (operandsDue > 0) {
            --operandsDue;
            continue;
        }
        operandsDue = operandCount(b);
        if (b == cmd::kEnd) {
            out.complete = true;
            return out;
        }
    }
}

Result<SongRead> readSongAt(const FileState& fs, const Bytes& file, std::uint32_t headerOffset) {
    auto pointers = readChannelPointers(file, headerOffset);
    if (!pointers) return Result<SongRead>::failure(pointers.error());
    SongRead song;
    song.type = file[headerOffset];
    song.pointers = *pointers;
    for (size_t c = 0; c < 4; ++c)
        if (song.pointers[c] != 0)
            song.channels[c] = readStreamAt(fs, file, headerOffset, song.pointers[c]);
    return song;
}

}  // namespace kestra
