// An NMOS 6502 as the NES has it: every official opcode with its cycle count, decimal mode
// ignored. Memory goes through a bus; an unofficial opcode stops the processor with a message.
#pragma once

#include <cstdint>
#include <string>

namespace kestra::cpu {

class Bus {
  public:
    virtual ~Bus() = default;
    virtual std::uint8_t read(std::uint16_t address) = 0;
    virtual void write(std::uint16_t address, std::uint8_t value) = 0;
};

namespace flag {
constexpr std::uint8_t kCarry = 0x01;
constexpr std::uint8_t kZero = 0x02;
constexpr std::uint8_t kInterrupt = 0x04;
constexpr std::uint8_t kDecimal = 0x08;
constexpr std::uint8_t kBreak = 0x10;
constexpr std::uint8_t kUnused = 0x20;
constexpr std::uint8_t kOverflow = 0x40;
constexpr std::uint8_t kNegative = 0x80;
}  // namespace flag

struct Registers {
    std::uint8_t a = 0;
    std::uint8_t x = 0;
    std::uint8_t y = 0;
    std::uint8_t s = 0xFD;
    std::uint8_t p = flag::kUnused | flag::kInterrupt;
    std::uint16_t pc = 0;
};

class Cpu6502 {
  public:
    explicit Cpu6502(Bus& bus) : bus_(bus) {}

    Registers regs;

    // Runs one instruction and returns its cycles, or 0 when the opcode at PC is not an official
    // one (PC is left on it; stopMessage() says which).
    int step();
    const std::string& stopMessage() const { return stop_; }

    void push(std::uint8_t value);
    std::uint8_t pull();

  private:
    std::uint8_t read(std::uint16_t a) { return bus_.read(a); }
    std::uint16_t read16(std::uint16_t a);
    // Reads a 16-bit pointer whose high byte comes from the same page (zero page, JMP ($xxFF)).
    std::uint16_t read16Wrapped(std::uint16_t a);
    std::uint8_t fetch() { return read(regs.pc++); }
    void setZN(std::uint8_t v);
    void compare(std::uint8_t reg, std::uint8_t v);
    void adc(std::uint8_t v);
    int branch(bool taken);

    Bus& bus_;
    std::string stop_;
};

}  // namespace kestra::cpu
