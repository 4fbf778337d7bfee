#include "editing/line_clipboard.h"

#include "model/hex_text.h"
#include "model/text_lines.h"

namespace kestra {

bool isPageEndLine(const ChannelSheets& lines, int row) {
    std::string_view note = lines.music.cell(row, music::kNote);
    return note == "|||" || note == "...";
}

ClipBlock copyBlock(const ChannelSheets& lines, int channel, LineRange range) {
    ClipBlock block;
    block.channel = channel;
    for (int r = std::max(range.first, 0); r <= range.last && r < lines.lineCount(); ++r) {
        if (isPageEndLine(lines, r)) continue;
        block.lines.push_back({r, std::string(lines.music.record(r)),
                               std::string(lines.loop.record(r)),
                               std::string(lines.brk.record(r))});
    }
    return block;
}

std::string clipboardText(const ClipBlock& block) {
    std::string out;
    if (block.channel >= 0) out += "channel " + std::to_string(block.channel + 1) + "\n";
    for (const ClipLine& line : block.lines)
        out += intToDecText(line.source, 3) + ' ' + line.music + '|' + line.loop + '|' + line.brk +
               '\n';
    return out;
}

namespace {

constexpr size_t kLineWidth = kMusicRecordWidth + 1 + kLoopRecordWidth + 1 + kBreakRecordWidth;

bool isPageEndRecord(std::string_view music) {
    return music.substr(0, 3) == "|||" || music.substr(0, 3) == "...";
}

}  // namespace

Result<ClipBlock> parseClipboardText(std::string_view text) {
    using R = Result<ClipBlock>;
    ClipBlock block;
    TextLines lines(text);
    auto fail = [&](const std::string& why) {
        return R::failure("line " + std::to_string(lines.number()) + " of the clipboard: " + why);
    };
    int previous = -1;
    bool anyLine = false;
    std::string_view line;
    while (lines.next(line)) {
        while (!line.empty() && (line.back() == ' ' || line.back() == '\t')) line.remove_suffix(1);
        if (line.empty() || line.substr(0, 9) == "message: ") continue;
        if (line.substr(0, 8) == "channel ") {
            auto n = tryDecTextToInt(line.substr(8));
            if (!n || *n < 1 || *n > kChannelCount) return fail("not a channel number");
            if (block.channel >= 0 || anyLine)
                return fail("the lines of one channel can be pasted at a time");
            block.channel = static_cast<int>(*n) - 1;
            continue;
        }
        size_t space = line.find(' ');
        auto row =
            space == std::string_view::npos ? std::nullopt : tryDecTextToInt(line.substr(0, space));
        if (!row || *row >= kMaxChannelLines)
            return fail("a sheet line starts with its line number");
        if (*row <= previous) return fail("the line numbers must increase");
        std::string_view rest = line.substr(space + 1);
        // Records have fixed widths, and marker lines hold '|' themselves, so cut by position.
        if (rest.size() != kLineWidth || rest[kMusicRecordWidth] != '|' ||
            rest[kMusicRecordWidth + 1 + kLoopRecordWidth] != '|')
            return fail(
                "a sheet line holds a 30-character Music record, \"|\", a 38-character Loop "
                "record, \"|\" and a 32-character Break record");
        previous = static_cast<int>(*row);
        anyLine = true;
        std::string_view music = rest.substr(0, kMusicRecordWidth);
        if (isPageEndRecord(music)) continue;
        block.lines.push_back({previous, std::string(music),
                               std::string(rest.substr(kMusicRecordWidth + 1, kLoopRecordWidth)),
                               std::string(rest.substr(kMusicRecordWidth + 2 + kLoopRecordWidth))});
    }
    if (block.lines.empty()) return R::failure("The clipboard holds no lines of a sheet.");
    return block;
}

}  // namespace kestra
