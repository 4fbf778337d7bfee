#include "encoder/old_note_names.h"

#include <algorithm>
#include <array>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "encoder/break_landings.h"
#include "encoder/note_bytes.h"
#include "format/octave_state.h"
#include "format/stream_def.h"
#include "model/hex_text.h"
#include "model/line_fields.h"

namespace kestra {

namespace {

const NoteNames& tonalNames(int octave) {
    static const std::array<NoteNames, 16> kNames = [] {
        std::array<NoteNames, 16> n;
        for (size_t o = 0; o < n.size(); ++o) buildNoteNames(n[o], static_cast<int>(o), false);
        return n;
    }();
    return kNames[static_cast<size_t>(std::clamp(octave, 0, 15))];
}

bool isSetField(std::string_view f) {
    return !f.empty() && f.find_first_not_of('-') != std::string_view::npos;
}
std::optional<std::uint8_t> hexField(std::string_view f) {
    auto v = tryHexTextToInt(f);
    if (!v || *v < 0 || *v > 0xFF) return std::nullopt;
    return static_cast<std::uint8_t>(*v);
}

// The pitch code a name had under the older rule: octave 6 or 7 raised to 8 or 9 also took the
// names of octave 0 or 1.
int oldCode(int octave, const std::string& name) {
    int code = noteCode(tonalNames(octave), name);
    if (code < 0 && (octave == 8 || octave == 9)) code = noteCode(tonalNames(octave - 8), name);
    return code;
}

// One channel's lines as Music records (renamed in place) and Break records; returns how many
// Note fields changed.
int renameRecords(std::vector<std::string>& music, const std::string& breakText) {
    const FrameTexts breakFrame{breakText};
    BreakLandings landings(&breakFrame, 1);
    int oldOctave = 0, oldToggle = 0;
    OctaveState state;
    int renamed = 0;
    for (size_t r = 0; r < music.size(); ++r) {
        std::string_view rec = music[r];
        std::string note(field(rec, mf::kNote, 3));
        if (note == "|||" || note == "...") break;
        landings.apply(0, static_cast<int>(r), state);
        if (auto oct = field(rec, mf::kOct, 2); isSetField(oct)) {
            auto dec = tryDecTextToInt(oct);
            oldOctave = dec && *dec >= 0 && *dec <= 9 ? static_cast<int>(*dec) : 0;
            oldToggle = 0;
            if (auto v = hexField(oct)) state.octaveCommand(*v);
        }
        if (auto flag = field(rec, mf::kFlag, 2); isSetField(flag))
            if (auto v = hexField(flag)) state.flagCommand(*v);
        if (isSetField(field(rec, mf::kPlus, 2))) {
            oldToggle ^= 2;
            oldOctave = std::max(oldToggle == 2 ? oldOctave + 2 : oldOctave - 2, 0);
            state.togglePlus();
        }
        if (note == "---" || note == "^^^" || note == "///") continue;
        int code = oldCode(oldOctave, note);
        if (code < 0) continue;  // it never encoded: left for the octave check to report
        const std::string& now = tonalNames(state.octave())[static_cast<size_t>(code - kRestCode)];
        if (now != note && now.size() == 3) {
            music[r].replace(0, 3, now);
            ++renamed;
        }
    }
    return renamed;
}

int renameChannel(ChannelSheets& ch) {
    std::vector<std::string> music;
    std::string breaks;
    for (int r = 0; r < ch.lineCount(); ++r) {
        music.emplace_back(ch.music.record(r));
        breaks += ch.brk.record(r);
    }
    int renamed = renameRecords(music, breaks);
    for (int r = 0; renamed > 0 && r < static_cast<int>(music.size()); ++r)
        if (ch.music.cell(r, music::kNote) !=
            std::string_view(music[static_cast<size_t>(r)]).substr(0, 3))
            ch.music.setCell(r, music::kNote, music[static_cast<size_t>(r)].substr(0, 3));
    return renamed;
}

// What reading remembered of the lines was named the old way too: renamed alike, the lines
// still match the sheets and keep their bytes.
void renameMemory(ChannelMemory& memory) {
    std::vector<std::string> music;
    std::string breaks;
    for (size_t r = 0; r < memory.lines.size(); ++r) {
        music.emplace_back(memory.record(0, r));
        breaks += memory.record(2, r);
    }
    if (renameRecords(music, breaks) == 0) return;
    std::string records;
    for (const std::string& record : music) records += record;
    memory.records[0] = std::make_shared<std::string>(std::move(records));
}

}  // namespace

int renameOldNoteNames(Sheets& sheets, ReadMemory* memory) {
    int renamed = 0;
    // Noise pitches have no octave.
    for (int ch = 0; ch < kNoise; ++ch) {
        renamed += renameChannel(sheets.channel(ch));
        if (memory && (*memory)[static_cast<size_t>(ch)])
            renameMemory(*(*memory)[static_cast<size_t>(ch)]);
    }
    return renamed;
}

}  // namespace kestra
