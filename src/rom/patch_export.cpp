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

bool exportPatch(const Bytes& opened, const std::string& filePath, FilePort& files,
                 MessagePort& messages) {
    auto now = readFileBytes(filePath);
    if (!now) {
        messages.messageBox(kExportPatchTitle, now.error());
        return false;
    }
    auto patch = makeIpsPatch(opened, *now);
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
    if (auto err = writeFileAtomically(out, data)) {
        messages.messageBox(kExportPatchTitle, *err);
        return false;
    }
    messages.messageBox(kExportPatchTitle,
                        "Patch written to " + out + ": " + std::to_string(patch->changedBytes) +
                            " bytes changed in " + std::to_string(patch->records) +
                            " records.\nCRC32 of the original: " + crc32Text(crc32(opened)));
    return true;
}

}  // namespace kestra
