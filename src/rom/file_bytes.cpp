#include "rom/file_bytes.h"

#include <sys/stat.h>

#include <cerrno>
#include <cstring>
#include <fstream>

#include "model/hex_text.h"

namespace kestra {

Result<Bytes> readFileBytes(const std::string& path, std::uint64_t maxSize) {
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0)
        return Result<Bytes>::failure("Cannot open \"" + path + "\": " + std::strerror(errno) +
                                      ".");
    if (S_ISDIR(st.st_mode))
        return Result<Bytes>::failure("\"" + path + "\" is a folder, not a file.");
    // A pipe or a device would block the reading or never end.
    if (!S_ISREG(st.st_mode))
        return Result<Bytes>::failure("\"" + path + "\" is not a regular file.");
    if (static_cast<std::uint64_t>(st.st_size) > maxSize)
        return Result<Bytes>::failure("\"" + path + "\" is too large to be an NES or NSF file.");
    std::ifstream in(path, std::ios::binary);
    if (!in) return Result<Bytes>::failure("Cannot open \"" + path + "\" for reading.");
    Bytes bytes(static_cast<size_t>(st.st_size));
    if (!bytes.empty()) {
        in.read(reinterpret_cast<char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
        if (in.gcount() != static_cast<std::streamsize>(bytes.size()))
            return Result<Bytes>::failure("Cannot read \"" + path + "\" to its end.");
    }
    return bytes;
}

std::string outsideFileMessage(std::uint64_t offset, const std::string& what) {
    return "The file ends before offset $" + offsetText(offset) + " (" + what + ").";
}

std::string offsetText(std::uint64_t offset) {
    return intToHexText(static_cast<long long>(offset), 5);
}

}  // namespace kestra
