// Reading a whole input safely: only regular files are read (a pipe would block for ever, a
// device never end), the size limit is checked before reading, and reading stops at the limit
// whatever the file does meanwhile.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "model/result.h"

namespace kestra {

// Larger than any NES, NSF or song file; keeps a runaway input from filling memory.
inline constexpr std::uint64_t kMaxInputFileBytes = 64u << 20;

struct FileContents {
    std::vector<std::uint8_t> bytes;
    std::int64_t modifiedNs = 0;  // modification time, nanoseconds since the epoch
};

// The file at path. `kind` names what it should be in the message for a file over maxSize
// ("an NES or NSF file": "... is too large to be an NES or NSF file.").
Result<FileContents> readWholeFile(const std::string& path, std::uint64_t maxSize,
                                   const std::string& kind);

// Everything up to the end of an open descriptor (standard input), at most maxSize bytes;
// `name` names it in messages.
Result<std::vector<std::uint8_t>> readAllOf(int fd, std::uint64_t maxSize, const std::string& name);

}  // namespace kestra
