// Which remembered line each line of a frame still is. Lines may have been added, removed or
// edited since the song was read, so the frame's lines and the remembered ones are aligned by
// their text, as a diff of two files aligns their lines.
#pragma once

#include <string>
#include <vector>

#include "model/read_memory.h"

namespace kestra {

// Past this many differing lines only the common first and last lines are aligned (and, when
// no line was added or removed, the others line for line): the rest is encoded from the cells,
// which is always right, just not byte for byte as read.
inline constexpr int kMaxAlignedDifferences = 1000;

// For each of the `lines` lines of the frame texts (Music, Loop and Break), the index of the
// remembered line it is (same text, order kept; the line numbers of targets may differ), or -1.
std::vector<int> alignRemembered(std::string_view music, std::string_view loop,
                                 std::string_view brk, int lines, const ChannelMemory& remembered);

// For the lines not aligned: the remembered line in the same place (as many lines between the
// aligned ones around it on both sides) when only the Note cell differs and both name a note; -1
// otherwise. Such a line keeps its bytes with a new pitch.
std::vector<int> pairNewPitches(std::string_view music, std::string_view loop, std::string_view brk,
                                const std::vector<int>& aligned, const ChannelMemory& remembered);

}  // namespace kestra
