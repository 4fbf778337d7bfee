#include "encoder/note_octaves.h"

#include <string>

#include "encoder/channel_encoder.h"
#include "model/ports.h"

namespace kestra {

std::vector<int> noteOctaves(const ChannelSheets& lines, bool noise) {
    // The encoder itself is asked, on a copy whose notes are rests: notes never change the
    // octave, and a rest can always be sent, so no octave error ends the run early.
    const int count = lines.lineCount();
    std::vector<std::string> music(1), loop(1), brk(1);
    const std::string emptyLoop(kLoopRecordWidth, '-'), emptyBreak(kBreakRecordWidth, '-');
    for (int r = 0; r < count; ++r) {
        std::string rec(lines.music.record(r));
        std::string_view note = std::string_view(rec).substr(0, 3);
        if (note == "|||" || note == "...") {
            music[0] += std::string(kMusicRecordWidth, '-');
            loop[0] += emptyLoop;
            brk[0] += emptyBreak;
            continue;
        }
        if (note != "---" && note != "^^^") rec.replace(0, 3, "///");
        music[0] += rec;
        loop[0] += lines.loop.record(r);
        brk[0] += lines.brk.record(r);
    }
    music[0] += std::string(kMusicRecordWidth, '|');
    loop[0] += std::string(kLoopRecordWidth, '|');
    brk[0] += std::string(kBreakRecordWidth, '|');

    std::vector<int> octaves(static_cast<size_t>(count) + 1, -1);
    const FrameTexts musicFrames{music[0]}, loopFrames{loop[0]}, breakFrames{brk[0]};
    ChannelInput in;
    in.music = &musicFrames;
    in.loop = &loopFrames;
    in.brk = &breakFrames;
    in.noise = noise;
    in.noteOctaves = &octaves;
    ErrorBox scratch;
    std::uint64_t p = 0;
    try {
        (void)createChannelCode(in, p, 0, scratch);
    } catch (const std::exception&) {
        // Damaged cells end the walk; the lines after them keep -1.
    }
    octaves.resize(static_cast<size_t>(count));
    // "---" lines send the pending note again, not one of their own.
    for (int r = 0; r < count; ++r)
        if (lines.music.cell(r, music::kNote) == std::string_view("---"))
            octaves[static_cast<size_t>(r)] = -1;
    return octaves;
}

}  // namespace kestra
