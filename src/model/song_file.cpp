#include "model/song_file.h"

#include <sys/stat.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fstream>
#include <iterator>

#include "model/atomic_write.h"
#include "model/memory_text.h"

namespace kestra {

namespace {

// Far above a song of 10,000 lines a channel (about 4.4 MB); refuses to swallow a foreign file.
constexpr std::uint64_t kMaxSongFileSize = 64u << 20;

}  // namespace

std::optional<std::string> saveSongFile(const std::string& path, const Sheets& sheets,
                                        const std::vector<std::string>& messages,
                                        const ReadMemory* memory) {
    std::string text = writeSheetDump(sheets, messages);
    if (memory) text += writeMemoryText(*memory);
    return writeFileAtomically(path, text);
}

Result<SongFileContent> loadSongFile(const std::string& path) {
    using R = Result<SongFileContent>;
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
    auto content = parseSongFileText(text);
    if (!content)
        return R::failure("\"" + path + "\" is not a valid song file: " + content.error());
    return content;
}

Result<SongFileContent> parseSongFileText(std::string_view text) {
    using R = Result<SongFileContent>;
    // The remembered part starts at the first line that begins with "memory ".
    size_t split = text.substr(0, 7) == "memory " ? 0 : text.find("\nmemory ");
    if (split != 0 && split != std::string_view::npos) ++split;
    auto dump = parseSheetDump(split == std::string_view::npos ? text : text.substr(0, split));
    if (!dump) return R::failure(dump.error());
    SongFileContent content;
    static_cast<SheetDump&>(content) = std::move(*dump);
    if (split != std::string_view::npos) {
        auto firstLine =
            1 + static_cast<size_t>(std::count(
                    text.begin(), text.begin() + static_cast<std::ptrdiff_t>(split), '\n'));
        auto memory = parseMemoryText(text.substr(split), firstLine);
        if (!memory) return R::failure(memory.error());
        content.memory = std::move(*memory);
    }
    return content;
}

}  // namespace kestra
