// What "render" and "timeline" play: an NSF file as it is, or with the song of a sheet dump
// written into it in memory (--sheets DUMP --address ADDR --song ID), never on disk.
#pragma once

#include <CLI/CLI.hpp>
#include <optional>
#include <string>

#include "listen/sheet_playback.h"

namespace kestra::cli {

struct ListenOptions {
    std::string sheets;
    std::string address;
    std::string song;
};

void addListenOptions(CLI::App& cmd, ListenOptions& options);
// Why the options cannot be used together, or nothing.
Status checkListenOptions(const ListenOptions& options);

// The bytes to play and the places of the song's lines: with --sheets the dump encoded as
// "create" would (its messages printed as "message: TEXT"), otherwise the song of Song ID
// track + 1 of the file. Prints why and returns nothing when it cannot be made.
std::optional<listen::PlayableSong> loadListenSource(const std::string& path, int track,
                                                     const ListenOptions& options);

// "1,3" or "sq1,noise" style channel lists into the player's mute mask (bit 0 Square 1).
std::optional<unsigned> parseMuteMask(const std::string& text);

}  // namespace kestra::cli
