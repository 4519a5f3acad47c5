// pixel_pass.h: the passes shared by the point operations: a per-byte lookup
// table, a per-pixel table of the luminosity, the turning of an
// extended-precision result into a byte, and the split of a pass between the
// cores. Private to the engine.
#ifndef MIRLAN_PIXEL_PASS_H
#define MIRLAN_PIXEL_PASS_H

#include <cstddef>
#include <cstdint>

#include "image/image.h"
#include "processing/luminosity.h"
#include "processing/parallel.h"

namespace mirlan {

// Below this many pixels (or bytes) a pass stays on the calling thread: the
// preview's thumbnails are done before a second thread would start.
constexpr size_t kMinItemsPerThread = size_t(1) << 17;

// Truncates toward zero, then clamps to 0..255.
inline unsigned char TruncClamp(long double v)
{
    if (!(v < 256.0L))
        return 255;
    if (!(v > -1.0L))
        return 0;
    long long t = static_cast<long long>(v);
    return static_cast<unsigned char>(t < 0 ? 0 : t);
}

// A table of 256 bytes indexed by a byte value.
struct ByteTable {
    unsigned char to[256];
};

// data[i] = table[data[i]] for i in [0, n), on all cores.
inline void MapBytes(unsigned char *data, size_t n, const ByteTable &table)
{
    ParallelFor(n, kMinItemsPerThread, [data, &table](size_t first, size_t last) {
        unsigned char *d = data;
        const unsigned char *to = table.to;
        for (size_t i = first; i < last; ++i)
            d[i] = to[d[i]];
    });
}

// data[i] = rule(data[i]) for i in [0, n), on all cores. For a rule of a few
// arithmetic steps the loop is vectorised, beating any table.
template <class Rule>
inline void TransformBytes(unsigned char *data, size_t n, Rule rule)
{
    ParallelFor(n, kMinItemsPerThread, [data, rule](size_t first, size_t last) {
        // Locals: the byte stores cannot alias them, so they stay in registers.
        unsigned char *d = data;
        const Rule r = rule;
        for (size_t i = first; i < last; ++i)
            d[i] = r(d[i]);
    });
}

// The luminosity of a pixel as the tone filters and the histogram see it: the
// weighted sum of its three bytes at 3 bytes per pixel, else its first byte.
inline unsigned PixelLevel(const unsigned char *p, size_t B)
{
    return B == 3 ? Luminosity(p) : p[0];
}

// Every byte of every pixel becomes table[level of the pixel], on all cores.
inline void MapPixelsByLevel(CImage *img, const ByteTable &table)
{
    const size_t B = img->BytesPerPixel();
    const size_t n = img->ByteCount();
    if (B == 0 || n == 0)
        return;
    unsigned char *data = img->data;
    if (B == 1) {
        MapBytes(data, n, table);
        return;
    }
    ParallelFor(n / B, kMinItemsPerThread, [data, B, &table](size_t first, size_t last) {
        unsigned char *p = data + first * B;
        if (B == 3) {
            for (size_t k = first; k < last; ++k, p += 3) {
                unsigned char v = table.to[Luminosity(p)];
                p[0] = v;
                p[1] = v;
                p[2] = v;
            }
            return;
        }
        for (size_t k = first; k < last; ++k, p += B) {
            unsigned char v = table.to[p[0]];
            for (size_t c = 0; c < B; ++c)
                p[c] = v;
        }
    });
}

}  // namespace mirlan

#endif
