// What several commands share: reading a file and recognising its layout, with the error printed.
#pragma once

#include <optional>
#include <string>

#include "model/file_state.h"
#include "rom/file_bytes.h"

namespace kestra::cli {

struct OpenedFile {
    Bytes bytes;
    FileState state;
};

// Prints the reason to stderr and returns nothing when the file cannot be read or is not a
// known layout.
std::optional<OpenedFile> openSongFileForCli(const std::string& path);

}  // namespace kestra::cli
