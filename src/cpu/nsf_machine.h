// An NSF file's player code run on the 6502 core with the NSF memory map: INIT once, then PLAY
// once per frame. Sound register writes and reads of chosen file bytes are recorded, so the
// caller can see what the music driver did in each frame without any sound being made.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "cpu/cpu6502.h"
#include "model/result.h"
#include "rom/file_bytes.h"

namespace kestra::cpu {

constexpr std::uint32_t kNsfHeaderSize = 0x80;

struct NsfHeader {
    int trackCount = 0;
    std::uint16_t loadAddress = 0;
    std::uint16_t initAddress = 0;
    std::uint16_t playAddress = 0;
    bool pal = false;            // plays at the PAL rate (header flag bit 0, not dual)
    std::uint16_t periodUs = 0;  // microseconds between PLAY calls at that rate
    std::array<std::uint8_t, 8> banks{};
    bool banked = false;  // a bank byte is non-zero: $5FF8-$5FFF switch 4 KB banks
    double frameRate() const { return 1e6 / periodUs; }
};

// Reads the fields the player needs; refuses files that are not NSF or cannot be run.
Result<NsfHeader> readNsfHeader(const Bytes& file);

struct RegisterWrite {
    std::uint16_t address = 0;  // $4000-$4017
    std::uint8_t value = 0;
};

class NsfMachine final : public Bus {
  public:
    // Keeps a copy of the file. The processor points back at the machine, so it stays in place.
    static Result<std::unique_ptr<NsfMachine>> open(const Bytes& file);
    NsfMachine(const NsfMachine&) = delete;
    NsfMachine& operator=(const NsfMachine&) = delete;

    const NsfHeader& header() const { return header_; }

    // Resets the machine and runs INIT for track (from 0). An error message when it fails.
    std::optional<std::string> init(int track);
    // Runs PLAY once: one frame. An error message when it fails; the run should end then.
    std::optional<std::string> play();

    // Reads by the player of the file byte at fileOffset are recorded with tag (1-255).
    void watch(std::uint64_t fileOffset, std::uint8_t tag);
    struct WatchedRead {
        std::uint32_t fileOffset = 0;
        std::uint8_t tag = 0;
    };
    // What the last init() or play() read of the watched bytes and wrote to the sound
    // registers, in order.
    const std::vector<WatchedRead>& reads() const { return reads_; }
    const std::vector<RegisterWrite>& registerWrites() const { return writes_; }

    std::uint8_t read(std::uint16_t address) override;
    void write(std::uint16_t address, std::uint8_t value) override;

    // Cycle budgets: INIT may set up for a while, PLAY must end within a few frames' time.
    static constexpr std::uint64_t kInitBudget = 4'000'000;
    std::uint64_t playBudget() const;

  private:
    NsfMachine() : cpu_(*this) {}
    // File offset of the byte the player sees at $8000-$FFFF, or -1 when nothing is loaded there.
    std::int64_t fileOffsetAt(std::uint16_t address) const;
    bool executable(std::uint16_t address) const;
    std::optional<std::string> call(std::uint16_t address, std::uint64_t budget, const char* what);

    NsfHeader header_;
    Bytes file_;
    Cpu6502 cpu_;
    std::array<std::uint8_t, 0x800> ram_{};
    std::array<std::uint8_t, 0x2000> wram_{};
    std::array<std::uint8_t, 8> bank_{};
    std::uint8_t channelsEnabled_ = 0;
    std::vector<std::uint8_t> watched_;
    std::vector<WatchedRead> reads_;
    std::vector<RegisterWrite> writes_;
    bool ready_ = false;
};

}  // namespace kestra::cpu
