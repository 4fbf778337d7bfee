// Shared test helpers: a temporary folder removed at the end of the test, fixture files
// opened as the editor opens them, runs of kestra-cli, and bytes as hex text.
#pragma once

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <stdexcept>
#include <string>

#include "fake_ports.h"
#include "fixtures/fixture_builder.h"
#include "format/read_song.h"
#include "model/document.h"
#include "model/hex_text.h"
#include "model/result.h"
#include "rom/layout.h"

namespace kestra::testing {

class TempDir {
  public:
    TempDir() {
        auto base = std::filesystem::temp_directory_path();
        for (int i = 0;; ++i) {
            path_ = base / ("kestra-test-" + std::to_string(::getpid()) + "-" +
                            std::to_string(counter()++));
            if (std::filesystem::create_directory(path_)) break;
        }
    }
    ~TempDir() {
        std::error_code ec;
        std::filesystem::remove_all(path_, ec);
    }
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    std::string file(const std::string& name) const { return (path_ / name).string(); }
    // Writes bytes to name and returns the path.
    std::string write(const std::string& name, const Bytes& bytes) const {
        std::string p = file(name);
        fixtures::writeBytes(p, bytes);
        return p;
    }

  private:
    static int& counter() {
        static int c = 0;
        return c;
    }
    std::filesystem::path path_;
};

// The value of r; a failure ends the test with its message.
template <class T>
T valueOf(Result<T> r) {
    if (!r) throw std::runtime_error(r.error());
    return std::move(*r);
}

// A fixture file written into a fresh folder and opened as the editor opens it.
struct OpenedFile {
    TempDir dir;
    fixtures::BuiltFile built;
    std::string path;
    Document doc;
    FakeMessages messages;

    OpenedFile() = default;
    OpenedFile(Layout layout, const std::vector<fixtures::SongSpec>& songs,
               const fixtures::BuildOptions& options = {}) {
        open(fixtures::buildFile(layout, songs, options));
    }
    void open(const fixtures::BuiltFile& file) {
        built = file;
        path = dir.write("song" + fixtures::extensionFor(file.layout), built.bytes);
        doc.file = valueOf(openSongFile(path));
    }
    Bytes onDisk() const { return valueOf(readFileBytes(path)); }
    std::string address(int songId) const {
        return offsetText(built.songs.at(static_cast<size_t>(songId - 1)).headerOffset);
    }
    // Reads Song ID songId from the file on disk as "Read Channel" does.
    bool read(int songId) {
        doc.readWriteAddress = address(songId);
        return readChannel(doc, nullptr);
    }
};

// A fixture file built in memory and recognised by its layout's extension, as opening it would.
struct Recognised {
    fixtures::BuiltFile built;
    FileState fs;
    std::uint32_t header(size_t song = 0) const { return built.songs[song].headerOffset; }
};
inline Recognised recognised(Layout layout, const std::vector<fixtures::SongSpec>& songs,
                             const fixtures::BuildOptions& options = {}) {
    Recognised r{fixtures::buildFile(layout, songs, options), {}};
    auto fs = recogniseLayout("song" + fixtures::extensionFor(layout), r.built.bytes);
    if (fs) r.fs = *fs;
    return r;
}

// Runs kestra-cli with args through the shell, so that redirections work; standard error goes
// where errTo says (joined to standard output by default). Status as pclose returns it.
inline std::string runCli(const std::string& args, int* status, const std::string& errTo = "&1") {
    std::string out;
    std::unique_ptr<FILE, int (*)(FILE*)> p(
        popen((std::string(KESTRA_CLI_PATH) + " " + args + " 2>" + errTo).c_str(), "r"), pclose);
    char buf[4096];
    while (size_t n = fread(buf, 1, sizeof buf, p.get())) out.append(buf, n);
    *status = pclose(p.release());
    return out;
}

// The process's exit status, -1 when it did not exit normally.
inline int exitStatus(int raw) {
    return WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
}

// As runCli, with the process's exit status.
inline std::string runCliExit(const std::string& args, int* status) {
    std::string out = runCli(args, status);
    *status = exitStatus(*status);
    return out;
}

// A layout's name as the name of a test parameter: "Rom 43" gives "Rom43".
inline std::string layoutParamName(const ::testing::TestParamInfo<Layout>& info) {
    std::string name = layoutName(info.param);
    std::erase(name, ' ');
    return name;
}

// A run of kestra-cli with its standard output and standard error kept apart.
struct CliRun {
    int status = -1;  // the exit status; -1 when the process did not exit normally
    std::string out;
    std::string err;
};
inline CliRun runCliApart(const std::string& args) {
    TempDir dir;
    CliRun run;
    run.out = runCli(args, &run.status, dir.file("stderr"));
    run.status = exitStatus(run.status);
    std::ifstream err(dir.file("stderr"), std::ios::binary);
    run.err.assign(std::istreambuf_iterator<char>(err), std::istreambuf_iterator<char>());
    return run;
}

// "0A 17 ..." for messages and comparisons.
inline std::string hexOf(const Bytes& b) {
    std::string s;
    for (auto x : b) s += (s.empty() ? "" : " ") + intToHexText(x, 2);
    return s;
}

}  // namespace kestra::testing
