// The Flag/Tone bit dialog as data: its captions per kind and the exchange of bit texts with the
// eight check boxes. The GUI dialog (a BitDialogPort) is built from these, so it holds no rule.
#pragma once

#include <array>
#include <string>
#include <string_view>

#include "model/ports.h"

namespace kestra {

inline constexpr std::string_view kBitDialogTitle = "Flag/Tony Type";
inline constexpr std::string_view kBitDialogInfo = "Check to...";
inline constexpr std::string_view kBitDialogInfoTwo = "Ok to confirm, Cancel to cancel.";
inline constexpr std::string_view kBitDialogOk = "OK";
inline constexpr std::string_view kBitDialogCancel = "Cancel";
// The bit text of "no value": the dialog opens with every box clear and Cancel returns it.
inline constexpr std::string_view kNoBits = "--";

// The captions of check boxes 1-8 (bit 7 first) for the kind.
const std::array<std::string_view, 8>& bitDialogCaptions(BitKind kind);
// The check state of boxes 1-8 when the dialog opens with bits ("--" or eight 0/1 characters).
std::array<bool, 8> bitDialogChecks(std::string_view bits);
// The bit text that OK returns for the boxes' states.
std::string bitTextOfChecks(const std::array<bool, 8>& checks);
// True for a bit text the dialog can return with OK: eight characters, each "0" or "1".
bool isBitText(std::string_view bits);

}  // namespace kestra
