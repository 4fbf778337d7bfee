// Opening a file of any content, listing its songs and reading every one of them: never a crash, a
// hang or a read outside.
#include <cstddef>
#include <cstdint>

#include "format/read_song.h"
#include "fuzz_inputs.h"
#include "model/sheets.h"
#include "rom/layout.h"
#include "rom/song_table.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace kestra;
    if (size < 1) return 0;
    // The first byte picks the file kind (bit 0: .nes, else .nsf) and whether the rest is the
    // file itself or a sparse description of it (bit 1), which lets small inputs stand for the
    // large cartridge images.
    const char* name = (data[0] & 1) ? "fuzz.nes" : "fuzz.nsf";
    Bytes bytes;
    if (data[0] & 2) {
        if (!fuzz::expandSparseFile(data + 1, size - 1, bytes)) return 0;
    } else {
        bytes.assign(data + 1, data + size);
    }
    auto fs = recogniseLayout(name, bytes);
    if (!fs) return 0;
    for (const auto& song : listSongs(*fs, bytes)) {
        if (!song.headerOffset) continue;
        Sheets sheets;
        ErrorBox errors;
        decodeSong(*fs, bytes, *song.headerOffset, sheets, errors);
    }
    return 0;
}
