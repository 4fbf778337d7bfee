#include "model/atomic_write.h"

#include <dirent.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>

namespace kestra {

namespace {

std::string folderOf(const std::string& path) {
    auto slash = path.find_last_of('/');
    if (slash == std::string::npos) return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

// Makes a rename in the folder durable.
void syncFolder(const std::string& folder) {
    int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return;
    ::fsync(fd);
    ::close(fd);
}

std::string cannotWrite(const std::string& path, const std::string& why, bool existed) {
    return "The file " + path + " could not be written: " + why +
           (existed ? ". It was left unchanged." : ".");
}

struct Target {
    std::string path;  // links resolved
    bool exists = false;
    struct stat st {};
};

// The file path names once links are followed, or why it may not be replaced.
Result<Target> targetOf(const std::string& path) {
    Target t;
    struct stat link {};
    if (::lstat(path.c_str(), &link) != 0) {
        if (errno != ENOENT)
            return Result<Target>::failure(cannotWrite(path, std::strerror(errno), false));
        t.path = path;
        return t;
    }
    t.exists = true;
    t.path = path;
    if (S_ISLNK(link.st_mode)) {
        char resolved[PATH_MAX];
        if (!::realpath(path.c_str(), resolved))
            return Result<Target>::failure(cannotWrite(
                path, std::string("it is a link that leads nowhere (") + std::strerror(errno) + ")",
                true));
        t.path = resolved;
    }
    if (::stat(t.path.c_str(), &t.st) != 0)
        return Result<Target>::failure(cannotWrite(path, std::strerror(errno), true));
    if (S_ISDIR(t.st.st_mode))
        return Result<Target>::failure(cannotWrite(path, "it is a folder", true));
    if (!S_ISREG(t.st.st_mode))
        return Result<Target>::failure(cannotWrite(path, "it is not a regular file", true));
    // A read-only file stays read-only, also for a user whom the system would let write anyway.
    if ((t.st.st_mode & 0222) == 0 || ::access(t.path.c_str(), W_OK) != 0)
        return Result<Target>::failure(cannotWrite(path, "it is read-only", true));
    return t;
}

// "NAME.kestra-tmp.PID.XXXXXX": the PID of the writer, or 0 when name is no temporary file.
long writerOf(const char* name) {
    const char* mark = std::strstr(name, kTempFileMark);
    if (!mark) return 0;
    const char* digits = mark + std::strlen(kTempFileMark);
    char* end = nullptr;
    long pid = std::strtol(digits, &end, 10);
    if (end == digits || *end != '.' || std::strlen(end + 1) != 6) return 0;
    return pid;
}

}  // namespace

void removeStaleTempFiles(const std::string& folder) {
    DIR* dir = ::opendir(folder.c_str());
    if (!dir) return;
    const long self = static_cast<long>(::getpid());
    while (const dirent* e = ::readdir(dir)) {
        long pid = writerOf(e->d_name);
        if (pid <= 0 || pid == self) continue;
        // EPERM: the process runs under another user, so it is alive.
        if (::kill(static_cast<pid_t>(pid), 0) == 0 || errno != ESRCH) continue;
        std::string path = folder + "/" + e->d_name;
        struct stat st {};
        if (::lstat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode)) ::unlink(path.c_str());
    }
    ::closedir(dir);
}

AtomicFile::~AtomicFile() {
    abandon();
}

void AtomicFile::abandon() {
    if (fd_ >= 0) ::close(fd_);
    if (!temp_.empty()) ::unlink(temp_.c_str());
    fd_ = -1;
    temp_.clear();
}

Status AtomicFile::fail(const std::string& why) {
    abandon();
    return Status::failure(cannotWrite(path_, why, ::access(target_.c_str(), F_OK) == 0));
}

Status AtomicFile::open(const std::string& path, int newFileMode) {
    abandon();
    path_ = path;
    auto target = targetOf(path);
    if (!target) return Status::failure(target.error());
    target_ = target->path;
    if (target->exists) {
        mode_ = target->st.st_mode & 07777;
    } else {
        mode_t mask = ::umask(0);
        ::umask(mask);
        mode_ = static_cast<unsigned>(newFileMode < 0 ? 0666 : newFileMode) & ~mask & 07777;
    }
    std::string folder = folderOf(target_);
    removeStaleTempFiles(folder);
    std::string temp =
        target_ + kTempFileMark + std::to_string(static_cast<long>(::getpid())) + ".XXXXXX";
    fd_ = ::mkstemp(temp.data());
    if (fd_ < 0)
        return fail(std::string("no temporary file could be made in its folder (") +
                    std::strerror(errno) + ")");
    temp_ = temp;
    if (target->exists && ::fchown(fd_, target->st.st_uid, target->st.st_gid) != 0) {
        // Only root may give a file away; keeping our own ownership is harmless.
    }
    return Status::done();
}

Status AtomicFile::write(std::string_view data) {
    if (fd_ < 0) return Status::failure(cannotWrite(path_, "it is not open", false));
    while (!data.empty()) {
        ssize_t n = ::write(fd_, data.data(), data.size());
        if (n < 0) {
            if (errno == EINTR) continue;
            return fail(std::strerror(errno));
        }
        data.remove_prefix(static_cast<size_t>(n));
    }
    return Status::done();
}

Status AtomicFile::writeAt(std::uint64_t offset, std::string_view data) {
    if (fd_ < 0) return Status::failure(cannotWrite(path_, "it is not open", false));
    while (!data.empty()) {
        ssize_t n = ::pwrite(fd_, data.data(), data.size(), static_cast<off_t>(offset));
        if (n < 0) {
            if (errno == EINTR) continue;
            return fail(std::strerror(errno));
        }
        data.remove_prefix(static_cast<size_t>(n));
        offset += static_cast<std::uint64_t>(n);
    }
    return Status::done();
}

Status AtomicFile::commit() {
    if (fd_ < 0) return Status::failure(cannotWrite(path_, "it is not open", false));
    if (::fchmod(fd_, static_cast<mode_t>(mode_)) != 0) return fail(std::strerror(errno));
    if (::fsync(fd_) != 0) return fail(std::strerror(errno));
    int fd = fd_;
    fd_ = -1;
    if (::close(fd) != 0) return fail(std::strerror(errno));
    if (::rename(temp_.c_str(), target_.c_str()) != 0) return fail(std::strerror(errno));
    temp_.clear();
    syncFolder(folderOf(target_));
    return Status::done();
}

Status writeFileAtomically(const std::string& path, std::string_view data, int newFileMode) {
    AtomicFile file;
    if (auto s = file.open(path, newFileMode); !s) return s;
    if (auto s = file.write(data); !s) return s;
    return file.commit();
}

Status replaceRefusal(const std::string& path) {
    auto target = targetOf(path);
    return target ? Status::done() : Status::failure(target.error());
}

std::string backupPathOf(const std::string& path) {
    return path + ".bak";
}

Status keepBackupOnce(const std::string& path, std::string_view original) {
    std::string bak = backupPathOf(path);
    struct stat st {};
    if (::lstat(bak.c_str(), &st) == 0) return Status::done();
    struct stat orig {};
    int mode =
        ::stat(path.c_str(), &orig) == 0 ? static_cast<int>((orig.st_mode & 0777) | 0600) : 0644;
    if (auto s = writeFileAtomically(bak, original, mode); !s)
        return Status::failure("The backup copy " + bak + " could not be made (" + s.error() +
                               "). Nothing was written.");
    return Status::done();
}

}  // namespace kestra
