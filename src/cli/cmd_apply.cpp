// kestra-cli apply: an IPS patch applied to a file, written as a new file.
#include <memory>
#include <string_view>

#include "cli/cli_common.h"
#include "cli/commands.h"
#include "rom/ips_patch.h"

namespace kestra::cli {

namespace {

struct ApplyArgs {
    std::string original;
    std::string patch;
    std::string out;
};

int runApply(const ApplyArgs& a) {
    if (isStandardStream(a.original) && isStandardStream(a.patch))
        return usageError("ORIGINAL and PATCH.ips cannot both be standard input");
    if (auto may = checkOutputNotInput(a.out, {a.original, a.patch}); !may)
        return fail(may.error());
    auto original = readInput(a.original);
    if (!original) return fail(original.error());
    auto patch = readInput(a.patch);
    if (!patch) return fail(patch.error());
    auto patched = applyIpsPatch(*original, *patch);
    if (!patched)
        return fail((isStandardStream(a.patch) ? std::string("standard input") : a.patch) + ": " +
                    patched.error());
    std::string_view data(reinterpret_cast<const char*>(patched->data()), patched->size());
    if (auto written = writeOutput(a.out, data); !written) return fail(written.error());
    return kDone;
}

}  // namespace

void addApplyCommand(CLI::App& app) {
    auto args = std::make_shared<ApplyArgs>();
    CLI::App* cmd = addCommand(
        app, "apply", "apply an IPS patch to a file and write the result",
        "Applies the IPS patch PATCH.ips to ORIGINAL and writes the result to OUT (replaced in\n"
        "one step; ORIGINAL itself is only read). Records past the end of ORIGINAL extend it,\n"
        "as common patchers do. A patch without its \"PATCH\" header or \"EOF\" footer, or with\n"
        "a cut-off record, is refused and nothing is written.",
        [args] { return runApply(*args); });
    cmd->add_option("ORIGINAL", args->original, "the file to patch (\"-\": standard input)")
        ->required();
    cmd->add_option("PATCH.ips", args->patch, "the patch (\"-\": standard input)")->required();
    cmd->add_option("OUT", args->out, "the patched file to write (\"-\": standard output)")
        ->required();
}

}  // namespace kestra::cli
