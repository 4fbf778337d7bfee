// kestra-cli: the core of the editor on the command line, for scripting and testing.
#include <cstdio>
#include <cstring>

#include "cli/commands.h"

namespace kestra::cli {

const std::vector<Command>& commands() {
    static const std::vector<Command> all = {
        {"songs", "songs FILE", "list the Song IDs of an NSF or NES file",
         "Prints one line per Song ID: the ID, the file offset of its song header (five hex\n"
         "digits) and its kind: \"song\", \"sfx\" (a sound effect), or \"outside\" when the\n"
         "table entry leads outside the file.\n",
         runSongs},
        {"dump", "dump FILE ADDRESS [--remember]",
         "print the song at a header offset as a sheet dump",
         "Reads the song whose header is at file offset ADDRESS (hexadecimal) the way \"Read\n"
         "Channel\" does and prints the Music, Loop and Break line records of each channel\n"
         "(\"channel N\", then one line per row), then every message reported while reading\n"
         "(\"message: TEXT\"). With --remember, what reading remembered of each line follows\n"
         "(\"memory\", \"bytes\" and \"line\" lines), as the editor saves it in song files:\n"
         "\"create\" then writes unedited lines back with exactly the bytes read. Exits with 1\n"
         "when the song could not be read.\n",
         runDump},
        {"patch", "patch ORIGINAL CHANGED OUT.ips",
         "write the changes between two files as an IPS patch",
         "Writes the bytes that differ between ORIGINAL and CHANGED (the file as opened and as\n"
         "it is after \"Create Code\") as an IPS patch, and prints the CRC32 of ORIGINAL so\n"
         "that users of the patch can check they apply it to the same file. Both files must\n"
         "have the same size.\n",
         runPatch},
        {"render", "render FILE TRACK SECONDS OUT.wav",
         "play a track of an NSF file into a WAV file",
         "Plays track TRACK of the NSF file FILE (counted from 0, as NSF players do; Song ID\n"
         "n is usually track n - 1) for SECONDS seconds (a fraction allowed, at most 3600)\n"
         "and writes the sound as a 44.1 kHz 16-bit stereo WAV file. NES cartridge images\n"
         "cannot be played: listening needs the NSF file.\n",
         runRender},
        {"create", "create FILE ADDRESS SONGID [SHEETFILE|-]",
         "encode a sheet dump and write it into the file as a song",
         "Encodes the sheet dump (a file, or standard input when SHEETFILE is \"-\" or left out)\n"
         "behind a new song header at file offset ADDRESS (hex) and points the song table entry\n"
         "of SONGID at it, exactly as \"Create Code\" does. Every message of the run is printed\n"
         "as \"message: TEXT\". The file is only written when the run reported nothing; it is\n"
         "replaced in one step and its first original is kept as FILE.bak.\n"
         "Exit status: 0 written; 1 nothing written; 2 bad arguments; 3 written, but the song\n"
         "read back from the file differs.\n",
         runCreate},
        {"show", "show [SHEETFILE|-]", "show a sheet dump unrolled, as \"Show Song\" does",
         "Reads a sheet dump (from SHEETFILE, or standard input when it is \"-\" or missing),\n"
         "walks each channel through its loops, breaks and jumps as \"Show Song\" does, and\n"
         "prints for each channel a line \"channel N\" followed by its MySong rows, then a line\n"
         "\"fourchan\" followed by the FourChan rows; a row is its cells (21 and 18 of them,\n"
         "empty cells as empty fields) separated by tabs. Then each message reported, as\n"
         "\"message: TEXT\". Exit status 1 when the dump cannot be read.\n",
         runShow},
        {"roundtrip", "roundtrip FILE",
         "read every song and create it again in memory: which come back byte for byte",
         "Reads every song of FILE (sound effects and entries leading outside the file are\n"
         "skipped) and creates it again in memory at the address it was read from, under its\n"
         "own Song ID, as \"Read Channel\" followed by \"Create Code\" would; the file is not\n"
         "written. Prints a line per Song ID: \"same\", \"differs at OFFSET\" (the first file\n"
         "offset whose byte would change), or why the song could not be read or created; then\n"
         "a total. Exit status: 0 all the same; 1 the file cannot be read; 2 bad arguments;\n"
         "3 some song differs.\n",
         runRoundtrip},
    };
    return all;
}

}  // namespace kestra::cli

namespace {

void printUsage(std::FILE* out) {
    std::fprintf(out, "usage: kestra-cli COMMAND [ARGS...]\n\ncommands:\n");
    for (const auto& c : kestra::cli::commands())
        std::fprintf(out, "  %-44s %s\n", c.usage, c.summary);
    std::fprintf(out,
                 "\nkestra-cli help COMMAND (or COMMAND --help) shows the help of a command.\n");
}

const kestra::cli::Command* find(const char* name) {
    for (const auto& c : kestra::cli::commands())
        if (std::strcmp(c.name, name) == 0) return &c;
    return nullptr;
}

int printHelp(const kestra::cli::Command& c) {
    std::printf("usage: kestra-cli %s\n\n%s", c.usage, c.help);
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        printUsage(stderr);
        return 2;
    }
    const char* name = argv[1];
    if (std::strcmp(name, "--help") == 0 || std::strcmp(name, "-h") == 0) {
        printUsage(stdout);
        return 0;
    }
    if (std::strcmp(name, "help") == 0) {
        if (argc < 3) {
            printUsage(stdout);
            return 0;
        }
        const auto* c = find(argv[2]);
        if (!c) {
            std::fprintf(stderr, "kestra-cli: unknown command \"%s\"\n", argv[2]);
            return 2;
        }
        return printHelp(*c);
    }
    const auto* c = find(name);
    if (!c) {
        std::fprintf(stderr, "kestra-cli: unknown command \"%s\"\n\n", name);
        printUsage(stderr);
        return 2;
    }
    kestra::cli::Args args(argv + 2, argv + argc);
    for (const auto& a : args)
        if (a == "--help" || a == "-h") return printHelp(*c);
    return c->run(args);
}
