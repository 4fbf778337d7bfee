// The song table, song headers and the mapping between driver addresses and file offsets.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "model/file_state.h"
#include "model/ports.h"
#include "model/result.h"
#include "rom/file_bytes.h"

namespace kestra {

constexpr int kSongHeaderSize = 9;

// File offset of the table entry of Song ID n.
inline std::uint64_t songTableEntryOffset(const FileState& fs, int songId) {
    return fs.songTableBase + 2ull * static_cast<std::uint64_t>(songId);
}

// The file offset a song table entry (driver address of a header) leads to; may lie outside
// the file.
std::int64_t headerOffsetOfEntry(const FileState& fs, std::uint16_t entry);

// The header offset the entry of songId leads to. Fails when the entry or the offset lies
// outside the file (or before its start).
Result<std::uint32_t> songHeaderOffset(const FileState& fs, const Bytes& bytes, int songId);

struct SongEntry {
    int id = 0;
    std::optional<std::uint32_t> headerOffset;  // none: the entry leads outside the file
    bool soundEffect = false;
};
std::vector<SongEntry> listSongs(const FileState& fs, const Bytes& bytes);

// What the Song ID controls propose for a Song ID: the header offset as five hex digits, and
// whether the entry is a sound effect.
struct SongProposal {
    std::uint32_t headerOffset = 0;
    std::string addressText;
    bool soundEffect = false;
};
inline constexpr const char* kSoundEffectCaution =
    "Caution! A sound effect is detected on this Song ID. Sound Effects are not supported.";
// Opens the file, proposes the header of songId; a sound effect puts the caution into the box
// (no sound), a song empties it; a failure is reported as an error.
std::optional<SongProposal> proposeSong(const FileState& fs, int songId, ErrorBox& errors);

// The cleaning of the Song ID box: digits only, at least 1, at most maxId.
std::string cleanSongIdText(std::string_view typed, int maxId);

// The address box check: an empty message when the text is usable.
inline constexpr const char* kSetAddressTitle = "Set address";
std::string addressTextProblem(std::string_view text);

// Channel pointers of a header: driver address form -> channel address (driver address -
// 0x8000 + header size); nullopt for 0000 (no stream).
std::optional<std::uint32_t> channelAddressOf(const FileState& fs, std::uint16_t driverAddress);
// The four channel pointers of the header at headerOffset (driver addresses, 0 = none).
Result<std::array<std::uint16_t, 4>> readChannelPointers(const Bytes& bytes,
                                                         std::uint32_t headerOffset);

// BankXor used to read a channel in the split-bank layout.
inline std::uint32_t splitBankXorForChannel(std::uint32_t channelAddress) {
    return channelAddress < 0x4000 ? 0x4000 : 0x6000;
}
// File offset of channel address c of the song whose header is at headerOffset.
std::uint64_t channelDataOffset(std::uint32_t headerOffset, std::uint32_t channelAddress,
                                std::uint32_t bankXor);
// Split-bank layout: where a stream read byte by byte goes on after channel address 0x400F.
std::int64_t splitContinuationOffset(std::uint32_t headerOffset, std::uint32_t bankXor);
constexpr std::uint32_t kSplitContinuationAddress = 0x4010;

// The writer's linear position P (file offset + 0x8000 - header size) and its mappings.
inline std::uint64_t linearOfFileOffset(const FileState& fs, std::uint64_t offset) {
    return offset + kDriverBase - fs.headerSize;
}
inline std::uint64_t fileOffsetOfLinear(const FileState& fs, std::uint64_t p) {
    return p - kDriverBase + fs.headerSize;
}
inline std::uint16_t driverAddressOfLinear(std::uint64_t p, std::uint32_t bankXor) {
    return static_cast<std::uint16_t>(((p & 0x7FFF) | 0x8000) ^ bankXor);
}

}  // namespace kestra
