// Temporary files for tests: a folder removed at the end of the test.
#pragma once

#include <unistd.h>

#include <filesystem>
#include <string>

#include "fixtures/fixture_builder.h"

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

}  // namespace kestra::testing
