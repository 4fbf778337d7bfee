// The driver's channel stream: byte classes, operand counts, note lengths and note names.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace kestra {

namespace cmd {
constexpr std::uint8_t kTriplet = 0x00, kConnect = 0x01, kDotted = 0x02, kOctavePlus = 0x03,
                       kFlag = 0x04, kSpeed = 0x05, kToneLength = 0x06, kVolume = 0x07,
                       kInstrument = 0x08, kOctave = 0x09, kTransposeAll = 0x0A, kTranspose = 0x0B,
                       kPitch = 0x0C, kSlide = 0x0D, kLoop1 = 0x0E, kLoop4 = 0x11, kBreak1 = 0x12,
                       kBreak4 = 0x15, kJump = 0x16, kEnd = 0x17, kToneType = 0x18,
                       kFirstNote = 0x20;
constexpr std::uint8_t kConnectBit = 0x40;
}  // namespace cmd

inline bool isUnused(std::uint8_t b) {
    return b >= 0x19 && b <= 0x1F;
}
inline bool isNote(std::uint8_t b) {
    return b >= 0x20;
}
inline bool isLoop(std::uint8_t b) {
    return b >= cmd::kLoop1 && b <= cmd::kLoop4;
}
inline bool isBreak(std::uint8_t b) {
    return b >= cmd::kBreak1 && b <= cmd::kBreak4;
}
inline bool isJump(std::uint8_t b) {
    return b == cmd::kJump;
}

// Operand bytes that follow a byte in command position.
int operandCount(std::uint8_t b);

// Lines of a note byte: 2^(L-1) for the length code L in bits 7-5; dotted adds half (integer),
// except for 64 (a 64-line note cannot be dotted and stays 64).
int noteLength(std::uint8_t noteByte, bool dotted = false);
inline int notePitch(std::uint8_t noteByte) {
    return noteByte & 0x1F;
}

// Command positions of a stream from its first byte up to and including the first End in
// command position (or the end of the bytes). Operands are skipped.
std::vector<size_t> commandPositions(const std::vector<std::uint8_t>& stream);

// The 32 note names of a channel kind and octave; index 0 is "///" (rest).
using NoteNames = std::array<std::string, 32>;
// Tonal: entries 1-12 in octave, 13-24 in octave+1, 25-31 in octave+2; an octave from 10 on is
// one letter (A = 10) so that names stay three characters. Noise: entries 1-16 are "0-#".."F-#",
// 17-31 go on with "G-#".."U-#".
void buildNoteNames(NoteNames& names, int octave, bool noise);
NoteNames noteNames(int octave, bool noise);

}  // namespace kestra
