// Reading a song from the opened file: the channel pointers of its header, each channel's stream
// bytes, and the "Read Channel" action that replaces the editor's song by it.
#pragma once

#include <cstdint>
#include <optional>

#include "model/document.h"
#include "model/file_state.h"
#include "model/ports.h"
#include "model/read_memory.h"
#include "model/result.h"
#include "model/sheets.h"
#include "rom/file_bytes.h"

namespace kestra {

inline constexpr const char* kSelectFileFirst = "Select a file first.";
inline constexpr const char* kEnterAddressFirst = "Enter an address first.";
inline constexpr const char* kNoSongInit = "This address does not have a song init.";
inline constexpr const char* kReadConfirmTitle = "Confirmation";
inline constexpr const char* kReadConfirmText =
    "All current data will be erased from this program (not from the rom).";

// Channel address of the stream of `channel` (0-3) of the song whose header is at headerOffset;
// nullopt when the header's pointer is 0000 (no stream). Fails when the header is outside the file.
Result<std::optional<std::uint32_t>> readHeaderPointer(const FileState& fs, const Bytes& file,
                                                       std::uint32_t headerOffset, int channel);

// The BankXor used to read a channel at channelAddress: chosen per channel in the split-bank
// layout, the file's own otherwise.
std::uint32_t bankXorForChannel(const FileState& fs, std::uint32_t channelAddress);

// The stream bytes of a channel, from its first byte up to and including its End byte. In the
// split-bank layout the bytes from channel address 0x4010 on come from the continuation offset.
// Fails with a clear message when the stream leaves the file before its End byte.
Result<Bytes> readChannelBytes(const FileState& fs, const Bytes& file, std::uint32_t headerOffset,
                               std::uint32_t channelAddress, int channel);

// Decodes the song whose header is at headerOffset into the Music, Loop and Break sheets of the
// four channels (MySong and FourChan are left alone). All or nothing: when the song cannot be
// read (not a song, header or a stream outside the file) every channel is left with one default
// line, the reason is reported, and the result is false. With `memory`, each channel read with a
// stream gets its bytes and what each of its lines was read from remembered there (the others are
// cleared).
bool decodeSong(const FileState& fs, const Bytes& file, std::uint32_t headerOffset, Sheets& sheets,
                ErrorBox& errors, ReadMemory* memory = nullptr);
// The same into the document: its sheets, errors and what it remembers, for its file.
bool decodeSong(Document& doc, const Bytes& file, std::uint32_t headerOffset);

// "Read Channel": asks for confirmation, clears the song and the frame store, and reads the song
// at the read/write address. True when a song was read. currentChannel is the same afterwards.
bool readChannel(Document& doc, MessagePort* messages);

}  // namespace kestra
