// kestra-cli as a Unix tool: exit statuses, standard streams, checked writes, no output over
// an input, and "create".
#include <gtest/gtest.h>

#include <map>

#include "rom/crc32.h"
#include "rom/file_bytes.h"
#include "rom/ips_patch.h"
#include "test_files.h"

namespace kestra {
namespace {

using testing::runCliApart;

class CliCommand : public ::testing::Test {
  protected:
    void SetUp() override {
        built = fixtures::buildFile(Layout::Rom43, fixtures::sampleSongs());
        path = dir.write("song.nes", built.bytes);
        address = offsetText(built.songs[3].headerOffset);
    }
    testing::TempDir dir;
    fixtures::BuiltFile built;
    std::string path;
    std::string address;
};

TEST_F(CliCommand, EveryCommandFollowsOneConvention) {
    dir.write("-dash.nes", built.bytes);
    std::string dump = runCliApart("dump " + path + " " + address).out;
    ASSERT_FALSE(dump.empty());
    std::string songs;  // one line per Song ID, the sound effect marked
    for (size_t i = 0; i < 4; ++i)
        songs += std::to_string(i + 1) + " " + offsetText(built.songs[i].headerOffset) +
                 (i == 2 ? " sfx\n" : " song\n");
    struct Case {
        std::string args;
        int status;
        std::string out;  // expected within standard output
        std::string err;  // expected within standard error
    } cases[] = {
        {"", 2, "", "Usage: kestra-cli"},
        {"--help", 0, "roundtrip", ""},
        {"dump --help", 0, "--remember", ""},
        {"help apply", 0, "PATCH.ips", ""},
        {"--version", 0, "kestra-cli 0.", ""},
        {"frobnicate", 2, "", "kestra-cli: "},
        {"songs", 2, "", "kestra-cli: "},
        {"songs --bogus " + path, 2, "", "kestra-cli: "},
        {"songs " + path + " extra", 2, "", "kestra-cli: "},
        {"songs " + dir.file("missing.nes"), 1, "", "kestra-cli: Cannot open"},
        {"songs " + path, 0, songs, ""},
        {"songs - < " + path, 0, "4 " + address + " song\n", ""},
        {"songs -- " + dir.file("-dash.nes"), 0, " song\n", ""},
        {"dump --remember " + path + " " + address, 0, "memory", ""},
        {"dump " + path + " " + address + " --remember", 0, "memory", ""},
        {"dump " + path + " XYZ", 2, "", "kestra-cli: "},
        {"dump " + path + " " + offsetText(built.songs[2].headerOffset), 1,
         "message: ", "kestra-cli: "},
        {"create " + path + " " + address + " x", 2, "", "SONGID"},
        {"create - " + address + " 4", 2, "", "kestra-cli: "},
        {"space " + path, 0, "00000-0000F 16 file-header\n", ""},
        {"space " + path, 0, " 9 sfx-header:3\n", ""},
        // Failed writes are failures, whatever the command printed before.
        {"--help > /dev/full", 1, "", "kestra-cli: cannot write to standard output"},
        {"songs " + path + " > /dev/full", 1, "", "kestra-cli: cannot write"},
        {"dump " + path + " " + address + " > /dev/full", 1, "", "kestra-cli: cannot write"},
        {"show - > /dev/full < " + dir.write("d.txt", Bytes(dump.begin(), dump.end())), 1, "",
         "kestra-cli: cannot write"},
        {"patch " + path + " " + path + " - > /dev/full", 1, "", "kestra-cli: cannot write"},
    };
    for (const auto& c : cases) {
        auto run = runCliApart(c.args);
        EXPECT_EQ(run.status, c.status) << c.args << "\n" << run.err;
        EXPECT_NE(run.out.find(c.out), std::string::npos) << c.args << "\n" << run.out;
        EXPECT_NE(run.err.find(c.err), std::string::npos) << c.args << "\n" << run.err;
        if (c.status == 0) {
            EXPECT_EQ(run.err, "") << c.args;
        }
    }
}

TEST_F(CliCommand, PatchAndApplyThroughStandardStreams) {
    Bytes changed = built.bytes;
    changed[100] ^= 0xFF;
    std::string changedPath = dir.write("changed.nes", changed);
    std::string patch = dir.file("p.ips");
    auto made = runCliApart("patch " + path + " " + changedPath + " - > " + patch);
    ASSERT_EQ(made.status, 0) << made.err;
    // The summary is not in the patch.
    EXPECT_NE(made.err.find("CRC32 of the original: " + crc32Text(crc32(built.bytes))),
              std::string::npos);
    auto applied = runCliApart("apply " + path + " - - < " + patch);
    ASSERT_EQ(applied.status, 0) << applied.err;
    EXPECT_TRUE(Bytes(applied.out.begin(), applied.out.end()) == changed);
    std::string out = dir.file("out.nes");
    EXPECT_EQ(runCliApart("apply " + path + " " + patch + " " + out).status, 0);
    EXPECT_TRUE(*readFileBytes(out) == changed);
    // A damaged patch is refused and nothing is written.
    auto bad = runCliApart("apply " + path + " " + path + " " + dir.file("bad.nes"));
    EXPECT_EQ(bad.status, 1);
    EXPECT_EQ(bad.err.rfind("kestra-cli: ", 0), 0u) << bad.err;
    EXPECT_FALSE(readFileBytes(dir.file("bad.nes")));
    EXPECT_EQ(runCliApart("apply - - " + out).status, 2);
}

TEST_F(CliCommand, CreateWritesTheSongBackOrNothing) {
    std::string dump = dir.file("song4.txt");
    ASSERT_EQ(runCliApart("dump " + path + " " + address + " > " + dump).status, 0);
    auto run = runCliApart("create " + path + " " + address + " 4 " + dump);
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out + run.err, "");
    EXPECT_TRUE(*readFileBytes(path) == built.bytes);
    EXPECT_TRUE(readFileBytes(path + ".bak"));
    EXPECT_EQ(runCliApart("create " + path + " " + address + " 4 < " + dump).status, 0);
    run = runCliApart("create " + path + " auto 4 " + dump);
    EXPECT_EQ(run.out, "placed: " + address + " (17 bytes, in place)\n") << run.err;
    EXPECT_TRUE(*readFileBytes(path) == built.bytes);

    std::string other = dir.write("other.nes", built.bytes);
    run = runCliApart("create " + other + " \"\" 1 " + dump);
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.out, "message: Enter an address first.\n");  // the song's own messages
    EXPECT_EQ(run.err.rfind("kestra-cli: ", 0), 0u) << run.err;
    run = runCliApart("create " + other + " " + offsetText(built.songTableBase - 2) + " 1 " + dump);
    EXPECT_EQ(run.status, 1);
    EXPECT_NE(run.out.find("message: The new song would overwrite the song table"),
              std::string::npos)
        << run.out;
    run = runCliApart("create " + other + " 15000 1 " + dir.write("empty.txt", Bytes{}));
    EXPECT_EQ(run.status, 1);
    EXPECT_NE(run.err.find("line"), std::string::npos) << run.err;  // the dump is refused
    EXPECT_TRUE(*readFileBytes(other) == built.bytes);
    EXPECT_FALSE(readFileBytes(other + ".bak"));
}

TEST_F(CliCommand, NoCommandWritesOverOneOfItsInputs) {
    Bytes changed = built.bytes;
    changed[100] ^= 0xFF;
    std::string changedPath = dir.write("changed.nes", changed);
    std::string link = dir.file("link.nes");
    std::string hard = dir.file("hard.nes");
    ASSERT_EQ(::symlink(changedPath.c_str(), link.c_str()), 0);
    ASSERT_EQ(::link(changedPath.c_str(), hard.c_str()), 0);
    std::string patch = dir.file("p.ips");
    std::string dump = dir.file("d.txt");
    ASSERT_EQ(runCliApart("patch " + path + " " + changedPath + " " + patch).status, 0);
    ASSERT_EQ(runCliApart("dump " + path + " " + address + " > " + dump).status, 0);
    auto snapshot = [&] {
        std::map<std::string, Bytes> files;
        for (const auto& e : std::filesystem::directory_iterator(dir.file("")))
            files[e.path().filename().string()] = *readFileBytes(e.path().string());
        return files;
    };
    const auto before = snapshot();
    const std::string changes = path + " " + changedPath + " ";
    const std::string cases[] = {
        "patch " + changes + changedPath,
        "patch " + changes + link,
        "patch " + changes + hard,
        "patch " + changes + dir.file("./song.nes"),
        "apply " + path + " " + patch + " " + patch,
        "apply " + link + " " + patch + " " + changedPath,
        "create " + path + " " + address + " 4 " + dir.file("./song.nes"),
#ifdef KESTRA_HAVE_PREVIEW
        "render " + changedPath + " 0 1 " + hard,
        "render " + path + " 0 1 " + dump + " --sheets " + dump + " --address " + address +
            " --song 4",
#endif
    };
    for (const std::string& args : cases) {
        auto run = runCliApart(args);
        EXPECT_EQ(run.status, 1) << args;
        EXPECT_NE(run.err.find("is also an input of the command"), std::string::npos)
            << args << "\n"
            << run.err;
        EXPECT_TRUE(snapshot() == before) << args;
    }
}

}  // namespace
}  // namespace kestra
