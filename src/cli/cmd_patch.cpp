#include <cstdio>
#include <string_view>

#include "cli/commands.h"
#include "model/atomic_write.h"
#include "rom/crc32.h"
#include "rom/file_bytes.h"
#include "rom/ips_patch.h"

namespace kestra::cli {

int runPatch(const Args& args) {
    if (args.size() != 3) {
        std::fprintf(stderr, "usage: kestra-cli patch ORIGINAL CHANGED OUT.ips\n");
        return 2;
    }
    auto original = readFileBytes(args[0]);
    if (!original) {
        std::fprintf(stderr, "%s\n", original.error().c_str());
        return 1;
    }
    auto changed = readFileBytes(args[1]);
    if (!changed) {
        std::fprintf(stderr, "%s\n", changed.error().c_str());
        return 1;
    }
    auto patch = makeIpsPatch(*original, *changed);
    if (!patch) {
        std::fprintf(stderr, "%s\n", patch.error().c_str());
        return 1;
    }
    std::string_view data(reinterpret_cast<const char*>(patch->bytes.data()), patch->bytes.size());
    if (auto err = writeFileAtomically(args[2], data)) {
        std::fprintf(stderr, "%s\n", err->c_str());
        return 1;
    }
    std::printf("CRC32 of the original: %s\n", crc32Text(crc32(*original)).c_str());
    std::printf("%llu bytes changed in %d records; %zu bytes written to %s\n",
                static_cast<unsigned long long>(patch->changedBytes), patch->records,
                patch->bytes.size(), args[2].c_str());
    return 0;
}

}  // namespace kestra::cli
