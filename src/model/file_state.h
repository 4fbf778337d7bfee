// The opened file as the rest of the system needs it: its path, layout and the values that map
// driver addresses to file offsets. Filled by the file-access layer when a file is opened.
#pragma once

#include <cstdint>
#include <string>

namespace kestra {

constexpr std::uint32_t kDriverBase = 0x8000;

enum class Layout { None, Nsf, Rom32, Rom43, Rom49, Rom4C, Rom69 };

struct FileState {
    std::string path;  // empty: no file chosen
    Layout layout = Layout::None;
    std::uint32_t headerSize = 128;
    std::uint32_t bankXor = 0x4000;
    std::uint32_t songTableBase = 0;
    bool splitBankLayout = false;
    bool bankRelativeTable = false;
    int soundBank = 0;
    int songCount = 0;
    std::uint64_t fileSize = 0;

    bool isOpen() const { return !path.empty() && layout != Layout::None; }
};

}  // namespace kestra
