// Opening a file of any content, listing its songs and reading every one of them: never a crash, a
// hang or a read outside. Every song read and written back unedited where it stood gives the
// bytes it was read from.
#include <cstddef>
#include <cstdint>

#include "encoder/song_encoder.h"
#include "format/read_song.h"
#include "fuzz_inputs.h"
#include "model/document.h"
#include "model/frame_store.h"
#include "model/sheets.h"
#include "rom/layout.h"
#include "rom/song_table.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace kestra;
    FileState fs;
    Bytes bytes;
    if (!fuzz::fileOfInput(data, size, fs, bytes)) return 0;
    for (const auto& song : listSongs(fs, bytes)) {
        if (!song.headerOffset) continue;
        Document doc;
        doc.file = fs;
        if (!decodeSong(doc, bytes, *song.headerOffset)) continue;
        ErrorBox errors;
        auto written = encodeSong(songFrames(doc.sheets, doc.frames), fs, *song.headerOffset, 1,
                                  errors, &doc.memory());
        if (!written) continue;
        for (size_t c = 0; c < 4; ++c) {
            const auto& m = doc.memory()[c];
            const auto& out = written->channels[c];
            // Only a channel that lands where it was read can be compared byte for byte.
            if (!m || !out.present || out.startAddress != m->pointer) continue;
            if (out.bytes != m->bytes) __builtin_trap();
        }
    }
    return 0;
}
