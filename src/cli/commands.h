// The commands of kestra-cli. Each takes its own arguments (without the command name) and
// returns the process exit status.
#pragma once

#include <string>
#include <vector>

namespace kestra::cli {

using Args = std::vector<std::string>;

struct Command {
    const char* name;
    const char* usage;    // "songs FILE"
    const char* summary;  // one line
    const char* help;     // the full help text
    int (*run)(const Args& args);
};

// Every command, in the order the help lists them.
const std::vector<Command>& commands();

int runSongs(const Args& args);
int runDump(const Args& args);
int runPatch(const Args& args);
int runRender(const Args& args);
int runCreate(const Args& args);
int runShow(const Args& args);
int runRoundtrip(const Args& args);

}  // namespace kestra::cli
