// What several commands share: reading a file and recognising its layout, with the error printed.
#pragma once

#include <optional>
#include <string>

#include "model/file_state.h"
#include "model/song_file.h"
#include "rom/file_bytes.h"

namespace kestra::cli {

struct OpenedFile {
    Bytes bytes;
    FileState state;
};

// Prints the reason to stderr and returns nothing when the file cannot be read or is not a
// known layout.
std::optional<OpenedFile> openSongFileForCli(const std::string& path);

// A sheet dump or song file from a path, or from standard input for "-"; prints the reason to
// stderr (after `prefix`) and returns nothing when it cannot be read or parsed.
std::optional<SongFileContent> readSongTextForCli(const std::string& source,
                                                  const std::string& prefix);

}  // namespace kestra::cli
