#include "model/memory_text.h"

#include <array>

#include "model/hex_text.h"
#include "model/text_lines.h"

namespace kestra {
namespace {

constexpr std::array<const char*, 7> kLayoutNames = {"none",  "nsf",   "rom32", "rom43",
                                                     "rom49", "rom4C", "rom69"};

// The space-separated words of a line.
std::vector<std::string_view> words(std::string_view line) {
    std::vector<std::string_view> out;
    size_t pos = 0;
    while (pos < line.size()) {
        size_t end = line.find(' ', pos);
        if (end == std::string_view::npos) end = line.size();
        if (end > pos) out.push_back(line.substr(pos, end - pos));
        pos = end + 1;
    }
    return out;
}

std::optional<long long> number(std::string_view text, bool hex) {
    if (text.empty() || text.size() > 9) return std::nullopt;
    return hex ? tryHexTextToInt(text) : tryDecTextToInt(text);
}

}  // namespace

std::string writeMemoryText(const ReadMemory& memory) {
    std::string out;
    for (int c = 0; c < kChannelCount; ++c) {
        const auto& m = memory[static_cast<size_t>(c)];
        if (!m) continue;
        out += "memory " + std::to_string(c + 1) + " " +
               kLayoutNames[static_cast<size_t>(m->layout)] + " " +
               intToHexText(m->headerOffset, 5) + " " + intToHexText(m->pointer, 4) + " " +
               m->file + "\n";
        out += "bytes ";
        for (std::uint8_t b : m->bytes) out += intToHexText(b, 2);
        out += "\n";
        for (size_t r = 0; r < m->lines.size(); ++r) {
            const LineMemory& line = m->lines[r];
            out += "line " + std::to_string(r) + " " + std::to_string(line.begin) + " " +
                   std::to_string(line.end) + " " + std::to_string(line.groupLines) + " " +
                   intToHexText(line.keptTargets, 4) + "|" + std::string(m->record(0, r)) +
                   std::string(m->record(1, r)) + std::string(m->record(2, r)) + "\n";
        }
    }
    return out;
}

Result<ReadMemory> parseMemoryText(std::string_view text, size_t firstLine) {
    using R = Result<ReadMemory>;
    ReadMemory memory;
    ChannelMemory* current = nullptr;
    // The Music, Loop and Break records of the current channel's lines.
    std::array<std::string, 3> records;
    TextLines lines(text, firstLine);
    auto fail = [&](const std::string& why) {
        return R::failure("line " + std::to_string(lines.number()) + ": " + why);
    };
    auto finish = [&]() -> std::optional<std::string> {
        if (!current) return std::nullopt;
        if (current->lines.empty() || current->lines.back().end != current->bytes.size())
            return "the remembered lines do not cover the remembered bytes";
        current->setRecords(std::move(records[0]), std::move(records[1]), std::move(records[2]));
        records = {};
        return std::nullopt;
    };
    std::string_view line;
    while (lines.next(line)) {
        if (line.empty()) continue;
        if (line.substr(0, 7) == "memory ") {
            if (auto problem = finish()) return fail(*problem);
            auto w = words(line);
            // The file's path is the rest of the line, spaces and all.
            std::string_view file;
            if (w.size() >= 6) file = line.substr(static_cast<size_t>(w[5].data() - line.data()));
            std::optional<long long> ch, header, pointer;
            if (w.size() >= 5) {
                w.resize(5);
                ch = number(w[1], false);
                header = number(w[3], true);
                pointer = number(w[4], true);
            }
            size_t layout = 0;
            while (w.size() == 5 && layout < kLayoutNames.size() && w[2] != kLayoutNames[layout])
                ++layout;
            if (!ch || *ch < 1 || *ch > kChannelCount || !header || !pointer || *pointer > 0xFFFF ||
                layout == 0 || layout == kLayoutNames.size() ||
                memory[static_cast<size_t>(*ch - 1)])
                return fail("expected \"memory CHANNEL LAYOUT HEADER POINTER FILE\"");
            auto& slot = memory[static_cast<size_t>(*ch - 1)];
            slot = ChannelMemory{static_cast<Layout>(layout),
                                 static_cast<std::uint32_t>(*header),
                                 static_cast<std::uint16_t>(*pointer),
                                 std::string(file),
                                 {},
                                 {},
                                 {}};
            current = &*slot;
            continue;
        }
        if (!current) return fail("expected \"memory\"");
        if (line.substr(0, 6) == "bytes ") {
            std::string_view hex = line.substr(6);
            if (!current->bytes.empty() || !current->lines.empty() || hex.size() % 2 != 0 ||
                !isHexText(hex))
                return fail("expected the remembered bytes as pairs of hex digits, once");
            for (size_t i = 0; i < hex.size(); i += 2)
                current->bytes.push_back(static_cast<std::uint8_t>(hexTextToInt(hex.substr(i, 2))));
            continue;
        }
        size_t bar = line.find('|');
        auto w = words(line.substr(0, bar));
        if (bar == std::string_view::npos || w.size() != 6 || w[0] != "line" ||
            line.size() - bar - 1 != kVisibleWidth)
            return fail("expected \"line ROW BEGIN END GROUP KEPT|TEXT\" with a text of " +
                        std::to_string(kVisibleWidth) + " characters");
        auto row = number(w[1], false);
        auto begin = number(w[2], false);
        auto end = number(w[3], false);
        auto group = number(w[4], false);
        auto kept = number(w[5], true);
        std::uint32_t expectedBegin = current->lines.empty() ? 0 : current->lines.back().end;
        if (!row || *row != static_cast<long long>(current->lines.size()) || !begin ||
            *begin != expectedBegin || !end || *end < *begin ||
            *end > static_cast<long long>(current->bytes.size()) || !group ||
            *group > kMaxChannelLines || !kept || *kept > 0xFFFF)
            return fail("the remembered line does not follow the one before it");
        const std::string_view visible = line.substr(bar + 1);
        records[0] += visible.substr(0, kMusicRecordWidth);
        records[1] += visible.substr(kMusicRecordWidth, kLoopRecordWidth);
        records[2] += visible.substr(kMusicRecordWidth + kLoopRecordWidth);
        current->lines.push_back({static_cast<std::uint32_t>(*begin),
                                  static_cast<std::uint32_t>(*end), static_cast<int>(*group),
                                  static_cast<std::uint16_t>(*kept)});
    }
    lines.passEnd();
    if (auto problem = finish()) return fail(*problem);
    return memory;
}

}  // namespace kestra
