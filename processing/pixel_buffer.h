// pixel_buffer.h: new pixel buffers for the operations that replace an
// image's pixels (colour modes, quarter turns, resizing). Private to the engine.
#ifndef MIRLAN_PIXEL_BUFFER_H
#define MIRLAN_PIXEL_BUFFER_H

#include <cstddef>
#include <cstdint>

#include <sys/mman.h>

namespace mirlan {

// A new pixel buffer of n bytes (to be released with delete[]). Large ones
// ask the kernel for huge pages: the first touch of a fresh buffer in small
// pages costs more than the conversion or the turn that fills it.
inline unsigned char *NewPixelBuffer(size_t n)
{
    unsigned char *p = new unsigned char[n];
#ifdef MADV_HUGEPAGE
    constexpr uintptr_t kHuge = uintptr_t(1) << 21;
    if (n >= 2 * kHuge) {
        const uintptr_t first = (reinterpret_cast<uintptr_t>(p) + kHuge - 1) & ~(kHuge - 1);
        const uintptr_t last = (reinterpret_cast<uintptr_t>(p) + n) & ~(kHuge - 1);
        if (last > first)
            madvise(reinterpret_cast<void *>(first), last - first, MADV_HUGEPAGE);
    }
#endif
    return p;
}

}  // namespace mirlan

#endif
