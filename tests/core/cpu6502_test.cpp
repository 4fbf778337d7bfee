#include "cpu/cpu6502.h"

#include <gtest/gtest.h>

#include <array>
#include <initializer_list>
#include <tuple>
#include <utility>
#include <vector>

#include "cpu/nsf_machine.h"

namespace kestra::cpu {
namespace {

class FlatBus : public Bus {
  public:
    std::uint8_t read(std::uint16_t a) override { return mem[a]; }
    void write(std::uint16_t a, std::uint8_t v) override { mem[a] = v; }
    std::array<std::uint8_t, 0x10000> mem{};
};

using Poke = std::pair<std::uint16_t, std::uint8_t>;
constexpr std::uint8_t C = flag::kCarry, Z = flag::kZero, D = flag::kDecimal, V = flag::kOverflow,
                       N = flag::kNegative, B = flag::kBreak, U = flag::kUnused;

struct Case {
    const char* what;
    std::vector<Poke> memory;  // the instruction goes at $0200
    Registers before;
    Registers after;  // pc compared too
    int cycles;
    std::vector<Poke> expectMemory;
};

Registers regs(std::uint8_t a, std::uint8_t x, std::uint8_t y, std::uint8_t p, std::uint16_t pc,
               std::uint8_t s = 0xFD) {
    return {a, x, y, s, static_cast<std::uint8_t>(p | U), pc};
}

// The registers as one value, so that a difference shows them all.
std::tuple<int, int, int, int, int, int> all(const Registers& r) {
    return {r.a, r.x, r.y, r.p, r.s, r.pc};
}

TEST(Cpu6502, InstructionsSetRegistersFlagsMemoryAndCycles) {
    // clang-format off
    const Case cases[] = {
        {"ADC signed overflow", {{0x200, 0x69}, {0x201, 0x50}}, regs(0x50, 0, 0, 0, 0x200),
         regs(0xA0, 0, 0, V | N, 0x202), 2, {}},
        {"ADC carry out, zero", {{0x200, 0x69}, {0x201, 0x01}}, regs(0xFF, 0, 0, 0, 0x200),
         regs(0x00, 0, 0, C | Z, 0x202), 2, {}},
        {"ADC ignores decimal mode", {{0x200, 0x69}, {0x201, 0x01}}, regs(0x09, 0, 0, D, 0x200),
         regs(0x0A, 0, 0, D, 0x202), 2, {}},
        {"SBC borrows", {{0x200, 0xE9}, {0x201, 0x01}}, regs(0x00, 0, 0, C, 0x200),
         regs(0xFF, 0, 0, N, 0x202), 2, {}},
        {"SBC ignores decimal mode", {{0x200, 0xE9}, {0x201, 0x01}}, regs(0x10, 0, 0, C | D, 0x200),
         regs(0x0F, 0, 0, C | D, 0x202), 2, {}},
        {"LDA abs,X same page", {{0x200, 0xBD}, {0x201, 0x00}, {0x202, 0x10}, {0x1001, 0x80}},
         regs(0, 1, 0, 0, 0x200), regs(0x80, 1, 0, N, 0x203), 4, {}},
        {"LDA abs,X crossing a page", {{0x200, 0xBD}, {0x201, 0xFF}, {0x202, 0x10}, {0x1100, 7}},
         regs(0, 1, 0, 0, 0x200), regs(7, 1, 0, 0, 0x203), 5, {}},
        {"STA abs,X always 5", {{0x200, 0x9D}, {0x201, 0x00}, {0x202, 0x10}},
         regs(0x42, 1, 0, 0, 0x200), regs(0x42, 1, 0, 0, 0x203), 5, {{0x1001, 0x42}}},
        {"LDA (zp),Y crossing", {{0x200, 0xB1}, {0x201, 0x10}, {0x10, 0xFF}, {0x11, 0x20},
                                 {0x2100, 0}},
         regs(9, 0, 1, 0, 0x200), regs(0, 0, 1, Z, 0x202), 6, {}},
        {"LDA (zp,X) pointer wraps in zero page",
         {{0x200, 0xA1}, {0x201, 0xFF}, {0xFF, 0x34}, {0x00, 0x12}, {0x1234, 0x55}},
         regs(0, 0, 0, 0, 0x200), regs(0x55, 0, 0, 0, 0x202), 6, {}},
        {"INC zp,X wraps in zero page", {{0x200, 0xF6}, {0x201, 0xFF}, {0x01, 0xFF}},
         regs(0, 2, 0, 0, 0x200), regs(0, 2, 0, Z, 0x202), 6, {{0x01, 0x00}}},
        {"BNE not taken", {{0x200, 0xD0}, {0x201, 0x10}}, regs(0, 0, 0, Z, 0x200),
         regs(0, 0, 0, Z, 0x202), 2, {}},
        {"BNE taken", {{0x200, 0xD0}, {0x201, 0x10}}, regs(0, 0, 0, 0, 0x200),
         regs(0, 0, 0, 0, 0x212), 3, {}},
        {"BNE taken backwards across a page", {{0x200, 0xD0}, {0x201, 0xFC}},
         regs(0, 0, 0, 0, 0x200), regs(0, 0, 0, 0, 0x1FE), 4, {}},
        {"JSR pushes the return address - 1",
         {{0x200, 0x20}, {0x201, 0x00}, {0x202, 0x30}}, regs(0, 0, 0, 0, 0x200),
         regs(0, 0, 0, 0, 0x3000, 0xFB), 6, {{0x1FD, 0x02}, {0x1FC, 0x02}}},
        {"RTS returns after it", {{0x200, 0x60}, {0x1FE, 0x02}, {0x1FF, 0x30}},
         regs(0, 0, 0, 0, 0x200, 0xFD), regs(0, 0, 0, 0, 0x3003, 0xFF), 6, {}},
        {"PHP pushes B and U", {{0x200, 0x08}}, regs(0, 0, 0, C, 0x200),
         regs(0, 0, 0, C, 0x201, 0xFC), 3, {{0x1FD, C | B | U}}},
        {"PLP drops B", {{0x200, 0x28}, {0x1FE, 0xFF}}, regs(0, 0, 0, 0, 0x200, 0xFD),
         regs(0, 0, 0, 0xEF, 0x201, 0xFE), 4, {}},
        {"JMP indirect wraps in its page",
         {{0x200, 0x6C}, {0x201, 0xFF}, {0x202, 0x10}, {0x10FF, 0x34}, {0x1000, 0x12}},
         regs(0, 0, 0, 0, 0x200), regs(0, 0, 0, 0, 0x1234), 5, {}},
        {"CMP equal", {{0x200, 0xC9}, {0x201, 0x10}}, regs(0x10, 0, 0, 0, 0x200),
         regs(0x10, 0, 0, Z | C, 0x202), 2, {}},
        {"CPX smaller", {{0x200, 0xE0}, {0x201, 0x10}}, regs(0, 0x0F, 0, C, 0x200),
         regs(0, 0x0F, 0, N, 0x202), 2, {}},
        {"ROR A through carry", {{0x200, 0x6A}}, regs(0x01, 0, 0, C, 0x200),
         regs(0x80, 0, 0, C | N, 0x201), 2, {}},
        {"ASL abs,X always 7", {{0x200, 0x1E}, {0x201, 0xFF}, {0x202, 0x10}, {0x1100, 0x81}},
         regs(0, 1, 0, 0, 0x200), regs(0, 1, 0, C, 0x203), 7, {{0x1100, 0x02}}},
        {"BIT takes N and V from memory", {{0x200, 0x24}, {0x201, 0x10}, {0x10, 0xC0}},
         regs(0x01, 0, 0, 0, 0x200), regs(0x01, 0, 0, Z | N | V, 0x202), 3, {}},
        {"TXS sets no flags", {{0x200, 0x9A}}, regs(0, 0, 0, 0, 0x200),
         regs(0, 0, 0, 0, 0x201, 0x00), 2, {}},
        {"BRK pushes and takes the vector",
         {{0x200, 0x00}, {0xFFFE, 0x00}, {0xFFFF, 0x40}}, regs(0, 0, 0, 0, 0x200),
         regs(0, 0, 0, flag::kInterrupt, 0x4000, 0xFA), 7,
         {{0x1FD, 0x02}, {0x1FC, 0x02}, {0x1FB, B | U}}},
    };
    // clang-format on
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        FlatBus bus;
        for (auto [a, v] : c.memory) bus.mem[a] = v;
        Cpu6502 cpu(bus);
        cpu.regs = c.before;
        EXPECT_EQ(cpu.step(), c.cycles);
        EXPECT_EQ(all(cpu.regs), all(c.after)) << "a x y p s pc";
        for (auto [a, v] : c.expectMemory) EXPECT_EQ(bus.mem[a], v) << "at " << a;
    }
}

TEST(Cpu6502, UnofficialOpcodesStopWithAMessage) {
    for (std::uint8_t code : {0x02, 0x1A, 0x80, 0xA7, 0xEB}) {
        FlatBus bus;
        bus.mem[0x200] = code;
        Cpu6502 cpu(bus);
        cpu.regs.pc = 0x200;
        EXPECT_EQ(cpu.step(), 0);
        EXPECT_EQ(cpu.regs.pc, 0x200);
        EXPECT_NE(cpu.stopMessage().find("not an instruction"), std::string::npos);
    }
}

// An NSF image: data loaded at $8000 holding `code` at its start (INIT) and `play` after it.
Bytes nsfImage(const Bytes& init, const Bytes& play, std::array<std::uint8_t, 8> banks = {},
               size_t dataSize = 0x1000) {
    Bytes b(0x80 + dataSize, 0);
    const char magic[] = "NESM\x1A";
    std::copy(magic, magic + 5, b.begin());
    b[5] = 1;
    b[6] = 2;
    b[9] = 0x80;
    std::uint16_t playAt = static_cast<std::uint16_t>(0x8000 + init.size());
    b[10] = 0x00;
    b[11] = 0x80;
    b[12] = static_cast<std::uint8_t>(playAt & 0xFF);
    b[13] = static_cast<std::uint8_t>(playAt >> 8);
    b[0x6E] = 0x1A;
    b[0x6F] = 0x41;  // 16666 us: 60 Hz
    std::copy(banks.begin(), banks.end(), b.begin() + 0x70);
    std::copy(init.begin(), init.end(), b.begin() + 0x80);
    std::copy(play.begin(), play.end(), b.begin() + 0x80 + static_cast<long>(init.size()));
    return b;
}

TEST(NsfMachine, RunsInitAndPlayRecordingSoundWritesAndWatchedReads) {
    Bytes init = {0x8D, 0x00, 0x02,  // STA $0200   the track number
                  0x8E, 0x01, 0x02,  // STX $0201   0 = NTSC
                  0xA9, 0x0F,        // LDA #$0F
                  0x8D, 0x15, 0x40,  // STA $4015
                  0x60};             // RTS
    Bytes play = {0xAD, 0x00, 0x90,  // LDA $9000   a watched byte
                  0x8D, 0x02, 0x40,  // STA $4002
                  0xAD, 0x15, 0x40,  // LDA $4015
                  0x8D, 0x03, 0x60,  // STA $6003   work RAM
                  0x60};
    Bytes file = nsfImage(init, play, {}, 0x2000);
    file[0x80 + 0x1000] = 0x77;
    auto m = NsfMachine::open(file);
    ASSERT_TRUE(m) << m.error();
    NsfMachine& nsf = **m;
    EXPECT_NEAR(nsf.header().frameRate(), 60.0, 0.01);
    nsf.watch(0x80 + 0x1000, 3);
    ASSERT_FALSE(nsf.init(1));
    EXPECT_EQ(nsf.read(0x0200), 1);
    EXPECT_EQ(nsf.read(0x0A01), 0);  // RAM mirror of $0201
    ASSERT_FALSE(nsf.play());
    ASSERT_EQ(nsf.reads().size(), 1u);
    EXPECT_EQ(nsf.reads()[0].fileOffset, 0x1080u);
    EXPECT_EQ(nsf.reads()[0].tag, 3);
    ASSERT_EQ(nsf.registerWrites().size(), 1u);
    EXPECT_EQ(nsf.registerWrites()[0].address, 0x4002);
    EXPECT_EQ(nsf.registerWrites()[0].value, 0x77);
    EXPECT_EQ(nsf.read(0x6003), 0x0F);
    EXPECT_TRUE(nsf.init(2).has_value());  // tracks 0 and 1 only
}

TEST(NsfMachine, SwitchesBanksWhenTheFileUsesThem) {
    // Bank bytes 0,1: $8000 shows bank 0, $9000 bank 1. PLAY puts bank 2 at $9000.
    Bytes init = {0x60};
    Bytes play = {0xA9, 0x02, 0x8D, 0xF9, 0x5F,  // LDA #2  STA $5FF9
                  0xAD, 0x00, 0x90,              // LDA $9000
                  0x8D, 0x00, 0x02, 0x60};       // STA $0200  RTS
    Bytes file = nsfImage(init, play, {0, 1, 0, 0, 0, 0, 0, 0}, 0x3000);
    file[0x80 + 0x1000] = 0x11;
    file[0x80 + 0x2000] = 0x22;
    auto m = NsfMachine::open(file);
    ASSERT_TRUE(m);
    ASSERT_FALSE((*m)->init(0));
    EXPECT_EQ((*m)->read(0x9000), 0x11);
    ASSERT_FALSE((*m)->play());
    EXPECT_EQ((*m)->read(0x0200), 0x22);
}

TEST(NsfMachine, FaultyPlayersStopWithAMessage) {
    struct Bad {
        Bytes play;
        const char* says;
    } cases[] = {
        {{0x4C, 0x01, 0x80}, "did not return"},  // JMP to itself... $8001 is this JMP
        {{0x4C, 0x00, 0x30}, "no code is loaded"},
        {{0x02}, "not an instruction"},
    };
    for (const Bad& c : cases) {
        auto m = NsfMachine::open(nsfImage({0x60}, c.play));
        ASSERT_TRUE(m);
        ASSERT_FALSE((*m)->init(0));
        auto failed = (*m)->play();
        ASSERT_TRUE(failed.has_value()) << c.says;
        EXPECT_NE(failed->find(c.says), std::string::npos) << *failed;
        EXPECT_TRUE((*m)->play().has_value());  // stays stopped
    }
}

}  // namespace
}  // namespace kestra::cpu
