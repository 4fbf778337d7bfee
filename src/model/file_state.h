// The opened file as the rest of the system needs it: its path, layout and the values that map
// driver addresses to file offsets. Filled by the file-access layer when a file is opened.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace kestra {

constexpr std::uint32_t kDriverBase = 0x8000;

// What the file's contents were when they were last read or written by the editor: a change
// on disk since then (another program wrote to the file) is noticed before writing over it.
struct FileIdentity {
    std::uint64_t size = 0;
    std::int64_t modifiedNs = 0;
    std::uint32_t crc = 0;
    bool operator==(const FileIdentity&) const = default;
};

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
    std::optional<FileIdentity> identity;  // set when opened from disk

    bool isOpen() const { return !path.empty() && layout != Layout::None; }
};

}  // namespace kestra
