// Shared test helpers: a temporary folder removed at the end of the test, fixture files
// opened as the editor opens them, runs of kestra-cli, and bytes as hex text.
#pragma once

#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>

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

// Writes bytes as `name` into dir and opens the file into doc as the editor opens it; the path,
// or why it could not be written or opened.
inline Result<std::string> openFixture(const TempDir& dir, const std::string& name,
                                       const Bytes& bytes, Document& doc) {
    std::string path = dir.file(name);
    if (!fixtures::writeBytes(path, bytes))
        return Result<std::string>::failure("cannot write " + path);
    auto state = openSongFile(path);
    if (!state) return Result<std::string>::failure(state.error());
    doc.file = *state;
    return path;
}

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

// "0A 17 ..." for messages and comparisons.
inline std::string hexOf(const Bytes& b) {
    std::string s;
    for (auto x : b) s += (s.empty() ? "" : " ") + intToHexText(x, 2);
    return s;
}

}  // namespace kestra::testing
