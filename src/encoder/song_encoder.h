// The whole song encoded in memory: the four channel streams laid out behind a new 9-byte song
// header, the header itself and the song-table entry, as byte patches of the file.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "encoder/channel_encoder.h"
#include "model/file_state.h"
#include "model/frame_store.h"
#include "model/ports.h"
#include "model/read_memory.h"
#include "rom/file_bytes.h"

namespace kestra {

struct EncodedChannel {
    bool present = false;            // false: the song has no such channel (pointer 0000)
    bool inFile = false;             // the file holds it already: only the header points at it
    std::uint64_t startOffset = 0;   // file offset of the first byte, before any bank crossing
    std::uint16_t startAddress = 0;  // driver address stored in the header
    Bytes bytes;
    LineAddressTable addresses;  // where each line's material starts
};

// Bytes to write at a file offset; `what` names them in messages.
struct BytePatch {
    std::uint64_t offset = 0;
    Bytes bytes;
    std::string what;
};

struct EncodedSong {
    std::uint32_t headerOffset = 0;
    int songId = 0;
    std::uint32_t bankXorStart = 0;  // chosen for the header's bank
    std::uint32_t bankXorEnd = 0;    // in force after the last channel
    std::array<EncodedChannel, 4> channels;
    Bytes header;                  // 9 bytes
    std::uint16_t tableEntry = 0;  // driver address of the header
    std::uint64_t tableEntryOffset = 0;
    // In writing order: the four streams (split where they cross into the following bank),
    // the header, the table entry.
    std::vector<BytePatch> patches;
    // Per channel: targets kept as read because they are no line of the channel.
    std::array<std::vector<std::uint16_t>, 4> keptTargets;
};

// Encodes the frame store as a song whose header lies at file offset headerOffset and whose
// table entry is that of songId. Reports every message of the run into errors (the octave error
// does not stop it) and returns the song only when no message was reported. Checks nothing
// about the file's contents. Throws ConversionError on damaged cell text.
// With `memory`, the lines that still show exactly what was read get the bytes they were read
// from; targets that are no line of their channel are kept only where they were read. With
// `destination` (the file to be written), a kept target into one of the song's streams as read
// is judged by content instead: it is kept when that file, once written, holds the same bytes
// from that stream's start up to the target (the same file, a copy of it, or another file).
// Also with `destination`, an unchanged channel that file holds as read, away from the bytes
// the song is laid out over, is pointed at where it lies instead of written again.
std::optional<EncodedSong> encodeSong(const SongFrames& frames, const FileState& file,
                                      std::uint32_t headerOffset, int songId, ErrorBox& errors,
                                      const ReadMemory* memory = nullptr,
                                      const Bytes* destination = nullptr);

// A channel that holds nothing but one default line, as reading leaves a channel the song does
// not have.
bool isBareChannel(const SongFrames& frames, int channel);

// File offset where the byte at linear file offset `offset` of a stream written from
// `start` lands: in the split-bank layout the bytes from 0x40010 on continue in the bank that
// follows the song header's.
std::uint64_t writtenOffset(const FileState& file, const EncodedSong& song, std::uint64_t start,
                            std::uint64_t offset);

inline constexpr std::uint32_t kSplitCrossing = 0x40010;

// The BankXor a song header at headerOffset is written with.
inline std::uint32_t headerBankXor(const FileState& file, std::uint32_t headerOffset) {
    if (!file.splitBankLayout) return file.bankXor;
    return headerOffset >= 0x3C010 && headerOffset < kSplitCrossing ? 0x4000 : 0x6000;
}

}  // namespace kestra
