#include "editing/bit_dialog.h"

namespace kestra {

const std::array<std::string_view, 8>& bitDialogCaptions(BitKind kind) {
    // Bit 4 and bit 3 as the driver uses them: 0x10 dots the next note, 0x08 is octave-plus.
    static const std::array<std::string_view, 8> kFlag = {"Disable pitch effect",
                                                          "Toggle a 'connect' on notes",
                                                          "Have higher speed",
                                                          "Make the next note dotted",
                                                          "Octave-plus: two octaves higher",
                                                          "??",
                                                          "??",
                                                          "??"};
    static const std::array<std::string_view, 8> kTone = {
        "Duty Cycle 50%", "Duty Cycle 25%", "No effect", "No effect",
        "No effect",      "No effect",      "No effect", "No effect"};
    return kind == BitKind::Flag ? kFlag : kTone;
}

std::array<bool, 8> bitDialogChecks(std::string_view bits) {
    std::array<bool, 8> checks{};
    if (!isBitText(bits)) return checks;
    for (size_t n = 0; n < 8; ++n) checks[n] = bits[n] == '1';
    return checks;
}

std::string bitTextOfChecks(const std::array<bool, 8>& checks) {
    std::string bits;
    for (bool c : checks) bits += c ? '1' : '0';
    return bits;
}

bool isBitText(std::string_view bits) {
    if (bits.size() != 8) return false;
    for (char c : bits)
        if (c != '0' && c != '1') return false;
    return true;
}

}  // namespace kestra
