#include "rom/song_table.h"

#include "model/big_endian.h"
#include "model/hex_text.h"

namespace kestra {

std::int64_t headerOffsetOfEntry(const FileState& fs, std::uint16_t entry) {
    std::int64_t x = static_cast<std::int64_t>(highByte(entry) ^ 0x80) * 256;
    if (fs.splitBankLayout && x >= 0x4000) x -= 0x6000;
    std::int64_t low = lowByte(entry);
    if (fs.bankRelativeTable) return x + low + static_cast<std::int64_t>(fs.songTableBase) - 0xA01;
    return x + low + static_cast<std::int64_t>(fs.songTableBase & ~0x3FFFu) + fs.headerSize;
}

Result<std::uint32_t> songHeaderOffset(const FileState& fs, const Bytes& bytes, int songId) {
    using R = Result<std::uint32_t>;
    std::uint64_t entry = songTableEntryOffset(fs, songId);
    auto h = byteAt(bytes, entry);
    auto l = byteAt(bytes, entry + 1);
    if (!h || !l)
        return R::failure(
            outsideFileMessage(entry + 1, "song table entry of Song ID " + std::to_string(songId)));
    std::uint16_t tableEntry = bigEndian16(*h, *l);
    std::int64_t offset = headerOffsetOfEntry(fs, tableEntry);
    if (offset < 0 || static_cast<std::uint64_t>(offset) >= bytes.size())
        return R::failure("The song table entry of Song ID " + std::to_string(songId) + " ($" +
                          intToHexText(tableEntry, 4) + ") leads outside the file.");
    return static_cast<std::uint32_t>(offset);
}

std::vector<SongEntry> listSongs(const FileState& fs, const Bytes& bytes) {
    std::vector<SongEntry> out;
    out.reserve(static_cast<size_t>(fs.songCount));
    for (int id = 1; id <= fs.songCount; ++id) {
        SongEntry e;
        e.id = id;
        auto off = songHeaderOffset(fs, bytes, id);
        if (off) {
            e.headerOffset = *off;
            e.soundEffect = bytes[*off] != 0;
        }
        out.push_back(e);
    }
    return out;
}

std::optional<SongProposal> proposeSong(const FileState& fs, int songId, ErrorBox& errors) {
    auto bytes = readFileBytes(fs.path);
    if (!bytes) {
        errors.report(bytes.error());
        return std::nullopt;
    }
    auto off = songHeaderOffset(fs, *bytes, songId);
    if (!off) {
        errors.report(off.error());
        return std::nullopt;
    }
    SongProposal p;
    p.headerOffset = *off;
    p.addressText = offsetText(*off);
    p.soundEffect = (*bytes)[*off] != 0;
    if (p.soundEffect)
        errors.caution(kSoundEffectCaution);
    else
        errors.clear();
    return p;
}

std::string cleanSongIdText(std::string_view typed, int maxId) {
    std::string digits;
    for (char c : typed)
        if (c >= '0' && c <= '9') digits += c;
    size_t nonZero = digits.find_first_not_of('0');
    if (nonZero == std::string::npos) return "1";
    digits = digits.substr(nonZero);
    if (digits.size() > 6 || std::stoi(digits) > maxId)
        return std::to_string(maxId < 1 ? 1 : maxId);
    return digits;
}

std::string addressTextProblem(std::string_view text) {
    if (text.empty()) return "Please enter something in the text zone.";
    if (!isHexText(text)) return "The value entered is not a hexadecimal.";
    return {};
}

std::optional<std::uint32_t> channelAddressOf(const FileState& fs, std::uint16_t driverAddress) {
    if (driverAddress == 0) return std::nullopt;
    return static_cast<std::uint32_t>((driverAddress - kDriverBase + fs.headerSize) & 0xFFFF);
}

Result<std::array<std::uint16_t, 4>> readChannelPointers(const Bytes& bytes,
                                                         std::uint32_t headerOffset) {
    using R = Result<std::array<std::uint16_t, 4>>;
    if (headerOffset + static_cast<std::uint64_t>(kSongHeaderSize) > bytes.size())
        return R::failure(outsideFileMessage(headerOffset + kSongHeaderSize - 1, "song header"));
    std::array<std::uint16_t, 4> ptrs{};
    for (size_t i = 0; i < 4; ++i) ptrs[i] = readBigEndian16(bytes, headerOffset + 1 + 2 * i);
    return ptrs;
}

std::uint64_t channelDataOffset(std::uint32_t headerOffset, std::uint32_t channelAddress,
                                std::uint32_t bankXor) {
    std::uint64_t window = (static_cast<std::uint64_t>(headerOffset) + 1) & ~std::uint64_t{0x7FFF};
    return (window + channelAddress) ^ bankXor;
}

std::int64_t splitContinuationOffset(std::uint32_t headerOffset, std::uint32_t bankXor) {
    std::uint64_t window = (static_cast<std::uint64_t>(headerOffset) + 1) & ~std::uint64_t{0x7FFF};
    return static_cast<std::int64_t>(window ^ bankXor) - 0x1FF0;
}

}  // namespace kestra
