#include "cpu/nsf_machine.h"

#include <algorithm>

namespace kestra::cpu {

namespace {

// RTS from INIT or PLAY lands here: an address where no code can be, so reaching it means the
// routine has returned.
constexpr std::uint16_t kReturnAddress = 0x5FF0;
constexpr double kCpuHz = 1789773.0;
constexpr std::uint16_t kNtscPeriodUs = 16639;
constexpr std::uint16_t kPalPeriodUs = 19997;

std::uint16_t le16(const Bytes& b, size_t at) {
    return static_cast<std::uint16_t>(b[at] | (b[at + 1] << 8));
}

std::string hex4(std::uint16_t v) {
    const char* digits = "0123456789ABCDEF";
    std::string s = "$0000";
    for (int i = 4; i >= 1; --i, v = static_cast<std::uint16_t>(v >> 4))
        s[static_cast<size_t>(i)] = digits[v & 15];
    return s;
}

}  // namespace

Result<NsfHeader> readNsfHeader(const Bytes& file) {
    using R = Result<NsfHeader>;
    static const char kMagic[] = "NESM\x1A";
    if (file.size() < kNsfHeaderSize || !std::equal(kMagic, kMagic + 5, file.begin()))
        return R::failure("This is not an NSF file: it does not start with an NSF header.");
    NsfHeader h;
    h.trackCount = file[6];
    h.loadAddress = le16(file, 8);
    h.initAddress = le16(file, 10);
    h.playAddress = le16(file, 12);
    // Bit 1 marks a dual file, which plays at the NTSC rate by default.
    h.pal = (file[0x7A] & 3) == 1;
    h.periodUs = le16(file, h.pal ? 0x78 : 0x6E);
    if (h.periodUs == 0) h.periodUs = h.pal ? kPalPeriodUs : kNtscPeriodUs;
    for (size_t i = 0; i < 8; ++i) h.banks[i] = file[0x70 + i];
    h.banked = std::any_of(h.banks.begin(), h.banks.end(), [](std::uint8_t b) { return b != 0; });
    if (h.trackCount < 1) return R::failure("The NSF file holds no track.");
    if (h.loadAddress < 0x8000 && !h.banked)
        return R::failure("The NSF file's load address " + hex4(h.loadAddress) +
                          " lies below $8000: its player cannot be run.");
    if (h.initAddress < 0x8000 || h.playAddress < 0x8000)
        return R::failure("The NSF file's init or play address lies below $8000.");
    return h;
}

Result<std::unique_ptr<NsfMachine>> NsfMachine::open(const Bytes& file) {
    using R = Result<std::unique_ptr<NsfMachine>>;
    auto header = readNsfHeader(file);
    if (!header) return R::failure(header.error());
    std::unique_ptr<NsfMachine> m(new NsfMachine());
    m->header_ = *header;
    m->file_ = file;
    m->watched_.assign(file.size(), 0);
    return R(std::move(m));
}

std::uint64_t NsfMachine::playBudget() const {
    return static_cast<std::uint64_t>(4.0 * kCpuHz * header_.periodUs / 1e6);
}

void NsfMachine::watch(std::uint64_t fileOffset, std::uint8_t tag) {
    if (fileOffset < watched_.size()) watched_[static_cast<size_t>(fileOffset)] = tag;
}

std::int64_t NsfMachine::fileOffsetAt(std::uint16_t address) const {
    std::int64_t data;  // index into the data after the header
    if (header_.banked) {
        // Banked data starts at the load address's offset within its 4 KB bank.
        std::int64_t slot = (address - 0x8000) >> 12;
        data = static_cast<std::int64_t>(bank_[static_cast<size_t>(slot)]) * 0x1000 +
               (address & 0xFFF) - (header_.loadAddress & 0xFFF);
    } else {
        data = static_cast<std::int64_t>(address) - header_.loadAddress;
    }
    std::int64_t offset = data + kNsfHeaderSize;
    if (data < 0 || offset >= static_cast<std::int64_t>(file_.size())) return -1;
    return offset;
}

std::uint8_t NsfMachine::read(std::uint16_t address) {
    if (address < 0x2000) return ram_[address & 0x7FF];
    if (address >= 0x8000) {
        std::int64_t at = fileOffsetAt(address);
        if (at < 0) return 0;
        auto i = static_cast<size_t>(at);
        if (std::uint8_t tag = watched_[i]) reads_.push_back({static_cast<std::uint32_t>(at), tag});
        return file_[i];
    }
    if (address >= 0x6000) return wram_[address - 0x6000];
    // Without length counters to run, a channel counts as sounding while it is enabled.
    if (address == 0x4015) return channelsEnabled_;
    // Open bus: the high byte of the address is what the data lines last held.
    return static_cast<std::uint8_t>(address >> 8);
}

void NsfMachine::write(std::uint16_t address, std::uint8_t value) {
    if (address < 0x2000) {
        ram_[address & 0x7FF] = value;
    } else if (address >= 0x4000 && address <= 0x4017) {
        writes_.push_back({address, value});
        if (address == 0x4015) channelsEnabled_ = value & 0x1F;
    } else if (address >= 0x5FF8 && address <= 0x5FFF) {
        if (header_.banked) bank_[address - 0x5FF8] = value;
    } else if (address >= 0x6000 && address < 0x8000) {
        wram_[address - 0x6000] = value;
    }
}

bool NsfMachine::executable(std::uint16_t address) const {
    if (address < 0x2000 || (address >= 0x6000 && address < 0x8000)) return true;
    return address >= 0x8000 && fileOffsetAt(address) >= 0;
}

std::optional<std::string> NsfMachine::call(std::uint16_t address, std::uint64_t budget,
                                            const char* what) {
    reads_.clear();
    writes_.clear();
    Registers& r = cpu_.regs;
    r.pc = address;
    cpu_.push(static_cast<std::uint8_t>((kReturnAddress - 1) >> 8));
    cpu_.push(static_cast<std::uint8_t>((kReturnAddress - 1) & 0xFF));
    std::uint64_t spent = 0;
    while (r.pc != kReturnAddress) {
        if (!executable(r.pc)) {
            ready_ = false;
            return std::string("The player's ") + what + " routine jumped to " + hex4(r.pc) +
                   ", where no code is loaded.";
        }
        int cycles = cpu_.step();
        if (cycles == 0) {
            ready_ = false;
            return cpu_.stopMessage();
        }
        spent += static_cast<std::uint64_t>(cycles);
        if (spent > budget) {
            ready_ = false;
            return std::string("The player's ") + what + " routine did not return within " +
                   std::to_string(budget) + " processor cycles: it seems caught in a loop.";
        }
    }
    return std::nullopt;
}

std::optional<std::string> NsfMachine::init(int track) {
    if (track < 0 || track >= header_.trackCount)
        return "Track " + std::to_string(track) + " does not exist: the file's tracks are 0 to " +
               std::to_string(header_.trackCount - 1) + ".";
    ram_.fill(0);
    wram_.fill(0);
    bank_ = header_.banks;
    if (!header_.banked) bank_ = {0, 1, 2, 3, 4, 5, 6, 7};
    channelsEnabled_ = 0x0F;
    cpu_.regs = Registers{};
    cpu_.regs.a = static_cast<std::uint8_t>(track);
    cpu_.regs.x = header_.pal ? 1 : 0;
    ready_ = true;
    auto failed = call(header_.initAddress, kInitBudget, "INIT");
    if (failed) ready_ = false;
    return failed;
}

std::optional<std::string> NsfMachine::play() {
    if (!ready_) return std::string("The player was not started.");
    cpu_.regs.s = 0xFD;
    return call(header_.playAddress, playBudget(), "PLAY");
}

}  // namespace kestra::cpu
