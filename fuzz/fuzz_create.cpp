// A sheet dump of any content made into a song and checked against a fixture file, all in
// memory: never a crash, a hang, a patch outside the file or a read-back that goes astray.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "encoder/placement_checks.h"
#include "encoder/song_encoder.h"
#include "fuzz_inputs.h"
#include "model/document.h"
#include "model/frame_store.h"
#include "model/guard.h"
#include "model/sheet_dump.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace kestra;
    // Songs of a few thousand lines are plenty; longer texts only slow the search down.
    if (size < 2 || size > 64 * 1024) return 0;
    // The first two bytes pick the file, the Song ID and whether the song replaces that Song
    // ID's own header or goes into the free space after the data.
    const auto& files = fuzz::fixtureFiles();
    const auto& file = files[data[0] % files.size()];
    int songIndex = (data[1] & 0x7F) % static_cast<int>(file.built.songs.size());
    std::uint32_t headerOffset =
        (data[1] & 0x80) ? file.built.dataEnd : file.built.songs[songIndex].headerOffset;
    auto dump = parseSheetDump(std::string_view(reinterpret_cast<const char*>(data + 2), size - 2));
    if (!dump) return 0;

    Document doc;
    doc.sheets = dump->sheets;
    doc.file = file.state;
    runGuarded(nullptr, [&] {
        auto song = encodeSong(songFrames(doc.sheets, doc.frames), doc.file, headerOffset,
                               songIndex + 1, doc.errors);
        if (!song) return;
        if (!checkPlacement(doc.file, file.built.bytes, *song)) return;
        Bytes patched = patchedCopy(file.built.bytes, *song);
        if (patched.size() != file.built.bytes.size()) __builtin_trap();  // never extended
        (void)checkReadBack(doc.file, patched, *song);
    });
    return 0;
}
