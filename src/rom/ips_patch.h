// IPS patches: the changed bytes between the file as opened and as it is now, in the format ROM
// hackers share changes in ("PATCH", records of offset/size/data, "EOF").
#pragma once

#include <cstdint>

#include "model/result.h"
#include "rom/file_bytes.h"

namespace kestra {

// Offsets are three bytes wide, sizes two.
constexpr std::uint32_t kIpsOffsetLimit = 0x1000000;
constexpr std::uint32_t kIpsMaxRecord = 0xFFFF;
// A record starting here would read as the "EOF" footer.
constexpr std::uint32_t kIpsEofOffset = 0x454F46;

struct IpsPatch {
    Bytes bytes;
    int records = 0;
    std::uint64_t changedBytes = 0;  // bytes that differ between the two files
};

// Refuses files of different size and changes at offsets an IPS record cannot address.
Result<IpsPatch> makeIpsPatch(const Bytes& original, const Bytes& changed);
// Applies a patch (plain and run-length records). Records past the end extend the file, as
// common patchers do. Refuses patches without header or footer and truncated records.
Result<Bytes> applyIpsPatch(const Bytes& original, const Bytes& patch);

}  // namespace kestra
