// geometry.cpp: quarter and half turns, mirrors and nearest-neighbour
// resizing of an image, at every depth from 1 to 4 bytes per pixel.
//
// The quarter turns copy into one new buffer in square tiles so that the
// rows read and written stay in cache; the half turn and the mirrors swap
// pixels in place; the resizing is processing/nearest.h's. A new buffer goes
// to the image only once it is whole: short of memory (std::bad_alloc), the
// image is untouched.
#include <algorithm>
#include <cstdint>
#include <cstring>
#include <memory>

#ifdef __SSE2__
#include <emmintrin.h>
#endif

#include "processing/geometry_simd.h"
#include "processing/nearest.h"
#include "processing/parallel.h"
#include "image/pixel_buffer.h"
#include "processing/ti.h"

namespace {

// Side of the square tiles of the quarter turns, in pixels: 64 source rows
// of 64 pixels fit in the first-level cache at every depth.
constexpr size_t kTile = 64;
// Below this many bytes of work an operation stays on the calling thread.
constexpr size_t kMinBytesPerThread = size_t(1) << 18;

template <int B>
inline void CopyPixel(unsigned char *dst, const unsigned char *src)
{
    std::memcpy(dst, src, B);
}

// Runs Op<bytes per pixel>::Run on an image with pixels; other images are left alone.
template <template <int> class Op>
void ForDepth(CImage *img)
{
    if (!img || !img->data || img->width <= 0 || img->height <= 0)
        return;
    switch (img->BytesPerPixel()) {
    case 1: Op<1>::Run(img); break;
    case 2: Op<2>::Run(img); break;
    case 3: Op<3>::Run(img); break;
    case 4: Op<4>::Run(img); break;
    default: break;
    }
}

// ---------------------------------------------------------------------------
// Quarter turns
//
// Destination row k, column j (the new image is h wide) comes from
// clockwise: source row h - 1 - j, column k (walking up a column);
// anticlockwise: source row j, column w - 1 - k (walking down a column).

// Copies count pixels from a source column (step bytes apart) into a row.
template <int B>
inline void CopyColumn(unsigned char *d, const unsigned char *s, size_t count, ptrdiff_t step,
                       bool /*last_column*/)
{
    for (size_t j = 0; j < count; ++j, d += B, s += step)
        CopyPixel<B>(d, s);
}

template <>
inline void CopyColumn<3>(unsigned char *d, const unsigned char *s, size_t count, ptrdiff_t step,
                          bool last_column)
{
    // Four-byte moves: the spare byte lands on the next pixel of the row,
    // which is written right after. The run's last pixel, and every pixel of
    // the source's last column (whose spare byte may lie past the buffer),
    // move exactly three bytes.
    size_t j = 0;
    if (!last_column)
        for (; j + 1 < count; ++j, d += 3, s += step)
            std::memcpy(d, s, 4);
    for (; j < count; ++j, d += 3, s += step)
        CopyPixel<3>(d, s);
}

// Destination rows [k0, k1), columns [j0, j1), pixel by pixel.
template <int B>
void QuarterTurnPixels(const unsigned char *src, unsigned char *dst, size_t w, size_t h, bool clockwise,
                       size_t k0, size_t k1, size_t j0, size_t j1)
{
    const ptrdiff_t row_bytes = ptrdiff_t(w * B);
    const ptrdiff_t step = clockwise ? -row_bytes : row_bytes;
    for (size_t k = k0; k < k1; ++k) {
        size_t col = clockwise ? k : w - 1 - k;
        size_t first_row = clockwise ? h - 1 - j0 : j0;
        CopyColumn<B>(dst + (k * h + j0) * B, src + (first_row * w + col) * B, j1 - j0, step, col == w - 1);
    }
}

#ifdef __SSE2__
// Transposes a 16 × 16 block of bytes: byte m of source row i becomes byte i
// of destination row m. Each round interleaves rows i and i + 8; four
// rounds rotate the (row, byte) index bits by four, which is the transpose.
inline void Transpose16(const unsigned char *s, ptrdiff_t s_step, unsigned char *d, ptrdiff_t d_step)
{
    __m128i x[16], t[16];
    for (int i = 0; i < 16; ++i)
        x[i] = _mm_loadu_si128(reinterpret_cast<const __m128i *>(s + i * s_step));
    for (int round = 0; round < 4; ++round) {
        for (int i = 0; i < 8; ++i) {
            t[2 * i] = _mm_unpacklo_epi8(x[i], x[i + 8]);
            t[2 * i + 1] = _mm_unpackhi_epi8(x[i], x[i + 8]);
        }
        for (int i = 0; i < 16; ++i)
            x[i] = t[i];
    }
    for (int m = 0; m < 16; ++m)
        _mm_storeu_si128(reinterpret_cast<__m128i *>(d + m * d_step), x[m]);
}

// One-byte pixels go through whole 16 × 16 blocks, the ragged right and
// bottom edges of the tile pixel by pixel.
void QuarterTurnBytes(const unsigned char *src, unsigned char *dst, size_t w, size_t h, bool clockwise,
                      size_t k0, size_t k1, size_t j0, size_t j1)
{
    const ptrdiff_t sw = ptrdiff_t(w), dh = ptrdiff_t(h);
    const size_t k_end = k0 + (k1 - k0) / 16 * 16, j_end = j0 + (j1 - j0) / 16 * 16;
    for (size_t k = k0; k < k_end; k += 16)
        for (size_t j = j0; j < j_end; j += 16) {
            if (clockwise)
                Transpose16(src + (h - 1 - j) * w + k, -sw, dst + k * h + j, dh);
            else
                Transpose16(src + j * w + (w - 16 - k), sw, dst + (k + 15) * h + j, -dh);
        }
    QuarterTurnPixels<1>(src, dst, w, h, clockwise, k0, k_end, j_end, j1);
    QuarterTurnPixels<1>(src, dst, w, h, clockwise, k_end, k1, j0, j1);
}
#endif

template <int B>
void QuarterTurnTile(const unsigned char *src, unsigned char *dst, size_t w, size_t h, bool clockwise,
                     size_t k0, size_t k1, size_t j0, size_t j1)
{
#ifdef __SSE2__
    if (B == 1) {
        QuarterTurnBytes(src, dst, w, h, clockwise, k0, k1, j0, j1);
        return;
    }
#endif
    QuarterTurnPixels<B>(src, dst, w, h, clockwise, k0, k1, j0, j1);
}

// Fills destination rows [row_first, row_last) tile by tile.
template <int B>
void QuarterTurnRows(const unsigned char *src, unsigned char *dst, size_t w, size_t h,
                     bool clockwise, size_t row_first, size_t row_last)
{
    for (size_t k0 = row_first; k0 < row_last; k0 += kTile)
        for (size_t j0 = 0; j0 < h; j0 += kTile)
            QuarterTurnTile<B>(src, dst, w, h, clockwise, k0, std::min(row_last, k0 + kTile), j0,
                               std::min(h, j0 + kTile));
}

template <int B>
void QuarterTurn(CImage *img, bool clockwise)
{
    const size_t w = size_t(img->width), h = size_t(img->height);
    std::unique_ptr<unsigned char[]> kept(mirlan::NewPixelBuffer(img->ByteCount()));
    unsigned char *turned = kept.get();
    const unsigned char *src = img->data;
    // Whole tiles of destination rows per thread, so no two threads share a tile.
    size_t tiles = (w + kTile - 1) / kTile;
    size_t min_tiles = std::max<size_t>(1, kMinBytesPerThread / (kTile * h * B));
    mirlan::ParallelFor(tiles, min_tiles, [=](size_t first, size_t last) {
        QuarterTurnRows<B>(src, turned, w, h, clockwise, first * kTile, std::min(w, last * kTile));
    });
    img->Replace(kept.release(), int(h), int(w), img->bpp);
}

// ---------------------------------------------------------------------------
// Reversals in place

// Reverses the order of eight pixels held in B 64-bit words (8 × B bytes).
template <int B>
inline void ReverseEight(uint64_t *v);

template <>
inline void ReverseEight<1>(uint64_t *v)
{
    v[0] = __builtin_bswap64(v[0]);
}

template <>
inline void ReverseEight<2>(uint64_t *v)
{
    // Reverse the bytes, then put each pixel's two bytes back in order.
    auto swap16 = [](uint64_t x) {
        x = __builtin_bswap64(x);
        return ((x >> 8) & 0x00ff00ff00ff00ffULL) | ((x & 0x00ff00ff00ff00ffULL) << 8);
    };
    uint64_t a = swap16(v[0]), b = swap16(v[1]);
    v[0] = b;
    v[1] = a;
}

template <>
inline void ReverseEight<3>(uint64_t *v)
{
    // Eight 3-byte pixels as one 192-bit little-endian number x0:x1:x2.
    // Reversing all 24 bytes puts the pixels in reverse order but each with
    // its bytes backwards; swapping byte 3q with byte 3q + 2 then mends every
    // pixel. Masks select byte positions by their remainder modulo 3, which
    // repeats with a different phase in each word.
    constexpr uint64_t kA = 0x00FF0000FF0000FFULL;  // bytes 0, 3, 6 of a word
    constexpr uint64_t kB = 0xFF0000FF0000FF00ULL;  // bytes 1, 4, 7
    constexpr uint64_t kC = 0x0000FF0000FF0000ULL;  // bytes 2, 5
    const uint64_t x0 = __builtin_bswap64(v[2]), x1 = __builtin_bswap64(v[1]), x2 = __builtin_bswap64(v[0]);
    // The whole number shifted up and down by two bytes.
    const uint64_t up0 = x0 << 16, up1 = (x1 << 16) | (x0 >> 48), up2 = (x2 << 16) | (x1 >> 48);
    const uint64_t dn0 = (x0 >> 16) | (x1 << 48), dn1 = (x1 >> 16) | (x2 << 48), dn2 = x2 >> 16;
    // Word 0 holds positions 0..7 (first, middle, last bytes at kA, kB, kC),
    // word 1 positions 8..15 (kB, kC, kA), word 2 positions 16..23 (kC, kA, kB).
    v[0] = (dn0 & kA) | (x0 & kB) | (up0 & kC);
    v[1] = (dn1 & kB) | (x1 & kC) | (up1 & kA);
    v[2] = (dn2 & kC) | (x2 & kA) | (up2 & kB);
}

template <>
inline void ReverseEight<4>(uint64_t *v)
{
    auto swap32 = [](uint64_t x) { return (x >> 32) | (x << 32); };
    uint64_t a = swap32(v[0]), b = swap32(v[1]), c = swap32(v[2]), d = swap32(v[3]);
    v[0] = d;
    v[1] = c;
    v[2] = b;
    v[3] = a;
}

// Swaps pixel lo + k with pixel hi - k (hi points at the last pixel of the
// upper range) for k = 0 .. count - 1, eight pixels at a time from each end
// in 64-bit words, the rest pixel by pixel.
template <int B>
void SwapReversedWords(unsigned char *lo, unsigned char *hi, size_t count)
{
    constexpr size_t kBlock = 8 * B;
    size_t k = 0;
    // The two blocks never meet: k + 8 <= count <= half the pixels.
    unsigned char *hi_block = hi + B - kBlock;
    for (; k + 8 <= count; k += 8, lo += kBlock, hi_block -= kBlock) {
        uint64_t x[B], y[B];
        std::memcpy(x, lo, kBlock);
        std::memcpy(y, hi_block, kBlock);
        ReverseEight<B>(x);
        ReverseEight<B>(y);
        std::memcpy(lo, y, kBlock);
        std::memcpy(hi_block, x, kBlock);
    }
    hi = hi_block + kBlock - B;
    for (; k < count; ++k, lo += B, hi -= B) {
        unsigned char t[B];
        CopyPixel<B>(t, lo);
        CopyPixel<B>(lo, hi);
        CopyPixel<B>(hi, t);
    }
}

#ifdef MIRLAN_BYTE_SHUFFLES
// Byte shuffles that reverse a block of sixteen B-byte pixels held in B
// vectors: mask[o][s] picks, for output vector o, the bytes that come from
// input vector s (0x80 elsewhere, which the shuffle turns into zero).
template <int B>
struct ReverseMasks {
    unsigned char mask[B][B][16];
    bool used[B][B];

    constexpr ReverseMasks() : mask(), used()
    {
        for (int o = 0; o < B; ++o)
            for (int s = 0; s < B; ++s)
                for (int i = 0; i < 16; ++i)
                    mask[o][s][i] = 0x80;
        for (int p = 0; p < 16 * B; ++p) {
            int from = (15 - p / B) * B + p % B;
            mask[p / 16][from / 16][p % 16] = static_cast<unsigned char>(from % 16);
            used[p / 16][from / 16] = true;
        }
    }
};

template <int B>
MIRLAN_TARGET_SSSE3 inline __m128i ReversedVector(const __m128i *in, int o)
{
    static constexpr ReverseMasks<B> kMasks{};
    __m128i out = _mm_setzero_si128();
    for (int s = 0; s < B; ++s)
        if (kMasks.used[o][s])
            out = _mm_or_si128(out, _mm_shuffle_epi8(in[s], _mm_loadu_si128(
                                                                reinterpret_cast<const __m128i *>(kMasks.mask[o][s]))));
    return out;
}

// The same swap sixteen pixels at a time with byte shuffles; returns how
// many pixels it swapped (a multiple of sixteen).
template <int B>
MIRLAN_TARGET_SSSE3 size_t SwapReversedShuffles(unsigned char *lo, unsigned char *hi, size_t count)
{
    constexpr size_t kBlock = 16 * B;
    size_t k = 0;
    unsigned char *hi_block = hi + B - kBlock;
    for (; k + 16 <= count; k += 16, lo += kBlock, hi_block -= kBlock) {
        __m128i x[B], y[B];
        for (int s = 0; s < B; ++s) {
            x[s] = _mm_loadu_si128(reinterpret_cast<const __m128i *>(lo + 16 * s));
            y[s] = _mm_loadu_si128(reinterpret_cast<const __m128i *>(hi_block + 16 * s));
        }
        for (int o = 0; o < B; ++o) {
            _mm_storeu_si128(reinterpret_cast<__m128i *>(lo + 16 * o), ReversedVector<B>(y, o));
            _mm_storeu_si128(reinterpret_cast<__m128i *>(hi_block + 16 * o), ReversedVector<B>(x, o));
        }
    }
    return k;
}
#endif

// Swaps pixel lo + k with pixel hi - k for k = 0 .. count - 1: the core of
// every reversal. Processors with byte shuffles (nearly all x86-64 ones)
// take sixteen pixels at a time; the rest goes through 64-bit words.
template <int B>
void SwapReversed(unsigned char *lo, unsigned char *hi, size_t count)
{
    size_t done = 0;
#ifdef MIRLAN_BYTE_SHUFFLES
    if (mirlan::HasByteShuffles())
        done = SwapReversedShuffles<B>(lo, hi, count);
#endif
    SwapReversedWords<B>(lo + done * B, hi - done * B, count - done);
}

// Reverses the order of the n pixels starting at p.
template <int B>
void ReversePixels(unsigned char *p, size_t n)
{
    SwapReversed<B>(p, p + (n - 1) * B, n / 2);
}

// Half turn: the whole buffer read backwards, pixel by pixel, split between
// the cores as pairs of matching ranges at both ends.
template <int B>
void HalfTurn(CImage *img)
{
    const size_t n = size_t(img->width) * size_t(img->height);
    unsigned char *p = img->data;
    mirlan::ParallelFor(n / 2, kMinBytesPerThread / B, [=](size_t first, size_t last) {
        SwapReversed<B>(p + first * B, p + (n - 1 - first) * B, last - first);
    });
}

// Mirror that reverses every row.
template <int B>
void ReverseRows(CImage *img)
{
    const size_t w = size_t(img->width), h = size_t(img->height);
    unsigned char *p = img->data;
    mirlan::ParallelFor(h, kMinBytesPerThread / (w * B) + 1, [=](size_t first, size_t last) {
        for (size_t r = first; r < last; ++r)
            ReversePixels<B>(p + r * w * B, w);
    });
}

template <int B>
struct ClockwiseOp {
    static void Run(CImage *img) { QuarterTurn<B>(img, true); }
};
template <int B>
struct AnticlockwiseOp {
    static void Run(CImage *img) { QuarterTurn<B>(img, false); }
};
template <int B>
struct HalfTurnOp {
    static void Run(CImage *img) { HalfTurn<B>(img); }
};
template <int B>
struct ReverseRowsOp {
    static void Run(CImage *img) { ReverseRows<B>(img); }
};

// Swaps n bytes between a and b through a small buffer on the stack.
void SwapBytes(unsigned char *a, unsigned char *b, size_t n)
{
    unsigned char chunk[4096];
    for (size_t done = 0; done < n; done += sizeof chunk) {
        size_t part = std::min(sizeof chunk, n - done);
        std::memcpy(chunk, a + done, part);
        std::memcpy(a + done, b + done, part);
        std::memcpy(b + done, chunk, part);
    }
}

// Mirror that reverses the order of the rows: row k and row h - 1 - k swap.
void ReverseRowOrder(CImage *img)
{
    if (!img || !img->data || img->width <= 0 || img->height <= 0)
        return;
    const size_t row = img->RowBytes(), h = size_t(img->height);
    unsigned char *p = img->data;
    mirlan::ParallelFor(h / 2, kMinBytesPerThread / row + 1, [=](size_t first, size_t last) {
        for (size_t k = first; k < last; ++k)
            SwapBytes(p + k * row, p + (h - 1 - k) * row, row);
    });
}

}  // namespace

void CTi::Rot90h(CImage *img) { ForDepth<ClockwiseOp>(img); }

void CTi::Rot90a(CImage *img) { ForDepth<AnticlockwiseOp>(img); }

void CTi::Rot180(CImage *img) { ForDepth<HalfTurnOp>(img); }

void CTi::SymetrieV(CImage *img) { ReverseRowOrder(img); }

void CTi::SymetrieH(CImage *img) { ForDepth<ReverseRowsOp>(img); }

void CTi::Redimensionne(CImage *img, int w, int h)
{
    if (!img || !img->data || img->width <= 0 || img->height <= 0)
        return;
    if (w == img->width && h == img->height)
        return;
    // Sides the image cannot hold (below 1, above the 16-bit limit) leave it as it is.
    if (w < 1 || h < 1 || w > INT16_MAX || h > INT16_MAX)
        return;
    if (img->BytesPerPixel() < 1 || img->BytesPerPixel() > 4)
        return;
    std::unique_ptr<unsigned char[]> resized(mirlan::NewPixelBuffer(CImage::ByteCount(w, h, img->bpp)));
    mirlan::ScaleNearestInto(*img, resized.get(), w, h);
    img->Replace(resized.release(), w, h, img->bpp);
}
