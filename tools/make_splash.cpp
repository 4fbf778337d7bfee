// Writes the editor's error sound: a short splash of decaying noise over a falling tone, as a
// 16-bit mono WAV file. Deterministic, so every build ships the same sound.
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <vector>

namespace {

void put16(std::vector<char>& out, std::uint16_t v) {
    out.push_back(static_cast<char>(v & 0xFF));
    out.push_back(static_cast<char>(v >> 8));
}

void put32(std::vector<char>& out, std::uint32_t v) {
    put16(out, static_cast<std::uint16_t>(v & 0xFFFF));
    put16(out, static_cast<std::uint16_t>(v >> 16));
}

void putText(std::vector<char>& out, const char* text) {
    for (int i = 0; i < 4; ++i) out.push_back(text[i]);
}

}  // namespace

int main(int argc, char** argv) {
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
    std::vector<char> out;
    std::uint32_t dataBytes = kSamples * 2;
    putText(out, "RIFF");
    put32(out, 36 + dataBytes);
    putText(out, "WAVE");
    putText(out, "fmt ");
    put32(out, 16);
    put16(out, 1);  // PCM
    put16(out, 1);  // mono
    put32(out, kRate);
    put32(out, kRate * 2);
    put16(out, 2);
    put16(out, 16);
    putText(out, "data");
    put32(out, dataBytes);
    for (std::int16_t s : samples) put16(out, static_cast<std::uint16_t>(s));
    std::ofstream file(argv[1], std::ios::binary | std::ios::trunc);
    file.write(out.data(), static_cast<std::streamsize>(out.size()));
    if (!file) {
        std::fprintf(stderr, "cannot write %s\n", argv[1]);
        return 1;
    }
    return 0;
}
