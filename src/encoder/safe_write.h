// Replacing a file's contents so that it is never left half-written: the new contents go to a
// temporary file in the same folder, reach the disk, and are then renamed over the original.
#pragma once

#include <string>

#include "rom/file_bytes.h"

namespace kestra {

// Replaces the contents of the file at path (a symbolic link is followed) by bytes, keeping its
// permissions. Refuses files that are not writable. The empty text on success, else a message
// saying why; on failure the file is unchanged.
std::string replaceFileContents(const std::string& path, const Bytes& bytes);

// Why replaceFileContents would refuse path before writing anything (not a regular file,
// read-only), or the empty text.
std::string replaceRefusal(const std::string& path);

// Keeps the original of path beside it as path + ".bak" unless that already exists. The empty
// text on success (or when the backup exists), else a message.
std::string keepBackupOnce(const std::string& path, const Bytes& original);

std::string backupPathOf(const std::string& path);

}  // namespace kestra
