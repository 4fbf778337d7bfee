// Whole-file reading and bounds-checked byte access. The file is opened, read and closed in
// one call, so no handle outlives an action.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "model/result.h"

namespace kestra {

using Bytes = std::vector<std::uint8_t>;

// Refuses directories, unreadable files and files over maxSize bytes with a clear message.
Result<Bytes> readFileBytes(const std::string& path, std::uint64_t maxSize = 64u << 20);

inline std::optional<std::uint8_t> byteAt(const Bytes& bytes, std::uint64_t offset) {
    if (offset >= bytes.size()) return std::nullopt;
    return bytes[static_cast<size_t>(offset)];
}

// "The file ends before offset 0x1234 (...)": the message for a read past the end.
std::string outsideFileMessage(std::uint64_t offset, const std::string& what);

// The five-digit upper-case hex form used for file offsets in messages and the address box.
std::string offsetText(std::uint64_t offset);

}  // namespace kestra
