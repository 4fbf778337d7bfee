// The decoder: one channel's stream bytes turned into its Music, Loop and Break sheets, with the
// connect display, note naming, and loop/break/jump targets resolved to line numbers.
#pragma once

#include <cstdint>
#include <vector>

#include "model/ports.h"
#include "model/read_memory.h"
#include "model/sheets.h"
#include "rom/file_bytes.h"

namespace kestra {

// The channel's name in messages ("Square One" .. "Noise").
const char* channelMessageName(int channel);

// Target addresses of the Loop, Break and Jump commands of a stream, in channel-address form
// (driver address - 0x8000 + headerSize), ascending and without duplicates.
std::vector<long> collectTargets(const Bytes& stream, std::uint32_t headerSize);

// The highest line number a line cell can hold (four decimal digits).
constexpr int kMaxCellLine = 9999;

// Decodes the stream of one channel (its first byte up to and including its End byte) into
// `sheets`, which are replaced. channelStart is the channel-address of the first byte; channel
// 3 uses the noise note names. Problems are reported into `errors`; the bytes given are never
// read past their end. False when the stream has no End byte or is longer than
// kMaxChannelLines (the sheets then hold what was read up to there). With `memory`, a channel
// read whole gets one LineMemory per line there (it is left empty otherwise).
bool decodeChannel(const Bytes& stream, std::uint32_t channelStart, std::uint32_t headerSize,
                   int channel, ChannelSheets& sheets, ErrorBox& errors,
                   std::vector<LineMemory>* memory = nullptr);

}  // namespace kestra
