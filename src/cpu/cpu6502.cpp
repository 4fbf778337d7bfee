#include "cpu/cpu6502.h"

#include <array>

namespace kestra::cpu {

namespace {

enum class Op : std::uint8_t {
    Bad, Adc, And, Asl, Bcc, Bcs, Beq, Bit, Bmi, Bne, Bpl, Brk, Bvc, Bvs, Clc, Cld, Cli, Clv,
    Cmp, Cpx, Cpy, Dec, Dex, Dey, Eor, Inc, Inx, Iny, Jmp, Jsr, Lda, Ldx, Ldy, Lsr, Nop, Ora,
    Pha, Php, Pla, Plp, Rol, Ror, Rti, Rts, Sbc, Sec, Sed, Sei, Sta, Stx, Sty, Tax, Tay, Tsx,
    Txa, Txs, Tya
};

enum class Mode : std::uint8_t { Imp, Acc, Imm, Zp, Zpx, Zpy, Abs, Abx, Aby, Ind, Izx, Izy, Rel };

struct Entry {
    Op op = Op::Bad;
    Mode mode = Mode::Imp;
    std::uint8_t cycles = 0;
    // Reads that cross a page with an index take one cycle more (stores and read-modify-writes
    // always take the longer time, counted in their base cycles).
    bool pagePenalty = false;
};

struct Def {
    std::uint8_t code;
    Op op;
    Mode mode;
    std::uint8_t cycles;
    bool pagePenalty;
};

// The official opcodes of the NMOS 6502.
constexpr Def kDefs[] = {
    {0x69, Op::Adc, Mode::Imm, 2, false}, {0x65, Op::Adc, Mode::Zp, 3, false},
    {0x75, Op::Adc, Mode::Zpx, 4, false}, {0x6D, Op::Adc, Mode::Abs, 4, false},
    {0x7D, Op::Adc, Mode::Abx, 4, true},  {0x79, Op::Adc, Mode::Aby, 4, true},
    {0x61, Op::Adc, Mode::Izx, 6, false}, {0x71, Op::Adc, Mode::Izy, 5, true},
    {0x29, Op::And, Mode::Imm, 2, false}, {0x25, Op::And, Mode::Zp, 3, false},
    {0x35, Op::And, Mode::Zpx, 4, false}, {0x2D, Op::And, Mode::Abs, 4, false},
    {0x3D, Op::And, Mode::Abx, 4, true},  {0x39, Op::And, Mode::Aby, 4, true},
    {0x21, Op::And, Mode::Izx, 6, false}, {0x31, Op::And, Mode::Izy, 5, true},
    {0x0A, Op::Asl, Mode::Acc, 2, false}, {0x06, Op::Asl, Mode::Zp, 5, false},
    {0x16, Op::Asl, Mode::Zpx, 6, false}, {0x0E, Op::Asl, Mode::Abs, 6, false},
    {0x1E, Op::Asl, Mode::Abx, 7, false}, {0x90, Op::Bcc, Mode::Rel, 2, false},
    {0xB0, Op::Bcs, Mode::Rel, 2, false}, {0xF0, Op::Beq, Mode::Rel, 2, false},
    {0x24, Op::Bit, Mode::Zp, 3, false},  {0x2C, Op::Bit, Mode::Abs, 4, false},
    {0x30, Op::Bmi, Mode::Rel, 2, false}, {0xD0, Op::Bne, Mode::Rel, 2, false},
    {0x10, Op::Bpl, Mode::Rel, 2, false}, {0x00, Op::Brk, Mode::Imp, 7, false},
    {0x50, Op::Bvc, Mode::Rel, 2, false}, {0x70, Op::Bvs, Mode::Rel, 2, false},
    {0x18, Op::Clc, Mode::Imp, 2, false}, {0xD8, Op::Cld, Mode::Imp, 2, false},
    {0x58, Op::Cli, Mode::Imp, 2, false}, {0xB8, Op::Clv, Mode::Imp, 2, false},
    {0xC9, Op::Cmp, Mode::Imm, 2, false}, {0xC5, Op::Cmp, Mode::Zp, 3, false},
    {0xD5, Op::Cmp, Mode::Zpx, 4, false}, {0xCD, Op::Cmp, Mode::Abs, 4, false},
    {0xDD, Op::Cmp, Mode::Abx, 4, true},  {0xD9, Op::Cmp, Mode::Aby, 4, true},
    {0xC1, Op::Cmp, Mode::Izx, 6, false}, {0xD1, Op::Cmp, Mode::Izy, 5, true},
    {0xE0, Op::Cpx, Mode::Imm, 2, false}, {0xE4, Op::Cpx, Mode::Zp, 3, false},
    {0xEC, Op::Cpx, Mode::Abs, 4, false}, {0xC0, Op::Cpy, Mode::Imm, 2, false},
    {0xC4, Op::Cpy, Mode::Zp, 3, false},  {0xCC, Op::Cpy, Mode::Abs, 4, false},
    {0xC6, Op::Dec, Mode::Zp, 5, false},  {0xD6, Op::Dec, Mode::Zpx, 6, false},
    {0xCE, Op::Dec, Mode::Abs, 6, false}, {0xDE, Op::Dec, Mode::Abx, 7, false},
    {0xCA, Op::Dex, Mode::Imp, 2, false}, {0x88, Op::Dey, Mode::Imp, 2, false},
    {0x49, Op::Eor, Mode::Imm, 2, false}, {0x45, Op::Eor, Mode::Zp, 3, false},
    {0x55, Op::Eor, Mode::Zpx, 4, false}, {0x4D, Op::Eor, Mode::Abs, 4, false},
    {0x5D, Op::Eor, Mode::Abx, 4, true},  {0x59, Op::Eor, Mode::Aby, 4, true},
    {0x41, Op::Eor, Mode::Izx, 6, false}, {0x51, Op::Eor, Mode::Izy, 5, true},
    {0xE6, Op::Inc, Mode::Zp, 5, false},  {0xF6, Op::Inc, Mode::Zpx, 6, false},
    {0xEE, Op::Inc, Mode::Abs, 6, false}, {0xFE, Op::Inc, Mode::Abx, 7, false},
    {0xE8, Op::Inx, Mode::Imp, 2, false}, {0xC8, Op::Iny, Mode::Imp, 2, false},
    {0x4C, Op::Jmp, Mode::Abs, 3, false}, {0x6C, Op::Jmp, Mode::Ind, 5, false},
    {0x20, Op::Jsr, Mode::Abs, 6, false}, {0xA9, Op::Lda, Mode::Imm, 2, false},
    {0xA5, Op::Lda, Mode::Zp, 3, false},  {0xB5, Op::Lda, Mode::Zpx, 4, false},
    {0xAD, Op::Lda, Mode::Abs, 4, false}, {0xBD, Op::Lda, Mode::Abx, 4, true},
    {0xB9, Op::Lda, Mode::Aby, 4, true},  {0xA1, Op::Lda, Mode::Izx, 6, false},
    {0xB1, Op::Lda, Mode::Izy, 5, true},  {0xA2, Op::Ldx, Mode::Imm, 2, false},
    {0xA6, Op::Ldx, Mode::Zp, 3, false},  {0xB6, Op::Ldx, Mode::Zpy, 4, false},
    {0xAE, Op::Ldx, Mode::Abs, 4, false}, {0xBE, Op::Ldx, Mode::Aby, 4, true},
    {0xA0, Op::Ldy, Mode::Imm, 2, false}, {0xA4, Op::Ldy, Mode::Zp, 3, false},
    {0xB4, Op::Ldy, Mode::Zpx, 4, false}, {0xAC, Op::Ldy, Mode::Abs, 4, false},
    {0xBC, Op::Ldy, Mode::Abx, 4, true},  {0x4A, Op::Lsr, Mode::Acc, 2, false},
    {0x46, Op::Lsr, Mode::Zp, 5, false},  {0x56, Op::Lsr, Mode::Zpx, 6, false},
    {0x4E, Op::Lsr, Mode::Abs, 6, false}, {0x5E, Op::Lsr, Mode::Abx, 7, false},
    {0xEA, Op::Nop, Mode::Imp, 2, false}, {0x09, Op::Ora, Mode::Imm, 2, false},
    {0x05, Op::Ora, Mode::Zp, 3, false},  {0x15, Op::Ora, Mode::Zpx, 4, false},
    {0x0D, Op::Ora, Mode::Abs, 4, false}, {0x1D, Op::Ora, Mode::Abx, 4, true},
    {0x19, Op::Ora, Mode::Aby, 4, true},  {0x01, Op::Ora, Mode::Izx, 6, false},
    {0x11, Op::Ora, Mode::Izy, 5, true},  {0x48, Op::Pha, Mode::Imp, 3, false},
    {0x08, Op::Php, Mode::Imp, 3, false}, {0x68, Op::Pla, Mode::Imp, 4, false},
    {0x28, Op::Plp, Mode::Imp, 4, false}, {0x2A, Op::Rol, Mode::Acc, 2, false},
    {0x26, Op::Rol, Mode::Zp, 5, false},  {0x36, Op::Rol, Mode::Zpx, 6, false},
    {0x2E, Op::Rol, Mode::Abs, 6, false}, {0x3E, Op::Rol, Mode::Abx, 7, false},
    {0x6A, Op::Ror, Mode::Acc, 2, false}, {0x66, Op::Ror, Mode::Zp, 5, false},
    {0x76, Op::Ror, Mode::Zpx, 6, false}, {0x6E, Op::Ror, Mode::Abs, 6, false},
    {0x7E, Op::Ror, Mode::Abx, 7, false}, {0x40, Op::Rti, Mode::Imp, 6, false},
    {0x60, Op::Rts, Mode::Imp, 6, false}, {0xE9, Op::Sbc, Mode::Imm, 2, false},
    {0xE5, Op::Sbc, Mode::Zp, 3, false},  {0xF5, Op::Sbc, Mode::Zpx, 4, false},
    {0xED, Op::Sbc, Mode::Abs, 4, false}, {0xFD, Op::Sbc, Mode::Abx, 4, true},
    {0xF9, Op::Sbc, Mode::Aby, 4, true},  {0xE1, Op::Sbc, Mode::Izx, 6, false},
    {0xF1, Op::Sbc, Mode::Izy, 5, true},  {0x38, Op::Sec, Mode::Imp, 2, false},
    {0xF8, Op::Sed, Mode::Imp, 2, false}, {0x78, Op::Sei, Mode::Imp, 2, false},
    {0x85, Op::Sta, Mode::Zp, 3, false},  {0x95, Op::Sta, Mode::Zpx, 4, false},
    {0x8D, Op::Sta, Mode::Abs, 4, false}, {0x9D, Op::Sta, Mode::Abx, 5, false},
    {0x99, Op::Sta, Mode::Aby, 5, false}, {0x81, Op::Sta, Mode::Izx, 6, false},
    {0x91, Op::Sta, Mode::Izy, 6, false}, {0x86, Op::Stx, Mode::Zp, 3, false},
    {0x96, Op::Stx, Mode::Zpy, 4, false}, {0x8E, Op::Stx, Mode::Abs, 4, false},
    {0x84, Op::Sty, Mode::Zp, 3, false},  {0x94, Op::Sty, Mode::Zpx, 4, false},
    {0x8C, Op::Sty, Mode::Abs, 4, false}, {0xAA, Op::Tax, Mode::Imp, 2, false},
    {0xA8, Op::Tay, Mode::Imp, 2, false}, {0xBA, Op::Tsx, Mode::Imp, 2, false},
    {0x8A, Op::Txa, Mode::Imp, 2, false}, {0x9A, Op::Txs, Mode::Imp, 2, false},
    {0x98, Op::Tya, Mode::Imp, 2, false},
};

constexpr std::array<Entry, 256> buildTable() {
    std::array<Entry, 256> t{};
    for (const Def& d : kDefs) t[d.code] = {d.op, d.mode, d.cycles, d.pagePenalty};
    return t;
}

constexpr std::array<Entry, 256> kTable = buildTable();

bool crossesPage(std::uint16_t base, std::uint16_t effective) {
    return (base & 0xFF00) != (effective & 0xFF00);
}

const char* const kHex = "0123456789ABCDEF";

std::string hex(unsigned value, int digits) {
    std::string s(static_cast<size_t>(digits), '0');
    for (int i = digits - 1; i >= 0; --i, value >>= 4) s[static_cast<size_t>(i)] = kHex[value & 15];
    return s;
}

}  // namespace

std::uint16_t Cpu6502::read16(std::uint16_t a) {
    std::uint8_t lo = read(a);
    std::uint8_t hi = read(static_cast<std::uint16_t>(a + 1));
    return static_cast<std::uint16_t>(lo | (hi << 8));
}

std::uint16_t Cpu6502::read16Wrapped(std::uint16_t a) {
    std::uint8_t lo = read(a);
    std::uint8_t hi = read(static_cast<std::uint16_t>((a & 0xFF00) | ((a + 1) & 0xFF)));
    return static_cast<std::uint16_t>(lo | (hi << 8));
}

void Cpu6502::push(std::uint8_t value) {
    bus_.write(static_cast<std::uint16_t>(0x100 | regs.s), value);
    --regs.s;
}

std::uint8_t Cpu6502::pull() {
    ++regs.s;
    return read(static_cast<std::uint16_t>(0x100 | regs.s));
}

void Cpu6502::setZN(std::uint8_t v) {
    regs.p = static_cast<std::uint8_t>((regs.p & ~(flag::kZero | flag::kNegative)) |
                                       (v == 0 ? flag::kZero : 0) | (v & flag::kNegative));
}

void Cpu6502::compare(std::uint8_t reg, std::uint8_t v) {
    setZN(static_cast<std::uint8_t>(reg - v));
    regs.p = static_cast<std::uint8_t>((regs.p & ~flag::kCarry) | (reg >= v ? flag::kCarry : 0));
}

// Binary only: the NES processor has no decimal mode, whatever the D flag says.
void Cpu6502::adc(std::uint8_t v) {
    unsigned sum = regs.a + v + (regs.p & flag::kCarry);
    auto result = static_cast<std::uint8_t>(sum);
    bool overflow = ((regs.a ^ result) & (v ^ result) & 0x80) != 0;
    regs.p = static_cast<std::uint8_t>((regs.p & ~(flag::kCarry | flag::kOverflow)) |
                                       (sum > 0xFF ? flag::kCarry : 0) |
                                       (overflow ? flag::kOverflow : 0));
    regs.a = result;
    setZN(result);
}

int Cpu6502::branch(bool taken) {
    auto offset = static_cast<std::int8_t>(fetch());
    if (!taken) return 0;
    auto target = static_cast<std::uint16_t>(regs.pc + offset);
    int extra = crossesPage(regs.pc, target) ? 2 : 1;
    regs.pc = target;
    return extra;
}

int Cpu6502::step() {
    std::uint16_t at = regs.pc;
    std::uint8_t code = read(at);
    const Entry& e = kTable[code];
    if (e.op == Op::Bad) {
        stop_ = "The player code ran into the opcode $" + hex(code, 2) + " at $" + hex(at, 4) +
                ", which is not an instruction of the NES processor.";
        return 0;
    }
    ++regs.pc;
    int cycles = e.cycles;

    // Effective address of the operand.
    std::uint16_t ea = 0;
    switch (e.mode) {
        case Mode::Imp:
        case Mode::Acc:
        case Mode::Rel:
            break;
        case Mode::Imm:
            ea = regs.pc++;
            break;
        case Mode::Zp:
            ea = fetch();
            break;
        case Mode::Zpx:
            ea = static_cast<std::uint8_t>(fetch() + regs.x);
            break;
        case Mode::Zpy:
            ea = static_cast<std::uint8_t>(fetch() + regs.y);
            break;
        case Mode::Abs:
            ea = read16(regs.pc);
            regs.pc += 2;
            break;
        case Mode::Abx:
        case Mode::Aby: {
            std::uint16_t base = read16(regs.pc);
            regs.pc += 2;
            ea = static_cast<std::uint16_t>(base + (e.mode == Mode::Abx ? regs.x : regs.y));
            if (e.pagePenalty && crossesPage(base, ea)) ++cycles;
            break;
        }
        case Mode::Ind:
            ea = read16Wrapped(read16(regs.pc));
            regs.pc += 2;
            break;
        case Mode::Izx:
            ea = read16Wrapped(static_cast<std::uint8_t>(fetch() + regs.x));
            break;
        case Mode::Izy: {
            std::uint16_t base = read16Wrapped(fetch());
            ea = static_cast<std::uint16_t>(base + regs.y);
            if (e.pagePenalty && crossesPage(base, ea)) ++cycles;
            break;
        }
    }

    // Read-modify-write on the accumulator or on memory.
    auto modify = [&](auto f) {
        if (e.mode == Mode::Acc) {
            regs.a = f(regs.a);
            setZN(regs.a);
        } else {
            std::uint8_t v = f(read(ea));
            bus_.write(ea, v);
            setZN(v);
        }
    };
    auto setCarry = [&](bool c) {
        regs.p = static_cast<std::uint8_t>((regs.p & ~flag::kCarry) | (c ? flag::kCarry : 0));
    };
    auto carryIn = [&] { return (regs.p & flag::kCarry) != 0; };

    switch (e.op) {
        case Op::Bad:
            break;
        case Op::Adc:
            adc(read(ea));
            break;
        case Op::Sbc:
            adc(static_cast<std::uint8_t>(~read(ea)));
            break;
        case Op::And:
            regs.a &= read(ea);
            setZN(regs.a);
            break;
        case Op::Ora:
            regs.a |= read(ea);
            setZN(regs.a);
            break;
        case Op::Eor:
            regs.a ^= read(ea);
            setZN(regs.a);
            break;
        case Op::Asl:
            modify([&](std::uint8_t v) {
                setCarry(v & 0x80);
                return static_cast<std::uint8_t>(v << 1);
            });
            break;
        case Op::Lsr:
            modify([&](std::uint8_t v) {
                setCarry(v & 1);
                return static_cast<std::uint8_t>(v >> 1);
            });
            break;
        case Op::Rol:
            modify([&](std::uint8_t v) {
                bool c = carryIn();
                setCarry(v & 0x80);
                return static_cast<std::uint8_t>((v << 1) | (c ? 1 : 0));
            });
            break;
        case Op::Ror:
            modify([&](std::uint8_t v) {
                bool c = carryIn();
                setCarry(v & 1);
                return static_cast<std::uint8_t>((v >> 1) | (c ? 0x80 : 0));
            });
            break;
        case Op::Inc:
            modify([](std::uint8_t v) { return static_cast<std::uint8_t>(v + 1); });
            break;
        case Op::Dec:
            modify([](std::uint8_t v) { return static_cast<std::uint8_t>(v - 1); });
            break;
        case Op::Bcc:
            cycles += branch(!(regs.p & flag::kCarry));
            break;
        case Op::Bcs:
            cycles += branch(regs.p & flag::kCarry);
            break;
        case Op::Bne:
            cycles += branch(!(regs.p & flag::kZero));
            break;
        case Op::Beq:
            cycles += branch(regs.p & flag::kZero);
            break;
        case Op::Bpl:
            cycles += branch(!(regs.p & flag::kNegative));
            break;
        case Op::Bmi:
            cycles += branch(regs.p & flag::kNegative);
            break;
        case Op::Bvc:
            cycles += branch(!(regs.p & flag::kOverflow));
            break;
        case Op::Bvs:
            cycles += branch(regs.p & flag::kOverflow);
            break;
        case Op::Bit: {
            std::uint8_t v = read(ea);
            regs.p = static_cast<std::uint8_t>(
                (regs.p & ~(flag::kZero | flag::kNegative | flag::kOverflow)) |
                ((regs.a & v) == 0 ? flag::kZero : 0) | (v & (flag::kNegative | flag::kOverflow)));
            break;
        }
        case Op::Brk: {
            std::uint16_t ret = static_cast<std::uint16_t>(regs.pc + 1);
            push(static_cast<std::uint8_t>(ret >> 8));
            push(static_cast<std::uint8_t>(ret));
            push(regs.p | flag::kBreak | flag::kUnused);
            regs.p |= flag::kInterrupt;
            regs.pc = read16(0xFFFE);
            break;
        }
        case Op::Clc:
            regs.p &= static_cast<std::uint8_t>(~flag::kCarry);
            break;
        case Op::Cld:
            regs.p &= static_cast<std::uint8_t>(~flag::kDecimal);
            break;
        case Op::Cli:
            regs.p &= static_cast<std::uint8_t>(~flag::kInterrupt);
            break;
        case Op::Clv:
            regs.p &= static_cast<std::uint8_t>(~flag::kOverflow);
            break;
        case Op::Sec:
            regs.p |= flag::kCarry;
            break;
        case Op::Sed:
            regs.p |= flag::kDecimal;
            break;
        case Op::Sei:
            regs.p |= flag::kInterrupt;
            break;
        case Op::Cmp:
            compare(regs.a, read(ea));
            break;
        case Op::Cpx:
            compare(regs.x, read(ea));
            break;
        case Op::Cpy:
            compare(regs.y, read(ea));
            break;
        case Op::Dex:
            setZN(--regs.x);
            break;
        case Op::Dey:
            setZN(--regs.y);
            break;
        case Op::Inx:
            setZN(++regs.x);
            break;
        case Op::Iny:
            setZN(++regs.y);
            break;
        case Op::Jmp:
            regs.pc = ea;
            break;
        case Op::Jsr: {
            std::uint16_t ret = static_cast<std::uint16_t>(regs.pc - 1);
            push(static_cast<std::uint8_t>(ret >> 8));
            push(static_cast<std::uint8_t>(ret));
            regs.pc = ea;
            break;
        }
        case Op::Rts: {
            std::uint8_t lo = pull();
            std::uint8_t hi = pull();
            regs.pc = static_cast<std::uint16_t>(((hi << 8) | lo) + 1);
            break;
        }
        case Op::Rti: {
            regs.p = static_cast<std::uint8_t>((pull() & ~flag::kBreak) | flag::kUnused);
            std::uint8_t lo = pull();
            std::uint8_t hi = pull();
            regs.pc = static_cast<std::uint16_t>((hi << 8) | lo);
            break;
        }
        case Op::Lda:
            regs.a = read(ea);
            setZN(regs.a);
            break;
        case Op::Ldx:
            regs.x = read(ea);
            setZN(regs.x);
            break;
        case Op::Ldy:
            regs.y = read(ea);
            setZN(regs.y);
            break;
        case Op::Nop:
            break;
        case Op::Pha:
            push(regs.a);
            break;
        case Op::Php:
            push(regs.p | flag::kBreak | flag::kUnused);
            break;
        case Op::Pla:
            regs.a = pull();
            setZN(regs.a);
            break;
        case Op::Plp:
            regs.p = static_cast<std::uint8_t>((pull() & ~flag::kBreak) | flag::kUnused);
            break;
        case Op::Sta:
            bus_.write(ea, regs.a);
            break;
        case Op::Stx:
            bus_.write(ea, regs.x);
            break;
        case Op::Sty:
            bus_.write(ea, regs.y);
            break;
        case Op::Tax:
            regs.x = regs.a;
            setZN(regs.x);
            break;
        case Op::Tay:
            regs.y = regs.a;
            setZN(regs.y);
            break;
        case Op::Tsx:
            regs.x = regs.s;
            setZN(regs.x);
            break;
        case Op::Txa:
            regs.a = regs.x;
            setZN(regs.a);
            break;
        case Op::Txs:
            regs.s = regs.x;
            break;
        case Op::Tya:
            regs.a = regs.y;
            setZN(regs.a);
            break;
    }
    return cycles;
}

}  // namespace kestra::cpu
