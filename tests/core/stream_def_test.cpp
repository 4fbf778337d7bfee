#include "format/stream_def.h"

#include <gtest/gtest.h>

namespace kestra {
namespace {

TEST(StreamDef, WalkSkipsOperandsAndStopsAtEnd) {
    // 0x17 as a loop count is an operand; 0x19 passes as a command without operands.
    std::vector<std::uint8_t> s = {0x0E, 0x17, 0x80, 0x00, 0x19, 0x05,
                                   0x17, 0x17, 0x21, 0x17, 0x21};
    EXPECT_EQ(commandPositions(s), (std::vector<size_t>{0, 4, 5, 8, 9}));
}

TEST(StreamDef, NoteLengths) {
    struct Case {
        std::uint8_t b;
        bool dotted;
        int lines;
    };
    // clang-format off
    for (const Case& c : std::initializer_list<Case>{
             {0x20, false, 1}, {0x3F, false, 1}, {0x45, false, 2}, {0x60, false, 4},
             {0x80, false, 8}, {0xA0, false, 16}, {0xC0, false, 32}, {0xE0, false, 64},
             {0x21, true, 1}, {0x41, true, 3}, {0x61, true, 6}, {0xC1, true, 48}, {0xE1, true, 64}})
        // clang-format on
        EXPECT_EQ(noteLength(c.b, c.dotted), c.lines) << int(c.b);
}

TEST(StreamDef, NoteNames) {
    // Ordinary and noise names are checked wherever songs are read (decoder tests); octaves
    // from 10 on are one letter, so a note name never grows past its cell.
    NoteNames n = noteNames(9, false);
    EXPECT_EQ(n[12], "B-9");
    EXPECT_EQ(n[13], "C-A");
    EXPECT_EQ(n[31], "F#B");
}

}  // namespace
}  // namespace kestra
