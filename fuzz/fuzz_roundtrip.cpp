// "roundtrip" on a file of any content: every song read and created again in memory where it
// stood. Never a crash, a hang or a write outside the copy, whatever the streams share.
#include <cstddef>
#include <cstdint>

#include "encoder/round_trip.h"
#include "fuzz_inputs.h"
#include "rom/layout.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace kestra;
    FileState fs;
    Bytes bytes;
    if (!fuzz::fileOfInput(data, size, fs, bytes)) return 0;
    for (const RoundTrip& r : roundTripSongs(fs, bytes))
        if (r.same != (r.outcome == "same")) __builtin_trap();
    return 0;
}
