#include "format/stream_def.h"

#include <algorithm>

namespace kestra {

int operandCount(std::uint8_t b) {
    if (b == 0x04 || (b >= 0x06 && b <= 0x0D) || b == 0x18) return 1;
    if (b == 0x05 || b == 0x16) return 2;
    if (b >= 0x0E && b <= 0x15) return 3;
    return 0;
}

int noteLength(std::uint8_t noteByte, bool dotted) {
    int code = noteByte >> 5;
    if (code < 1) return 0;
    int n = 1 << (code - 1);
    if (dotted && n != 64) n += n / 2;
    return n;
}

std::vector<size_t> commandPositions(const std::vector<std::uint8_t>& stream) {
    std::vector<size_t> out;
    size_t i = 0;
    while (i < stream.size()) {
        out.push_back(i);
        std::uint8_t b = stream[i];
        if (b == cmd::kEnd) break;
        i += 1 + static_cast<size_t>(operandCount(b));
    }
    return out;
}

void buildNoteNames(NoteNames& names, int octave, bool noise) {
    static const char* kLetters[12] = {"C-", "C#", "D-", "D#", "E-", "F-",
                                       "F#", "G-", "G#", "A-", "A#", "B-"};
    // One character per digit keeps every name three characters wide: octaves from 10 on are
    // written as letters (A = 10), and noise pitches 17-31 go on past F as G..U.
    static const char* kDigits = "0123456789ABCDEFGHIJKLMNOPQRSTUV";
    names[0] = "///";
    if (noise) {
        for (int p = 1; p <= 31; ++p)
            names[static_cast<size_t>(p)] = std::string(1, kDigits[p - 1]) + "-#";
        return;
    }
    for (int p = 1; p <= 31; ++p) {
        int semitone = (p - 1) % 12;
        int oct = std::clamp(octave + (p - 1) / 12, 0, 31);
        names[static_cast<size_t>(p)] = std::string(kLetters[semitone]) + kDigits[oct];
    }
}

NoteNames noteNames(int octave, bool noise) {
    NoteNames n;
    buildNoteNames(n, octave, noise);
    return n;
}

}  // namespace kestra
