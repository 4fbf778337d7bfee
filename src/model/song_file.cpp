#include "model/song_file.h"

#include <algorithm>

#include "model/atomic_write.h"
#include "model/memory_text.h"
#include "model/read_file.h"

namespace kestra {

namespace {

// Far above a song of 10,000 lines a channel (about 4.4 MB); refuses to swallow a foreign file.
constexpr std::uint64_t kMaxSongFileSize = kMaxInputFileBytes;

}  // namespace

Status saveSongFile(const std::string& path, const Sheets& sheets,
                    const std::vector<std::string>& messages, const ReadMemory* memory) {
    std::string text = writeSheetDump(sheets, messages);
    if (memory) text += writeMemoryText(*memory);
    return writeFileAtomically(path, text);
}

Result<SongFileContent> loadSongFile(const std::string& path) {
    using R = Result<SongFileContent>;
    auto read = readWholeFile(path, kMaxSongFileSize, "a song file");
    if (!read) return R::failure(read.error());
    std::string_view text(reinterpret_cast<const char*>(read->bytes.data()), read->bytes.size());
    if (text.find('\0') != std::string_view::npos)
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
