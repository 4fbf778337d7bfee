// Transposition of the notes of whole lines (declared in block_edits.h).
#include <algorithm>
#include <string>
#include <vector>

#include "editing/block_edits.h"
#include "editing/line_clipboard.h"
#include "encoder/note_octaves.h"
#include "format/stream_def.h"

namespace kestra {

namespace {

constexpr const char* kTransposeTitle = "Transpose";
constexpr size_t kMaxListed = 12;

// The pitch index (1-31) of a note name in names, or 0.
int pitchOf(const NoteNames& names, std::string_view note) {
    for (size_t i = 1; i < names.size(); ++i)
        if (!names[i].empty() && names[i] == note) return static_cast<int>(i);
    return 0;
}

}  // namespace

BlockResult transposeLines(Document& doc, const Selection& sel, LineRange range, int semitones,
                           MessagePort* messages) {
    BlockResult out;
    if (sel.sheet == SheetKind::MySong || sel.sheet == SheetKind::FourChan || sel.channel < 0 ||
        sel.channel >= kChannelCount) {
        if (messages)
            messages->messageBox(kTransposeTitle,
                                 "Show the Music, Loop or Break sheet to choose the lines.");
        return out;
    }
    ChannelSheets& lines = doc.sheets.channel(sel.channel);
    const int last = lines.lineCount() - 1;
    range.first = std::clamp(range.first, 0, last);
    range.last = std::clamp(range.last, range.first, last);
    const bool noise = sel.channel == kNoise;
    // Noise pitches go from 0-# to F-#; tonal notes use every pitch of the octave in force.
    const int highest = noise ? 16 : 31;
    const std::vector<int> octaves = noteOctaves(lines, noise);

    std::vector<std::string> leftAlone;
    NoteNames names;
    int namesOctave = -1;
    for (int r = range.first; r <= range.last; ++r) {
        const std::string note(lines.music.cell(r, music::kNote));
        if (note == "---" || note == "///" || note == "^^^" || isPageEndLine(lines, r)) continue;
        const int octave = octaves[static_cast<size_t>(r)];
        if (octave >= 0 && octave != namesOctave) {
            names = noteNames(octave, noise);
            namesOctave = octave;
        }
        const int pitch = octave >= 0 ? pitchOf(names, note) : 0;
        const int moved = pitch + semitones;
        if (pitch == 0 || moved < 1 || moved > highest) {
            leftAlone.push_back("line " + std::to_string(r) + " (" + note + ")");
            continue;
        }
        lines.music.setCell(r, music::kNote, names[static_cast<size_t>(moved)]);
    }
    out.edit.touch(sel.channel, SheetKind::Music, range.first, range.last);
    out.lines = range;
    if (!leftAlone.empty() && messages) {
        std::string text =
            "These notes were left alone: moved, they would leave what the octave in force on "
            "their line can play: ";
        for (size_t i = 0; i < leftAlone.size() && i < kMaxListed; ++i)
            text += (i ? ", " : "") + leftAlone[i];
        if (leftAlone.size() > kMaxListed)
            text += " and " + std::to_string(leftAlone.size() - kMaxListed) + " more";
        messages->messageBox(kTransposeTitle, text + ".");
    }
    return out;
}

}  // namespace kestra
