#pragma once

namespace tessora {

// How the C library holds on to freed memory, set for a program that stays resident; call it
// before any thread starts. Two of glibc's defaults keep memory a long-running program no
// longer uses:
//  - every thread that allocates gets an arena of its own, and an arena keeps the pages its
//    thread's bursts of work touched; our threads seldom allocate at the same time, so one
//    arena serves them all with nothing to contend for;
//  - the threshold above which blocks are mapped on their own (and given back at once when
//    freed) rises to the size of any large block freed, and the heap is trimmed only above
//    twice that: one transient read of a few megabytes would keep megabytes of freed heap for
//    the rest of the process's life. The threshold stays at its default instead.
void configureHeapForResidentProgram();

// Gives the pages of freed heap memory back to the system, in the middle of the heap too.
// Call it off the main thread once a burst of work (decoding images, parsing files) is over;
// it costs a walk over the free lists, a fraction of a millisecond for our heaps.
void releaseFreedMemory();

}  // namespace tessora
