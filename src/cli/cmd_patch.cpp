// kestra-cli patch: the changes between two files as an IPS patch.
#include <cstdio>
#include <memory>
#include <string_view>

#include "cli/cli_common.h"
#include "cli/commands.h"
#include "rom/crc32.h"
#include "rom/ips_patch.h"

namespace kestra::cli {

namespace {

struct PatchArgs {
    std::string original;
    std::string changed;
    std::string out;
};

int runPatch(const PatchArgs& a) {
    if (isStandardStream(a.original) && isStandardStream(a.changed))
        return usageError("ORIGINAL and CHANGED cannot both be standard input");
    if (auto may = checkOutputNotInput(a.out, {a.original, a.changed}); !may)
        return fail(may.error());
    auto original = readInput(a.original);
    if (!original) return fail(original.error());
    auto changed = readInput(a.changed);
    if (!changed) return fail(changed.error());
    auto patch = makeIpsPatch(*original, *changed);
    if (!patch) return fail(patch.error());
    std::string_view data(reinterpret_cast<const char*>(patch->bytes.data()), patch->bytes.size());
    if (auto written = writeOutput(a.out, data); !written) return fail(written.error());
    // The summary must not mix into a patch written to standard output.
    std::FILE* report = isStandardStream(a.out) ? stderr : stdout;
    std::fprintf(report, "CRC32 of the original: %s\n", crc32Text(crc32(*original)).c_str());
    std::fprintf(report, "%llu bytes changed in %d records; %zu bytes written to %s\n",
                 static_cast<unsigned long long>(patch->changedBytes), patch->records,
                 patch->bytes.size(), isStandardStream(a.out) ? "standard output" : a.out.c_str());
    return kDone;
}

}  // namespace

void addPatchCommand(CLI::App& app) {
    auto args = std::make_shared<PatchArgs>();
    CLI::App* cmd = addCommand(
        app, "patch", "write the changes between two files as an IPS patch",
        "Writes the bytes that differ between ORIGINAL and CHANGED (the file as opened and as\n"
        "it is after \"Create Code\") as an IPS patch, and prints the CRC32 of ORIGINAL so\n"
        "that users of the patch can check they apply it to the same file. Both files must\n"
        "have the same size. When OUT.ips is \"-\" the patch goes to standard output and the\n"
        "summary to standard error.",
        [args] { return runPatch(*args); });
    cmd->add_option("ORIGINAL", args->original, "the file as it was (\"-\": standard input)")
        ->required();
    cmd->add_option("CHANGED", args->changed, "the file as it is now (\"-\": standard input)")
        ->required();
    cmd->add_option("OUT.ips", args->out, "the patch to write (\"-\": standard output)")
        ->required();
}

}  // namespace kestra::cli
