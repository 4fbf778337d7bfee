#include "rom/ips_patch.h"

#include <algorithm>
#include <string_view>

#include "model/big_endian.h"

namespace kestra {

namespace {

// Two separate records cost a 5-byte record header; a shorter run of equal bytes between two
// changes is cheaper carried inside one record.
constexpr size_t kMergeGap = 5;

void put24(Bytes& out, std::uint32_t v) {
    out.push_back(static_cast<std::uint8_t>(v >> 16));
    out.push_back(static_cast<std::uint8_t>(v >> 8));
    out.push_back(static_cast<std::uint8_t>(v));
}

}  // namespace

Result<IpsPatch> makeIpsPatch(const Bytes& original, const Bytes& changed) {
    using R = Result<IpsPatch>;
    if (original.size() != changed.size())
        return R::failure("The files differ in size (" + std::to_string(original.size()) + " and " +
                          std::to_string(changed.size()) +
                          " bytes): a patch is only made between two versions of the same file, "
                          "which keep its size.");
    IpsPatch patch;
    Bytes& out = patch.bytes;
    for (char c : std::string_view("PATCH")) out.push_back(static_cast<std::uint8_t>(c));
    const size_t n = original.size();
    size_t i = 0;
    while (i < n) {
        if (original[i] == changed[i]) {
            ++i;
            continue;
        }
        if (i >= kIpsOffsetLimit)
            return R::failure("The files differ at offset $" + offsetText(i) +
                              ", beyond the 16 MB an IPS patch can address.");
        size_t start = i == kIpsEofOffset ? i - 1 : i;
        size_t end = i + 1;  // one past the last byte of the record
        size_t last = i;     // last differing byte taken
        for (size_t j = end; j < n && j - start < kIpsMaxRecord; ++j) {
            if (original[j] != changed[j]) {
                last = j;
            } else if (j - last > kMergeGap) {
                break;
            }
        }
        end = last + 1;
        for (size_t j = i; j < end; ++j)
            if (original[j] != changed[j]) ++patch.changedBytes;
        put24(out, static_cast<std::uint32_t>(start));
        appendBigEndian16(out, static_cast<std::uint16_t>(end - start));
        out.insert(out.end(), changed.begin() + static_cast<std::ptrdiff_t>(start),
                   changed.begin() + static_cast<std::ptrdiff_t>(end));
        ++patch.records;
        i = end;
    }
    for (char c : std::string_view("EOF")) out.push_back(static_cast<std::uint8_t>(c));
    return patch;
}

Result<Bytes> applyIpsPatch(const Bytes& original, const Bytes& patch) {
    using R = Result<Bytes>;
    auto at = [&](size_t p) { return static_cast<std::uint32_t>(patch[p]); };
    if (patch.size() < 8 ||
        std::string_view(reinterpret_cast<const char*>(patch.data()), 5) != "PATCH")
        return R::failure("Not an IPS patch: it does not start with \"PATCH\".");
    Bytes out = original;
    size_t p = 5;
    for (;;) {
        if (p + 3 > patch.size()) return R::failure("The IPS patch ends without \"EOF\".");
        std::uint32_t offset = at(p) << 16 | at(p + 1) << 8 | at(p + 2);
        if (offset == kIpsEofOffset) break;
        if (p + 5 > patch.size()) return R::failure("The IPS patch ends inside a record.");
        std::uint32_t size = readBigEndian16(patch, p + 3);
        p += 5;
        if (size == 0) {  // run-length record: count, value
            if (p + 3 > patch.size()) return R::failure("The IPS patch ends inside a record.");
            std::uint32_t count = readBigEndian16(patch, p);
            if (out.size() < offset + count) out.resize(offset + count);
            std::fill_n(out.begin() + offset, count, patch[p + 2]);
            p += 3;
            continue;
        }
        if (p + size > patch.size()) return R::failure("The IPS patch ends inside a record.");
        if (out.size() < offset + size) out.resize(offset + size);
        std::copy_n(patch.begin() + static_cast<std::ptrdiff_t>(p), size, out.begin() + offset);
        p += size;
    }
    return out;
}

}  // namespace kestra
