#include "view/show_song.h"

#include <algorithm>
#include <array>
#include <string_view>

#include "model/frame_checks.h"
#include "model/guard.h"
#include "model/hex_text.h"
#include "view/channel_walk.h"

namespace kestra {

namespace {

// Keeps each shown line as a compact row.
class SongRowWriter : public ShownLineSink {
  public:
    explicit SongRowWriter(SongRows& song) : song_(song) {}
    void show(const ShownLine& line) override {
        song_.add(line.cells, line.octave, line.frame, line.line);
    }

  private:
    SongRows& song_;
};

std::string withThousands(int v) {
    std::string digits = std::to_string(v);
    for (int at = static_cast<int>(digits.size()) - 3; at > 0; at -= 3)
        digits.insert(static_cast<size_t>(at), ",");
    return digits;
}

}  // namespace

bool showChannel(int frameCount, const std::string& channelName, const FrameTexts& musicFrames,
                 const FrameTexts& loopFrames, const FrameTexts& breakFrames, SongRows& song,
                 ErrorBox& errors, int rowLimit) {
    song.setNumbered();
    FrameEnds ends;
    if (!checkFrameEnds(musicFrames, frameCount, channelName, errors, ends)) return false;

    ChannelWalk walk(frameCount, musicFrames, loopFrames, breakFrames, rowLimit, kShowLinesPerRow);
    SongRowWriter writer(song);
    WalkEnd end;
    try {
        end = walk.run(&writer);
    } catch (const ConversionError& e) {
        throw ConversionError(std::string(e.what()) + " Channel " + channelName + ", frame " +
                              std::to_string(walk.frame()) + ", line " +
                              std::to_string(walk.line()) + ".");
    }
    if (end == WalkEnd::PageEnd) {
        song.addEndRow();
        return true;
    }
    const int kept = song.stored();
    const std::string shown = kept == 0 ? " No row is shown."
                              : kept == 1
                                  ? " Only the first row is shown."
                                  : " Only the first " + std::to_string(kept) + " rows are shown.";
    if (end == WalkEnd::Cut && walk.provenEndless())
        errors.report("The song of channel " + channelName +
                      " does not reach its page end: a loop or jump goes round without end." +
                      shown);
    else if (end == WalkEnd::Cut)
        errors.report("The song of channel " + channelName +
                      " does not reach its page end within " + withThousands(rowLimit) + " rows." +
                      shown);
    else
        errors.report("The song of channel " + channelName + " goes to the frame " +
                      std::to_string(walk.frame()) + " on the line " + std::to_string(walk.line()) +
                      ", which does not exist." + shown);
    return false;
}

bool showSong(Document& doc, MessagePort* messages) {
    auto shown = std::make_shared<ShownSong>();
    const SongFrames frames = songFrames(doc.sheets, doc.frames);
    bool allShown = true;
    for (int ch = 0; ch < kChannelCount; ++ch) {
        allShown &= runGuarded(messages, [&] {
            showChannel(frames.frameCount, kChannelNames[static_cast<size_t>(ch)],
                        frames.frames(ch, SheetKind::Music), frames.frames(ch, SheetKind::Loop),
                        frames.frames(ch, SheetKind::Break),
                        shown->channels[static_cast<size_t>(ch)], doc.errors);
        });
    }
    doc.sheets.shown = std::move(shown);
    return allShown;
}

}  // namespace kestra
