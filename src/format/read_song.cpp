#include "format/read_song.h"

#include <array>
#include <string>
#include <utility>

#include "format/decoder.h"
#include "format/stream_def.h"
#include "model/frame_store.h"
#include "model/guard.h"
#include "model/hex_text.h"
#include "rom/song_table.h"

namespace kestra {

Result<std::optional<std::uint32_t>> readHeaderPointer(const FileState& fs, const Bytes& file,
                                                       std::uint32_t headerOffset, int channel) {
    using R = Result<std::optional<std::uint32_t>>;
    auto ptrs = readChannelPointers(file, headerOffset);
    if (!ptrs) return R::failure(ptrs.error());
    return channelAddressOf(fs, (*ptrs)[static_cast<size_t>(channel)]);
}

std::uint32_t bankXorForChannel(const FileState& fs, std::uint32_t channelAddress) {
    return fs.splitBankLayout ? splitBankXorForChannel(channelAddress) : fs.bankXor;
}

Result<Bytes> readChannelBytes(const FileState& fs, const Bytes& file, std::uint32_t headerOffset,
                               std::uint32_t channelAddress, int channel) {
    std::uint32_t bankXor = bankXorForChannel(fs, channelAddress);
    std::int64_t offset =
        static_cast<std::int64_t>(channelDataOffset(headerOffset, channelAddress, bankXor));
    const std::string name = channelMessageName(channel);
    Bytes stream;
    int operandsDue = 0;
    for (std::uint64_t address = channelAddress;; ++address) {
        // A split-bank stream that started in the first bank goes on elsewhere in the file
        // after channel address 0x400F. One that starts at 0x4000 or above is already mapped
        // into the second area, where it reads straight on.
        if (fs.splitBankLayout && address == kSplitContinuationAddress && channelAddress < 0x4000)
            offset = splitContinuationOffset(headerOffset, bankXor);
        if (offset < 0 || static_cast<std::uint64_t>(offset) >= file.size()) {
            std::string where = offset < 0
                                    ? "the start of the file"
                                    : "the end of the file ($" +
                                          offsetText(static_cast<std::uint64_t>(offset)) + ")";
            return Result<Bytes>::failure("The " + name + " stream reaches " + where +
                                          " before its End command (17); the song was not read.");
        }
        std::uint8_t b = file[static_cast<size_t>(offset++)];
        stream.push_back(b);
        if (operandsDue > 0) {
            --operandsDue;
            continue;
        }
        operandsDue = operandCount(b);
        if (b == cmd::kEnd) break;
    }
    return stream;
}

bool decodeSong(const FileState& fs, const Bytes& file, std::uint32_t headerOffset, Sheets& sheets,
                ErrorBox& errors, ReadMemory* memory) {
    for (auto& ch : sheets.channels) resetChannelSheets(ch);
    if (memory) memory->fill(std::nullopt);
    ReadMemory remembered;
    auto type = byteAt(file, headerOffset);
    if (!type) {
        errors.report(outsideFileMessage(headerOffset, "song header"));
        return false;
    }
    if (*type != 0) {
        errors.report(kNoSongInit);
        return false;
    }
    auto ptrs = readChannelPointers(file, headerOffset);
    if (!ptrs) {
        errors.report(ptrs.error());
        return false;
    }
    // Decoded aside, so that a channel that cannot be read leaves the whole song unread.
    std::array<ChannelSheets, kChannelCount> read;
    for (int ch = 0; ch < kChannelCount; ++ch) {
        ChannelSheets& out = read[static_cast<size_t>(ch)];
        resetChannelSheets(out);
        std::uint16_t pointer = (*ptrs)[static_cast<size_t>(ch)];
        auto address = channelAddressOf(fs, pointer);
        if (!address) continue;  // no stream: one default line
        if (pointer < kDriverBase) {
            errors.report("The " + std::string(channelMessageName(ch)) + " pointer $" +
                          intToHexText(pointer, 4) +
                          " of the song header is not a sound driver address ($8000-$FFFF); the "
                          "song was not read.");
            return false;
        }
        auto bytes = readChannelBytes(fs, file, headerOffset, *address, ch);
        if (!bytes) {
            errors.report(bytes.error());
            return false;
        }
        std::vector<LineMemory> lines;
        if (!decodeChannel(*bytes, *address, fs.headerSize, ch, out, errors,
                           memory ? &lines : nullptr))
            return false;
        if (memory && !lines.empty()) {
            auto& channel = remembered[static_cast<size_t>(ch)];
            channel = ChannelMemory{fs.layout,         headerOffset,     pointer, fs.path,
                                    std::move(*bytes), std::move(lines), {}};
            channel->shareRecords(out);
        }
    }
    for (int ch = 0; ch < kChannelCount; ++ch) {
        ChannelSheets& dst = sheets.channel(ch);
        ChannelSheets& src = read[static_cast<size_t>(ch)];
        dst.music = std::move(src.music);
        dst.loop = std::move(src.loop);
        dst.brk = std::move(src.brk);
    }
    if (memory) *memory = std::move(remembered);
    return true;
}

bool decodeSong(Document& doc, const Bytes& file, std::uint32_t headerOffset) {
    ReadMemory memory;
    const bool read = decodeSong(doc.file, file, headerOffset, doc.sheets, doc.errors, &memory);
    doc.remember(std::move(memory));
    return read;
}

namespace {

// Puts the shown channel back on every way out of the action.
class KeepChannel {
  public:
    explicit KeepChannel(int& channel) : channel_(channel), kept_(channel) {}
    ~KeepChannel() { channel_ = kept_; }
    KeepChannel(const KeepChannel&) = delete;
    KeepChannel& operator=(const KeepChannel&) = delete;

  private:
    int& channel_;
    int kept_;
};

}  // namespace

bool readChannel(Document& doc, MessagePort* messages) {
    KeepChannel keep(doc.currentChannel);
    if (doc.file.path.empty()) {
        doc.errors.report(kSelectFileFirst);
        return false;
    }
    if (doc.readWriteAddress.empty()) {
        doc.errors.report(kEnterAddressFirst);
        return false;
    }
    // Without anyone to ask (no message port) the song is read as if confirmed.
    if (messages && !messages->confirm(kReadConfirmTitle, kReadConfirmText)) return false;

    // From here on the old song is gone, whatever happens.
    doc.frames.reset();
    doc.remember({});
    for (auto& ch : doc.sheets.channels) resetChannelSheets(ch);

    bool read = false;
    runGuarded(messages, [&] {
        long long header = hexTextToInt(doc.readWriteAddress);
        auto file = readFileBytes(doc.file.path);
        if (!file) {
            doc.errors.report(file.error());
            return;
        }
        if (header < 0 || static_cast<std::uint64_t>(header) >= file->size()) {
            doc.errors.report(
                outsideFileMessage(static_cast<std::uint64_t>(header), "song header"));
            return;
        }
        auto offset = static_cast<std::uint32_t>(header);
        read = decodeSong(doc, *file, offset);
        if (read && doc.file.splitBankLayout) {
            // The split-bank choice of the last channel read stays, as the file state records it.
            for (int ch = kChannelCount - 1; ch >= 0; --ch) {
                auto address = readHeaderPointer(doc.file, *file, offset, ch);
                if (address && *address) {
                    doc.file.bankXor = splitBankXorForChannel(**address);
                    break;
                }
            }
        }
    });
    return read;
}

}  // namespace kestra
