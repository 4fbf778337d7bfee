#include "app/file_filter.h"

#include <vector>

namespace kestra {
namespace {

std::vector<std::string_view> split(std::string_view text, char sep) {
    std::vector<std::string_view> parts;
    size_t start = 0;
    for (;;) {
        size_t at = text.find(sep, start);
        parts.push_back(text.substr(start, at == std::string_view::npos ? at : at - start));
        if (at == std::string_view::npos) return parts;
        start = at + 1;
    }
}

std::string_view trimRight(std::string_view s) {
    while (!s.empty() && s.back() == ' ') s.remove_suffix(1);
    return s;
}

}  // namespace

std::string qtFileFilter(std::string_view filter) {
    auto parts = split(filter, '|');
    std::string out;
    for (size_t i = 0; i + 1 < parts.size(); i += 2) {
        std::string_view description = trimRight(parts[i]);
        if (!description.empty() && description.back() == ')') {
            size_t open = description.rfind('(');
            if (open != std::string_view::npos)
                description = trimRight(description.substr(0, open));
        }
        std::string patterns;
        for (std::string_view pattern : split(parts[i + 1], ';')) {
            if (pattern.empty()) continue;
            if (!patterns.empty()) patterns += ' ';
            patterns += pattern == "*.*" ? std::string("*") : std::string(pattern);
        }
        if (!out.empty()) out += ";;";
        out += std::string(description) + " (" + patterns + ")";
    }
    return out;
}

}  // namespace kestra
