// What the editor promises about the user's files: writes are whole or absent, never over an
// input, never over a file another program changed, temporary files do not pile up, inputs that
// are no files are refused, and remembered bytes are only written when they spell their line.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <malloc.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <functional>

#include "cli_run.h"
#include "editing/song_file_actions.h"
#include "encoder/create_code.h"
#include "fake_ports.h"
#include "fixtures/fixture_builder.h"
#include "format/decoder.h"
#include "format/read_song.h"
#include "format/stream_def.h"
#include "model/atomic_write.h"
#include "model/song_file.h"
#include "rom/patch_export.h"
#include "rom/song_table.h"
#include "test_files.h"

namespace kestra {
namespace {

namespace fs = std::filesystem;
using testing::runCliApart;

int tempFilesIn(const std::string& folder) {
    int n = 0;
    for (const auto& e : fs::directory_iterator(folder))
        if (e.path().filename().string().find(kTempFileMark) != std::string::npos) ++n;
    return n;
}

std::string_view text(const Bytes& b) {
    return {reinterpret_cast<const char*>(b.data()), b.size()};
}

TEST(DataSafety, TheWriterReplacesRegularWritableFilesOnly) {
    struct Case {
        const char* name;
        std::function<std::string(const testing::TempDir&)> make;  // the path written
        const char* refusal;                                       // null: written
    };
    const Bytes old{1, 2, 3};
    const Case cases[] = {
        {"new file", [](auto& d) { return d.file("new"); }, nullptr},
        {"permissions kept",
         [&](auto& d) {
             auto p = d.write("f", old);
             ::chmod(p.c_str(), 0640);
             return p;
         },
         nullptr},
        {"through a link",
         [&](auto& d) {
             ::symlink(d.write("real", old).c_str(), d.file("link").c_str());
             return d.file("link");
         },
         nullptr},
        {"read-only",
         [&](auto& d) {
             auto p = d.write("f", old);
             ::chmod(p.c_str(), 0444);
             return p;
         },
         "read-only"},
        {"pipe",
         [](auto& d) {
             ::mkfifo(d.file("p").c_str(), 0644);
             return d.file("p");
         },
         "not a regular file"},
        {"folder",
         [](auto& d) {
             fs::create_directory(d.file("d"));
             return d.file("d");
         },
         "folder"},
    };
    for (const Case& c : cases) {
        testing::TempDir dir;
        std::string path = c.make(dir);
        struct stat before {};
        bool existed = ::stat(path.c_str(), &before) == 0;
        Status written = writeFileAtomically(path, "new");
        EXPECT_EQ(written.ok(), c.refusal == nullptr) << c.name;
        if (c.refusal) {
            EXPECT_NE(written.error().find(c.refusal), std::string::npos) << written.error();
        } else {
            EXPECT_EQ(text(*readFileBytes(path)), "new") << c.name;
            struct stat after {};
            ::stat(path.c_str(), &after);
            if (existed) {
                EXPECT_EQ(after.st_mode, before.st_mode) << c.name;
            }
        }
        if (fs::is_symlink(dir.file("link"))) {
            EXPECT_EQ(text(*readFileBytes(dir.file("real"))), "new");
        }
        EXPECT_EQ(tempFilesIn(dir.file("")), 0) << c.name;
    }
}

TEST(DataSafety, StaleTemporaryFilesOfDeadWritersAreRemovedAtTheNextWrite) {
    testing::TempDir dir;
    pid_t dead = ::fork();
    if (dead == 0) ::_exit(0);
    ::waitpid(dead, nullptr, 0);
    auto temp = [&](pid_t pid) {
        return dir.write(std::string("game.nes") + kTempFileMark + std::to_string(pid) + ".a1B2c3",
                         Bytes(10));
    };
    std::string stale = temp(dead);
    std::string living = temp(::getppid());
    std::string other = dir.write("game.nes.kestra-tmp.notes", Bytes(1));
    {
        AtomicFile unfinished;  // a failure path: given up, its temporary file goes
        ASSERT_TRUE(unfinished.open(dir.file("game.nes")).ok());
        ASSERT_TRUE(unfinished.write("half").ok());
    }
    EXPECT_FALSE(fs::exists(stale));
    EXPECT_TRUE(fs::exists(living));
    EXPECT_TRUE(fs::exists(other));
    EXPECT_FALSE(fs::exists(dir.file("game.nes")));
    EXPECT_EQ(tempFilesIn(dir.file("")), 2);  // the living writer's and the unrelated name
}

// A write killed part way (here by the file size limit) leaves the file and its backup whole or
// absent, and the next write leaves no temporary file behind.
TEST(DataSafety, KilledWritesLeaveNoDamagedBackupAndNoTemporaryFiles) {
    auto built = fixtures::buildFile(Layout::Rom43, fixtures::sampleSongs());
    for (bool backupExists : {false, true}) {
        testing::TempDir dir;
        std::string path = dir.write("game.nes", built.bytes);
        if (backupExists) dir.write("game.nes.bak", built.bytes);
        std::string address = offsetText(built.songs[3].headerOffset);
        std::string dump = dir.file("song.txt");
        ASSERT_EQ(runCliApart("dump " + path + " " + address + " > " + dump).status, 0);
        std::string create =
            std::string(KESTRA_CLI_PATH) + " create " + path + " " + address + " 4 " + dump;
        // 64 blocks of 512 bytes: far less than the file; the write is killed by SIGXFSZ.
        int raw = std::system(("ulimit -f 64; " + create + " 2>/dev/null").c_str());
        EXPECT_FALSE(WIFEXITED(raw) && WEXITSTATUS(raw) == 0) << backupExists;
        EXPECT_EQ(*readFileBytes(path), built.bytes);
        auto bak = readFileBytes(path + ".bak");
        EXPECT_TRUE(!bak || *bak == built.bytes) << "a damaged backup";
        EXPECT_EQ(std::system((create + " >/dev/null 2>&1").c_str()), 0);
        EXPECT_EQ(*readFileBytes(path + ".bak"), built.bytes);
        int files = 0;  // whatever their name: the file, its backup and the dump only
        for ([[maybe_unused]] const auto& e : fs::directory_iterator(dir.file(""))) ++files;
        EXPECT_EQ(files, 3) << backupExists;
    }
}

// The song of Song ID 4 read from a file opened as the editor opens it.
struct OpenedSong {
    testing::TempDir dir;
    fixtures::BuiltFile built = fixtures::buildFile(Layout::Rom43, fixtures::sampleSongs());
    Document doc;
    std::string path;
    std::string address = offsetText(built.songs[3].headerOffset);
    testing::FakeMessages messages;
    OpenedSong() {
        path = *testing::openFixture(dir, "game.nes", built.bytes, doc);
        EXPECT_TRUE(decodeSong(doc.file, built.bytes, built.songs[3].headerOffset, doc.sheets,
                               doc.errors, &doc.readMemory));
    }
};

TEST(DataSafety, AFileChangedOnDiskSinceItWasOpenedIsNotWrittenOver) {
    struct Case {
        const char* name;
        std::function<void(const std::string&, const Bytes&)> change;
    };
    const Case cases[] = {
        {"songs added",
         [](auto& p, const Bytes& b) {
             Bytes more = b;
             more.push_back(0);
             fixtures::writeBytes(p, more);
         }},
        {"same size and time",
         [](auto& p, const Bytes& b) {
             struct stat st {};
             ::stat(p.c_str(), &st);
             Bytes other = b;
             other[other.size() - 1] ^= 0xFF;
             fixtures::writeBytes(p, other);
             const timespec times[2] = {st.st_atim, st.st_mtim};
             ::utimensat(AT_FDCWD, p.c_str(), times, 0);
         }},
        {"touched", [](auto& p, const Bytes&) { ::utimensat(AT_FDCWD, p.c_str(), nullptr, 0); }},
    };
    for (const Case& c : cases) {
        OpenedSong s;
        ::usleep(2000);  // a later modification time than the opening's
        c.change(s.path, s.built.bytes);
        const Bytes changed = *readFileBytes(s.path);
        EXPECT_FALSE(createCode(s.doc, s.address, 4, &s.messages)) << c.name;
        EXPECT_NE(s.doc.errors.text().find(kFileChangedOnDisk), std::string::npos)
            << c.name << ": " << s.doc.errors.text();
        testing::FakeFiles files;
        files.nextSave = s.dir.file("out.ips");
        EXPECT_FALSE(exportPatch(s.built.bytes, s.doc.file, files, s.messages)) << c.name;
        ASSERT_EQ(s.messages.boxes.size(), 1u) << c.name;
        EXPECT_NE(s.messages.boxes[0].text.find(kFileChangedOnDisk), std::string::npos);
        EXPECT_EQ(*readFileBytes(s.path), changed) << c.name;
        EXPECT_FALSE(fs::exists(s.path + ".bak") || fs::exists(s.dir.file("out.ips"))) << c.name;
    }
    OpenedSong s;  // what the editor wrote itself does not count as a change
    ASSERT_TRUE(createCode(s.doc, s.address, 4, &s.messages)) << s.doc.errors.text();
    EXPECT_TRUE(createCode(s.doc, s.address, 4, &s.messages)) << s.doc.errors.text();
}

TEST(DataSafety, InputsThatAreNoFilesAreRefusedBeforeReading) {
    testing::TempDir dir;
    std::string pipe = dir.file("pipe.ksong");
    ASSERT_EQ(::mkfifo(pipe.c_str(), 0644), 0);
    std::string zero = dir.file("zero.ksong");
    ASSERT_EQ(::symlink("/dev/zero", zero.c_str()), 0);
    std::string huge = dir.file("huge.ksong");
    fs::resize_file(dir.write("huge.ksong", {}), (64u << 20) + 1);  // sparse: nothing is written
    struct Case {
        std::string path;
        const char* message;
    } cases[] = {
        {pipe, "is not a regular file"},
        {zero, "is not a regular file"},
        {huge, "is too large to be a song file"},
    };
    for (const Case& c : cases) {
        auto loaded = loadSongFile(c.path);
        ASSERT_FALSE(loaded) << c.path;
        EXPECT_NE(loaded.error().find(c.message), std::string::npos) << loaded.error();
        auto run = runCliApart("show " + c.path);
        EXPECT_EQ(run.status, 1) << c.path;
        EXPECT_NE(run.err.find("is "), std::string::npos) << run.err;
    }
    auto run = runCliApart("show - < " + huge);
    EXPECT_EQ(run.status, 1);
    EXPECT_NE(run.err.find("standard input is larger than 64 MB"), std::string::npos) << run.err;
}

TEST(DataSafety, RememberedBytesThatDoNotSpellTheirLineAreNotWritten) {
    OpenedSong s;
    int altered = -1;
    int channel = 0;
    for (; channel < kChannelCount && altered < 0; ++channel) {
        auto& memory = s.doc.readMemory[static_cast<size_t>(channel)];
        for (size_t i = 0; memory && i < memory->lines.size() && altered < 0; ++i)
            for (size_t at = memory->lines[i].begin; at < memory->lines[i].end && altered < 0;
                 at += 1 + static_cast<size_t>(operandCount(memory->bytes[at])))
                if (isNote(memory->bytes[at])) {
                    memory->bytes[at] ^= 0x01;  // another pitch than the line shows
                    altered = static_cast<int>(i);
                }
    }
    ASSERT_GE(altered, 0);
    std::string song = s.dir.file("song.ksong");
    ASSERT_FALSE(saveSongFile(song, s.doc.sheets, {}, &s.doc.readMemory));

    Document opened;
    opened.file = s.doc.file;
    UndoHistory history;
    ASSERT_FALSE(readSongFileInto(opened, history, song, {}));
    EXPECT_NE(opened.errors.text().find(std::string(channelMessageName(channel - 1)) + " line " +
                                        std::to_string(altered) + " "),
              std::string::npos)
        << opened.errors.text();
    ASSERT_TRUE(createCode(opened, s.address, 4, &s.messages)) << opened.errors.text();
    EXPECT_EQ(*readFileBytes(s.path), s.built.bytes);  // the line as shown, as it was read
}

TEST(DataSafety, RoundtripChecksThatASongFitsBeforePatchingItInMemory) {
    auto built = fixtures::buildFile(Layout::Nsf, fixtures::sampleSongs());
    Bytes bytes = built.bytes;
    bytes.resize(built.dataEnd + 64);  // an NSF may end before its address space does
    // Song ID 1 becomes a header near the end whose four channels share one stream: created
    // again, the channels take four times its room and run past the end of the file.
    const size_t length = 16;
    const auto header = static_cast<std::uint32_t>(bytes.size() - 9 - length);
    const auto stream = static_cast<std::uint16_t>(header + 9 + kDriverBase - 0x80);
    Bytes song{0};
    for (int c = 0; c < 4; ++c)
        song.insert(song.end(), {std::uint8_t(stream >> 8), std::uint8_t(stream)});
    song.insert(song.end(), length - 1, 0x21);
    song.push_back(0x17);
    std::copy(song.begin(), song.end(), bytes.begin() + header);
    auto fsState = recogniseLayout("x.nsf", bytes);
    ASSERT_TRUE(fsState);
    const std::uint16_t entry = static_cast<std::uint16_t>(header + kDriverBase - 0x80);
    bytes[songTableEntryOffset(*fsState, 1)] = static_cast<std::uint8_t>(entry >> 8);
    bytes[songTableEntryOffset(*fsState, 1) + 1] = static_cast<std::uint8_t>(entry & 0xFF);
    testing::TempDir dir;
    auto run = runCliApart("roundtrip " + dir.write("x.nsf", bytes));
    EXPECT_EQ(run.status, 1) << run.err;
    EXPECT_EQ(run.out.rfind("1 not created: The new song does not fit", 0), 0u) << run.out;
}

// Sheets are sized from what the stream gives, not from the most lines it could give.
TEST(DataSafety, ReadingAStreamOfJumpsHoldsNoSpareRows) {
    Bytes jumps;
    for (int i = 0; i < 5000; ++i) jumps.insert(jumps.end(), {0x16, 0x80, 0x00});
    jumps.push_back(0x17);
    fixtures::SongSpec spec;
    spec.channels[0] = fixtures::ChannelStream{jumps, {}};
    auto built = fixtures::buildFile(Layout::Rom69, {spec});
    auto state = recogniseLayout("x.nes", built.bytes);
    ASSERT_TRUE(state);
    auto held = [] {
        struct mallinfo2 m = ::mallinfo2();
        return m.uordblks + m.hblkhd;
    };
    Sheets sheets;
    ErrorBox errors;
    size_t before = held();
    decodeSong(*state, built.bytes, built.songs[0].headerOffset, sheets, errors);
    size_t after = held();
    ASSERT_EQ(sheets.channel(0).lineCount(), 5001);
    // Old sizing held three rows a Jump; the rows of one line of the three sheets take < 2 KB.
    EXPECT_LT(after - before, 5001u * 2048u);
}

}  // namespace
}  // namespace kestra
