#include "FreedMemory.h"

#include <cstdlib> // defines __GLIBC__ where the C library is glibc

#if defined(__GLIBC__)
#include <malloc.h>
#endif

void returnFreedLargeBuffers()
{
#if defined(__GLIBC__)
    // glibc maps blocks from 128 KiB up on their own and unmaps them when
    // freed, but each such block freed raises that bound to its size (up to
    // 32 MiB). From then on the viewer's large buffers (decoded recordings,
    // members and waveforms served, the web engine's network buffers) come
    // from the heaps, where freed space between live blocks stays resident:
    // a day of loads grew the process by about 30 MB of free heap. A bound
    // set here is never raised.
    mallopt(M_MMAP_THRESHOLD, 128 * 1024);
#endif
}
