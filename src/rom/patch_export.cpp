#include "rom/patch_export.h"

#include <filesystem>
#include <string_view>

#include "model/atomic_write.h"
#include "model/same_file.h"
#include "rom/crc32.h"
#include "rom/ips_patch.h"

namespace kestra {

namespace {

std::string suggestedPatchPath(const std::string& filePath) {
    return std::filesystem::path(filePath).replace_extension(kPatchFileExtension).string();
}

}  // namespace

bool exportPatch(const Bytes& opened, const FileState& file, FilePort& files,
                 MessagePort& messages) {
    const std::string& filePath = file.path;
    auto now = readIdentifiedFile(filePath);
    if (!now) {
        messages.messageBox(kExportPatchTitle, now.error());
        return false;
    }
    // The patch is meant to carry what the editor wrote, not another program's changes.
    if (std::string problem = changedOnDiskProblem(file, now->identity); !problem.empty()) {
        messages.messageBox(kExportPatchTitle, problem);
        return false;
    }
    auto patch = makeIpsPatch(opened, now->bytes);
    if (!patch) {
        messages.messageBox(kExportPatchTitle, patch.error());
        return false;
    }
    if (patch->changedBytes == 0) {
        messages.messageBox(kExportPatchTitle, kNothingToExport);
        return false;
    }
    auto chosen = chooseSavePath(files, messages, kExportPatchTitle, kPatchFileFilter,
                                 suggestedPatchPath(filePath), kPatchFileExtension);
    if (!chosen) return false;
    const std::string& out = *chosen;
    if (sameFile(out, filePath)) {
        messages.messageBox(kExportPatchTitle, kPatchOverFile);
        return false;
    }
    std::string_view data(reinterpret_cast<const char*>(patch->bytes.data()), patch->bytes.size());
    if (auto written = writeFileAtomically(out, data); !written) {
        messages.messageBox(kExportPatchTitle, written.error());
        return false;
    }
    messages.messageBox(kExportPatchTitle,
                        "Patch written to " + out + ": " + std::to_string(patch->changedBytes) +
                            " bytes changed in " + std::to_string(patch->records) +
                            " records.\nCRC32 of the original: " + crc32Text(crc32(opened)));
    return true;
}

}  // namespace kestra
