// Where a song lies in the file by the reader's address rules: its header and the bytes of its
// channel streams up to their End. Used to guard other songs and to read a written song back.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "model/file_state.h"
#include "model/result.h"
#include "rom/file_bytes.h"

namespace kestra {

// Bytes [begin, end) of the file.
struct FileRange {
    std::uint64_t begin = 0;
    std::uint64_t end = 0;
};

struct StreamRead {
    Bytes bytes;                    // the stream, End included (when found)
    std::vector<FileRange> ranges;  // where its bytes lie, in stream order
    bool complete = false;          // ended with End; false when the file ended first
};

// Reads the stream of the channel whose driver address is `pointer` in the song whose header is
// at headerOffset, byte by byte as the reader does (split-bank continuation included).
StreamRead readStreamAt(const FileState& fs, const Bytes& file, std::uint32_t headerOffset,
                        std::uint16_t pointer);

struct SongRead {
    std::uint8_t type = 0;
    std::array<std::uint16_t, 4> pointers{};
    std::array<std::optional<StreamRead>, 4> channels;  // none for pointer 0000
};

// The song whose header is at headerOffset; fails when the header lies outside the file.
Result<SongRead> readSongAt(const FileState& fs, const Bytes& file, std::uint32_t headerOffset);

}  // namespace kestra
