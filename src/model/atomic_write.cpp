#include "model/atomic_write.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace kestra {

namespace {

std::string folderOf(const std::string& path) {
    auto slash = path.find_last_of('/');
    if (slash == std::string::npos) return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

std::string failure(const std::string& path, const char* what, int err) {
    return std::string("Cannot write \"") + path + "\" (" + what + "): " + std::strerror(err) + ".";
}

}  // namespace

std::optional<std::string> writeFileAtomically(const std::string& path, std::string_view data) {
    struct stat st {};
    mode_t mode = 0;
    if (::stat(path.c_str(), &st) == 0) {
        if (S_ISDIR(st.st_mode)) return "\"" + path + "\" is a folder, not a file.";
        mode = st.st_mode & 07777;
    } else {
        mode_t mask = ::umask(0);
        ::umask(mask);
        mode = 0666 & ~mask;
    }
    std::string temp = folderOf(path) + "/.kestra-XXXXXX";
    int fd = ::mkstemp(temp.data());
    if (fd < 0) return failure(path, "temporary file", errno);
    auto abandon = [&](const char* what) {
        int err = errno;
        ::close(fd);
        ::unlink(temp.c_str());
        return failure(path, what, err);
    };
    const char* p = data.data();
    size_t left = data.size();
    while (left > 0) {
        ssize_t n = ::write(fd, p, left);
        if (n < 0) {
            if (errno == EINTR) continue;
            return abandon("write");
        }
        p += n;
        left -= static_cast<size_t>(n);
    }
    if (::fchmod(fd, mode) != 0) return abandon("permissions");
    if (::fsync(fd) != 0) return abandon("sync");
    if (::close(fd) != 0) {
        int err = errno;
        ::unlink(temp.c_str());
        return failure(path, "close", err);
    }
    if (::rename(temp.c_str(), path.c_str()) != 0) {
        int err = errno;
        ::unlink(temp.c_str());
        return failure(path, "rename", err);
    }
    return std::nullopt;
}

}  // namespace kestra
