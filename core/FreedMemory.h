#pragma once

namespace tessora {

// Gives the pages of freed heap memory back to the system. The C library keeps freed memory
// for reuse, and a worker thread's arena keeps the pages its bursts of work touched (decoding
// images, parsing files) for the life of the process. Call it off the main thread once a burst
// is over; it costs a walk over the free lists, a fraction of a millisecond for our heaps.
void releaseFreedMemory();

}  // namespace tessora
