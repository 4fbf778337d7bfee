#include "preview/nsf_render.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>

#include "../core/test_files.h"

namespace kestra::preview {
namespace {

using fixtures::NsfCode;

Bytes nsfWith(NsfCode code) {
    fixtures::BuildOptions options;
    options.nsfCode = code;
    return fixtures::buildFile(Layout::Nsf, fixtures::sampleSongs(), options).bytes;
}

// Largest sample magnitude.
int peak(const std::vector<std::int16_t>& samples) {
    int p = 0;
    for (auto s : samples) p = std::max(p, std::abs(static_cast<int>(s)));
    return p;
}

TEST(NsfRender, ToneRendersNonSilentSamplesOfTheRightLength) {
    auto player = NsfRenderer::open(nsfWith(NsfCode::Tone));
    ASSERT_TRUE(player) << player.error();
    EXPECT_EQ(player->trackCount(), 4);
    ASSERT_GE(player->voiceNames().size(), 4u);
    EXPECT_EQ(player->voiceNames()[0], "Square 1");
    ASSERT_FALSE(player->startTrack(0));
    // Blocks of odd sizes, as an audio device asks for them, add up to the time played.
    size_t frames = 0;
    std::vector<std::int16_t> all;
    for (size_t n : {1u, 441u, 4096u, 10000u, 29562u}) {
        auto block = player->render(n);
        ASSERT_EQ(block.size(), n * kOutputChannels);
        all.insert(all.end(), block.begin(), block.end());
        frames += n;
    }
    EXPECT_EQ(frames, static_cast<size_t>(kSampleRate));
    EXPECT_NEAR(player->positionMs(), 1000, 2);
    EXPECT_GT(peak(all), 2000);
    // The tone is steady: the last tenth of a second still sounds.
    EXPECT_GT(peak(std::vector<std::int16_t>(all.end() - 8820, all.end())), 2000);
}

TEST(NsfRender, SilenceCases) {
    struct Case {
        const char* name;
        NsfCode code;
        unsigned mute;
    };
    for (const Case& c : std::initializer_list<Case>{
             {"no sound code", NsfCode::Silent, 0},
             {"all voices muted", NsfCode::Tone, 0xFFu},
             {"square 1 muted", NsfCode::Tone, 0x01u},
         }) {
        auto player = NsfRenderer::open(nsfWith(c.code));
        ASSERT_TRUE(player) << c.name << ": " << player.error();
        ASSERT_FALSE(player->startTrack(1));
        player->setMutedVoices(c.mute);
        auto started = std::chrono::steady_clock::now();
        // Long enough for a player's silence detection to have ended the track.
        auto samples = player->render(20 * static_cast<size_t>(kSampleRate));
        EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::seconds(20)) << c.name;
        EXPECT_EQ(samples.size(), 40u * kSampleRate) << c.name;
        EXPECT_LT(peak(samples), 64) << c.name;
    }
}

TEST(NsfRender, Refusals) {
    auto rom = fixtures::buildFile(Layout::Rom43, fixtures::sampleSongs()).bytes;
    auto r = NsfRenderer::open(rom);
    ASSERT_FALSE(r);
    EXPECT_NE(r.error().find("needs an NSF file"), std::string::npos) << r.error();
    EXPECT_FALSE(NsfRenderer::open(Bytes{'N', 'E', 'S', 'M'}));
    EXPECT_FALSE(NsfRenderer::open(Bytes(300, 0)));

    auto player = NsfRenderer::open(nsfWith(NsfCode::Tone));
    ASSERT_TRUE(player);
    auto err = player->startTrack(4);
    ASSERT_TRUE(err);
    EXPECT_EQ(*err, "Track 4 does not exist: the file's tracks are 0 to 3.");
    EXPECT_TRUE(player->startTrack(-1));
}

// The exit status, a space, then what the tool printed.
std::string run(const std::string& args) {
    int status = -1;
    std::string out = kestra::testing::runCliExit(args, &status);
    return std::to_string(status) + " " + out;
}

TEST(RenderCommand, WritesAWavFileOfTheAskedLength) {
    kestra::testing::TempDir dir;
    auto nsf = dir.write("song.nsf", nsfWith(NsfCode::Tone));
    auto wav = dir.file("out.wav");
    auto out = run("render " + nsf + " 0 1.5 " + wav);
    ASSERT_EQ(out.substr(0, 2), "0 ") << out;
    auto bytes = readFileBytes(wav);
    ASSERT_TRUE(bytes);
    const size_t dataBytes = 66150 * 4;
    ASSERT_EQ(bytes->size(), 44 + dataBytes);
    // The whole header: RIFF, WAVE, a PCM format chunk (stereo, 44100 Hz, 16 bits), the data.
    auto le = [](size_t v, int n) {  // n bytes, low first
        std::string s;
        for (int i = 0; i < n; ++i) s += static_cast<char>(v >> (8 * i) & 0xFF);
        return s;
    };
    EXPECT_EQ(std::string(bytes->begin(), bytes->begin() + 44),
              "RIFF" + le(36 + dataBytes, 4) + "WAVEfmt " + le(16, 4) + le(1, 2) + le(2, 2) +
                  le(44100, 4) + le(44100 * 4, 4) + le(4, 2) + le(16, 2) + "data" +
                  le(dataBytes, 4));

    struct Case {
        std::string args;
        const char* expected;
    };
    auto rom =
        dir.write("game.nes", fixtures::buildFile(Layout::Rom69, fixtures::sampleSongs()).bytes);
    for (const Case& c : std::initializer_list<Case>{
             {"render " + rom + " 0 1 " + dir.file("a.wav"),
              "1 kestra-cli: Listening needs an NSF file"},
             {"render " + nsf + " 9 1 " + dir.file("b.wav"),
              "1 kestra-cli: Track 9 does not exist"},
             {"render " + nsf + " x 1 " + dir.file("c.wav"), "2 kestra-cli: TRACK must be"},
             {"render " + nsf + " 0 0 " + dir.file("d.wav"), "2 kestra-cli: SECONDS must be"},
             {"render " + nsf + " 0 1e3 " + dir.file("e.wav"), "2 kestra-cli: SECONDS must be"},
             {"render " + nsf + " 0 1 " + dir.file("no/such/f.wav"), "1 kestra-cli: The file "},
         }) {
        auto r = run(c.args);
        EXPECT_EQ(r.rfind(c.expected, 0), 0u) << c.args << " -> " << r;
    }
    for (const char* name : {"a.wav", "b.wav", "c.wav", "d.wav", "e.wav"})
        EXPECT_FALSE(readFileBytes(dir.file(name))) << name;
}

}  // namespace
}  // namespace kestra::preview
