#pragma once
#include <cstddef>

// Asks the kernel to back the untouched large buffer at ipData with huge
// pages where it can. A buffer of tens of megabytes otherwise costs a page
// fault per 4 KB at its first touch, which on a virtual machine can take
// longer than decoding into it. Only the whole 2 MB pages inside the buffer
// are advised; small buffers and other systems are left alone.
void adviseHugePages(void* ipData, size_t inSize);

// Gives the whole 2 MB pages inside the buffer at ipData back to the
// system; they read as zeros afterwards. For a large buffer whose start is no longer
// needed while the rest is still being read.
void releasePages(void* ipData, size_t inSize);
