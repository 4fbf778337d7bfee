// What every command of kestra-cli shares: how it is registered, the exit statuses, messages on
// standard error, "-" for the standard streams, and checked writes.
#pragma once

#include <CLI/CLI.hpp>
#include <functional>
#include <initializer_list>
#include <optional>
#include <string>
#include <string_view>

#include "model/file_state.h"
#include "model/song_file.h"
#include "rom/file_bytes.h"

namespace kestra::cli {

// One convention for every command.
constexpr int kDone = 0;
constexpr int kFailed = 1;  // refused, or failed part way
constexpr int kUsage = 2;   // the command line itself is wrong

// Adds a command; `run` is called once the whole command line has been parsed, and its result
// is the exit status. `help` is the long text shown by COMMAND --help.
CLI::App* addCommand(CLI::App& app, const std::string& name, const std::string& summary,
                     const std::string& help, std::function<int()> run);
// A command whose one argument is an NSF or NES file ("-": standard input); `run` gets its path.
CLI::App* addFileCommand(CLI::App& app, const std::string& name, const std::string& summary,
                         const std::string& help, std::function<int(const std::string&)> run);
// Runs the command chosen on the command line (kUsage when there is none).
int runChosenCommand(const CLI::App& app);

// "kestra-cli: MESSAGE" on standard error; the functions return kFailed and kUsage.
void printError(const std::string& message);
int fail(const std::string& message);
int usageError(const std::string& message);

// "-" names standard input for input files and standard output for output files.
bool isStandardStream(const std::string& path);

// The whole of a file, or of standard input.
Result<Bytes> readInput(const std::string& path);
// Writes the whole of data to standard output or, replacing it in one step, to a file.
Status writeOutput(const std::string& path, std::string_view data);
// Writes to standard output; false (errno set) when the write failed.
bool writeStdout(std::string_view data);
// Flushes standard output; fails when something written to it was lost.
Status flushStdout();

// Why `out` may not be written: it is one of the command's inputs (the same file, also through
// links, another spelling or a hard link). Done when it may; standard streams always may.
Status checkOutputNotInput(const std::string& out, std::initializer_list<std::string> inputs);

struct OpenedFile {
    Bytes bytes;
    FileState state;
};

// An NSF or NES file (or standard input, recognised by its magic bytes), with its layout;
// prints the reason and returns nothing when it cannot be read or is not a known layout.
std::optional<OpenedFile> openSongFileForCli(const std::string& path);

// A sheet dump or song file from a path or standard input; prints the reason and returns
// nothing when it cannot be read or parsed.
std::optional<SongFileContent> readSongTextForCli(const std::string& source);

// Messages of the song itself ("message: TEXT"), on standard output as they always were.
void printSongMessages(const std::vector<std::string>& messages);

}  // namespace kestra::cli
