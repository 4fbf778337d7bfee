// Writing a whole file so that a crash or a full disk never leaves it half written: the data go
// to a temporary file in the same folder, which then replaces the target in one rename.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace kestra {

// Returns the error message, or nothing when the file was written. An existing target keeps its
// permissions; on failure it is left untouched.
std::optional<std::string> writeFileAtomically(const std::string& path, std::string_view data);

}  // namespace kestra
