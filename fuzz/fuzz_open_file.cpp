// Opening a file of any content and listing its songs: never a crash, a hang or a read outside.
#include <cstddef>
#include <cstdint>

#include "rom/layout.h"
#include "rom/song_table.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace kestra;
    if (size < 1) return 0;
    // The first byte picks the file kind; the rest is the file.
    const char* name = (data[0] & 1) ? "fuzz.nes" : "fuzz.nsf";
    Bytes bytes(data + 1, data + size);
    auto fs = recogniseLayout(name, bytes);
    if (!fs) return 0;
    for (const auto& song : listSongs(*fs, bytes)) {
        if (!song.headerOffset) continue;
        auto ptrs = readChannelPointers(bytes, *song.headerOffset);
        (void)ptrs;
    }
    return 0;
}
