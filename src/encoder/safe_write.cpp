#include "encoder/safe_write.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>

namespace kestra {

namespace {

std::string reason() {
    return std::strerror(errno);
}

bool writeAll(int fd, const Bytes& bytes) {
    size_t done = 0;
    while (done < bytes.size()) {
        ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (n < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        done += static_cast<size_t>(n);
    }
    return true;
}

std::string folderOf(const std::string& path) {
    auto slash = path.find_last_of('/');
    if (slash == std::string::npos) return ".";
    if (slash == 0) return "/";
    return path.substr(0, slash);
}

// Makes a rename in the folder durable.
void syncFolder(const std::string& folder) {
    int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY);
    if (fd < 0) return;
    ::fsync(fd);
    ::close(fd);
}

}  // namespace

std::string backupPathOf(const std::string& path) {
    return path + ".bak";
}

namespace {

// The target of path (links followed) and its status, or the reason it may not be replaced.
std::string checkTarget(const std::string& path, std::string& target, struct stat& st) {
    const std::string failed = "The file " + path + " could not be written: ";
    const std::string unchanged = ". It was left unchanged.";
    char resolved[PATH_MAX];
    if (!::realpath(path.c_str(), resolved)) return failed + reason() + unchanged;
    target = resolved;
    if (::stat(target.c_str(), &st) != 0) return failed + reason() + unchanged;
    if (!S_ISREG(st.st_mode)) return failed + "it is not a regular file" + unchanged;
    // A read-only file stays read-only, also for a user whom the system would let write anyway.
    if ((st.st_mode & 0222) == 0 || ::access(target.c_str(), W_OK) != 0)
        return failed + "it is read-only" + unchanged;
    return {};
}

}  // namespace

std::string replaceRefusal(const std::string& path) {
    std::string target;
    struct stat st {};
    return checkTarget(path, target, st);
}

std::string replaceFileContents(const std::string& path, const Bytes& bytes) {
    const std::string failed = "The file " + path + " could not be written: ";
    const std::string unchanged = ". It was left unchanged.";
    std::string target;
    struct stat st {};
    if (std::string problem = checkTarget(path, target, st); !problem.empty()) return problem;

    std::string folder = folderOf(target);
    std::string temp = folder + "/.kestra-write-XXXXXX";
    int fd = ::mkstemp(temp.data());
    if (fd < 0)
        return failed + "no temporary file could be made in its folder (" + reason() + ")" +
               unchanged;
    auto abandon = [&](const std::string& why) {
        ::close(fd);
        ::unlink(temp.c_str());
        return failed + why + unchanged;
    };
    if (!writeAll(fd, bytes)) return abandon(reason());
    if (::fchmod(fd, st.st_mode & 07777) != 0) return abandon(reason());
    if (::fchown(fd, st.st_uid, st.st_gid) != 0) {
        // Only the owner matters to other users; keeping our own ownership is harmless.
    }
    if (::fsync(fd) != 0) return abandon(reason());
    if (::close(fd) != 0) {
        ::unlink(temp.c_str());
        return failed + reason() + unchanged;
    }
    if (::rename(temp.c_str(), target.c_str()) != 0) {
        std::string why = reason();
        ::unlink(temp.c_str());
        return failed + why + unchanged;
    }
    syncFolder(folder);
    return {};
}

std::string keepBackupOnce(const std::string& path, const Bytes& original) {
    std::string bak = backupPathOf(path);
    struct stat st {};
    if (::lstat(bak.c_str(), &st) == 0) return {};
    struct stat orig {};
    mode_t mode = ::stat(path.c_str(), &orig) == 0 ? (orig.st_mode & 0777) : 0644;
    const std::string failed = "The backup copy " + bak + " could not be made: ";
    const std::string nothing = ". Nothing was written.";
    int fd = ::open(bak.c_str(), O_WRONLY | O_CREAT | O_EXCL, mode | S_IWUSR | S_IRUSR);
    if (fd < 0) return failed + reason() + nothing;
    bool ok = writeAll(fd, original) && ::fsync(fd) == 0;
    std::string why = ok ? std::string() : reason();
    if (::close(fd) != 0 && ok) {
        ok = false;
        why = reason();
    }
    if (!ok) {
        ::unlink(bak.c_str());
        return failed + why + nothing;
    }
    syncFolder(folderOf(bak));
    return {};
}

}  // namespace kestra
