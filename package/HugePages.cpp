#include "HugePages.h"

#include <cstdint>

#ifdef __linux__
#include <sys/mman.h>
#endif

void adviseHugePages(void* ipData, size_t inSize)
{
#if defined(__linux__) && defined(MADV_HUGEPAGE)
    constexpr uintptr_t cnHuge = uintptr_t(2) * 1024 * 1024;
    const uintptr_t nBegin = (reinterpret_cast<uintptr_t>(ipData) + cnHuge - 1) & ~(cnHuge - 1);
    const uintptr_t nEnd = (reinterpret_cast<uintptr_t>(ipData) + inSize) & ~(cnHuge - 1);
    if (nEnd > nBegin)
        madvise(reinterpret_cast<void*>(nBegin), nEnd - nBegin, MADV_HUGEPAGE); // advice only: failure changes nothing
#else
    (void)ipData;
    (void)inSize;
#endif
}

void releasePages(void* ipData, size_t inSize)
{
#if defined(__linux__) && defined(MADV_DONTNEED)
    // Whole huge pages only: splitting one would cost more than it gives.
    constexpr uintptr_t cnPage = uintptr_t(2) * 1024 * 1024;
    const uintptr_t nBegin = (reinterpret_cast<uintptr_t>(ipData) + cnPage - 1) & ~(cnPage - 1);
    const uintptr_t nEnd = (reinterpret_cast<uintptr_t>(ipData) + inSize) & ~(cnPage - 1);
    if (nEnd > nBegin)
        madvise(reinterpret_cast<void*>(nBegin), nEnd - nBegin, MADV_DONTNEED);
#else
    (void)ipData;
    (void)inSize;
#endif
}
