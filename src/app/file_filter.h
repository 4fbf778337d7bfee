// The open dialog's title and filter, and the translation of a "description|patterns|..."
// filter into Qt's "description (patterns);;..." form. Free of Qt.
#pragma once

#include <string>
#include <string_view>

namespace kestra {

inline constexpr const char* kOpenFileTitle = "Open NSF/Rom File";
inline constexpr const char* kOpenFileFilter =
    "NSF/Rom files (*.nsf, *.nes)|*.nsf;*nes|All files (*.*)|*.*";

// Each description keeps its words, its own "(...)" is replaced by the real patterns joined by
// blanks, and "*.*" becomes "*" so that names without a dot are listed too.
std::string qtFileFilter(std::string_view filter);

}  // namespace kestra
