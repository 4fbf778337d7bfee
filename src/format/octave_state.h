// The part of the driver's per-channel state byte that decides which octave a note plays in:
// bits 0-2 the octave, bit 3 octave-plus (two octaves up; the pitch table is indexed by the low
// four bits). Reading names notes by it and encoding looks names up by it, so a typed name is the
// note the game plays.
#pragma once

#include <cstdint>

namespace kestra {

class OctaveState {
  public:
    static constexpr std::uint8_t kPlusBit = 0x08;
    // Set by a Flag: the next note is dotted.
    static constexpr std::uint8_t kDottedBit = 0x10;

    // Octave 09 xx keeps octave-plus; an operand 8 or 9 sets it itself.
    void octaveCommand(std::uint8_t operand) {
        bits_ = static_cast<std::uint8_t>((bits_ & 0xF8) | operand);
    }
    // Flag 04 xx, and the flag byte of a Break where the break lands: octave-plus follows the
    // operand's bit 3.
    void flagCommand(std::uint8_t operand) {
        bits_ = static_cast<std::uint8_t>((bits_ & 0x97) | operand);
    }
    // The octave-plus switch 03.
    void togglePlus() { bits_ ^= kPlusBit; }

    int octave() const { return (bits_ & 0x07) + ((bits_ & kPlusBit) ? 2 : 0); }
    bool plus() const { return (bits_ & kPlusBit) != 0; }
    std::uint8_t bits() const { return bits_; }
    bool operator==(const OctaveState&) const = default;

  private:
    std::uint8_t bits_ = 0;
};

}  // namespace kestra
