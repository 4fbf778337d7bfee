// Song files (.ksong): the sheet dump text saved to disk and read back, so that work survives a
// restart and can be kept under version control.
#pragma once

#include <optional>
#include <string>

#include "model/result.h"
#include "model/sheet_dump.h"

namespace kestra {

constexpr const char* kSongFileExtension = ".ksong";

// Writes the dump through a temporary file and a rename: the old file stays whole on failure.
// Returns the error message, or nothing on success.
std::optional<std::string> saveSongFile(const std::string& path, const Sheets& sheets,
                                        const std::vector<std::string>& messages = {});
// All or nothing: a damaged or foreign file gives a message naming the file and the line.
Result<SheetDump> loadSongFile(const std::string& path);

}  // namespace kestra
