// Note bytes of the channel stream as the encoder writes them: a pending note split into length
// pieces, the Connect commands that join the pieces, and the pitch code of a note name.
#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

#include "format/stream_def.h"

namespace kestra {

// The pitch code of a rest ("///").
constexpr int kRestCode = 0x20;

// 0x20 + the index of text in names, or -1 when the name is not there (the octave in force
// cannot play it). Empty table entries never match.
int noteCode(const NoteNames& names, std::string_view text);

// Appends one note of `length` lines (1, 2, 3, 4, 6, 8, 12, 16, 24, 32, 48 or 64) with pitch
// code `code` (0x20-0x3F): a Dotted prefix first for the dotted lengths.
void noteLengthPiece(std::vector<std::uint8_t>& out, int code, int length);

// The greedy split of a length into pieces: 64 as often as it fits, then 48, 32, 24, 16, 12, 8,
// 6, 4, 3, 2, 1 at most once each.
std::vector<int> lengthPieces(int length);

struct PendingNote {
    int code = kRestCode;
    int length = 0;
    bool fresh = true;        // started by a note cell, nothing of it emitted yet
    bool noteOnLine = false;  // the line that ends this part carries a note of its own
    int slideState = 0;
};

// Appends the pending note's pieces with their Connect commands.
void emitPendingNote(std::vector<std::uint8_t>& out, const PendingNote& note);

}  // namespace kestra
