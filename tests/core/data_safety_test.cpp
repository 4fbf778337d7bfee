// What the editor promises about the user's files: writes are whole or absent, never over an
// input, never over a file another program changed, temporary files do not pile up, inputs that
// are no files are refused, and remembered bytes are only written when they spell their line.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <malloc.h>
#include <signal.h>
#include <sys/stat.h>

#include <cstdlib>

#include "editing/song_file_actions.h"
#include "encoder/create_code.h"
#include "format/decoder.h"
#include "format/stream_def.h"
#include "model/atomic_write.h"
#include "model/big_endian.h"
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
    enum Kind { None, File, Link, Pipe, Folder };
    const struct {
        Kind kind;
        mode_t mode;
        const char* refusal;  // null: written
    } cases[] = {
        {None, 0, nullptr},        {File, 0640, nullptr},     {Link, 0604, nullptr},
        {File, 0444, "read-only"}, {Link, 0444, "read-only"}, {Pipe, 0, "not a regular file"},
        {Folder, 0, "folder"},
    };
    for (const auto& c : cases) {
        testing::TempDir dir;
        std::string path = dir.file(c.kind == Link ? "link" : "f");
        std::string real = dir.file("f");
        if (c.kind == File || c.kind == Link) ::chmod(dir.write("f", {1, 2}).c_str(), c.mode);
        if (c.kind == Link) ::symlink(real.c_str(), path.c_str());
        if (c.kind == Pipe) ::mkfifo(path.c_str(), 0644);
        if (c.kind == Folder) fs::create_directory(path);
        Status written = writeFileAtomically(path, "new");
        std::string name = std::to_string(c.kind) + " " + std::to_string(c.mode);
        EXPECT_EQ(written.ok(), c.refusal == nullptr) << name;
        if (c.refusal) {
            EXPECT_NE(written.error().find(c.refusal), std::string::npos) << written.error();
        } else {
            EXPECT_EQ(text(*readFileBytes(real)), "new") << name;
            EXPECT_EQ(fs::is_symlink(path), c.kind == Link) << name;
            struct stat st {};
            ::stat(real.c_str(), &st);
            EXPECT_TRUE(c.kind == None || (st.st_mode & 0777) == c.mode) << name;
        }
        EXPECT_EQ(tempFilesIn(dir.file("")), 0) << name;
    }
    EXPECT_FALSE(writeFileAtomically("/no/such/folder/f", "new").ok());
}

TEST(DataSafety, StaleTemporaryFilesOfDeadWritersAreRemovedAtTheNextWrite) {
    testing::TempDir dir;
    pid_t dead = ::fork();
    if (dead == 0) ::_exit(0);
    ::waitpid(dead, nullptr, 0);
    auto temp = [&](auto pid) { return dir.write("g" + (kTempFileMark + pid) + ".a1B2c3", {}); };
    const std::string stale = temp(std::to_string(dead)), living = temp(std::to_string(getppid())),
                      other = temp(std::string("notes"));
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
struct OpenedSong : testing::OpenedFile {
    OpenedSong() : OpenedFile(Layout::Rom43, fixtures::sampleSongs()) { EXPECT_TRUE(read(4)); }
};

TEST(DataSafety, AFileChangedOnDiskSinceItWasOpenedIsNotWrittenOver) {
    for (int c : {0, 1, 2}) {  // bytes added; a byte changed, size and time kept; written again
        OpenedSong s;
        struct stat st {};
        ::stat(s.path.c_str(), &st);
        Bytes now = s.built.bytes;
        if (c == 0) now.push_back(0);
        if (c == 1) now.back() ^= 0xFF;
        ::usleep(2000);  // a later modification time than the opening's
        fixtures::writeBytes(s.path, now);
        const timespec kept[2] = {st.st_atim, st.st_mtim};
        if (c == 1) ::utimensat(AT_FDCWD, s.path.c_str(), kept, 0);
        const Bytes changed = *readFileBytes(s.path);
        EXPECT_FALSE(createCode(s.doc, s.address(4), 4, &s.messages)) << c;
        EXPECT_NE(s.doc.errors.text().find(kFileChangedOnDisk), std::string::npos)
            << s.doc.errors.text();
        testing::FakeFiles files;
        files.nextSave = s.dir.file("out.ips");
        EXPECT_FALSE(exportPatch(s.built.bytes, s.doc.file, files, s.messages)) << c;
        ASSERT_EQ(s.messages.boxes.size(), 1u) << c;
        EXPECT_NE(s.messages.boxes[0].text.find(kFileChangedOnDisk), std::string::npos);
        EXPECT_EQ(*readFileBytes(s.path), changed) << c;
        EXPECT_FALSE(fs::exists(s.path + ".bak") || fs::exists(s.dir.file("out.ips"))) << c;
    }
    OpenedSong s;  // what the editor wrote itself does not count as a change
    ASSERT_TRUE(createCode(s.doc, s.address(4), 4, &s.messages)) << s.doc.errors.text();
    EXPECT_TRUE(createCode(s.doc, s.address(4), 4, &s.messages)) << s.doc.errors.text();
}

TEST(DataSafety, InputsThatAreNoFilesAreRefusedBeforeReading) {
    testing::TempDir dir;
    const std::string pipe = dir.file("pipe.ksong"), zero = dir.file("zero.ksong");
    ASSERT_EQ(::mkfifo(pipe.c_str(), 0644), 0);
    ASSERT_EQ(::symlink("/dev/zero", zero.c_str()), 0);
    const std::string huge = dir.write("huge.ksong", {});
    fs::resize_file(huge, (64u << 20) + 1);  // sparse: nothing is written
    for (const auto& [path, message] : {std::pair{pipe, "is not a regular file"},
                                        {zero, "is not a regular file"},
                                        {huge, "is too large to be a song file"}}) {
        auto loaded = loadSongFile(path);
        ASSERT_FALSE(loaded) << path;
        EXPECT_NE(loaded.error().find(message), std::string::npos) << loaded.error();
        EXPECT_EQ(runCliApart("show " + path).status, 1) << path;
    }
    auto run = runCliApart("show - < " + huge);
    EXPECT_EQ(run.status, 1);
    EXPECT_NE(run.err.find("standard input is larger than 64 MB"), std::string::npos) << run.err;
}

TEST(DataSafety, RememberedBytesThatDoNotSpellTheirLineAreNotWritten) {
    OpenedSong s;
    int altered = -1;
    int channel = 0;
    ReadMemory edited = s.doc.memory();
    for (; channel < kChannelCount && altered < 0; ++channel) {
        auto& memory = edited[static_cast<size_t>(channel)];
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
    ASSERT_TRUE(saveSongFile(song, s.doc.sheets, {}, &edited).ok());

    Document opened;
    opened.file = s.doc.file;
    UndoHistory history;
    ASSERT_TRUE(readSongFileInto(opened, history, song, {}).ok());
    EXPECT_NE(opened.errors.text().find(std::string(channelMessageName(channel - 1)) + " line " +
                                        std::to_string(altered) + " "),
              std::string::npos)
        << opened.errors.text();
    ASSERT_TRUE(createCode(opened, s.address(4), 4, &s.messages)) << opened.errors.text();
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
    for (int c = 0; c < 4; ++c) appendBigEndian16(song, stream);
    song.insert(song.end(), length - 1, 0x21);
    song.push_back(0x17);
    std::copy(song.begin(), song.end(), bytes.begin() + header);
    auto fsState = recogniseLayout("x.nsf", bytes);
    ASSERT_TRUE(fsState);
    writeBigEndian16(bytes, songTableEntryOffset(*fsState, 1),
                     static_cast<std::uint16_t>(header + kDriverBase - 0x80));
    testing::TempDir dir;
    auto run = runCliApart("roundtrip " + dir.write("x.nsf", bytes));
    EXPECT_EQ(run.status, 1) << run.err;
    EXPECT_EQ(run.out.rfind("1 not created: The new song does not fit", 0), 0u) << run.out;
}

// Sheets are sized from what the stream gives, not from the most lines it could give.
TEST(DataSafety, ReadingHoldsNoSpareRows) {
    Bytes jumps;
    for (int i = 0; i < 5000; ++i) jumps.insert(jumps.end(), {0x16, 0x80, 0x00});
    jumps.push_back(0x17);
    fixtures::SongSpec song;
    song.channels[0] = fixtures::ChannelStream{jumps, {}};
    auto f = testing::recognised(Layout::Rom69, {song});
    auto held = [] {
        struct mallinfo2 m = ::mallinfo2();
        return m.uordblks + m.hblkhd;
    };
    Sheets sheets;
    ErrorBox errors;
    size_t before = held();
    decodeSong(f.fs, f.built.bytes, f.header(), sheets, errors);
    size_t after = held();
    ASSERT_EQ(sheets.channel(0).lineCount(), 5001);
    // Old sizing held three rows a Jump; the rows of one line of the three sheets take < 2 KB.
    EXPECT_LT(after - before, 5001u * 2048u);
}

}  // namespace
}  // namespace kestra
