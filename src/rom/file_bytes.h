// Whole-file reading and bounds-checked byte access. The file is opened, read and closed in
// one call, so no handle outlives an action.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "model/file_state.h"
#include "model/read_file.h"
#include "model/result.h"

namespace kestra {

using Bytes = std::vector<std::uint8_t>;

// Refuses directories, pipes, devices, unreadable files and files over maxSize bytes with a
// clear message, before reading.
Result<Bytes> readFileBytes(const std::string& path, std::uint64_t maxSize = kMaxInputFileBytes);

struct IdentifiedBytes {
    Bytes bytes;
    FileIdentity identity;
};
// The same, with what identifies the contents read.
Result<IdentifiedBytes> readIdentifiedFile(const std::string& path);

inline constexpr const char* kFileChangedOnDisk =
    " has changed on disk since it was selected: another program has written to it. Nothing "
    "was written. Select the file again (\"Select File\") to work on it as it is now.";
// The message when the file fs was opened from is no longer what was read (now: the file as it
// is on disk), or the empty text.
std::string changedOnDiskProblem(const FileState& fs, const FileIdentity& now);

inline std::optional<std::uint8_t> byteAt(const Bytes& bytes, std::uint64_t offset) {
    if (offset >= bytes.size()) return std::nullopt;
    return bytes[static_cast<size_t>(offset)];
}

// "The file ends before offset 0x1234 (...)": the message for a read past the end.
std::string outsideFileMessage(std::uint64_t offset, const std::string& what);

// The five-digit upper-case hex form used for file offsets in messages and the address box.
std::string offsetText(std::uint64_t offset);

}  // namespace kestra
