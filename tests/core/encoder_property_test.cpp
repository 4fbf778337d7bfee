#include <gtest/gtest.h>

#include <random>

#include "encoder/placement_checks.h"
#include "encoder/song_encoder.h"
#include "format/stream_def.h"
#include "rom/song_table.h"
#include "test_files.h"

namespace kestra {
namespace {

// Random streams in the writer's own form, line by line: a line's commands in the writer's
// order, its note (one piece, dotted or not), then its Break, Loop and Jump commands in the
// writer's order, targeting the starts of earlier lines. Such a stream must come back byte for
// byte. Left out: the connect bit of flags and breaks, Connect commands and slides, which make
// the reader hide notes or the writer add Connect commands.
fixtures::ChannelStream randomStream(std::mt19937& rng, bool noise) {
    auto pick = [&](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); };
    auto chance = [&](int in) { return pick(1, in) == 1; };
    auto byte = [](int v) { return static_cast<std::uint8_t>(v); };
    fixtures::StreamBuilder s;
    std::vector<std::string> labels;
    int lines = pick(1, 30);
    for (int n = 0; n < lines; ++n) {
        if (chance(3)) {
            labels.push_back("l" + std::to_string(n));
            s.label(labels.back());
        }
        if (chance(6)) s.raw({cmd::kTriplet});
        if (chance(5)) s.raw({cmd::kVolume, byte(pick(0, 15))});
        if (chance(5)) s.raw({cmd::kInstrument, byte(pick(0, 255))});
        if (chance(6)) s.raw({cmd::kOctave, byte(pick(0, 15))});
        if (chance(6)) s.raw({cmd::kToneLength, byte(pick(0, 255))});
        if (chance(6)) s.raw({cmd::kPitch, byte(pick(0, 255))});
        if (chance(6)) s.raw({cmd::kFlag, byte(pick(0, 255) & ~cmd::kConnectBit)});
        if (chance(6)) s.raw({cmd::kToneType, byte(pick(0, 255))});
        if (chance(8)) s.raw({cmd::kTranspose, byte(pick(0, 255))});
        if (chance(8)) s.raw({cmd::kTransposeAll, byte(pick(0, 255))});
        if (chance(8)) s.raw({cmd::kSpeed, byte(pick(0, 255)), byte(pick(0, 255))});
        if (chance(6)) s.raw({cmd::kOctavePlus});
        int code = pick(1, 7);
        if (code > 1 && code < 7 && chance(4)) s.raw({cmd::kDotted});
        s.raw({byte(code << 5 | (noise ? pick(0, 16) : pick(0, 31)))});
        if (labels.empty()) continue;
        auto target = [&] {
            return labels[static_cast<size_t>(pick(0, static_cast<int>(labels.size()) - 1))];
        };
        for (int k = 1; k <= 4; ++k)
            if (chance(12)) s.brk(k, byte(pick(0, 255) & ~cmd::kConnectBit), target());
        for (int k = 1; k <= 4; ++k)
            if (chance(12)) s.loop(k, byte(pick(1, 3)), target());
        if (chance(12)) s.jump(target());
    }
    return s.end().build();
}

using testing::hexOf;

class RandomSongs : public ::testing::TestWithParam<Layout> {};

// The random songs, then the sample songs, which are not all in the writer's form (command order
// within a line, connected notes, targets inside a line): their bytes may change once, not their
// sheets.
TEST_P(RandomSongs, KeepTheirSheetsAndInTheWritersFormTheirBytes) {
    Layout layout = GetParam();
    const auto samples = fixtures::sampleSongs();
    for (unsigned seed = 1; seed <= 300 + samples.size(); ++seed) {
        const bool sample = seed > 300;
        std::mt19937 rng(seed);
        fixtures::SongSpec songSpec = sample ? samples[seed - 301] : fixtures::SongSpec();
        if (songSpec.type != 0) continue;  // a sound effect
        std::string streams;
        for (int c = 0; c < 4; ++c) {
            auto& channel = songSpec.channels[static_cast<size_t>(c)];
            if (!sample) channel = randomStream(rng, c == kNoise);
            streams += (channel ? hexOf(channel->bytes) : "") + "| ";
        }
        auto built = fixtures::buildFile(layout, {songSpec});
        auto fs = recogniseLayout("random" + fixtures::extensionFor(layout), built.bytes);
        ASSERT_TRUE(fs) << fs.error();
        std::uint32_t header = built.songs[0].headerOffset;

        Sheets first;
        ErrorBox errors;
        ASSERT_TRUE(decodeSong(*fs, built.bytes, header, first, errors))
            << "seed " << seed << ": " << errors.text() << "\n"
            << streams;

        auto encodeAt = [&](const Sheets& sheets, const Bytes& file) -> std::optional<Bytes> {
            Sheets copy = sheets;
            FrameStore store;
            ErrorBox box;
            auto song = encodeSong(songFrames(copy, store), *fs, header, 1, box);
            if (!song) {
                ADD_FAILURE() << "seed " << seed << ": " << box.text() << "\n" << streams;
                return std::nullopt;
            }
            if (auto placed = checkPlacement(*fs, file, *song); !placed) {
                ADD_FAILURE() << "seed " << seed << ": " << placed.error();
                return std::nullopt;
            }
            Bytes out = patchedCopy(file, *song);
            auto back = checkReadBack(*fs, out, *song);
            EXPECT_TRUE(back) << "seed " << seed << ": " << (back ? "" : back.error());
            return out;
        };
        auto once = encodeAt(first, built.bytes);
        if (!once) continue;
        EXPECT_TRUE(sample || *once == built.bytes) << "seed " << seed << "\n" << streams;
        Sheets second;
        ASSERT_TRUE(decodeSong(*fs, *once, header, second, errors)) << "seed " << seed;
        EXPECT_TRUE(second == first) << "seed " << seed << "\n" << streams;
        auto twice = encodeAt(second, *once);
        if (!twice) continue;
        EXPECT_TRUE(*twice == *once) << "seed " << seed << "\n" << streams;
    }
}

INSTANTIATE_TEST_SUITE_P(Layouts, RandomSongs, ::testing::ValuesIn(fixtures::allLayouts()),
                         testing::layoutParamName);

}  // namespace
}  // namespace kestra
