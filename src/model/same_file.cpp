#include "model/same_file.h"

#include <filesystem>
#include <system_error>

namespace kestra {

bool sameFile(const std::string& a, const std::string& b) {
    if (a.empty() || b.empty()) return false;
    std::error_code ec;
    if (std::filesystem::equivalent(a, b, ec)) return true;
    auto ca = std::filesystem::weakly_canonical(a, ec);
    if (ec) return false;
    auto cb = std::filesystem::weakly_canonical(b, ec);
    return !ec && ca == cb;
}

}  // namespace kestra
