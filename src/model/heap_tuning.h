// The editor allocates and frees the records of long sheets (a megabyte or so) on every line
// command, and reading a long song fills a few megabytes at once. They are served from the heap
// and kept there when freed, so they are reused instead of being mapped afresh each time; and the
// heap is marked for huge pages where the system has them, so that filling fresh memory traps
// into the kernel once every 2 MB rather than every 4 KB.
#pragma once

#include <malloc.h>
#include <sys/mman.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace kestra {

inline void keepFreedMemoryForReuse() {
    constexpr std::uintptr_t kHuge = std::uintptr_t{2} << 20;
    mallopt(M_MMAP_THRESHOLD, 32 << 20);
    mallopt(M_TRIM_THRESHOLD, 256 << 20);
    mallopt(M_TOP_PAD, 64 << 20);
    // Grow the heap once by the pad (it is kept: the trim threshold is higher), then mark it.
    void* volatile probe = std::malloc(1 << 20);  // volatile: not optimised away
    std::free(probe);
#ifdef MADV_HUGEPAGE
    std::FILE* maps = std::fopen("/proc/self/maps", "r");
    if (!maps) return;
    char line[512];
    while (std::fgets(line, sizeof line, maps)) {
        unsigned long long begin = 0, end = 0;
        if (!std::strstr(line, "[heap]") || std::sscanf(line, "%llx-%llx", &begin, &end) != 2)
            continue;
        const std::uintptr_t from = (begin + kHuge - 1) & ~(kHuge - 1), to = end & ~(kHuge - 1);
        if (to > from) madvise(reinterpret_cast<void*>(from), to - from, MADV_HUGEPAGE);
    }
    std::fclose(maps);
#endif
}

}  // namespace kestra
