// Regression cases of hostile input: files that are no files, and the reduced inputs on which
// the fuzz harnesses once failed.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>

#include "rom/file_bytes.h"
#include "test_files.h"

namespace kestra {
namespace {

TEST(HostileInput, APipeIsRefusedWithoutWaitingForAWriter) {
    testing::TempDir dir;
    std::string pipe = dir.file("pipe.nsf");
    ASSERT_EQ(::mkfifo(pipe.c_str(), 0644), 0);
    auto bytes = readFileBytes(pipe);
    ASSERT_FALSE(bytes);
    EXPECT_EQ(bytes.error(), "\"" + pipe + "\" is not a regular file.");
}

TEST(HostileInput, ADeviceIsRefused) {
    auto bytes = readFileBytes("/dev/zero");
    ASSERT_FALSE(bytes);
    EXPECT_EQ(bytes.error(), "\"/dev/zero\" is not a regular file.");
}

}  // namespace
}  // namespace kestra
