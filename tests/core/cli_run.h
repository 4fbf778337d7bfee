// Running kestra-cli from a test with its standard output and standard error kept apart.
#pragma once

#include <fstream>
#include <iterator>
#include <string>

#include "test_files.h"

namespace kestra::testing {

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

}  // namespace kestra::testing
