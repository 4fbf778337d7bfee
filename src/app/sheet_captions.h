// What the header row above the grid shows for each sheet: the caption, position and
// visibility of the eighteen column labels, and which "?" buttons stand. Free of Qt.
#pragma once

#include <array>
#include <optional>
#include <string>
#include <string_view>

#include "model/sheets.h"

namespace kestra {

constexpr int kHeaderLabelCount = 18;

struct HeaderLabel {
    std::string_view name;  // object name
    int x;                  // from the window's left edge
};

// The labels in their fixed order (lblNote ... lblCurLine) and their usual positions.
const std::array<HeaderLabel, kHeaderLabelCount>& headerLabels();

struct LabelState {
    std::optional<std::string_view> caption;  // nothing: hidden
    int x;
};

// Caption and position of label `index` on sheet `sheet`.
LabelState labelState(int index, SheetKind sheet);

// Whether the "?" button `button` (object name) stands on sheet `sheet`.
bool helpButtonVisible(std::string_view button, SheetKind sheet);

// Caption of the sheet radio items and of the channel items.
const std::array<std::string_view, 5>& sheetItemCaptions();
const std::array<std::string_view, 4>& channelItemCaptions();

}  // namespace kestra
