#include "editing/loop_break_keys.h"

#include <array>

#include "editing/bit_exchange.h"
#include "editing/marker_line.h"
#include "editing/music_keys.h"
#include "model/hex_text.h"

namespace kestra {

namespace {

// Where a column stands in its group of count/flag, frame and line cells.
enum class GroupCell { First, Frame, Line };

GroupCell groupCellOf(int col) {
    switch (col % 3) {
        case 0:
            return GroupCell::First;
        case 1:
            return GroupCell::Frame;
        default:
            return GroupCell::Line;
    }
}

void editLoopCountCell(CellEditor& ed) {
    ed.editHexCell(HexMode::LoopCount);
}

void editFrameCell(CellEditor& ed, bool hasLeftPartner) {
    if (ed.key() == kKeyEnter) {
        ed.setSelected("00");
        ed.setCell(ed.col() + 1, "0000");
        if (hasLeftPartner) ed.setCell(ed.col() - 1, "00");
    } else if (ed.key() == kKeyDelete) {
        ed.setSelected("--");
        ed.setCell(ed.col() + 1, std::string(kEmptyLineCell));
        if (hasLeftPartner) ed.setCell(ed.col() - 1, "--");
    }
}

struct DigitStep {
    int key;
    int power;  // 1000, 100, 10 or 1: the digit stepped
    bool up;
};
// Each key steps one digit of the four-digit line, wrapping within the digit.
constexpr std::array<DigitStep, 8> kDigitSteps = {{
    {kKey1, 1000, false},
    {kKey2, 1000, true},
    {kKeyQ, 100, false},
    {kKeyW, 100, true},
    {kKeyA, 10, false},
    {kKeyS, 10, true},
    {kKeyZ, 1, false},
    {kKeyX, 1, true},
}};

void editLineCell(CellEditor& ed, bool hasSecondLeftPartner) {
    if (ed.key() == kKeyEnter) {
        ed.setSelected("0000");
        ed.setCell(ed.col() - 1, "00");
        if (hasSecondLeftPartner) ed.setCell(ed.col() - 2, "00");
    }
    const std::string text(ed.selected());
    if (text == kEmptyLineCell) {
        ed.report("Press 'Enter' on the square first to set it to 0.");
        return;
    }
    if (ed.key() == kKeyDelete) {
        ed.setSelected(std::string(kEmptyLineCell));
        ed.setCell(ed.col() - 1, "--");
        if (hasSecondLeftPartner) ed.setCell(ed.col() - 2, "--");
        return;
    }
    for (const DigitStep& step : kDigitSteps) {
        if (step.key != ed.key()) continue;
        long long value = decTextToInt(text);
        const int digit = static_cast<int>(value / step.power % 10);
        if (step.up)
            value += digit != 9 ? step.power : -9 * step.power;
        else
            value += digit != 0 ? -step.power : 9 * step.power;
        ed.setSelected(intToDecText(value, 4));
        return;
    }
}

void editBreakFlagCell(CellEditor& ed) {
    if (ed.key() == kKeyEnter) {
        const std::string old(ed.selected());
        auto text = exchangeBits(ed, BitKind::Flag, old);
        if (!text) return;
        ed.setSelected(*text);
        if (old == "--") {
            ed.setCell(ed.col() + 2, "0000");
            ed.setCell(ed.col() + 1, "00");
        }
    } else if (ed.key() == kKeyDelete) {
        ed.setSelected("--");
        ed.setCell(ed.col() + 2, std::string(kEmptyLineCell));
        ed.setCell(ed.col() + 1, "--");
    }
}

// Steps shared by both sheets; false when the key needs no column action.
bool groupKeyPrelude(CellEditor& ed, const Sheet& grid) {
    if (markerKeyUp(ed)) return false;
    if (isGroupMarkerRow(grid, ed.row())) return false;
    return ed.col() >= 3;
}

}  // namespace

void loopKeyUp(CellEditor& ed) {
    if (!groupKeyPrelude(ed, ed.lines().loop)) return;
    const int col = ed.col();
    if (col == loop::kJumpFrame) return editFrameCell(ed, false);
    if (col == loop::kJumpLine) return editLineCell(ed, false);
    if (col > loop::line(4)) return;
    switch (groupCellOf(col)) {
        case GroupCell::First:
            return editLoopCountCell(ed);
        case GroupCell::Frame:
            return editFrameCell(ed, true);
        case GroupCell::Line:
            return editLineCell(ed, true);
    }
}

void breakKeyUp(CellEditor& ed) {
    if (!groupKeyPrelude(ed, ed.lines().brk)) return;
    const int col = ed.col();
    if (col > brk::line(4)) return;
    switch (groupCellOf(col)) {
        case GroupCell::First:
            return editBreakFlagCell(ed);
        case GroupCell::Frame:
            return editFrameCell(ed, true);
        case GroupCell::Line:
            return editLineCell(ed, true);
    }
}

void breakDblClick(CellEditor& ed) {
    const std::string_view cell = ed.selected();
    if (cell == "--" || cell == ".." || cell == "||") return;
    if (ed.col() < 3 || ed.col() > brk::flag(4) || groupCellOf(ed.col()) != GroupCell::First)
        return;
    openBitDialog(ed, BitKind::Flag);
}

}  // namespace kestra
