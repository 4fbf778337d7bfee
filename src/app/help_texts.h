// The texts of the "?" help buttons, by button name and, for the note and sheet buttons, by the
// sheet shown. Free of Qt so the texts can be checked anywhere.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "model/sheets.h"

namespace kestra {

// The help text of button (its object name) on sheet; nothing when that button opens no
// window there (the note button on the MySong and FourChan sheets) or is unknown.
std::optional<std::string> helpText(std::string_view button, SheetKind sheet);

// Every "?" button, by object name.
const std::vector<std::string_view>& helpButtonNames();

}  // namespace kestra
