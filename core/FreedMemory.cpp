#include "core/FreedMemory.h"

#include <cstdlib>  // defines __GLIBC__ on the GNU C library
#if defined(__GLIBC__)
#include <malloc.h>
#endif

namespace tessora {

void configureHeapForResidentProgram() {
#if defined(__GLIBC__)
    ::mallopt(M_ARENA_MAX, 1);
    // Setting it at all turns the sliding threshold off; 128 KiB is glibc's own default.
    ::mallopt(M_MMAP_THRESHOLD, 128 * 1024);
#endif
}

void releaseFreedMemory() {
#if defined(__GLIBC__)
    ::malloc_trim(0);
#endif
}

}  // namespace tessora
