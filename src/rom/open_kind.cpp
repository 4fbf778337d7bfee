#include "rom/open_kind.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <filesystem>
#include <fstream>

namespace kestra {

OpenKind openKindOfStart(std::string_view start, std::string_view fileName) {
    using namespace std::string_view_literals;
    if (start.starts_with("NESM\x1a"sv)) return OpenKind::Nsf;
    if (start.starts_with("NES\x1a"sv)) return OpenKind::Rom;
    if (start.starts_with("format "sv) || start.starts_with("channel "sv)) return OpenKind::Song;
    std::string ext = std::filesystem::path(fileName).extension().string();
    std::transform(ext.begin(), ext.end(), ext.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return ext == ".ksong" ? OpenKind::Song : OpenKind::Unknown;
}

OpenKind openKindOf(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return OpenKind::Unknown;
    std::array<char, 8> head{};
    in.read(head.data(), head.size());
    return openKindOfStart(std::string_view(head.data(), static_cast<size_t>(in.gcount())), path);
}

}  // namespace kestra
