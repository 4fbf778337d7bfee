// The fields of the frame texts' line records as code creation reads them.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace kestra {

// Field offsets within a Music line record.
namespace mf {
constexpr size_t kNote = 0, kVol = 3, kIns = 4, kOct = 6, kTLg = 8, kPitch = 10, kSld = 12,
                 kFlag = 14, kTnTp = 16, kTrans = 18, kTrAll = 20, kSpeed = 22, kTrip = 26,
                 kPlus = 28;
}

// A field produces bytes unless it is empty ("-"), or a marker ("." or "|") over its width.
inline bool isSet(std::string_view field) {
    if (field.empty()) return false;
    char c = field[0];
    if (c != '-' && c != '.' && c != '|') return true;
    for (char x : field)
        if (x != c) return true;
    return false;
}

// The record of line n of a frame text, or an empty view past its end.
inline std::string_view recordOf(const std::string& text, int n, size_t width) {
    size_t pos = static_cast<size_t>(n) * width;
    if (pos + width > text.size()) return {};
    return std::string_view(text).substr(pos, width);
}

inline std::string_view field(std::string_view record, size_t at, size_t width) {
    if (at + width > record.size()) return {};
    return record.substr(at, width);
}

}  // namespace kestra
