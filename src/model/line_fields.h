// The fields of the frame texts' line records as code creation and the walk read them.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "model/record_layout.h"

namespace kestra {

// Field offsets within a Music line record.
namespace mf {
constexpr size_t at(int col) {
    return static_cast<size_t>(kMusicLayout.cols[static_cast<size_t>(col)].offset);
}
constexpr size_t kNote = at(music::kNote), kVol = at(music::kVol), kIns = at(music::kIns),
                 kOct = at(music::kOct), kTLg = at(music::kTLg), kPitch = at(music::kPitch),
                 kSld = at(music::kSld), kFlag = at(music::kFlag), kTnTp = at(music::kTnTp),
                 kTrans = at(music::kTrans), kTrAll = at(music::kTrAll),
                 kSpeed = at(music::kSpeed1), kTrip = at(music::kTrip), kPlus = at(music::kPlus);
}  // namespace mf

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
inline std::string_view recordOf(std::string_view text, long long n, size_t width) {
    if (n < 0) return {};
    const size_t pos = static_cast<size_t>(n) * width;
    if (pos + width > text.size()) return {};
    return text.substr(pos, width);
}

inline std::string_view field(std::string_view record, size_t at, size_t width) {
    if (at + width > record.size()) return {};
    return record.substr(at, width);
}

}  // namespace kestra
