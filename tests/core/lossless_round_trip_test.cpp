// A song read and written back unedited at its own address keeps its exact bytes; an edited
// channel, or one written elsewhere, is encoded from its sheets.
#include <gtest/gtest.h>

#include <fstream>
#include <functional>
#include <random>

#include "editing/line_commands.h"
#include "editing/song_file_actions.h"
#include "editing/undoable_edits.h"
#include "encoder/placement_checks.h"
#include "encoder/song_encoder.h"
#include "format/stream_def.h"
#include "rom/song_table.h"
#include "test_files.h"

namespace kestra {
namespace {

using fixtures::StreamBuilder;

using testing::hexOf;

struct ReadSong {
    FileState fs;
    fixtures::BuiltFile built;
    Document doc;
    bool read = false;
};

std::unique_ptr<ReadSong> readBuilt(Layout layout, const fixtures::SongSpec& songSpec) {
    auto r = std::make_unique<ReadSong>();
    auto f = testing::recognised(layout, {songSpec});
    r->built = f.built;
    r->fs = r->doc.file = f.fs;
    r->read = decodeSong(r->doc, r->built.bytes, r->built.songs[0].headerOffset);
    return r;
}

// The shown sheets encoded as Song ID 1 with its header at `header` (0: where it was read), with
// what reading remembered unless `memory` is off.
std::optional<EncodedSong> encoded(ReadSong& r, ErrorBox& box, std::uint32_t header = 0,
                                   bool memory = true, const FileState* file = nullptr) {
    return encodeSong(songFrames(r.doc.sheets, r.doc.frames), file ? *file : r.fs,
                      header ? header : r.built.songs[0].headerOffset, 1, box,
                      memory ? &r.doc.memory() : nullptr);
}

// The file after the shown sheets are written as Song ID 1 with its header at `header`.
std::optional<Bytes> written(ReadSong& r, std::uint32_t header, std::string* problem = nullptr) {
    ErrorBox box;
    auto song = encoded(r, box, header);
    if (!song) {
        if (problem) *problem = box.text();
        return std::nullopt;
    }
    return patchedCopy(r.built.bytes, *song);
}

// Channel c's stream as it stands in `file` for the song read.
Bytes streamIn(const ReadSong& r, const Bytes& file, int c) {
    auto address =
        channelAddressOf(r.fs, r.built.songs[0].pointers[static_cast<size_t>(c)]).value();
    return readChannelBytes(r.fs, file, r.built.songs[0].headerOffset, address, c).value();
}

fixtures::SongSpec squareOne(const fixtures::ChannelStream& s) {
    fixtures::SongSpec songSpec;
    songSpec.channels[0] = s;
    return songSpec;
}

struct StreamCase {
    const char* what;
    fixtures::ChannelStream stream;
    std::optional<fixtures::ChannelStream> squareTwo = std::nullopt;
};

class KeptStream : public ::testing::TestWithParam<StreamCase> {};

TEST_P(KeptStream, ReadAndWrittenBackUneditedGivesTheSameBytes) {
    const auto& c = GetParam();
    for (Layout layout : fixtures::allLayouts()) {
        fixtures::SongSpec songSpec = squareOne(c.stream);
        songSpec.channels[1] = c.squareTwo;
        auto r = readBuilt(layout, songSpec);
        ASSERT_TRUE(r->read) << c.what << ": " << r->doc.errors.text();
        std::string problem;
        auto out = written(*r, r->built.songs[0].headerOffset, &problem);
        ASSERT_TRUE(out) << c.what << ": " << problem;
        EXPECT_EQ(hexOf(streamIn(*r, *out, 0)), hexOf(streamIn(*r, r->built.bytes, 0))) << c.what;
        EXPECT_TRUE(*out == r->built.bytes) << c.what << " in " << layoutName(layout);
    }
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(
    Streams, KeptStream,
    ::testing::Values(
        StreamCase{"commands in the file's order",
                   fixtures::plain({0x06, 0xC8, 0x07, 0x0A, 0x08, 0x01, 0x21, 0x17})},
        StreamCase{"a command twice on a line",
                   fixtures::plain({0x04, 0x00, 0x04, 0x00, 0x21, 0x17})},
        StreamCase{"connected notes", fixtures::plain({0x01, 0x57, 0x01, 0x77, 0x17})},
        StreamCase{"held by a flag",
                   fixtures::plain({0x04, 0x40, 0x21, 0x21, 0x21, 0x01, 0x21, 0x21, 0x17})},
        StreamCase{"hidden pitch",
                   fixtures::plain({0x04, 0x40, 0x21, 0x25, 0x01, 0x21, 0x22, 0x17})},
        StreamCase{"slur under a slide",
                   fixtures::plain({0x0D, 0x3C, 0x01, 0x8F, 0x8D, 0x02, 0x01, 0xCD, 0x8B, 0x17})},
        StreamCase{"speed before the end", fixtures::plain({0x21, 0x05, 0x02, 0x00, 0x17})},
        StreamCase{"volume before a loop", fixtures::stream("0: 21 07 0A 0E 02 >0 22 17")},
        StreamCase{"loop before break", fixtures::stream("0: 21 1: 22 0E 01 >1 13 00 >0 23 17")},
        StreamCase{"target between a line's commands",
                   fixtures::stream("00 t: 09 03 21 22 0E 01 >t 00 17")},
        StreamCase{"a jump into another channel's stream, kept at its own address",
                   fixtures::plain({0x21, 0x22, 0x23, 0x17}),
                   StreamBuilder().raw({0x24}).jumpToChannel(0, 1).end().build()}));
// clang-format on

TEST(KeptStream, AnEditedChannelIsEncodedFromItsSheetsAndTheOthersKeepTheirBytes) {
    fixtures::SongSpec songSpec;
    songSpec.channels[0] = fixtures::plain({0x06, 0xC8, 0x07, 0x0A, 0x08, 0x01, 0x21, 0x17});
    songSpec.channels[1] = fixtures::plain({0x04, 0x00, 0x04, 0x00, 0x21, 0x17});
    auto r = readBuilt(Layout::Nsf, songSpec);
    ASSERT_TRUE(r->read);
    std::uint32_t header = r->built.songs[0].headerOffset;
    r->doc.sheets.channel(0).music.setCell(0, music::kVol, "B");
    auto out = written(*r, header);
    ASSERT_TRUE(out);
    EXPECT_EQ(hexOf(streamIn(*r, *out, 0)), "07 0B 08 01 06 C8 21 17");
    // Square One's stream is as long as before, so Square Two stays where it was.
    EXPECT_EQ(hexOf(streamIn(*r, *out, 1)), "04 00 04 00 21 17");
}

TEST(KeptStream, WrittenAtAnotherAddressTheLinesKeepTheirBytes) {
    auto r =
        readBuilt(Layout::Nsf, squareOne(fixtures::stream("t: 06 C8 07 0A 08 01 21 0E 02 >t 17")));
    ASSERT_TRUE(r->read);
    std::uint32_t elsewhere = r->built.dataEnd + 0x10;
    ErrorBox box;
    auto song = encoded(*r, box, elsewhere);
    ASSERT_TRUE(song) << box.text();
    // The loop follows the channel to its new place.
    std::uint16_t start = song->channels[0].startAddress;
    EXPECT_EQ(hexOf(song->channels[0].bytes), "06 C8 07 0A 08 01 21 0E 02 " +
                                                  intToHexText(start >> 8, 2) + " " +
                                                  intToHexText(start & 0xFF, 2) + " 17");
}

// Lines added and removed in the three sheets, without the line commands' reference shifting.
void addLinesAt(ChannelSheets& s, int at, int n) {
    for (Sheet* sheet : {&s.music, &s.loop, &s.brk}) sheet->insertRows(at, n);
    initSheetRows(s, at, at + n - 1);
}
void removeLineAt(ChannelSheets& s, int at) {
    for (Sheet* sheet : {&s.music, &s.loop, &s.brk}) sheet->removeRows(at, 1);
}

// Which lines an edit re-encodes: only the note it touches; the others keep their bytes.
struct LineEditCase {
    const char* what;
    Bytes stream;
    std::function<void(ChannelSheets&)> edit;
    const char* expected;
};

TEST(KeptStream, AnEditReencodesOnlyTheNoteItTouches) {
    const Bytes three = {0x06, 0xC8, 0x07, 0x0A, 0x21, 0x08, 0x01, 0x04, 0x00,
                         0x04, 0x00, 0x22, 0x09, 0x00, 0x07, 0x03, 0x23, 0x17};
    const Bytes held = {0x07, 0x03, 0x21, 0x04, 0x40, 0x05, 0x02, 0x00,
                        0x25, 0x01, 0x21, 0x07, 0x03, 0x24, 0x17};
    const Bytes slide = {0x0D, 0x05, 0x21, 0x22, 0x23, 0x17};
    std::vector<LineEditCase> cases = {
        {"a cell of the middle line", three,
         [](ChannelSheets& s) { s.music.setCell(1, music::kIns, "02"); },
         "06 C8 07 0A 21 08 02 04 00 22 09 00 07 03 23 17"},
        {"a line added before the last note", three,
         [](ChannelSheets& s) {
             addLinesAt(s, 2, 1);
             s.music.setCell(2, music::kNote, "D-0");
         },
         "06 C8 07 0A 21 08 01 04 00 04 00 22 23 09 00 07 03 23 17"},
        {"the first line removed", three, [](ChannelSheets& s) { removeLineAt(s, 0); },
         "08 01 04 00 04 00 22 09 00 07 03 23 17"},
        // E-0 with C-0 hidden under it: only the shown note's byte takes the new pitch.
        {"the name of a held note", held,
         [](ChannelSheets& s) { s.music.setCell(1, music::kNote, "D-0"); },
         "07 03 21 04 40 05 02 00 23 01 21 07 03 24 17"},
        {"the length of a held note", held, [](ChannelSheets& s) { removeLineAt(s, 2); },
         "07 03 21 04 40 05 02 00 25 07 03 24 17"},
        {"a new pitch after a slide changes one byte", slide,
         [](ChannelSheets& s) { s.music.setCell(1, music::kNote, "D#0"); }, "0D 05 21 24 23 17"},
        // The slide's Connect went out with the remembered note: none before the edited one.
        {"a line after a slide encoded from its cells", slide,
         [](ChannelSheets& s) {
             s.music.setCell(1, music::kNote, "D#0");
             s.music.setCell(1, music::kVol, "3");
         },
         "0D 05 21 07 03 24 23 17"},
        {"a new pitch under octave-plus",
         {0x03, 0x07, 0x02, 0x21, 0x22, 0x17},
         [](ChannelSheets& s) { s.music.setCell(1, music::kNote, "C-2"); },
         "03 07 02 21 21 17"},
    };
    for (const auto& c : cases) {
        auto r = readBuilt(Layout::Nsf, squareOne(fixtures::ChannelStream{c.stream, {}}));
        ASSERT_TRUE(r->read) << c.what;
        c.edit(r->doc.sheets.channel(0));
        ErrorBox box;
        auto song = encoded(*r, box);
        ASSERT_TRUE(song) << c.what << ": " << box.text();
        EXPECT_EQ(hexOf(song->channels[0].bytes), c.expected) << c.what;
    }
}

// A note whose length changed keeps its line's commands as read (Instrument before Volume, where
// the cells would put Volume first); the rest is what its cells give, a Loop after it included.
TEST(KeptStream, ANewLengthReencodesOnlyTheNote) {
    struct Case {
        const char* what;
        fixtures::ChannelStream stream;
        std::function<void(ChannelSheets&)> edit;
    };
    const Case cases[] = {
        {"made shorter", fixtures::plain({0x08, 0x01, 0x07, 0x03, 0x41, 0x22, 0x17}),
         [](ChannelSheets& s) { removeLineAt(s, 1); }},
        {"made longer, a Loop after it", fixtures::stream("a: 08 01 07 03 21 0E 02 >a 22 17"),
         [](ChannelSheets& s) { addLinesAt(s, 1, 1); }},
    };
    for (const Case& c : cases) {
        auto r = readBuilt(Layout::Nsf, squareOne(c.stream));
        ASSERT_TRUE(r->read && r->doc.memory()[0]) << c.what;
        c.edit(r->doc.sheets.channel(0));
        ErrorBox box;
        auto fromCells = encoded(*r, box, 0, false);
        auto song = encoded(*r, box);
        ASSERT_TRUE(song && fromCells) << c.what << ": " << box.text();
        Bytes expected = fromCells->channels[0].bytes;
        ASSERT_EQ(hexOf(Bytes(expected.begin(), expected.begin() + 4)), "07 03 08 01") << c.what;
        std::copy_n(r->doc.memory()[0]->bytes.begin(), 4, expected.begin());
        EXPECT_EQ(hexOf(song->channels[0].bytes), hexOf(expected)) << c.what;
    }
}

// A line added before everything renumbers every target: lines whose text changed only by that
// keep their bytes (a held note's Connects, a Loop before a Break), with the targets moved.
TEST(KeptStream, RenumberedTargetsKeepTheLinesBytes) {
    auto r = readBuilt(Layout::Nsf,
                       squareOne(fixtures::stream("a: 21 01 43 01 23 0E 02 >a 12 00 >b b: 24 17")));
    ASSERT_TRUE(r->read && r->doc.memory()[0]);
    Bytes expected = {0x20};
    for (std::uint8_t b : r->doc.memory()[0]->bytes) expected.push_back(b);
    for (size_t lo : {9u, 13u}) {  // the targets' low bytes: one byte later now
        ASSERT_LT(expected[lo], 0xFF);
        ++expected[lo];
    }
    addLinesAt(r->doc.sheets.channel(0), 0, 1);
    shiftLineRefs(r->doc.sheets.channel(0), 1, 0, AddWhere::Before, false);
    ErrorBox box;
    auto song = encoded(*r, box);
    ASSERT_TRUE(song) << box.text();
    EXPECT_EQ(hexOf(song->channels[0].bytes), hexOf(expected));
}

TEST(KeptStream, WhatWasReadGoesBackAndForthWithUndo) {
    fixtures::SongSpec a = squareOne(fixtures::plain({0x06, 0xC8, 0x21, 0x17}));
    fixtures::SongSpec b = squareOne(fixtures::plain({0x04, 0x00, 0x04, 0x00, 0x22, 0x17}));
    auto f = testing::recognised(Layout::Nsf, {a, b});
    Document doc;
    doc.file = f.fs;
    UndoHistory history;
    std::vector<ReadMemory> seen;
    for (const auto& song : f.built.songs) {
        runRecorded(doc, history, UndoScope::everything(), {},
                    [&] { decodeSong(doc, f.built.bytes, song.headerOffset); });
        seen.push_back(doc.memory());
    }
    ASSERT_TRUE(seen[0][0] && seen[1][0] && !(seen[0] == seen[1]));
    ASSERT_TRUE(history.undo(doc.sheets, doc.frames, &doc.readMemory));
    EXPECT_TRUE(doc.memory() == seen[0]);
    ASSERT_TRUE(history.redo(doc.sheets, doc.frames, &doc.readMemory));
    EXPECT_TRUE(doc.memory() == seen[1]);
}

TEST(KeptStream, ASavedSongFileStillWritesTheBytesRead) {
    auto r = readBuilt(Layout::Rom49, squareOne(fixtures::plain({0x06, 0xC8, 0x07, 0x0A, 0x08, 0x01,
                                                                 0x21, 0x05, 0x02, 0x00, 0x17})));
    ASSERT_TRUE(r->read);
    testing::TempDir dir;
    std::string path = dir.file("kept.ksong");
    ASSERT_TRUE(writeSongFile(path, r->doc).ok());
    // Opened in a fresh editor on the same file.
    ReadSong fresh;
    fresh.fs = r->fs;
    fresh.built = r->built;
    fresh.doc.file = r->fs;
    UndoHistory history;
    ASSERT_TRUE(readSongFileInto(fresh.doc, history, path, {}).ok());
    auto out = written(fresh, r->built.songs[0].headerOffset);
    ASSERT_TRUE(out);
    EXPECT_TRUE(*out == r->built.bytes);
}

// Random streams with every feature the reader knows: commands in any order and repeated,
// connect bits, Connect and Dotted prefixes, slides, targets anywhere (also between a line's
// commands and into another channel), commands just before the End.
fixtures::ChannelStream randomStream(std::mt19937& rng, bool noise, int channel,
                                     const std::array<size_t, 4>& sizes) {
    auto pick = [&](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); };
    auto chance = [&](int in) { return pick(1, in) == 1; };
    auto byte = [](int v) { return static_cast<std::uint8_t>(v); };
    static constexpr std::uint8_t kWithOperand[] = {
        cmd::kVolume, cmd::kInstrument, cmd::kOctave,   cmd::kToneLength, cmd::kPitch,
        cmd::kSlide,  cmd::kFlag,       cmd::kToneType, cmd::kTranspose,  cmd::kTransposeAll};
    StreamBuilder s;
    std::vector<std::string> labels;
    auto target = [&] {
        return labels[static_cast<size_t>(pick(0, static_cast<int>(labels.size()) - 1))];
    };
    auto maybeLabel = [&](int n) {
        if (!chance(4)) return;
        labels.push_back("l" + std::to_string(n) + "-" + std::to_string(s.size()));
        s.label(labels.back());
    };
    int lines = pick(1, 25);
    for (int n = 0; n < lines; ++n) {
        maybeLabel(n);
        for (int k = pick(0, 4); k > 0; --k) {
            int what = pick(0, 12);
            if (what < 10) {
                std::uint8_t c = kWithOperand[what];
                int operand = c == cmd::kOctave ? pick(0, 15) : pick(0, 255);
                s.raw({c, byte(operand)});
            } else if (what == 10) {
                s.raw({cmd::kSpeed, byte(pick(0, 255)), byte(pick(0, 255))});
            } else if (what == 11) {
                s.raw({cmd::kTriplet});
            } else {
                s.raw({cmd::kOctavePlus});
            }
            maybeLabel(n);
        }
        if (chance(4)) s.raw({cmd::kConnect});
        int code = pick(1, 7);
        if (chance(5)) s.raw({cmd::kDotted});
        if (chance(6)) s.raw({cmd::kConnect});
        s.raw({byte(code << 5 | (noise ? pick(0, 16) : pick(0, 31)))});
        if (labels.empty()) continue;
        for (int k = pick(0, 2); k > 0; --k) {
            int what = pick(0, 2);
            if (what == 0) s.brk(pick(1, 4), byte(pick(0, 255)), target());
            if (what == 1) s.loop(pick(1, 4), byte(pick(1, 3)), target());
            if (what == 2) s.jump(target());
        }
        if (channel > 0 && chance(20)) {
            int other = pick(0, channel - 1);
            s.jumpToChannel(other,
                            static_cast<size_t>(
                                pick(0, static_cast<int>(sizes[static_cast<size_t>(other)]) - 1)));
        }
    }
    if (chance(3)) s.raw({cmd::kVolume, byte(pick(0, 15))});
    return s.end().build();
}

class RandomKeptSongs : public ::testing::TestWithParam<Layout> {};

TEST_P(RandomKeptSongs, ComeBackByteForByte) {
    Layout layout = GetParam();
    int same = 0;
    int tried = 0;
    for (unsigned seed = 1; seed <= 150; ++seed) {
        std::mt19937 rng(seed);
        fixtures::SongSpec songSpec;
        std::array<size_t, 4> sizes{};
        for (int c = 0; c < 4; ++c) {
            songSpec.channels[static_cast<size_t>(c)] = randomStream(rng, c == kNoise, c, sizes);
            sizes[static_cast<size_t>(c)] = songSpec.channels[static_cast<size_t>(c)]->bytes.size();
        }
        auto r = readBuilt(layout, songSpec);
        if (!r->read) continue;  // the reader refuses some random streams (e.g. runaway ones)
        ++tried;
        std::string problem;
        auto out = written(*r, r->built.songs[0].headerOffset, &problem);
        ASSERT_TRUE(out) << "seed " << seed << ": " << problem;
        if (*out == r->built.bytes) ++same;
        EXPECT_TRUE(*out == r->built.bytes) << "seed " << seed;
    }
    EXPECT_GT(tried, 100);
    EXPECT_EQ(same, tried);
}

// One note of a random song edited (its Volume cell): the song comes back as the bytes read
// before the note, the note encoded from its cells, and the bytes read after it, with the
// targets past the note moved by the change in length.
TEST(RandomKeptSongs, AnEditedNoteChangesOnlyItsOwnBytes) {
    int checked = 0;
    for (unsigned seed = 1; seed <= 300; ++seed) {
        std::mt19937 rng(seed);
        auto r = readBuilt(Layout::Nsf, squareOne(randomStream(rng, false, 0, {})));
        if (!r->read || !r->doc.memory()[0]) continue;
        const ChannelMemory& m = *r->doc.memory()[0];
        std::vector<int> starts;
        for (size_t row = 0; row + 1 < m.lines.size(); ++row)
            if (m.lines[row].groupLines > 0) starts.push_back(static_cast<int>(row));
        if (starts.empty()) continue;
        int row = starts[rng() % starts.size()];
        const LineMemory& first = m.lines[static_cast<size_t>(row)];
        std::uint32_t begin = first.begin;
        std::uint32_t end = m.lines[static_cast<size_t>(row + first.groupLines - 1)].end;
        // Where each target operand is, and the place in the stream it names.
        std::vector<std::pair<size_t, long>> targets;
        for (size_t i : commandPositions(m.bytes)) {
            std::uint8_t b = m.bytes[i];
            if (!isLoop(b) && !isBreak(b) && !isJump(b)) continue;
            size_t hi = i + (isJump(b) ? 1 : 2);
            targets.push_back({hi, (m.bytes[hi] << 8 | m.bytes[hi + 1]) - long(m.pointer)});
        }
        // Targets inside the note have no place of their own once it is re-encoded.
        if (std::any_of(targets.begin(), targets.end(),
                        [&](auto t) { return t.second > long(begin) && t.second < long(end); }))
            continue;

        Sheet& music = r->doc.sheets.channel(0).music;
        music.setCell(row, music::kVol, music.cell(row, music::kVol) == "5" ? "6" : "5");
        ErrorBox box;
        auto song = encoded(*r, box);
        if (!song) continue;  // e.g. a note the cells name in an octave that cannot play it
        const Bytes& out = song->channels[0].bytes;
        long delta = static_cast<long>(out.size()) - static_cast<long>(m.bytes.size());
        Bytes expected = m.bytes;
        for (auto [hi, t] : targets) {
            if (t < long(end)) continue;
            long v = t + long(m.pointer) + delta;
            expected[hi] = static_cast<std::uint8_t>(v >> 8);
            expected[hi + 1] = static_cast<std::uint8_t>(v & 0xFF);
        }
        ASSERT_GE(static_cast<long>(out.size()), static_cast<long>(m.bytes.size() - (end - begin)));
        EXPECT_TRUE(std::equal(expected.begin(), expected.begin() + begin, out.begin()))
            << "seed " << seed << " row " << row;
        EXPECT_TRUE(std::equal(expected.begin() + end, expected.end(),
                               out.end() - static_cast<long>(m.bytes.size() - end)))
            << "seed " << seed << " row " << row;
        ++checked;
    }
    EXPECT_GT(checked, 150);
}

// One note's pitch of a random song edited (a held note of one note byte): exactly that byte
// changes, whatever slides, connects and octave commands stand around it.
TEST(RandomKeptSongs, ANewPitchChangesOnlyItsNoteByte) {
    int checked = 0;
    for (unsigned seed = 1; seed <= 300; ++seed) {
        std::mt19937 rng(seed);
        auto r = readBuilt(Layout::Nsf, squareOne(randomStream(rng, false, 0, {})));
        if (!r->read || !r->doc.memory()[0]) continue;
        const ChannelMemory& m = *r->doc.memory()[0];
        Sheet& music = r->doc.sheets.channel(0).music;
        std::vector<std::pair<int, size_t>> candidates;  // row, its only note byte
        for (size_t row = 0; row + 1 < m.lines.size(); ++row) {
            const LineMemory& first = m.lines[row];
            if (first.groupLines == 0) continue;
            std::vector<size_t> notes;
            for (size_t i : commandPositions(m.bytes))
                if (i >= first.begin && i < m.lines[row + first.groupLines - 1].end &&
                    isNote(m.bytes[i]))
                    notes.push_back(i);
            if (notes.size() == 1 && notePitch(m.bytes[notes[0]]) > 0)
                candidates.push_back({static_cast<int>(row), notes[0]});
        }
        if (candidates.empty()) continue;
        auto [row, at] = candidates[rng() % candidates.size()];
        const std::string name(music.cell(row, music::kNote));
        int pitch = notePitch(m.bytes[at]);
        const char* digits = "0123456789ABCDEFGHIJKLMNOPQRSTUV";
        int octave = static_cast<int>(std::string_view(digits).find(name[2])) - (pitch - 1) / 12;
        if (octave < 0 || noteNames(octave, false)[static_cast<size_t>(pitch)] != name) continue;
        int newPitch = pitch < 31 ? pitch + 1 : pitch - 1;
        music.setCell(row, music::kNote, noteNames(octave, false)[static_cast<size_t>(newPitch)]);
        ErrorBox box;
        auto song = encoded(*r, box);
        ASSERT_TRUE(song) << "seed " << seed << ": " << box.text();
        Bytes expected = m.bytes;
        expected[at] = static_cast<std::uint8_t>((expected[at] & 0xE0) | newPitch);
        EXPECT_EQ(hexOf(song->channels[0].bytes), hexOf(expected))
            << "seed " << seed << " row " << row;
        ++checked;
    }
    EXPECT_GT(checked, 150);
}

INSTANTIATE_TEST_SUITE_P(Layouts, RandomKeptSongs, ::testing::ValuesIn(fixtures::allLayouts()),
                         testing::layoutParamName);

TEST(CliRoundtrip, EverySampleSongIsTheSameInEveryLayout) {
    testing::TempDir folder;
    for (Layout layout : fixtures::allLayouts()) {
        auto built = fixtures::buildFile(layout, fixtures::sampleSongs());
        std::string path = folder.write("songs" + fixtures::extensionFor(layout), built.bytes);
        int status = -1;
        std::string out = testing::runCliExit("roundtrip " + path, &status);
        EXPECT_EQ(status, 0) << layoutName(layout) << "\n" << out;
        EXPECT_NE(out.find("1 same\n"), std::string::npos) << out;
        EXPECT_NE(out.find("total: "), std::string::npos) << out;
        EXPECT_EQ(out.find("differs"), std::string::npos) << out;

        // A song dumped with what reading remembered, edited in one line and created again:
        // the other lines keep their bytes, so the file changes in the note's byte only.
        std::string header = intToHexText(built.songs[1].headerOffset, 5);
        std::string song = folder.file("loops.ksong");
        std::string dumped =
            testing::runCliExit("dump " + path + " " + header + " --remember", &status);
        ASSERT_EQ(status, 0) << dumped;
        size_t at = dumped.find("\n001 C-2");
        ASSERT_NE(at, std::string::npos) << dumped;
        dumped.replace(at + 5, 1, "D");  // C-2 -> D-2 on line 1
        { std::ofstream(song, std::ios::binary) << dumped; }
        out = testing::runCliExit("create " + path + " " + header + " 2 " + song, &status);
        EXPECT_EQ(status, 0) << out;
        auto after = readFileBytes(path);
        ASSERT_TRUE(after);
        size_t differing = 0;
        for (size_t i = 0; i < after->size(); ++i) differing += (*after)[i] != built.bytes[i];
        EXPECT_EQ(differing, 1u) << layoutName(layout);
    }
}

}  // namespace
}  // namespace kestra
