// Writes the seed corpora of the fuzz harnesses from the fixture builder.
#include <cstdio>
#include <filesystem>
#include <string>

#include "fixtures/fixture_builder.h"

int main(int argc, char** argv) {
    using namespace kestra;
    if (argc != 2) {
        std::fprintf(stderr, "usage: kestra-fuzz-seeds DIR\n");
        return 2;
    }
    namespace fs = std::filesystem;
    fs::path root = argv[1];
    fs::create_directories(root / "fuzz_open_file");
    int n = 0;
    for (Layout layout : fixtures::allLayouts()) {
        auto built = fixtures::buildFile(layout, fixtures::sampleSongs());
        Bytes seed;
        seed.push_back(layout == Layout::Nsf ? 0 : 1);
        seed.insert(seed.end(), built.bytes.begin(), built.bytes.end());
        fixtures::writeBytes((root / "fuzz_open_file" / ("layout" + std::to_string(n++))).string(),
                             seed);
    }
    return 0;
}
