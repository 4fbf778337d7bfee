#include "model/read_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace kestra {

namespace {

std::string quoted(const std::string& path) {
    return "\"" + path + "\"";
}

// Why a file of this status is not read, or the empty text.
std::string refusal(const std::string& path, const struct stat& st, std::uint64_t maxSize,
                    const std::string& kind) {
    if (S_ISDIR(st.st_mode)) return quoted(path) + " is a folder, not a file.";
    if (!S_ISREG(st.st_mode)) return quoted(path) + " is not a regular file.";
    if (static_cast<std::uint64_t>(st.st_size) > maxSize)
        return quoted(path) + " is too large to be " + kind + ".";
    return {};
}

// Reads until the end or until more than maxSize bytes came; false with errno on a failed read.
bool readBounded(int fd, std::uint64_t maxSize, std::vector<std::uint8_t>& out, bool& tooLarge) {
    tooLarge = false;
    std::uint8_t buf[65536];
    for (;;) {
        ssize_t n = ::read(fd, buf, sizeof buf);
        if (n < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        if (n == 0) return true;
        out.insert(out.end(), buf, buf + n);
        if (out.size() > maxSize) {
            tooLarge = true;
            return true;
        }
    }
}

}  // namespace

Result<FileContents> readWholeFile(const std::string& path, std::uint64_t maxSize,
                                   const std::string& kind) {
    using R = Result<FileContents>;
    struct stat st {};
    // Refused before opening: opening some devices already does something.
    if (::stat(path.c_str(), &st) != 0)
        return R::failure("Cannot open " + quoted(path) + ": " + std::strerror(errno) + ".");
    if (auto why = refusal(path, st, maxSize, kind); !why.empty()) return R::failure(why);
    // Non-blocking, so that a file swapped for a pipe meanwhile cannot hang the open; the
    // status of what was really opened decides.
    int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    if (fd < 0)
        return R::failure("Cannot open " + quoted(path) + " for reading: " + std::strerror(errno) +
                          ".");
    FileContents out;
    std::string why;
    if (::fstat(fd, &st) != 0)
        why = "Cannot open " + quoted(path) + ": " + std::strerror(errno) + ".";
    else
        why = refusal(path, st, maxSize, kind);
    if (why.empty()) {
        out.modifiedNs =
            static_cast<std::int64_t>(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec;
        out.bytes.reserve(static_cast<size_t>(st.st_size));
        bool tooLarge = false;
        if (!readBounded(fd, maxSize, out.bytes, tooLarge))
            why = "Cannot read " + quoted(path) + " to its end: " + std::strerror(errno) + ".";
        else if (tooLarge)
            why = quoted(path) + " is too large to be " + kind + ".";
    }
    ::close(fd);
    if (!why.empty()) return R::failure(why);
    return out;
}

Result<std::vector<std::uint8_t>> readAllOf(int fd, std::uint64_t maxSize,
                                            const std::string& name) {
    using R = Result<std::vector<std::uint8_t>>;
    std::vector<std::uint8_t> bytes;
    bool tooLarge = false;
    if (!readBounded(fd, maxSize, bytes, tooLarge))
        return R::failure("cannot read " + name + ": " + std::strerror(errno));
    if (tooLarge)
        return R::failure(name + " is larger than " + std::to_string(maxSize >> 20) + " MB");
    return bytes;
}

}  // namespace kestra
