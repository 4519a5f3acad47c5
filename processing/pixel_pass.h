// pixel_pass.h: the passes shared by the point operations: per-byte lookup
// tables (one for all bytes, or one per colour channel), a table applied
// through each pixel's luminosity, simple byte rules, the turning of an
// extended-precision result into a byte, and the split of a pass between the
// cores. Private to the engine.
#ifndef MIRLAN_PIXEL_PASS_H
#define MIRLAN_PIXEL_PASS_H

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <vector>

#include "image/image.h"
#include "processing/luminosity.h"
#include "image/pixel_buffer.h"
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

// Two consecutive bytes (a, b) looked up at once, in a table of 65536
// pairs (first[a], second[b]) indexed by the two bytes read as one uint16_t:
// half the lookups of a byte table, for 128 KiB that stays in the core's
// cache. Worth building only for large images.
class PairTable {
public:
    PairTable(const ByteTable &first, const ByteTable &second) : pairs_(65536)
    {
        for (unsigned a = 0; a < 256; ++a)
            for (unsigned b = 0; b < 256; ++b) {
                const unsigned char in[2] = {static_cast<unsigned char>(a), static_cast<unsigned char>(b)};
                const unsigned char out[2] = {first.to[a], second.to[b]};
                uint16_t index, value;
                std::memcpy(&index, in, 2);
                std::memcpy(&value, out, 2);
                pairs_[index] = value;
            }
    }
    // The two bytes at p through the table.
    void Map(unsigned char *p, const uint16_t *pairs) const
    {
        uint16_t v;
        std::memcpy(&v, p, 2);
        v = pairs[v];
        std::memcpy(p, &v, 2);
    }
    const uint16_t *Pairs() const { return pairs_.data(); }

private:
    std::vector<uint16_t> pairs_;
};

// Bytes from which a pair table pays for its building.
constexpr size_t kMinBytesForPairs = size_t(1) << 20;

// data[i] = table[data[i]] for i in [0, n), on all cores.
inline void MapBytes(unsigned char *data, size_t n, const ByteTable &table)
{
    if (n < kMinBytesForPairs) {
        ParallelFor(n, kMinItemsPerThread, [data, &table](size_t first, size_t last) {
            unsigned char *d = data;
            const unsigned char *to = table.to;
            for (size_t i = first; i < last; ++i)
                d[i] = to[d[i]];
        });
        return;
    }
    const PairTable pairs(table, table);
    ParallelFor(n / 2, kMinItemsPerThread, [data, &pairs](size_t first, size_t last) {
        unsigned char *d = data;
        const uint16_t *to = pairs.Pairs();
        for (size_t k = first; k < last; ++k)
            pairs.Map(d + 2 * k, to);
    });
    if (n % 2)
        data[n - 1] = table.to[data[n - 1]];
}

// Bytes 0, 1 and 2 of every 3-byte pixel through t0, t1 and t2, on all cores.
inline void MapChannels(CImage *img, const ByteTable &t0, const ByteTable &t1, const ByteTable &t2)
{
    unsigned char *data = img->data;
    const size_t pixels = img->ByteCount() / 3;
    if (pixels * 3 < kMinBytesForPairs) {
        ParallelFor(pixels, kMinItemsPerThread, [&, data](size_t first, size_t last) {
            unsigned char *p = data + first * 3;
            for (size_t k = first; k < last; ++k, p += 3) {
                p[0] = t0.to[p[0]];
                p[1] = t1.to[p[1]];
                p[2] = t2.to[p[2]];
            }
        });
        return;
    }
    // Two pixels at a time: bytes (0, 1), (2, 0') and (1', 2').
    const PairTable p01(t0, t1), p20(t2, t0), p12(t1, t2);
    ParallelFor(pixels / 2, kMinItemsPerThread, [&, data](size_t first, size_t last) {
        const uint16_t *a = p01.Pairs(), *b = p20.Pairs(), *c = p12.Pairs();
        unsigned char *p = data + first * 6;
        for (size_t k = first; k < last; ++k, p += 6) {
            p01.Map(p, a);
            p20.Map(p + 2, b);
            p12.Map(p + 4, c);
        }
    });
    if (pixels % 2) {
        unsigned char *p = data + (pixels - 1) * 3;
        p[0] = t0.to[p[0]];
        p[1] = t1.to[p[1]];
        p[2] = t2.to[p[2]];
    }
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

// Every byte of every pixel becomes table[level of the pixel], on all cores;
// the level is the luminosity of a 3-byte pixel, the first byte of any other.
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
