#include "core/FreedMemory.h"

#include <cstdlib>  // defines __GLIBC__ on the GNU C library
#if defined(__GLIBC__)
#include <malloc.h>
#endif

namespace tessora {

void releaseFreedMemory() {
#if defined(__GLIBC__)
    // With no padding: every free page goes back, in the middle of the heap too.
    ::malloc_trim(0);
#endif
}

}  // namespace tessora
