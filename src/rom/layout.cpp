#include "rom/layout.h"

#include "model/hex_text.h"

namespace kestra {

FileKind fileKindOf(std::string_view path) {
    size_t dot = path.rfind('.');
    if (dot == std::string_view::npos) return FileKind::Unsupported;
    std::string_view ext = path.substr(dot);
    if (ext.find('/') != std::string_view::npos || ext.find('\\') != std::string_view::npos)
        return FileKind::Unsupported;
    if (ext == ".nsf" || ext == ".NSF" || ext == ".Nsf") return FileKind::Nsf;
    if (ext == ".nes" || ext == ".NES" || ext == ".Nes") return FileKind::Ines;
    return FileKind::Unsupported;
}

std::string fileNameOf(std::string_view path) {
    size_t cut = path.find_last_of("/\\");
    return std::string(cut == std::string_view::npos ? path : path.substr(cut + 1));
}

std::string loadedLabel(std::string_view path) {
    return "Loaded: " + fileNameOf(path);
}

std::string songIdLabel(int songCount) {
    return "Song ID:                 Of " + std::to_string(songCount);
}

const char* layoutName(Layout layout) {
    switch (layout) {
        case Layout::Nsf:
            return "NSF";
        case Layout::Rom32:
            return "ROM 32";
        case Layout::Rom43:
            return "ROM 43";
        case Layout::Rom49:
            return "ROM 49";
        case Layout::Rom4C:
            return "ROM 4C";
        case Layout::Rom69:
            return "ROM 69";
        default:
            return "none";
    }
}

namespace {

struct RomRow {
    std::uint8_t signature;
    std::uint32_t bankByteDistance;
    Layout layout;
};

constexpr RomRow kRomRows[] = {
    {0x32, 0x3F38, Layout::Rom32}, {0x43, 0x56, Layout::Rom43},   {0x49, 0x8A, Layout::Rom49},
    {0x69, 0x7C, Layout::Rom69},   {0x4C, 0x3729, Layout::Rom4C},
};

}  // namespace

Result<FileState> recogniseLayout(const std::string& path, const Bytes& bytes) {
    using R = Result<FileState>;
    FileState fs;
    fs.path = path;
    fs.fileSize = bytes.size();
    std::uint64_t bank = 0;
    switch (fileKindOf(path)) {
        case FileKind::Unsupported:
            return R::failure("\"" + fileNameOf(path) +
                              "\" is not an NSF or NES file: its name must end in .nsf or .nes.");
        case FileKind::Nsf:
            fs.layout = Layout::Nsf;
            fs.headerSize = 0x80;
            fs.bankXor = 0;
            if (bytes.size() < 0x80) return R::failure("The file is too short to be an NSF file.");
            break;
        case FileKind::Ines: {
            fs.headerSize = 0x10;
            if (bytes.size() < 16 || bytes[0] != 'N' || bytes[1] != 'E' || bytes[2] != 'S')
                return R::failure("The file has no iNES header: it is not an NES cartridge image.");
            std::uint64_t programSize = 16384ull * bytes[4];
            std::uint64_t sigOffset = programSize + 14;
            auto sig = byteAt(bytes, sigOffset);
            if (!sig || bytes[4] == 0)
                return R::failure(outsideFileMessage(sigOffset, "layout signature"));
            const RomRow* row = nullptr;
            for (const auto& r : kRomRows)
                if (r.signature == *sig) row = &r;
            if (!row)
                return R::failure(
                    "This ROM does not use a known layout of the sound driver "
                    "(signature byte $" +
                    intToHexText(*sig, 2) + " at offset $" + offsetText(sigOffset) + ").");
            fs.layout = row->layout;
            if (programSize < row->bankByteDistance)
                return R::failure("The ROM is too small for its layout: no sound bank byte.");
            std::uint64_t bankOffset = programSize - row->bankByteDistance;
            auto b = byteAt(bytes, bankOffset);
            if (!b) return R::failure(outsideFileMessage(bankOffset, "sound bank number"));
            bank = *b & 0x7F;
            switch (row->layout) {
                case Layout::Rom32:
                    fs.bankXor = 0x4000;
                    fs.bankRelativeTable = true;
                    break;
                case Layout::Rom43:
                    fs.bankXor = 0x4000;
                    break;
                case Layout::Rom49:
                    fs.splitBankLayout = true;
                    break;  // BankXor is set per use
                default:
                    fs.bankXor = 0;
                    break;
            }
            break;
        }
    }
    fs.soundBank = static_cast<int>(bank);
    std::uint64_t low = 0;
    if (fs.layout != Layout::Rom32) {
        std::uint64_t lowOffset = 8192 * bank + 0x10E + fs.headerSize;
        auto l = byteAt(bytes, lowOffset);
        if (!l) return R::failure(outsideFileMessage(lowOffset, "song table address"));
        low = *l;
    }
    std::uint64_t countOffset = 8192 * bank + low + 0xA00 + fs.headerSize;
    auto n = byteAt(bytes, countOffset);
    if (!n) return R::failure(outsideFileMessage(countOffset, "song count"));
    fs.songCount = *n;
    fs.songTableBase = static_cast<std::uint32_t>(countOffset + 1);
    if (fs.songCount == 0) return R::failure("The song table of this file holds no song.");
    std::uint64_t tableEnd = fs.songTableBase + 2ull * static_cast<std::uint64_t>(fs.songCount) + 2;
    if (tableEnd > bytes.size()) return R::failure(outsideFileMessage(tableEnd - 1, "song table"));
    return fs;
}

Result<FileState> openSongFile(const std::string& path) {
    if (fileKindOf(path) == FileKind::Unsupported) return recogniseLayout(path, {});
    auto read = readIdentifiedFile(path);
    if (!read) return Result<FileState>::failure(read.error());
    auto fs = recogniseLayout(path, read->bytes);
    if (fs) fs->identity = read->identity;
    return fs;
}

}  // namespace kestra
