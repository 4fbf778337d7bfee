// Regression cases of hostile input: files that are no files, and the reduced inputs on which
// the fuzz harnesses once failed.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>

#include "rom/file_bytes.h"

namespace kestra {
namespace {

namespace fs = std::filesystem;

TEST(HostileInput, APipeIsRefusedWithoutWaitingForAWriter) {
    fs::path pipe =
        fs::temp_directory_path() / ("kestra-pipe-" + std::to_string(::getpid()) + ".nsf");
    fs::remove(pipe);
    ASSERT_EQ(::mkfifo(pipe.c_str(), 0644), 0);
    auto bytes = readFileBytes(pipe.string());
    fs::remove(pipe);
    ASSERT_FALSE(bytes);
    EXPECT_EQ(bytes.error(), "\"" + pipe.string() + "\" is not a regular file.");
}

TEST(HostileInput, ADeviceIsRefused) {
    auto bytes = readFileBytes("/dev/zero");
    ASSERT_FALSE(bytes);
    EXPECT_EQ(bytes.error(), "\"/dev/zero\" is not a regular file.");
}

}  // namespace
}  // namespace kestra
