// page_hint.h: asks the kernel for huge pages under a freshly allocated
// picture. Where transparent huge pages are on request only (Debian's
// "madvise" default), a 6000 x 4000 picture otherwise takes some 18000 page
// faults as a decoder first writes it, which can cost more than the decoding.
#ifndef MIRLAN_IMAGE_PAGE_HINT_H
#define MIRLAN_IMAGE_PAGE_HINT_H

#include <sys/mman.h>

#include <cstddef>
#include <cstdint>

namespace mirlan {

// A hint only: nothing changes where it is not taken.
inline void AdviseHugePages(void *start, size_t bytes)
{
    constexpr uintptr_t kHuge = uintptr_t(1) << 21;
    const uintptr_t begin = (reinterpret_cast<uintptr_t>(start) + kHuge - 1) & ~(kHuge - 1);
    const uintptr_t end = (reinterpret_cast<uintptr_t>(start) + bytes) & ~(kHuge - 1);
    if (end > begin)
        madvise(reinterpret_cast<void *>(begin), end - begin, MADV_HUGEPAGE);
}

}  // namespace mirlan

#endif
