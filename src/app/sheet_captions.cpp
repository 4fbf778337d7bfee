#include "app/sheet_captions.h"

#include <algorithm>

namespace kestra {
namespace {

using Cap = std::optional<std::string_view>;
constexpr Cap kHidden = std::nullopt;

// Rows: labels in headerLabels() order; columns: Music, Loop, Break, MySong, FourChan.
const std::array<std::array<Cap, 5>, kHeaderLabelCount> kCaptions = {{
    {"Note", "Loop1", "Break1", "Note", "Note"},
    {"Vol", kHidden, kHidden, "Vol", "Vol"},
    {"Ins", "  Line", "  Line", "Ins", "Ins"},
    {"Oct", "   Loop2", "   Break2", "Oct", ""},
    {"TLg", kHidden, kHidden, "TLg", "Note"},
    {"Pitch", "       Line", "       Line", "Pitch", "Vol"},
    {"Sld", kHidden, kHidden, "Sld", " Ins"},
    {"Flag", "Loop3", "Break3", "Flag", ""},
    {"Tn tp", kHidden, kHidden, "Tn tp", "Note"},
    {"Trans", "Line", "Line", "Trans", "Vol"},
    {"Tr-All", " Loop4", " Break4", "Tr-All", "Ins"},
    {"Speed", "              Line", "              Line", "Speed", "         Note"},
    {"Trip", kHidden, kHidden, "Trip", "Vol"},
    {kHidden, "Jump    Line", kHidden, kHidden, kHidden},
    {"Plus", kHidden, kHidden, "Plus", "Ins"},
    {kHidden, kHidden, kHidden, "COc", kHidden},
    {kHidden, kHidden, kHidden, "Frm", kHidden},
    {kHidden, kHidden, kHidden, "Line", kHidden},
}};

constexpr int kFlagLabel = 7;
constexpr int kFlagShiftedX = 314;

constexpr std::string_view kMusicOnlyButtons[] = {
    "btnVolHelp", "btnInstHelp",  "btnToneHelp",  "btnFlagHelp", "btnTonyTypeHelp", "btnSpeedHelp",
    "btnOctHelp", "btnSlideHelp", "btnTransHelp", "btnTripHelp", "btnOctPlusHelp",
};

}  // namespace

const std::array<HeaderLabel, kHeaderLabelCount>& headerLabels() {
    static const std::array<HeaderLabel, kHeaderLabelCount> labels = {{
        {"lblNote", 104},
        {"lblVolume", 136},
        {"lblInstrument", 168},
        {"lblOct", 200},
        {"lblLenght", 228},
        {"lblPitch", 260},
        {"lblSlide", 288},
        {"lblFlag", 320},
        {"lblTone", 352},
        {"lblTranspose", 384},
        {"lblGlobTrans", 416},
        {"lblSpeed", 448},
        {"lblTrip", 508},
        {"lblJump", 523},
        {"lblOctPlus", 538},
        {"lblCurOct", 568},
        {"lblCurFrame", 600},
        {"lblCurLine", 630},
    }};
    return labels;
}

LabelState labelState(int index, SheetKind sheet) {
    const auto& label = headerLabels()[static_cast<size_t>(index)];
    int x = label.x;
    if (index == kFlagLabel && (sheet == SheetKind::Loop || sheet == SheetKind::Break))
        x = kFlagShiftedX;
    return {kCaptions[static_cast<size_t>(index)][static_cast<size_t>(sheet)], x};
}

bool helpButtonVisible(std::string_view button, SheetKind sheet) {
    if (std::find(std::begin(kMusicOnlyButtons), std::end(kMusicOnlyButtons), button) !=
        std::end(kMusicOnlyButtons))
        return sheet == SheetKind::Music;
    if (button == "btnSheetHelp" || button == "btnNoteHelp") return sheet != SheetKind::FourChan;
    if (button == "btnShwSngHelp") return sheet == SheetKind::MySong;
    return true;
}

const std::array<std::string_view, 5>& sheetItemCaptions() {
    static const std::array<std::string_view, 5> items = {"Music", "Loop", "Break", "MySong",
                                                          "FourChan"};
    return items;
}

const std::array<std::string_view, 4>& channelItemCaptions() {
    static const std::array<std::string_view, 4> items = {"Square 1", "Square 2", "Triangle",
                                                          "Noise"};
    return items;
}

}  // namespace kestra
