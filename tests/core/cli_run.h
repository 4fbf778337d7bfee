// Running kestra-cli from a test with its standard output and standard error kept apart.
#pragma once

#include <sys/wait.h>

#include <cstdio>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>

#include "test_files.h"

namespace kestra::testing {

struct CliRun {
    int status = -1;  // the exit status; -1 when the process did not exit normally
    std::string out;
    std::string err;
};

// Runs kestra-cli with args through the shell, so that redirections work.
inline CliRun runCliApart(const std::string& args) {
    TempDir dir;
    std::string errFile = dir.file("stderr");
    CliRun run;
    std::unique_ptr<FILE, int (*)(FILE*)> p(
        popen((std::string(KESTRA_CLI_PATH) + " " + args + " 2>" + errFile).c_str(), "r"), pclose);
    char buf[4096];
    while (size_t n = fread(buf, 1, sizeof buf, p.get())) run.out.append(buf, n);
    int raw = pclose(p.release());
    run.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    std::ifstream err(errFile, std::ios::binary);
    run.err.assign(std::istreambuf_iterator<char>(err), std::istreambuf_iterator<char>());
    return run;
}

}  // namespace kestra::testing
