// Writes the editor's error sound: a short splash of decaying noise over a falling tone, as a
// 16-bit mono WAV file. Deterministic, so every build ships the same sound.
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <vector>

#include "preview/wav_writer.h"

int main(int argc, char** argv) {
    using namespace kestra;
    if (argc != 2) {
        std::fprintf(stderr, "usage: kestra-make-splash OUT.wav\n");
        return 2;
    }
    constexpr std::uint32_t kRate = 22050;
    constexpr std::uint32_t kSamples = kRate * 35 / 100;
    const double pi = std::acos(-1.0);
    std::vector<std::int16_t> samples(kSamples);
    std::uint32_t noise = 0x12345678u;
    double phase = 0;
    double lowNoise = 0;
    for (std::uint32_t i = 0; i < kSamples; ++i) {
        double t = static_cast<double>(i) / kRate;
        noise = noise * 1664525u + 1013904223u;
        double white = static_cast<double>(noise >> 8) / (1 << 23) - 1.0;
        lowNoise += 0.25 * (white - lowNoise);  // soften the hiss into a splash
        double tone = std::sin(phase);
        phase += 2 * pi * (520.0 - 700.0 * t) / kRate;
        double attack = std::min(1.0, t / 0.004);
        double value =
            attack * (0.75 * lowNoise * std::exp(-t * 14) + 0.35 * tone * std::exp(-t * 9));
        samples[i] = static_cast<std::int16_t>(std::lround(std::clamp(value, -1.0, 1.0) * 30000));
    }
    preview::WavWriter wav;
    auto error = wav.open(argv[1], static_cast<int>(kRate), 1);
    if (!error) error = wav.write(samples.data(), samples.size());
    if (!error) error = wav.finish();
    if (error) {
        std::fprintf(stderr, "%s\n", error->c_str());
        return 1;
    }
    return 0;
}
