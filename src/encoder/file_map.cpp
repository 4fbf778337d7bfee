#include "encoder/file_map.h"

#include <algorithm>

#include "encoder/placement_checks.h"
#include "encoder/song_encoder.h"
#include "rom/song_table.h"

namespace kestra {

bool inDriverWindow(const FileState& fs, std::uint64_t offset) {
    if (offset < fs.headerSize + std::uint64_t{kSongHeaderSize} || offset > 0xFFFFFFFFu)
        return false;
    auto o = static_cast<std::uint32_t>(offset);
    std::uint64_t linear = linearOfFileOffset(fs, o);
    std::uint16_t address = driverAddressOfLinear(linear, headerBankXor(fs, o));
    if (headerOffsetOfEntry(fs, address) != static_cast<std::int64_t>(o)) return false;
    // A channel starting here, behind a header just before it.
    auto channel = channelAddressOf(fs, address);
    if (!channel) return false;
    std::uint32_t bankXor = fs.splitBankLayout ? splitBankXorForChannel(*channel) : fs.bankXor;
    return channelDataOffset(o - kSongHeaderSize, *channel, bankXor) == o;
}

namespace {

bool isFiller(std::uint8_t b) {
    return b == 0x00 || b == 0xFF;
}

// Appends r, merged into the last region when they continue each other alike.
void append(std::vector<FileRegion>& out, FileRegion r) {
    if (r.range.begin >= r.range.end) return;
    if (!out.empty()) {
        FileRegion& last = out.back();
        if (last.range.end == r.range.begin && last.kind == r.kind && last.uses == r.uses &&
            (r.kind != RegionKind::Free || (last.free == r.free && last.fill == r.fill))) {
            last.range.end = r.range.end;
            return;
        }
    }
    out.push_back(std::move(r));
}

// Bytes no song uses: runs of filler in the driver's window are free, the rest is the game's.
void mapGap(const FileState& fs, const Bytes& file, FileRange gap, std::vector<FileRegion>& out) {
    std::uint64_t at = gap.begin;
    while (at < gap.end) {
        std::uint64_t run = at;
        while (run < gap.end && file[run] == file[at]) ++run;
        if (isFiller(file[at]) && run - at >= kMinFillerRun) {
            // Only the part inside the window, in stretches of the minimum length.
            std::uint64_t i = at;
            while (i < run) {
                std::uint64_t j = i;
                bool in = inDriverWindow(fs, i);
                while (j < run && inDriverWindow(fs, j) == in) ++j;
                FileRegion r{{i, j}, RegionKind::Other, FreeKind::Filler, 0, {}};
                if (in && j - i >= kMinFillerRun) {
                    r.kind = RegionKind::Free;
                    r.fill = file[at];
                }
                append(out, std::move(r));
                i = j;
            }
        } else {
            append(out, {{at, run}, RegionKind::Other, FreeKind::Filler, 0, {}});
        }
        at = run;
    }
}

}  // namespace

std::vector<FileRegion> mapFile(const FileState& fs, const Bytes& file, int writingSongId) {
    std::vector<ProtectedRange> uses = fileUses(fs, file);
    // Each use starts and ends once; between two neighbouring boundaries the set of uses in force
    // is the same, and so is the region.
    struct Boundary {
        std::uint64_t at;
        bool starts;
        size_t use;
    };
    std::vector<Boundary> bounds;
    bounds.reserve(2 * uses.size());
    for (size_t i = 0; i < uses.size(); ++i) {
        if (uses[i].range.begin >= uses[i].range.end) continue;
        bounds.push_back({uses[i].range.begin, true, i});
        bounds.push_back({uses[i].range.end, false, i});
    }
    std::sort(bounds.begin(), bounds.end(),
              [](const Boundary& a, const Boundary& b) { return a.at < b.at; });

    std::vector<FileRegion> out;
    std::vector<size_t> active;
    std::uint64_t at = 0;
    auto flush = [&](std::uint64_t to) {
        if (to <= at) return;
        if (active.empty()) {
            mapGap(fs, file, {at, to}, out);
            return;
        }
        FileRegion r{{at, to}, RegionKind::Used, FreeKind::Filler, 0, {}};
        bool own = writingSongId > 0;
        for (size_t u : active) {
            r.uses.push_back(uses[u].label);
            own = own && uses[u].songId == writingSongId;
        }
        std::sort(r.uses.begin(), r.uses.end());
        r.uses.erase(std::unique(r.uses.begin(), r.uses.end()), r.uses.end());
        if (own) {
            r.kind = RegionKind::Free;
            r.free = FreeKind::OwnOld;
        }
        append(out, std::move(r));
    };
    for (const Boundary& b : bounds) {
        flush(b.at);
        at = std::max(at, b.at);
        if (b.starts)
            active.push_back(b.use);
        else
            std::erase(active, b.use);
    }
    flush(file.size());
    std::uint64_t limit = nsfSizeLimit(fs, file);
    if (limit > file.size())
        out.push_back({{file.size(), limit}, RegionKind::Free, FreeKind::PastEnd, 0, {}});
    return out;
}

std::string regionText(const FileRegion& region) {
    std::string text = offsetText(region.range.begin) + "-" + offsetText(region.range.end - 1) +
                       " " + std::to_string(region.range.end - region.range.begin);
    switch (region.kind) {
        case RegionKind::Other:
            return text + " other";
        case RegionKind::Free:
            switch (region.free) {
                case FreeKind::Filler:
                    return text + (region.fill ? " free FF" : " free 00");
                case FreeKind::PastEnd:
                    return text + " free past-end";
                case FreeKind::OwnOld:
                    text += " free own";
                    break;
            }
            break;
        case RegionKind::Used:
            break;
    }
    for (const std::string& use : region.uses) text += " " + use;
    return text;
}

}  // namespace kestra
