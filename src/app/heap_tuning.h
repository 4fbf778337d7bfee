// The editor allocates and frees the records of long sheets (a megabyte or so) on every line
// command. Served from the heap and kept there when freed, they are reused from then on instead
// of being mapped afresh each time, whose first touch of every page costs a trap into the kernel.
#pragma once

#include <malloc.h>

namespace kestra {

inline void keepFreedMemoryForReuse() {
    mallopt(M_MMAP_THRESHOLD, 64 << 20);
    mallopt(M_TRIM_THRESHOLD, 256 << 20);
}

}  // namespace kestra
