// "roundtrip" on a file of any content: every song read and created again in memory where it
// stood. Never a crash, a hang or a write outside the copy, whatever the streams share.
#include <cstddef>
#include <cstdint>

#include "encoder/round_trip.h"
#include "fuzz_inputs.h"
#include "rom/layout.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace kestra;
    if (size < 1) return 0;
    // As fuzz_open_file: the first byte picks the kind and whether the rest is sparse.
    const char* name = (data[0] & 1) ? "fuzz.nes" : "fuzz.nsf";
    Bytes bytes;
    if (data[0] & 2) {
        if (!fuzz::expandSparseFile(data + 1, size - 1, bytes)) return 0;
    } else {
        bytes.assign(data + 1, data + size);
    }
    auto fs = recogniseLayout(name, bytes);
    if (!fs) return 0;
    for (const RoundTrip& r : roundTripSongs(*fs, bytes))
        if (r.same != (r.outcome == "same")) __builtin_trap();
    return 0;
}
