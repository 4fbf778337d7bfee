// What a file given to the editor is (on its command line, dropped on its window or picked from
// its recent files), told by its first bytes and only then by its name.
#pragma once

#include <string>
#include <string_view>

namespace kestra {

enum class OpenKind { Nsf, Rom, Song, Unknown };

// NSF and iNES files by their magic; a song file by its first line ("format N" or "channel 1")
// or its ".ksong" extension. A file that cannot be read is Unknown.
OpenKind openKindOf(const std::string& path);
OpenKind openKindOfStart(std::string_view start, std::string_view fileName);

}  // namespace kestra
