// The one way files are written: the data go to a temporary file in the target's folder, reach
// the disk, and replace the target in one rename, so a crash, a kill or a full disk never
// leaves a file half written. Every output of the program (the game file, its backup, song
// files, patches, WAV files) goes through here.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "model/result.h"

namespace kestra {

// Temporary files are named "NAME.kestra-tmp.PID.XXXXXX" beside NAME.
inline constexpr const char* kTempFileMark = ".kestra-tmp.";

// A file being written. Symbolic links are followed: the link stays and its target is replaced.
// A target that exists must be a regular, writable file; it keeps its permissions. Until
// commit() succeeds the target is untouched, and the temporary file is removed on every failure
// and by the destructor.
class AtomicFile {
  public:
    AtomicFile() = default;
    ~AtomicFile();
    AtomicFile(const AtomicFile&) = delete;
    AtomicFile& operator=(const AtomicFile&) = delete;

    // newFileMode: the permissions of a target that does not exist yet (less the umask);
    // negative for the usual 0666.
    Status open(const std::string& path, int newFileMode = -1);
    Status write(std::string_view data);
    // Overwrites bytes already written (sizes in a header written first).
    Status writeAt(std::uint64_t offset, std::string_view data);
    Status commit();
    // Gives up: the temporary file goes, the target stays as it was.
    void abandon();

  private:
    Status fail(const std::string& why);
    std::string path_;    // as given, for messages
    std::string target_;  // links resolved
    std::string temp_;
    int fd_ = -1;
    unsigned mode_ = 0;
};

// Writes the whole of data to path through an AtomicFile.
Status writeFileAtomically(const std::string& path, std::string_view data, int newFileMode = -1);

// Why path may not be replaced (not a regular file, read-only), checked before anything is
// written; done when it may, or does not exist yet.
Status replaceRefusal(const std::string& path);

// Keeps the original of path beside it as path + ".bak" unless that already exists, written
// atomically so that it is either whole or absent.
Status keepBackupOnce(const std::string& path, std::string_view original);
std::string backupPathOf(const std::string& path);

// Removes the temporary files of writes into `folder` whose process no longer runs.
void removeStaleTempFiles(const std::string& folder);

}  // namespace kestra
