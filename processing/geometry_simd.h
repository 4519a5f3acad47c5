// geometry_simd.h: whether the processor can shuffle bytes (SSSE3), for the
// geometry and distance-map loops that have a byte-shuffle form. The build
// keeps the baseline x86-64 instruction set; the shuffle forms are compiled
// for SSSE3 on their own and chosen at run time.
#ifndef MIRLAN_GEOMETRY_SIMD_H
#define MIRLAN_GEOMETRY_SIMD_H

#if defined(__GNUC__) && defined(__x86_64__)
#include <tmmintrin.h>
#define MIRLAN_BYTE_SHUFFLES 1
#define MIRLAN_TARGET_SSSE3 __attribute__((target("ssse3")))

namespace mirlan {

// True on processors with SSSE3 (nearly every x86-64 one since 2006).
inline bool HasByteShuffles()
{
    static const bool has = [] {
        __builtin_cpu_init();
        return __builtin_cpu_supports("ssse3") != 0;
    }();
    return has;
}

}  // namespace mirlan
#endif

#endif
