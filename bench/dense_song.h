// The dense song the dump and create benchmarks work on: four channel streams of about 8,500
// lines each, read into sheets as `kestra-cli dump` reads them.
#pragma once

#include <array>
#include <cstdlib>

#include "format/decoder.h"
#include "model/sheets.h"

namespace kestra::bench {

constexpr std::uint32_t kDenseStart =
    0x80;  // channel address; byte i has driver address 0x8000 + i
constexpr std::uint32_t kDenseHeaderSize = 0x80;
constexpr int kDenseLines = 8500;

inline void target(Bytes& s, std::uint8_t command, std::uint8_t operand, size_t index) {
    s.push_back(command);
    if (command != 0x16) s.push_back(operand);
    s.push_back(static_cast<std::uint8_t>(0x80 | (index >> 8)));
    s.push_back(static_cast<std::uint8_t>(index & 0xFF));
}

// Blocks of 21-22 lines: commands before most notes, connected and dotted notes, octave-plus, and
// per block a loop back to the block's start and a break out of it, with a jump back at every
// fourth block (after the break, so on a zero-length line). The slide between the break and the
// block's last note keeps a zero-length line of its own, as does the one before a jump.
inline Bytes denseStream(int channel, int maxLines = kDenseLines) {
    Bytes s;
    int lines = 0;
    int block = 0;
    while (lines + 23 < maxLines) {
        size_t top = s.size();
        s.insert(s.end(), {0x07, static_cast<std::uint8_t>(block & 0x0F), 0x08, 0x01, 0x09,
                           static_cast<std::uint8_t>(block % 6)});
        s.insert(s.end(), {0x61, 0x04, 0x40, 0x21, 0x21, 0x01, 0x21, 0x0D, 0x10, 0x41});
        s.insert(s.end(), {0x02, 0x41, 0x03, 0x25, 0x03, 0x0B, 0x01, 0x02, 0x62});
        // The break leaves the loop for the block's last note.
        target(s, 0x0E, 0x02, top);
        size_t last = s.size() + 4 + 2 + (block % 4 == 3 ? 3 : 0);
        target(s, 0x12, 0x00, last);
        s.push_back(0x0D);
        s.push_back(0x00);
        if (block % 4 == 3) target(s, 0x16, 0, top);
        s.push_back(static_cast<std::uint8_t>(channel == 3 ? 0x2A : 0x28));
        lines += 22;
        ++block;
    }
    s.push_back(0x17);
    return s;
}

inline std::array<Bytes, 4> denseStreams() {
    std::array<Bytes, 4> streams;
    for (int ch = 0; ch < 4; ++ch) streams[static_cast<size_t>(ch)] = denseStream(ch);
    return streams;
}

// Decodes the four streams into sheets; the lines they gave.
inline size_t decodeDense(const std::array<Bytes, 4>& streams, Sheets& sheets, ErrorBox& errors) {
    size_t lines = 0;
    for (int ch = 0; ch < 4; ++ch) {
        decodeChannel(streams[static_cast<size_t>(ch)], kDenseStart, kDenseHeaderSize, ch,
                      sheets.channel(ch), errors);
        lines += static_cast<size_t>(sheets.channel(ch).lineCount());
    }
    return lines;
}

}  // namespace kestra::bench
