// "Export Patch...": the IPS patch from the opened file as it was selected to the file as it is
// on disk now, written where the user chooses, with the original's CRC32 reported.
#pragma once

#include <string>

#include "model/file_state.h"
#include "model/ports.h"
#include "rom/file_bytes.h"

namespace kestra {

inline constexpr const char* kExportPatchTitle = "Export Patch";
inline constexpr const char* kPatchFileFilter = "IPS patches (*.ips)|*.ips|All files (*.*)|*.*";
inline constexpr const char* kPatchFileExtension = ".ips";
inline constexpr const char* kNothingToExport =
    "The file has not changed since it was selected: there is no patch to export.";
inline constexpr const char* kPatchOverFile =
    "The patch cannot be written over the file it patches. Choose another name.";

// opened: the bytes of the file when it was selected. A file another program changed since it
// was selected (or last written by "Create Code") is refused. Every outcome is told through
// messages; true when a patch file was written.
bool exportPatch(const Bytes& opened, const FileState& file, FilePort& files,
                 MessagePort& messages);

}  // namespace kestra
