// The commands of kestra-cli. Each file cmd_NAME.cpp defines its command's arguments, help and
// action; main() adds them in the order the help lists them.
#pragma once

#include <CLI/CLI.hpp>

namespace kestra::cli {

void addSongsCommand(CLI::App& app);
void addDumpCommand(CLI::App& app);
void addCreateCommand(CLI::App& app);
void addSpaceCommand(CLI::App& app);
void addShowCommand(CLI::App& app);
void addRoundtripCommand(CLI::App& app);
void addPatchCommand(CLI::App& app);
void addApplyCommand(CLI::App& app);
void addRenderCommand(CLI::App& app);
void addTimelineCommand(CLI::App& app);

}  // namespace kestra::cli
