#include "editing/block_edits.h"

#include <algorithm>
#include <array>

#include "editing/line_clipboard.h"
#include "editing/line_commands.h"
#include "editing/undoable_edits.h"
#include "model/frame_store.h"
#include "model/hex_text.h"
#include "model/sheet_dump.h"

namespace kestra {

namespace {

constexpr const char* kCopyTitle = "Copy";
constexpr const char* kCutTitle = "Cut";
constexpr const char* kPasteTitle = "Paste";
constexpr const char* kPasteOverTitle = "Paste over";
constexpr const char* kViewRefusal = "Show the Music, Loop or Break sheet to choose the lines.";
constexpr size_t kMaxListed = 10;

// The refusals of "Add lines" and "Remove Line" reused under the block command's own title.
class RetitledMessages : public MessagePort {
  public:
    RetitledMessages(MessagePort* inner, std::string title)
        : inner_(inner), title_(std::move(title)) {}
    void messageBox(const std::string&, const std::string& text) override {
        if (inner_) inner_->messageBox(title_, text);
    }
    bool confirm(const std::string&, const std::string& text) override {
        return inner_ && inner_->confirm(title_, text);
    }

  private:
    MessagePort* inner_;
    std::string title_;
};

bool refuse(MessagePort* messages, const char* title, const std::string& text) {
    if (messages) messages->messageBox(title, text);
    return false;
}

bool editableChannel(const Document& doc, const Selection& sel, MessagePort* messages,
                     const char* title) {
    if (sel.sheet == SheetKind::MySong || sel.sheet == SheetKind::FourChan)
        return refuse(messages, title, kViewRefusal);
    if (sel.channel < 0 || sel.channel >= kChannelCount || sel.row < 0 ||
        sel.row >= doc.sheets.channel(sel.channel).lineCount())
        return refuse(messages, title, "Select the line ( one square only ).");
    return true;
}

// The clipboard's lines, when the sheet shown takes them; else nothing, after a message.
std::optional<ClipBlock> blockToPaste(const Document& doc, const Selection& sel,
                                      std::string_view text, MessagePort* messages,
                                      const char* title) {
    if (!editableChannel(doc, sel, messages, title)) return std::nullopt;
    auto block = parseClipboardText(text);
    if (!block) {
        refuse(messages, title, block.error());
        return std::nullopt;
    }
    return std::move(*block);
}

// A line reference cell inside a Loop or Break record.
struct RefSlot {
    bool loop;
    size_t at;
    int column;
    const char* name;
};

size_t recordOffset(SheetKind kind, int col) {
    size_t at = 0;
    for (int c = kFixedColumns; c < col; ++c) at += static_cast<size_t>(cellWidth(kind, c));
    return at;
}

const std::array<RefSlot, 9>& refSlots() {
    static const std::array<RefSlot, 9> slots = [] {
        std::array<RefSlot, 9> s{};
        const char* loopNames[] = {"loop 1", "loop 2", "loop 3", "loop 4"};
        const char* breakNames[] = {"break 1", "break 2", "break 3", "break 4"};
        for (int k = 1; k <= 4; ++k) {
            s[static_cast<size_t>(k - 1)] = {true, recordOffset(SheetKind::Loop, loop::line(k)),
                                             loop::line(k), loopNames[k - 1]};
            s[static_cast<size_t>(k + 4)] = {false, recordOffset(SheetKind::Break, brk::line(k)),
                                             brk::line(k), breakNames[k - 1]};
        }
        s[4] = {true, recordOffset(SheetKind::Loop, loop::kJumpLine), loop::kJumpLine, "jump"};
        return s;
    }();
    return slots;
}

// The block with every line reference v replaced by map(v); nothing when a new reference would
// not fit the four digits of its cell.
template <class Map>
std::optional<ClipBlock> remapRefs(const ClipBlock& block, Map map) {
    ClipBlock out = block;
    for (ClipLine& line : out.lines) {
        for (const RefSlot& slot : refSlots()) {
            std::string& rec = slot.loop ? line.loop : line.brk;
            auto v = tryDecTextToInt(std::string_view(rec).substr(slot.at, 4));
            if (!v) continue;
            long long mapped = map(static_cast<int>(*v));
            if (mapped < 0 || mapped > kMaxLineReference) return std::nullopt;
            rec.replace(slot.at, 4, intToDecText(mapped, 4));
        }
    }
    return out;
}

// Position of the line copied from `source` within the block.
std::optional<int> indexOfSource(const ClipBlock& block, int source) {
    auto it = std::lower_bound(block.lines.begin(), block.lines.end(), source,
                               [](const ClipLine& l, int s) { return l.source < s; });
    if (it == block.lines.end() || it->source != source) return std::nullopt;
    return static_cast<int>(it - block.lines.begin());
}

void writeLines(ChannelSheets& lines, int at, const ClipBlock& block) {
    for (size_t i = 0; i < block.lines.size(); ++i) {
        const int row = at + static_cast<int>(i);
        lines.music.setRecord(row, block.lines[i].music);
        lines.loop.setRecord(row, block.lines[i].loop);
        lines.brk.setRecord(row, block.lines[i].brk);
    }
}

std::optional<int> firstPageEnd(const ChannelSheets& lines) {
    for (int r = 0; r < lines.lineCount(); ++r)
        if (isPageEndLine(lines, r)) return r;
    return std::nullopt;
}

// What no longer makes sense after lines first..last were written: references to lines that are
// not played (past the page end or the last line), and the lines themselves standing after the
// page end. Empty when all is well.
std::string senseReport(const ChannelSheets& lines, int first, int last) {
    const auto pageEnd = firstPageEnd(lines);
    const int lastPlayed = pageEnd ? *pageEnd : lines.lineCount() - 1;
    std::vector<std::string> wrong;
    size_t count = 0;
    for (int r = first; r <= last; ++r)
        for (const RefSlot& slot : refSlots()) {
            const Sheet& sheet = slot.loop ? lines.loop : lines.brk;
            auto v = tryDecTextToInt(sheet.cell(r, slot.column));
            if (!v || *v <= lastPlayed) continue;
            if (++count <= kMaxListed)
                wrong.push_back("line " + std::to_string(r) + ", " + slot.name + ", to line " +
                                std::to_string(*v));
        }
    std::string text;
    if (pageEnd && first > *pageEnd)
        text = "The lines stand after the page end on line " + std::to_string(*pageEnd) +
               ": they are not played.";
    if (!wrong.empty()) {
        if (!text.empty()) text += ' ';
        text += "These loops, breaks or jumps go to lines that are not played: ";
        for (size_t i = 0; i < wrong.size(); ++i) text += (i ? "; " : "") + wrong[i];
        if (count > wrong.size()) text += "; and " + std::to_string(count - wrong.size()) + " more";
        text += '.';
    }
    return text;
}

void touchLines(EditResult& result, int ch, int first, int last) {
    for (SheetKind kind : {SheetKind::Music, SheetKind::Loop, SheetKind::Break})
        result.touch(ch, kind, first, last);
}

}  // namespace

BlockResult copyLines(const Document& doc, const Selection& sel, LineRange range,
                      MessagePort* messages) {
    BlockResult out;
    if (!editableChannel(doc, sel, messages, kCopyTitle)) return out;
    ClipBlock block = copyBlock(doc.sheets.channel(sel.channel), sel.channel, range);
    if (block.lines.empty()) {
        refuse(messages, kCopyTitle, "The page-end line can't be copied.");
        return out;
    }
    out.clipboard = clipboardText(block);
    return out;
}

BlockResult cutLines(Document& doc, const Selection& sel, LineRange range, MessagePort* messages) {
    BlockResult out;
    if (!editableChannel(doc, sel, messages, kCutTitle)) return out;
    const ChannelSheets& lines = doc.sheets.channel(sel.channel);
    range.first = std::clamp(range.first, 0, lines.lineCount() - 1);
    range.last = std::clamp(range.last, range.first, lines.lineCount() - 1);
    for (int r = range.first; r <= range.last; ++r)
        if (isPageEndLine(lines, r)) {
            refuse(messages, kCutTitle,
                   "The page-end line can't be cut: select the lines before it.");
            return out;
        }
    ClipBlock block = copyBlock(lines, sel.channel, range);
    RetitledMessages titled(messages, kCutTitle);
    const Selection at = Selection::cell(sel.sheet, sel.channel, range.first, sel.left);
    out.edit = removeLines(doc, at, std::to_string(range.count()), &titled);
    if (!out.edit.rows) return out;

    // The cut lines are numbered as if they stood after the last line that remains, and the
    // references that leave them follow their lines up: so pasting them back anywhere keeps
    // every target on the line it meant, and no reference can be mistaken for one inside.
    const int n = range.count();
    const int base = doc.sheets.channel(sel.channel).lineCount();
    auto moved = remapRefs(block, [&](int v) {
        if (range.contains(v)) return base + (v - range.first);
        return v > range.last ? v - n : v;
    });
    if (moved) {
        block = std::move(*moved);
        for (size_t i = 0; i < block.lines.size(); ++i)
            block.lines[i].source = base + static_cast<int>(i);
    }
    out.clipboard = clipboardText(block);
    if (!out.edit.selection) out.edit.selection = at;
    return out;
}

BlockResult pasteLines(Document& doc, const Selection& sel, std::string_view text,
                       MessagePort* messages) {
    BlockResult out;
    auto block = blockToPaste(doc, sel, text, messages, kPasteTitle);
    if (!block) return out;
    const int at = sel.row;
    const int n = static_cast<int>(block->lines.size());
    // Targets inside the block go with it; those outside follow their lines as "Add lines"
    // renumbers every other reference.
    auto mapped = remapRefs(*block, [&](int v) {
        if (auto i = indexOfSource(*block, v)) return at + *i;
        return v >= at ? v + n : v;
    });
    if (!mapped) {
        refuse(messages, kPasteTitle,
               "A loop, jump or break would point beyond line " +
                   std::to_string(kMaxLineReference) + ".");
        return out;
    }
    RetitledMessages titled(messages, kPasteTitle);
    const Selection place = Selection::cell(sel.sheet, sel.channel, at, sel.left);
    out.edit = addLines(doc, place, std::to_string(n), AddWhere::Before, &titled);
    if (!out.edit.rows) return out;
    ChannelSheets& lines = doc.sheets.channel(sel.channel);
    writeLines(lines, at, *mapped);
    touchLines(out.edit, sel.channel, at, at + n - 1);
    out.lines = LineRange{at, at + n - 1};
    out.edit.selection = place;
    if (std::string report = senseReport(lines, at, at + n - 1); !report.empty())
        refuse(messages, kPasteTitle, report);
    return out;
}

BlockResult pasteOver(Document& doc, const Selection& sel, std::string_view text,
                      MessagePort* messages) {
    BlockResult out;
    auto block = blockToPaste(doc, sel, text, messages, kPasteOverTitle);
    if (!block) return out;
    ChannelSheets& lines = doc.sheets.channel(sel.channel);
    const int at = sel.row;
    if (isPageEndLine(lines, at)) {
        refuse(messages, kPasteOverTitle, "The page-end line can't be pasted over.");
        return out;
    }
    const int wanted = static_cast<int>(block->lines.size());
    int room = 0;
    while (room < wanted && at + room < lines.lineCount() && !isPageEndLine(lines, at + room))
        ++room;
    block->lines.resize(static_cast<size_t>(room));
    auto mapped = remapRefs(*block, [&](int v) {
        if (auto i = indexOfSource(*block, v)) return at + *i;
        return v;
    });
    if (!mapped) {
        refuse(messages, kPasteOverTitle,
               "A loop, jump or break would point beyond line " +
                   std::to_string(kMaxLineReference) + ".");
        return out;
    }
    writeLines(lines, at, *mapped);
    touchLines(out.edit, sel.channel, at, at + room - 1);
    out.lines = LineRange{at, at + room - 1};
    std::string report;
    if (room < wanted)
        report = std::to_string(room) + " of the " + std::to_string(wanted) +
                 " lines were pasted: " +
                 (at + room < lines.lineCount() ? "the page-end line is never overwritten."
                                                : "the sheet ends there.");
    if (std::string sense = senseReport(lines, at, at + room - 1); !sense.empty())
        report += (report.empty() ? "" : " ") + sense;
    if (!report.empty()) refuse(messages, kPasteOverTitle, report);
    return out;
}

namespace {

UndoScope rowsFrom(const Document& doc, const Selection& sel, int first) {
    if (sel.channel < 0 || sel.channel >= kChannelCount) return UndoScope::allChannels();
    const int last = doc.sheets.channel(sel.channel).lineCount() - 1;
    first = std::clamp(first, 0, last);
    return UndoScope::rowsOf(sel.channel, first, last);
}

}  // namespace

BlockResult undoableCut(Document& doc, UndoHistory& history, const Selection& sel, LineRange range,
                        MessagePort* messages) {
    return recordEdit(doc, history, sel, UndoScope::linesOf(sel.channel), kCutTitle,
                      [&] { return cutLines(doc, sel, range, messages); });
}

BlockResult undoablePaste(Document& doc, UndoHistory& history, const Selection& sel,
                          std::string_view text, MessagePort* messages) {
    return recordEdit(doc, history, sel, UndoScope::linesOf(sel.channel), kPasteTitle,
                      [&] { return pasteLines(doc, sel, text, messages); });
}

BlockResult undoablePasteOver(Document& doc, UndoHistory& history, const Selection& sel,
                              std::string_view text, MessagePort* messages) {
    return recordEdit(doc, history, sel, rowsFrom(doc, sel, sel.row), "Paste Over",
                      [&] { return pasteOver(doc, sel, text, messages); });
}

BlockResult undoableTranspose(Document& doc, UndoHistory& history, const Selection& sel,
                              LineRange range, int semitones, MessagePort* messages) {
    return recordEdit(doc, history, sel, rowsFrom(doc, sel, range.first), "Transpose",
                      [&] { return transposeLines(doc, sel, range, semitones, messages); });
}

}  // namespace kestra
