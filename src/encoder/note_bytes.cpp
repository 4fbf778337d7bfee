#include "encoder/note_bytes.h"

#include <array>

namespace kestra {

int noteCode(const NoteNames& names, std::string_view text) {
    for (size_t i = 0; i < names.size(); ++i)
        if (!names[i].empty() && names[i] == text) return kRestCode + static_cast<int>(i);
    return -1;
}

namespace {

// Length code (bits 7-5 of the note byte) and whether the Dotted prefix is needed.
struct LengthCode {
    int code;
    bool dotted;
};

LengthCode lengthCode(int length) {
    switch (length) {
        case 1:
            return {1, false};
        case 2:
            return {2, false};
        case 3:
            return {2, true};
        case 4:
            return {3, false};
        case 6:
            return {3, true};
        case 8:
            return {4, false};
        case 12:
            return {4, true};
        case 16:
            return {5, false};
        case 24:
            return {5, true};
        case 32:
            return {6, false};
        case 48:
            return {6, true};
        default:
            return {7, false};  // 64
    }
}

bool isDotted(int length) {
    return lengthCode(length).dotted;
}

}  // namespace

void noteLengthPiece(std::vector<std::uint8_t>& out, int code, int length) {
    LengthCode lc = lengthCode(length);
    if (lc.dotted) out.push_back(cmd::kDotted);
    out.push_back(static_cast<std::uint8_t>((lc.code << 5) | (code & 0x1F)));
}

std::vector<int> lengthPieces(int length) {
    static constexpr std::array<int, 11> kOnce = {48, 32, 24, 16, 12, 8, 6, 4, 3, 2, 1};
    std::vector<int> pieces;
    while (length >= 64) {
        pieces.push_back(64);
        length -= 64;
    }
    for (int p : kOnce)
        if (length >= p) {
            pieces.push_back(p);
            length -= p;
        }
    return pieces;
}

void emitPendingNote(std::vector<std::uint8_t>& out, const PendingNote& note) {
    std::vector<int> pieces = lengthPieces(note.length);
    // A zero length has nothing to join: no Connect may stand alone.
    if (pieces.empty()) return;
    if (note.code == kRestCode) {
        for (int p : pieces) noteLengthPiece(out, note.code, p);
        return;
    }
    int pieceBytes = 0;
    for (int p : pieces) pieceBytes += isDotted(p) ? 2 : 1;
    bool oneDotted = pieces.size() == 1 && isDotted(pieces[0]);

    int connectsInFront = 0;
    bool connectBeforeLast = false;
    if (note.noteOnLine && !note.fresh) {
        connectBeforeLast = true;
    } else if (note.fresh && !note.noteOnLine) {
        connectsInFront = 1;
    } else if (note.fresh && note.noteOnLine && pieceBytes > 1 && !oneDotted) {
        connectsInFront = 1;
        connectBeforeLast = true;
    }
    if (note.slideState == 2) ++connectsInFront;

    for (int i = 0; i < connectsInFront; ++i) out.push_back(cmd::kConnect);
    for (size_t i = 0; i < pieces.size(); ++i) {
        // The Connect goes before the Dotted prefix of the last piece.
        if (connectBeforeLast && i + 1 == pieces.size()) out.push_back(cmd::kConnect);
        noteLengthPiece(out, note.code, pieces[i]);
    }
}

}  // namespace kestra
