#include "editing/music_keys.h"

#include <array>
#include <string_view>

#include "editing/bit_exchange.h"
#include "editing/marker_line.h"
#include "model/hex_text.h"

namespace kestra {

namespace {

// Texts that stand in a Note cell without being a note name.
bool holdsNote(const std::string& cell) {
    return cell != "---" && cell != "///" && cell != "^^^";
}

struct FixedText {
    int key;
    std::string_view tonal;
    std::string_view noise;
};
// Keys that put a fixed text into a Note cell, whatever it held.
constexpr std::array<FixedText, 4> kNoteTexts = {{
    {kKeyEnter, "C-0", "0-#"},
    {kKeySpace, "///", "///"},
    {kKeyInsert, "^^^", "^^^"},
    {kKeyDelete, "---", "---"},
}};

bool setFixedNoteText(CellEditor& ed, bool noise) {
    for (const FixedText& t : kNoteTexts) {
        if (t.key != ed.key()) continue;
        ed.setSelected(std::string(noise ? t.noise : t.tonal));
        return true;
    }
    return false;
}

constexpr std::string_view kOctave9 = "'A', 'B', 'G' note cannot have an octave of 9.";

void setLetter(CellEditor& ed, char letter, const std::string& cell, bool octave9Check) {
    int octave = digitAt3(cell);
    if (octave == -1) {
        ed.report("Set a note with 'Enter' first.");
        return;
    }
    if (octave9Check && octave == 9) {
        ed.report(kOctave9);
        return;
    }
    std::string text = cell;
    text[0] = letter;
    ed.setSelected(std::move(text));
}

void toggleSharp(CellEditor& ed, const std::string& cell) {
    if (cell == "---") {
        ed.report("You must first insert a note.");
        return;
    }
    // Rest and hold cells are not note names; a sharp would make them unreadable.
    if (!holdsNote(cell) || cell.size() < 2) return;
    if (cell[0] == 'B' || cell[0] == 'E') {
        ed.report("'B' and 'E' note cannot have a '#'.");
        return;
    }
    std::string text = cell;
    text[1] = text[1] == '-' ? '#' : '-';
    ed.setSelected(std::move(text));
}

struct LetterRule {
    int key;
    bool octave9Check;
    std::string_view sharpRefusal;  // empty: the letter may carry a sharp
};
constexpr std::array<LetterRule, 7> kLetterRules = {{
    {kKeyA, true, {}},
    {kKeyB, true, "'B' note cannot have a '#'."},
    {kKeyC, false, {}},
    {kKeyD, false, {}},
    {kKeyE, false, "'E' note cannot have a '#'."},
    {kKeyF, false, {}},
    {kKeyG, true, {}},
}};

void editNoteCell(CellEditor& ed) {
    if (setFixedNoteText(ed, false)) return;
    const std::string cell(ed.selected());
    const char letter = cell.empty() ? '\0' : cell[0];
    if (isDigitKey(ed.key())) {
        if (!holdsNote(cell) || cell.size() < 2) return;
        if (ed.key() == kKey9 && (letter == 'A' || letter == 'B' || letter == 'G')) {
            ed.report(kOctave9);
            return;
        }
        ed.setSelected(cell.substr(0, 2) + keyChar(ed.key()));
        return;
    }
    if (ed.key() == kKeyApostrophe) {
        toggleSharp(ed, cell);
        return;
    }
    for (const LetterRule& rule : kLetterRules) {
        if (rule.key != ed.key()) continue;
        if (!rule.sharpRefusal.empty() && cell.size() >= 2 && cell[1] == '#')
            ed.report(rule.sharpRefusal);
        else
            setLetter(ed, keyChar(rule.key), cell, rule.octave9Check);
        return;
    }
}

void editNoiseNoteCell(CellEditor& ed) {
    if (setFixedNoteText(ed, true)) return;
    const std::string cell(ed.selected());
    if (!isHexDigitKey(ed.key()) || !holdsNote(cell) || cell.size() < 3) return;
    ed.setSelected(keyChar(ed.key()) + cell.substr(1, 2));
}

void editVolumeCell(CellEditor& ed) {
    if (ed.channel() == kTriangle) {
        ed.report("Triangle channel doesn't support volume modification.");
        return;
    }
    ed.editHexCell(HexMode::OneDigit);
}

void editInstrumentCell(CellEditor& ed) {
    if (ed.key() == kKeySpace) {
        const EditContext& ctx = ed.context();
        if (ctx.instrumentCount < 1) {
            ed.report("There is no instrument in the instrument list.");
        } else if (ctx.instrumentIndex < 0 || ctx.instrumentIndex >= ctx.instrumentCount) {
            ed.report("Select an instrument in the instrument list.");
            return;
        } else {
            ed.setSelected(intToHexText(ctx.instrumentIndex, 2));
        }
    }
    ed.editHexCell(HexMode::TwoDigits);
}

void editOctaveCell(CellEditor& ed) {
    if (ed.key() == kKeyEnter) {
        ed.setSelected("00");
    } else if (ed.key() == kKeyDelete) {
        ed.setSelected("--");
    } else if (ed.key() >= kKey0 && ed.key() <= kKey7) {
        if (ed.selectedCellValue() == -1)
            ed.report("Press 'Enter' on an octave first to set it to 0.");
        else
            ed.setSelected(std::string("0") + keyChar(ed.key()));
    }
}

void editByteCell(CellEditor& ed) {
    ed.editHexCell(HexMode::TwoDigits);
}

// The two speed bytes are set and cleared together.
void editSpeedCell(CellEditor& ed, int partner) {
    if (ed.key() == kKeyEnter) ed.setCell(partner, "00");
    if (ed.key() == kKeyDelete) ed.setCell(partner, "--");
    editByteCell(ed);
}

void editSwitchCell(CellEditor& ed) {
    if (ed.key() == kKeyEnter) ed.setSelected("ON");
    if (ed.key() == kKeyDelete) ed.setSelected("--");
}

void editNote(CellEditor& ed) {
    if (ed.channel() == kNoise)
        editNoiseNoteCell(ed);
    else
        editNoteCell(ed);
}

using ColumnAction = void (*)(CellEditor&);
// Actions of the value columns 3-17, in column order.
constexpr std::array<ColumnAction, 15> kColumnActions = {
    editNote,                                                  // Note
    editVolumeCell,                                            // Vol
    editInstrumentCell,                                        // Ins
    editOctaveCell,                                            // Oct
    editByteCell,                                              // TLg
    editByteCell,                                              // Pitch
    editByteCell,                                              // Sld
    [](CellEditor& ed) { openBitDialog(ed, BitKind::Flag); },  // Flag
    [](CellEditor& ed) { openBitDialog(ed, BitKind::Tone); },  // Tn tp
    editByteCell,                                              // Trans
    editByteCell,                                              // Tr-All
    [](CellEditor& ed) { editSpeedCell(ed, music::kSpeed2); },
    [](CellEditor& ed) { editSpeedCell(ed, music::kSpeed1); },
    editSwitchCell,  // Trip
    editSwitchCell,  // Plus
};

void toggleMarker(CellEditor& ed, char mark) {
    toggleMarkerLine(ed.lines(), mark, ed.row(), false);
    for (SheetKind kind : {SheetKind::Music, SheetKind::Loop, SheetKind::Break}) ed.touchRow(kind);
}

}  // namespace

bool markerKeyUp(CellEditor& ed) {
    if (ed.key() == kKeyFullStop) {
        toggleMarker(ed, '.');
        return true;
    }
    if (ed.key() == kKeyEnd) {
        toggleMarker(ed, '|');
        return true;
    }
    return false;
}

void musicKeyUp(CellEditor& ed) {
    if (markerKeyUp(ed)) return;
    if (isMusicMarkerRow(ed.lines(), ed.row())) return;
    if (ed.col() < music::kNote || ed.col() > music::kPlus) return;
    kColumnActions[static_cast<size_t>(ed.col() - music::kNote)](ed);
}

void musicDblClick(CellEditor& ed) {
    if (isMusicMarkerRow(ed.lines(), ed.row())) return;
    if (ed.col() == music::kFlag) openBitDialog(ed, BitKind::Flag);
    if (ed.col() == music::kTnTp) openBitDialog(ed, BitKind::Tone);
}

}  // namespace kestra
