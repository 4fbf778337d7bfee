#include "rom/file_bytes.h"

#include "model/hex_text.h"
#include "rom/crc32.h"

namespace kestra {

Result<Bytes> readFileBytes(const std::string& path, std::uint64_t maxSize) {
    auto read = readWholeFile(path, maxSize, "an NES or NSF file");
    if (!read) return Result<Bytes>::failure(read.error());
    return std::move(read->bytes);
}

Result<IdentifiedBytes> readIdentifiedFile(const std::string& path) {
    auto read = readWholeFile(path, kMaxInputFileBytes, "an NES or NSF file");
    if (!read) return Result<IdentifiedBytes>::failure(read.error());
    FileIdentity id{read->bytes.size(), read->modifiedNs, crc32(read->bytes)};
    return IdentifiedBytes{std::move(read->bytes), id};
}

std::string changedOnDiskProblem(const FileState& fs, const FileIdentity& now) {
    if (!fs.identity || *fs.identity == now) return {};
    return "The file " + fs.path + kFileChangedOnDisk;
}

std::string outsideFileMessage(std::uint64_t offset, const std::string& what) {
    return "The file ends before offset $" + offsetText(offset) + " (" + what + ").";
}

std::string offsetText(std::uint64_t offset) {
    return intToHexText(static_cast<long long>(offset), 5);
}

}  // namespace kestra
