// What reading a song remembers of each channel: the stream bytes as they stood in the file and
// the sheets they gave, so that an unedited channel is written back with exactly those bytes.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "model/file_state.h"
#include "model/sheets.h"

namespace kestra {

struct ChannelMemory {
    Layout layout = Layout::None;
    std::uint32_t headerOffset = 0;   // the song header the channel was read under
    std::uint16_t pointer = 0;        // the channel's driver address in that header
    std::vector<std::uint8_t> bytes;  // first byte up to and including the End byte
    // The channel's Music, Loop and Break frame texts right after reading.
    std::array<std::string, 3> texts;
    bool operator==(const ChannelMemory&) const = default;
};

using ReadMemory = std::array<std::optional<ChannelMemory>, kChannelCount>;

}  // namespace kestra
