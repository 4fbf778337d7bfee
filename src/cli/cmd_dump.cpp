// kestra-cli dump: the song at a header offset, read as "Read Channel" reads it, as a sheet dump.
#include <cctype>
#include <memory>

#include "cli/cli_common.h"
#include "cli/commands.h"
#include "format/read_song.h"
#include "model/hex_text.h"
#include "model/memory_text.h"
#include "model/sheet_dump.h"
#include "rom/song_table.h"

namespace kestra::cli {

namespace {

struct DumpArgs {
    std::string file;
    std::string address;
    bool remember = false;
};

int runDump(const DumpArgs& a) {
    std::string address = a.address;
    for (char& c : address) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    if (std::string problem = addressTextProblem(address); !problem.empty())
        return usageError(problem);
    auto file = openSongFileForCli(a.file);
    if (!file) return kFailed;
    auto header = tryHexTextToInt(address);
    ErrorBox errors;
    Sheets sheets;
    ReadMemory memory;
    bool read = false;
    if (!header || *header >= static_cast<long long>(file->bytes.size()))
        errors.report(
            outsideFileMessage(header ? static_cast<std::uint64_t>(*header) : 0, "song header"));
    else
        read = decodeSong(file->state, file->bytes, static_cast<std::uint32_t>(*header), sheets,
                          errors, a.remember ? &memory : nullptr);
    writeSheetDump(sheets, errors.history(), [](std::string_view piece) { writeStdout(piece); });
    if (a.remember) writeStdout(writeMemoryText(memory));
    if (!read) return fail("the song at " + address + " could not be read");
    return kDone;
}

}  // namespace

void addDumpCommand(CLI::App& app) {
    auto args = std::make_shared<DumpArgs>();
    CLI::App* cmd = addCommand(
        app, "dump", "print the song at a header offset as a sheet dump",
        "Reads the song whose header is at file offset ADDRESS (hexadecimal) the way \"Read\n"
        "Channel\" does and prints the Music, Loop and Break line records of each channel\n"
        "(\"channel N\", then one line per row), then every message reported while reading\n"
        "(\"message: TEXT\"). With --remember, what reading remembered of each line follows\n"
        "(\"memory\", \"bytes\" and \"line\" lines), as the editor saves it in song files:\n"
        "\"create\" then writes unedited lines back with exactly the bytes read. Exits with 1\n"
        "when the song could not be read.",
        [args] { return runDump(*args); });
    cmd->add_option("FILE", args->file, "the NSF or NES file (\"-\": standard input)")->required();
    cmd->add_option("ADDRESS", args->address, "file offset of the song header, in hex")->required();
    cmd->add_flag("--remember", args->remember, "add what reading remembered of each line");
}

}  // namespace kestra::cli
