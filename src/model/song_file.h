// Song files (.ksong): the sheet dump text saved to disk and read back, so that work survives a
// restart and can be kept under version control.
#pragma once

#include <string>

#include "model/read_memory.h"
#include "model/result.h"
#include "model/sheet_dump.h"

namespace kestra {

constexpr const char* kSongFileExtension = ".ksong";

// A song file: the sheet dump, then (when the song was read from a file) what reading
// remembered of its lines. Files without the second part are plain sheet dumps.
struct SongFileContent : SheetDump {
    ReadMemory memory;
};

// Writes the dump through a temporary file and a rename: the old file stays whole on failure.
Status saveSongFile(const std::string& path, const Sheets& sheets,
                    const std::vector<std::string>& messages = {},
                    const ReadMemory* memory = nullptr);
// All or nothing: a damaged or foreign file gives a message naming the file and the line.
Result<SongFileContent> loadSongFile(const std::string& path);
// The text of a song file (the message names the line).
Result<SongFileContent> parseSongFileText(std::string_view text);

}  // namespace kestra
