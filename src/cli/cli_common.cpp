#include "cli/cli_common.h"

#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <map>
#include <memory>

#include "encoder/old_note_names.h"
#include "format/memory_check.h"
#include "model/atomic_write.h"
#include "model/read_file.h"
#include "model/same_file.h"
#include "rom/layout.h"

namespace kestra::cli {

namespace {

std::map<const CLI::App*, std::function<int()>>& runners() {
    static std::map<const CLI::App*, std::function<int()>> all;
    return all;
}

bool startsWith(const Bytes& bytes, std::string_view magic) {
    return bytes.size() >= magic.size() &&
           std::equal(magic.begin(), magic.end(), bytes.begin(),
                      [](char a, std::uint8_t b) { return static_cast<std::uint8_t>(a) == b; });
}

}  // namespace

CLI::App* addCommand(CLI::App& app, const std::string& name, const std::string& summary,
                     const std::string& help, std::function<int()> run) {
    CLI::App* cmd = app.add_subcommand(name, summary);
    cmd->footer(help);
    runners()[cmd] = std::move(run);
    return cmd;
}

CLI::App* addFileCommand(CLI::App& app, const std::string& name, const std::string& summary,
                         const std::string& help, std::function<int(const std::string&)> run) {
    auto file = std::make_shared<std::string>();
    CLI::App* cmd =
        addCommand(app, name, summary, help, [file, run = std::move(run)] { return run(*file); });
    cmd->add_option("FILE", *file, "the NSF or NES file (\"-\": standard input)")->required();
    return cmd;
}

int runChosenCommand(const CLI::App& app) {
    for (const CLI::App* sub : app.get_subcommands()) {
        auto it = runners().find(sub);
        if (it != runners().end()) return it->second();
    }
    return usageError("no command given; kestra-cli --help lists them");
}

void printError(const std::string& message) {
    std::fprintf(stderr, "kestra-cli: %s\n", message.c_str());
}

int fail(const std::string& message) {
    printError(message);
    return kFailed;
}

int usageError(const std::string& message) {
    printError(message);
    return kUsage;
}

bool isStandardStream(const std::string& path) {
    return path == "-";
}

Result<Bytes> readInput(const std::string& path) {
    if (!isStandardStream(path)) return readFileBytes(path, kMaxInputFileBytes);
    return readAllOf(STDIN_FILENO, kMaxInputFileBytes, "standard input");
}

bool writeStdout(std::string_view data) {
    return std::fwrite(data.data(), 1, data.size(), stdout) == data.size();
}

Status writeOutput(const std::string& path, std::string_view data) {
    if (!isStandardStream(path)) return writeFileAtomically(path, data);
    errno = 0;
    if (!writeStdout(data) || std::fflush(stdout) != 0)
        return Status::failure(std::string("cannot write to standard output: ") +
                               std::strerror(errno));
    return Status::done();
}

Status checkOutputNotInput(const std::string& out, std::initializer_list<std::string> inputs) {
    if (isStandardStream(out)) return Status::done();
    for (const std::string& in : inputs)
        if (!isStandardStream(in) && sameFile(out, in))
            return Status::failure(out + " is also an input of the command (" + in +
                                   "): writing it would destroy what is read. Nothing was "
                                   "written; choose another output file");
    return Status::done();
}

Status flushStdout() {
    // Flushed rather than closed: the C++ streams still flush it when the program ends.
    errno = 0;
    bool lost = std::ferror(stdout) != 0;
    if (std::fflush(stdout) != 0) lost = true;
    if (!lost) return Status::done();
    return Status::failure(std::string("cannot write to standard output") +
                           (errno ? std::string(": ") + std::strerror(errno) : std::string()));
}

std::optional<OpenedFile> openSongFileForCli(const std::string& path) {
    auto bytes = readInput(path);
    if (!bytes) {
        printError(bytes.error());
        return std::nullopt;
    }
    // Standard input has no name to tell the layout by; its magic bytes tell the kind instead.
    std::string name = path;
    if (isStandardStream(path))
        name = startsWith(*bytes, std::string_view("NESM\x1a", 5)) ? "standard input.nsf"
                                                                   : "standard input.nes";
    auto fs = recogniseLayout(name, *bytes);
    if (!fs) {
        printError(fs.error());
        return std::nullopt;
    }
    return OpenedFile{std::move(*bytes), std::move(*fs)};
}

std::optional<SongFileContent> readSongTextForCli(const std::string& source) {
    auto bytes = readInput(source);
    if (!bytes) {
        printError(bytes.error());
        return std::nullopt;
    }
    std::string_view text(reinterpret_cast<const char*>(bytes->data()), bytes->size());
    auto content = parseSongFileText(text);
    if (!content) {
        printError((isStandardStream(source) ? std::string("standard input") : source) + ": " +
                   content.error());
        return std::nullopt;
    }
    if (content->format < kSheetDumpFormat &&
        renameOldNoteNames(content->sheets, &content->memory) > 0)
        std::fprintf(stderr, "kestra-cli: %s: %s\n",
                     (isStandardStream(source) ? std::string("standard input") : source).c_str(),
                     kRenamedNotesMessage);
    if (std::string unspelled = forgetUnspelledLines(content->memory); !unspelled.empty())
        std::fprintf(stderr, "kestra-cli: %s: %s\n",
                     (isStandardStream(source) ? std::string("standard input") : source).c_str(),
                     unspelled.c_str());
    return std::move(*content);
}

void printSongMessages(const std::vector<std::string>& messages) {
    for (const std::string& m : messages) std::printf("message: %s\n", m.c_str());
}

}  // namespace kestra::cli
