// Whether two paths name the same file, so that no output is ever written over an input.
#pragma once

#include <string>

namespace kestra {

// True when both name one existing file (also through links), or would resolve to the same
// place once created.
bool sameFile(const std::string& a, const std::string& b);

}  // namespace kestra
