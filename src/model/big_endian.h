// Two-byte values as the song data holds them, high byte first: channel pointers, song table
// entries, and the target operands of Loop, Break and Jump commands.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace kestra {

inline std::uint8_t highByte(std::uint16_t v) {
    return static_cast<std::uint8_t>(v >> 8);
}
inline std::uint8_t lowByte(std::uint16_t v) {
    return static_cast<std::uint8_t>(v & 0xFF);
}
inline std::uint16_t bigEndian16(std::uint8_t high, std::uint8_t low) {
    return static_cast<std::uint16_t>(high << 8 | low);
}
inline std::uint16_t readBigEndian16(const std::vector<std::uint8_t>& bytes, size_t at) {
    return bigEndian16(bytes[at], bytes[at + 1]);
}
inline void writeBigEndian16(std::vector<std::uint8_t>& bytes, size_t at, std::uint16_t v) {
    bytes[at] = highByte(v);
    bytes[at + 1] = lowByte(v);
}
inline void appendBigEndian16(std::vector<std::uint8_t>& bytes, std::uint16_t v) {
    bytes.push_back(highByte(v));
    bytes.push_back(lowByte(v));
}

// Where the 2-byte target of the Loop, Break or Jump at commandAt starts: a Loop's count or a
// Break's flag byte comes first, a Jump has none.
inline size_t targetOperandAt(size_t commandAt, bool jump) {
    return commandAt + (jump ? 1 : 2);
}

}  // namespace kestra
