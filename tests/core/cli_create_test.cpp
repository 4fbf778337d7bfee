#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <memory>

#include "fixtures/fixture_builder.h"
#include "rom/file_bytes.h"
#include "test_files.h"

namespace kestra {
namespace {

namespace fs = std::filesystem;

class CliCreate : public ::testing::Test {
  protected:
    void SetUp() override {
        built = fixtures::buildFile(Layout::Rom43, fixtures::sampleSongs());
        path = folder.write("song.nes", built.bytes);
    }
    testing::TempDir folder;
    fixtures::BuiltFile built;
    std::string path;
};

TEST_F(CliCreate, DumpThenCreateWritesTheSongBack) {
    std::string address = offsetText(built.songs[3].headerOffset);
    std::string dump = folder.file("song4.txt");
    int status = -1;
    testing::runCliExit("dump " + path + " " + address + " > " + dump, &status);
    ASSERT_EQ(status, 0);
    std::string out = testing::runCliExit("create " + path + " " + address + " 4 " + dump, &status);
    EXPECT_EQ(status, 0) << out;
    EXPECT_EQ(out, "");
    EXPECT_TRUE(*readFileBytes(path) == built.bytes);
    EXPECT_TRUE(fs::exists(path + ".bak"));
    // The sheet dump may come from standard input too.
    out = testing::runCliExit("create " + path + " " + address + " 4 - < " + dump, &status);
    EXPECT_EQ(status, 0) << out;
}

TEST_F(CliCreate, MessagesArePrintedAndNothingIsWritten) {
    std::string dump = folder.write("empty.txt", Bytes{});
    int status = -1;
    std::string out = testing::runCliExit("create " + path + " 15000 1 " + dump, &status);
    EXPECT_EQ(status, 1);
    EXPECT_NE(out.find("line"), std::string::npos) << out;  // the dump is refused
    std::string song = folder.file("song.txt");
    testing::runCliExit(
        "dump " + path + " " + offsetText(built.songs[0].headerOffset) + " > " + song, &status);
    out = testing::runCliExit("create " + path + " \"\" 1 " + song, &status);
    EXPECT_EQ(status, 1);
    EXPECT_EQ(out, "message: Enter an address first.\n");
    out = testing::runCliExit(
        "create " + path + " " + offsetText(built.songTableBase - 2) + " 1 " + song, &status);
    EXPECT_EQ(status, 1);
    EXPECT_NE(out.find("message: The new song would overwrite the song table"), std::string::npos)
        << out;
    EXPECT_TRUE(*readFileBytes(path) == built.bytes);
    EXPECT_FALSE(fs::exists(path + ".bak"));
    out = testing::runCliExit("create " + path + " 15000 x " + song, &status);
    EXPECT_EQ(status, 2);
}

}  // namespace
}  // namespace kestra
