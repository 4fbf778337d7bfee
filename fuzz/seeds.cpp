// Writes the seed corpora of the fuzz harnesses from the fixture builder: the fixture files (the
// NSF as it is, every file also in the sparse form), the sheet dump of every fixture song, and
// editing sequences on each of them.
#include <cstdio>
#include <filesystem>
#include <string>

#include "format/read_song.h"
#include "fuzz_inputs.h"
#include "model/sheet_dump.h"

namespace {

using namespace kestra;
namespace fs = std::filesystem;

void writeSeed(const fs::path& dir, const std::string& name, const Bytes& bytes) {
    fs::create_directories(dir);
    fixtures::writeBytes((dir / name).string(), bytes);
}

Bytes textBytes(std::uint8_t a, std::uint8_t b, const std::string& text) {
    Bytes out{a, b};
    out.insert(out.end(), text.begin(), text.end());
    return out;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: kestra-fuzz-seeds DIR\n");
        return 2;
    }
    fs::path root = argv[1];
    const auto& files = fuzz::fixtureFiles();
    std::uint32_t random = 12345;
    auto next = [&] {
        random = random * 1103515245u + 12345u;
        return static_cast<std::uint8_t>(random >> 16);
    };
    for (std::size_t f = 0; f < files.size(); ++f) {
        const auto& built = files[f].built;
        std::string tag = std::to_string(f);
        std::uint8_t kind = built.layout == Layout::Nsf ? 0 : 1;
        if (built.layout == Layout::Nsf) {
            Bytes seed{kind};
            seed.insert(seed.end(), built.bytes.begin(), built.bytes.end());
            writeSeed(root / "fuzz_open_file", "file" + tag, seed);
            writeSeed(root / "fuzz_roundtrip", "file" + tag, seed);
        }
        Bytes sparse{static_cast<std::uint8_t>(kind | 2)};
        auto body = fuzz::sparseFileOf(built.bytes, 0xEA);
        sparse.insert(sparse.end(), body.begin(), body.end());
        writeSeed(root / "fuzz_open_file", "sparse" + tag, sparse);
        writeSeed(root / "fuzz_roundtrip", "sparse" + tag, sparse);

        for (std::size_t s = 0; s < built.songs.size(); ++s) {
            Sheets sheets;
            ErrorBox errors;
            if (!decodeSong(files[f].state, built.bytes, built.songs[s].headerOffset, sheets,
                            errors))
                continue;
            std::string dump = writeSheetDump(sheets);
            std::string name = "song" + tag + "_" + std::to_string(s);
            writeSeed(root / "fuzz_show", name, Bytes(dump.begin(), dump.end()));
            auto fi = static_cast<std::uint8_t>(f);
            auto si = static_cast<std::uint8_t>(s);
            writeSeed(root / "fuzz_create", name, textBytes(fi, si, dump));
            writeSeed(root / "fuzz_create", name + "_free",
                      textBytes(fi, static_cast<std::uint8_t>(si | 0x80), dump));
            for (int k = 0; k < 4; ++k) {
                Bytes steps{fi, si};
                for (int i = 0; i < 240; ++i) steps.push_back(next());
                writeSeed(root / "fuzz_editing", name + "_" + std::to_string(k), steps);
            }
        }
    }
    return 0;
}
