#include "format/memory_check.h"

#include <vector>

#include "format/decoder.h"
#include "model/ports.h"
#include "rom/song_table.h"

namespace kestra {

namespace {

// Past this many, lines are counted rather than named.
constexpr size_t kNamedLines = 12;

// Whether the lines of `ch` keep their remembered bytes; those that cannot are added to `bad`.
void checkChannel(int c, std::optional<ChannelMemory>& ch, std::vector<int>& bad) {
    FileState fs;
    fs.layout = ch->layout;
    fs.headerSize = ch->layout == Layout::Nsf ? 0x80 : 0x10;
    auto start = channelAddressOf(fs, ch->pointer);
    std::vector<LineMemory> decoded;
    ChannelSheets sheets;
    ErrorBox errors;
    bool whole =
        start && decodeChannel(ch->bytes, *start, fs.headerSize, c, sheets, errors, &decoded);
    bool sameCut = whole && decoded.size() == ch->lines.size();
    for (size_t i = 0; sameCut && i < decoded.size(); ++i)
        sameCut = decoded[i].begin == ch->lines[i].begin && decoded[i].end == ch->lines[i].end;
    if (!sameCut) {
        for (size_t i = 0; i < ch->lines.size(); ++i) bad.push_back(static_cast<int>(i));
        ch.reset();
        return;
    }
    // A line whose bytes spell other cells than remembered is remembered as its bytes spell it.
    for (size_t i = 0; i < decoded.size(); ++i) {
        const int row = static_cast<int>(i);
        if (decoded[i] == ch->lines[i] && ch->record(0, i) == sheets.music.record(row) &&
            ch->record(1, i) == sheets.loop.record(row) &&
            ch->record(2, i) == sheets.brk.record(row))
            continue;
        ch->lines[i] = decoded[i];
        bad.push_back(row);
    }
    if (!bad.empty()) ch->shareRecords(sheets);
}

std::string named(int c, const std::vector<int>& lines) {
    std::string text =
        std::string(channelMessageName(c)) + (lines.size() == 1 ? " line " : " lines ");
    for (size_t i = 0; i < lines.size() && i < kNamedLines; ++i)
        text += (i ? ", " : "") + std::to_string(lines[i]);
    if (lines.size() > kNamedLines)
        text += " and " + std::to_string(lines.size() - kNamedLines) + " more";
    return text;
}

}  // namespace

std::string forgetUnspelledLines(ReadMemory& memory) {
    std::string list;
    for (int c = 0; c < kChannelCount; ++c) {
        auto& ch = memory[static_cast<size_t>(c)];
        if (!ch) continue;
        std::vector<int> bad;
        checkChannel(c, ch, bad);
        if (!bad.empty()) list += (list.empty() ? "" : "; ") + named(c, bad);
    }
    if (list.empty()) return {};
    return "The remembered bytes of " + list +
           " do not spell what the song file shows; those lines are encoded from their cells.";
}

}  // namespace kestra
