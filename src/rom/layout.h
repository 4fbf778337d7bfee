// Opening an NES or NSF file: telling the six driver layouts apart and finding the song table.
#pragma once

#include <string>
#include <string_view>

#include "model/file_state.h"
#include "model/result.h"
#include "rom/file_bytes.h"

namespace kestra {

enum class FileKind { Unsupported, Nsf, Ines };

// Kind by the extension (text from the last "." to the end), compared exactly with ".nsf",
// ".NSF", ".Nsf", ".nes", ".NES", ".Nes". A name without "." in its last component is unsupported.
FileKind fileKindOf(std::string_view path);
// The file name without its folder (after the last "/" or "\").
std::string fileNameOf(std::string_view path);
// "Loaded: " + file name.
std::string loadedLabel(std::string_view path);
// "Song ID:                 Of " + count.
std::string songIdLabel(int songCount);

// Recognises the layout of the file's bytes; path is recorded in the result.
Result<FileState> recogniseLayout(const std::string& path, const Bytes& bytes);
// Reads the file and recognises its layout; nothing is kept open.
Result<FileState> openSongFile(const std::string& path);

const char* layoutName(Layout layout);

}  // namespace kestra
