#include "model/sheet_dump.h"

#include <algorithm>
#include <array>

#include "model/hex_text.h"
#include "model/text_lines.h"

namespace kestra {

void writeSheetDump(const Sheets& sheets, const std::vector<std::string>& messages,
                    const std::function<void(std::string_view)>& sink) {
    // Handed on in pieces: a long song's dump is never all in memory at once.
    constexpr size_t kPiece = 64 * 1024;
    std::string out = "format " + std::to_string(kSheetDumpFormat) + "\n";
    out.reserve(kPiece + 256);
    auto flush = [&](size_t above) {
        if (out.size() <= above) return;
        sink(out);
        out.clear();
    };
    for (int ch = 0; ch < kChannelCount; ++ch) {
        const ChannelSheets& cs = sheets.channel(ch);
        out += "channel " + std::to_string(ch + 1) + "\n";
        for (int r = 0; r < cs.lineCount(); ++r) {
            out += numberingCell(r, 0);
            out += ' ';
            out += cs.music.record(r);
            out += '|';
            out += cs.loop.record(r);
            out += '|';
            out += cs.brk.record(r);
            out += '\n';
            flush(kPiece);
        }
    }
    for (const auto& m : messages) out += "message: " + m + "\n";
    flush(0);
}

std::string writeSheetDump(const Sheets& sheets, const std::vector<std::string>& messages) {
    std::string out;
    size_t lines = 0;
    for (const ChannelSheets& cs : sheets.channels) lines += static_cast<size_t>(cs.lineCount());
    out.reserve(lines * (kMusicRecordWidth + kLoopRecordWidth + kBreakRecordWidth + 10) + 4096);
    writeSheetDump(sheets, messages, [&](std::string_view piece) { out += piece; });
    return out;
}

namespace {

bool splitRecords(std::string_view rest, std::string_view& m, std::string_view& l,
                  std::string_view& b) {
    // Records have fixed widths, and marker lines hold '|' themselves, so cut by position.
    if (rest.size() != kMusicRecordWidth + 1 + kLoopRecordWidth + 1 + kBreakRecordWidth)
        return false;
    m = rest.substr(0, kMusicRecordWidth);
    if (rest[kMusicRecordWidth] != '|') return false;
    l = rest.substr(kMusicRecordWidth + 1, kLoopRecordWidth);
    if (rest[kMusicRecordWidth + 1 + kLoopRecordWidth] != '|') return false;
    b = rest.substr(kMusicRecordWidth + 1 + kLoopRecordWidth + 1, kBreakRecordWidth);
    return true;
}

}  // namespace

namespace {

// Lines of the text after each "channel N" line: the rows to reserve, so that the sheets are
// not moved while they fill.
std::array<int, kChannelCount> linesAfterChannels(std::string_view text) {
    std::array<int, kChannelCount> lines{};
    int channel = -1;
    for (size_t at = 0; at < text.size();) {
        size_t end = text.find('\n', at);
        if (end == std::string_view::npos) end = text.size();
        const std::string_view line = text.substr(at, end - at);
        if (line.substr(0, 8) == "channel ")
            channel = std::min(channel + 1, kChannelCount - 1);
        else if (channel >= 0)
            ++lines[static_cast<size_t>(channel)];
        at = end + 1;
    }
    return lines;
}

}  // namespace

Result<SheetDump> parseSheetDump(std::string_view text) {
    using R = Result<SheetDump>;
    SheetDump dump;
    const auto reserve = linesAfterChannels(text);
    int channel = -1;
    std::vector<int> rowsSeen(kChannelCount, 0);
    std::vector<bool> channelSeen(kChannelCount, false);
    bool inMessages = false;
    TextLines lines(text);
    auto fail = [&](const std::string& why) {
        return R::failure("line " + std::to_string(lines.number()) + ": " + why);
    };
    std::string_view line;
    while (lines.next(line)) {
        if (line.empty()) continue;
        if (line.substr(0, 9) == "message: ") {
            inMessages = true;
            dump.messages.emplace_back(line.substr(9));
            continue;
        }
        if (inMessages) return fail("only messages may follow the messages");
        if (line.substr(0, 7) == "format " && channel < 0 && dump.format == 1) {
            auto n = tryDecTextToInt(line.substr(7));
            if (!n || *n < 2) return fail("the format line names no format of song files");
            if (*n > kSheetDumpFormat)
                return fail("written in format " + std::to_string(*n) +
                            ", by a newer version of the program");
            dump.format = static_cast<int>(*n);
            continue;
        }
        if (line.substr(0, 8) == "channel ") {
            auto n = tryDecTextToInt(line.substr(8));
            if (!n || *n != channel + 2)
                return fail("expected \"channel " + std::to_string(channel + 2) + "\"");
            channel = static_cast<int>(*n) - 1;
            channelSeen[static_cast<size_t>(channel)] = true;
            ChannelSheets& cs = dump.sheets.channel(channel);
            for (Sheet* sheet : {&cs.music, &cs.loop, &cs.brk}) {
                sheet->setRowCount(0);
                sheet->reserveRows(reserve[static_cast<size_t>(channel)]);
            }
            continue;
        }
        if (channel < 0) return fail("the dump must start with \"channel 1\"");
        size_t space = line.find(' ');
        if (space == std::string_view::npos) return fail("not a sheet line");
        auto row = tryDecTextToInt(line.substr(0, space));
        int expected = rowsSeen[static_cast<size_t>(channel)];
        if (!row || space < 3 || *row != expected)
            return fail("expected row " + intToDecText(expected, 3));
        std::string_view m, l, b;
        if (!splitRecords(line.substr(space + 1), m, l, b))
            return fail(
                "a sheet line holds a 30-character Music record, \"|\", a 38-character "
                "Loop record, \"|\" and a 32-character Break record");
        ChannelSheets& cs = dump.sheets.channel(channel);
        const int r = expected;
        cs.music.insertRecords(r, m);
        cs.loop.insertRecords(r, l);
        cs.brk.insertRecords(r, b);
        ++rowsSeen[static_cast<size_t>(channel)];
    }
    lines.passEnd();
    for (int ch = 0; ch < kChannelCount; ++ch) {
        if (!channelSeen[static_cast<size_t>(ch)])
            return fail("\"channel " + std::to_string(ch + 1) + "\" is missing");
        if (rowsSeen[static_cast<size_t>(ch)] == 0)
            return fail("channel " + std::to_string(ch + 1) + " has no line");
    }
    return dump;
}

}  // namespace kestra
