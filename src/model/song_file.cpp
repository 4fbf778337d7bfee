#include "model/song_file.h"

#include <sys/stat.h>

#include <cerrno>
#include <cstring>
#include <fstream>
#include <iterator>

#include "model/atomic_write.h"

namespace kestra {

namespace {

// Far above a song of 10,000 lines a channel (about 4.4 MB); refuses to swallow a foreign file.
constexpr std::uint64_t kMaxSongFileSize = 64u << 20;

}  // namespace

std::optional<std::string> saveSongFile(const std::string& path, const Sheets& sheets,
                                        const std::vector<std::string>& messages) {
    return writeFileAtomically(path, writeSheetDump(sheets, messages));
}

Result<SheetDump> loadSongFile(const std::string& path) {
    using R = Result<SheetDump>;
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0)
        return R::failure("Cannot open \"" + path + "\": " + std::strerror(errno) + ".");
    if (S_ISDIR(st.st_mode)) return R::failure("\"" + path + "\" is a folder, not a file.");
    if (static_cast<std::uint64_t>(st.st_size) > kMaxSongFileSize)
        return R::failure("\"" + path + "\" is too large to be a song file.");
    std::ifstream in(path, std::ios::binary);
    if (!in) return R::failure("Cannot open \"" + path + "\" for reading.");
    std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (in.bad()) return R::failure("Cannot read \"" + path + "\" to its end.");
    if (text.find('\0') != std::string::npos)
        return R::failure("\"" + path + "\" is not a song file: it holds binary data.");
    auto dump = parseSheetDump(text);
    if (!dump) return R::failure("\"" + path + "\" is not a valid song file: " + dump.error());
    return dump;
}

}  // namespace kestra
