// pixel_buffer.cpp: the memory of pixel buffers (see pixel_buffer.h).
#include "image/pixel_buffer.h"

#include <cstdint>
#include <mutex>
#include <utility>

#include <sys/mman.h>

namespace mirlan {

namespace {

// Buffers from a megabyte up are worth keeping.
constexpr size_t kKeptFrom = size_t(1) << 20;

std::mutex keptLock;
unsigned char *kept = nullptr;
size_t keptBytes = 0;

// The buffer kept, now the caller's; *n its size.
unsigned char *TakeKept(size_t *n)
{
    std::lock_guard<std::mutex> lock(keptLock);
    *n = std::exchange(keptBytes, 0);
    return std::exchange(kept, nullptr);
}

// Large buffers ask the kernel for huge pages: the first touch of a fresh
// buffer in small pages costs more than the conversion or the turn that
// fills it.
void HugePages(unsigned char *p, size_t n)
{
#ifdef MADV_HUGEPAGE
    constexpr uintptr_t kHuge = uintptr_t(1) << 21;
    if (n >= 2 * kHuge) {
        const uintptr_t first = (reinterpret_cast<uintptr_t>(p) + kHuge - 1) & ~(kHuge - 1);
        const uintptr_t last = (reinterpret_cast<uintptr_t>(p) + n) & ~(kHuge - 1);
        if (last > first)
            madvise(reinterpret_cast<void *>(first), last - first, MADV_HUGEPAGE);
    }
#endif
}

}  // namespace

unsigned char *NewPixelBuffer(size_t n)
{
    if (n >= kKeptFrom) {
        size_t size;
        unsigned char *p = TakeKept(&size);
        if (p && size == n)
            return p;
        delete[] p;  // of another size: its memory goes back before more is asked
    }
    unsigned char *p = new unsigned char[n];
    HugePages(p, n);
    return p;
}

void ReleasePixelBuffer(unsigned char *p, size_t n)
{
    if (p && n >= kKeptFrom) {
        std::lock_guard<std::mutex> lock(keptLock);
        std::swap(p, kept);
        keptBytes = n;
    }
    delete[] p;
}

void ReleaseKeptPixelBuffer()
{
    size_t size;
    delete[] TakeKept(&size);
}

}  // namespace mirlan
