// distances.cpp: distance maps to a point, city-block (4-connected) and
// chessboard (8-connected), painted into the channels the current colour
// selects.
//
// Every level is the exact extended-precision result: trunc(dx / s + dy / s)
// or trunc(max(dx, dy) / s) for the scale s, capped at 255. Both are
// non-decreasing in dx and in dy, which lets each row be built from a
// per-call table of the column quotients with one addition per distinct dx
// and no division per pixel.
#include <algorithm>
#include <cstdint>
#include <cstring>
#include <vector>

#include "processing/geometry_simd.h"
#include "processing/parallel.h"
#include "processing/ti.h"

namespace {

constexpr int kMaxLevel = 255;
constexpr size_t kMinBytesPerThread = size_t(1) << 18;

// min(255, trunc(q)) for a quotient q >= 0.
inline unsigned char Level(long double q)
{
    return q >= kMaxLevel ? kMaxLevel : static_cast<unsigned char>(static_cast<int>(q));
}

// The horizontal distances of one image row to column x: dx(c) = |c - x| for
// c in [0, w). They cover [first, first + count) with count <= w.
struct ColumnDistances {
    int64_t x;
    int64_t first;
    size_t count;

    ColumnDistances(int64_t point_x, int64_t w) : x(point_x)
    {
        int64_t last_col = w - 1;
        first = x < 0 ? -x : (x > last_col ? x - last_col : 0);
        int64_t farthest = std::max(x < 0 ? -x : x, x > last_col ? x : last_col - x);
        count = size_t(farthest - first + 1);
    }
    int64_t Distance(int64_t c) const { return c > x ? c - x : x - c; }
};

// Copies n bytes from src into dst in reverse order (dst[k] = src[n - 1 - k]).
void CopyReversed(unsigned char *dst, const unsigned char *src, size_t n)
{
    size_t k = 0;
    for (; k + 8 <= n; k += 8) {
        uint64_t v;
        std::memcpy(&v, src + n - k - 8, 8);
        v = __builtin_bswap64(v);
        std::memcpy(dst + k, &v, 8);
    }
    for (; k < n; ++k)
        dst[k] = src[n - 1 - k];
}

// Lays out one row's levels by column from its levels by horizontal
// distance (by_dx[i] is the level at dx = cols.first + i): forwards right
// of the point, backwards left of it.
void SpreadByColumn(const ColumnDistances &cols, const unsigned char *by_dx, unsigned char *levels, int64_t w)
{
    const int64_t x = cols.x;
    // Columns c < x have dx = x - c: from c = min(x, w) - 1 down to 0.
    if (x > 0) {
        int64_t left = std::min(x, w);
        // dx runs from x - left + 1 (rightmost of them) up to x (column 0).
        const unsigned char *from = by_dx + (x - left + 1 - cols.first);
        CopyReversed(levels, from, size_t(left));
    }
    // Columns c >= x have dx = c - x.
    int64_t start = std::max<int64_t>(x, 0);
    if (start < w)
        std::memcpy(levels + start, by_dx + (start - x - cols.first), size_t(w - start));
}

// out[c] = max(in[c], floor) for c < n; kept out of line so that the
// compiler sees the two rows apart and vectorises the loop.
__attribute__((noinline)) void RaiseTo(unsigned char *__restrict out, const unsigned char *__restrict in,
                                       unsigned char floor, size_t n)
{
    for (size_t c = 0; c < n; ++c)
        out[c] = std::max(in[c], floor);
}

// Writes one row's levels (by column) into the selected bytes of its pixels.
// Mask bit k selects byte k of the pixel.
template <int B, int Mask>
void WriteRow(unsigned char *__restrict row, const unsigned char *__restrict levels, size_t w)
{
    for (size_t c = 0; c < w; ++c, row += B) {
        unsigned char v = levels[c];
        if (Mask & 1)
            row[0] = v;
        if (Mask & 2)
            row[1] = v;
        if (Mask & 4)
            row[2] = v;
    }
}

#ifdef MIRLAN_BYTE_SHUFFLES
// Shuffles that spread sixteen levels over the B vectors of sixteen B-byte
// pixels (spread[o]), and the bytes of each vector that Mask selects (select[o]).
template <int B, int Mask>
struct SpreadMasks {
    unsigned char spread[B][16];
    unsigned char select[B][16];

    constexpr SpreadMasks() : spread(), select()
    {
        for (int p = 0; p < 16 * B; ++p) {
            spread[p / 16][p % 16] = static_cast<unsigned char>(p / B);
            select[p / 16][p % 16] = (Mask >> (p % B)) & 1 ? 0xFF : 0x00;
        }
    }
};

// WriteRow sixteen pixels at a time; returns how many pixels it wrote.
template <int B, int Mask>
MIRLAN_TARGET_SSSE3 size_t WriteRowShuffled(unsigned char *row, const unsigned char *levels, size_t w)
{
    static constexpr SpreadMasks<B, Mask> kMasks{};
    size_t c = 0;
    for (; c + 16 <= w; c += 16, row += 16 * B) {
        const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i *>(levels + c));
        for (int o = 0; o < B; ++o) {
            const __m128i spread = _mm_shuffle_epi8(v, _mm_loadu_si128(reinterpret_cast<const __m128i *>(kMasks.spread[o])));
            const __m128i select = _mm_loadu_si128(reinterpret_cast<const __m128i *>(kMasks.select[o]));
            __m128i *at = reinterpret_cast<__m128i *>(row + 16 * o);
            const __m128i kept = _mm_andnot_si128(select, _mm_loadu_si128(at));
            _mm_storeu_si128(at, _mm_or_si128(kept, _mm_and_si128(select, spread)));
        }
    }
    return c;
}
#endif

using RowWriter = void (*)(unsigned char *, const unsigned char *, size_t);

// WriteRow with the byte-shuffle form first where the processor has one.
template <int B, int Mask>
void WriteRowFast(unsigned char *row, const unsigned char *levels, size_t w)
{
    size_t done = 0;
#ifdef MIRLAN_BYTE_SHUFFLES
    if (mirlan::HasByteShuffles())
        done = WriteRowShuffled<B, Mask>(row, levels, w);
#endif
    WriteRow<B, Mask>(row + done * B, levels + done, w - done);
}

template <int B>
RowWriter WriterForMask(int mask)
{
    static const RowWriter kWriters[8] = {
        nullptr,              WriteRowFast<B, 1>, WriteRowFast<B, 2>, WriteRowFast<B, 3>,
        WriteRowFast<B, 4>,   WriteRowFast<B, 5>, WriteRowFast<B, 6>, WriteRowFast<B, 7>,
    };
    return kWriters[mask];
}

// The bytes of a pixel that receive the level, as a mask (bit k: byte k):
// a 1-byte pixel always takes it; deeper pixels take it in the bytes whose
// switch is on and that lie inside the pixel.
int SelectedBytes(int bytes, sRGB couleur)
{
    if (bytes == 1)
        return 1;
    int mask = (couleur.r ? 1 : 0) | (couleur.g ? 2 : 0) | (couleur.b ? 4 : 0);
    return bytes == 2 ? mask & 3 : mask;
}

// Whether the map would change anything: an image with pixels, a positive
// scale (zero, negative or not a number has no meaning) and a selected byte.
bool Paints(const CImage *img, sRGB couleur, float valeur)
{
    return img && img->data && img->width > 0 && img->height > 0 && img->BytesPerPixel() >= 1 &&
           img->BytesPerPixel() <= 4 && valeur > 0 && SelectedBytes(img->BytesPerPixel(), couleur) != 0;
}

// Runs fill_row(r, levels, scratch) for every row, then writes the levels
// into the selected bytes of the row; a 1-byte image takes them in place.
// Rows are independent, so they are shared between the cores.
template <class FillRow>
void PaintRows(CImage *img, sRGB couleur, FillRow fill_row)
{
    const size_t w = size_t(img->width), h = size_t(img->height), row_bytes = img->RowBytes();
    const int bytes = img->BytesPerPixel(), mask = SelectedBytes(bytes, couleur);
    const RowWriter write = bytes == 2 ? WriterForMask<2>(mask)
                          : bytes == 3 ? WriterForMask<3>(mask)
                          : bytes == 4 ? WriterForMask<4>(mask)
                                       : nullptr;
    unsigned char *data = img->data;
    mirlan::ParallelFor(h, kMinBytesPerThread / row_bytes + 1, [&](size_t first, size_t last) {
        std::vector<unsigned char> levels(w), scratch(w);
        for (size_t r = first; r < last; ++r) {
            unsigned char *row = data + r * row_bytes;
            if (!write) {
                fill_row(int64_t(r), row, scratch.data());
                continue;
            }
            fill_row(int64_t(r), levels.data(), scratch.data());
            write(row, levels.data(), w);
        }
    });
}

}  // namespace

void CTi::Distance4Point(CImage *img, sRGB couleur, int x, int y, float valeur)
{
    if (!Paints(img, couleur, valeur))
        return;
    const long double scale = valeur;
    const int64_t w = img->width;
    const ColumnDistances cols(x, w);
    // dx / scale for every horizontal distance present in a row.
    std::vector<long double> qx(cols.count);
    for (size_t i = 0; i < cols.count; ++i)
        qx[i] = static_cast<long double>(cols.first + int64_t(i)) / scale;

    PaintRows(img, couleur, [&](int64_t r, unsigned char *levels, unsigned char *by_dx) {
        int64_t dy = r > y ? r - y : int64_t(y) - r;
        const long double qy = static_cast<long double>(dy) / scale;
        // The sum grows with dx, so the level only ever steps up along by_dx.
        const long double *quotients = qx.data();
        int level = 0;
        long double next = 1;
        size_t i = 0;
        for (; i < cols.count && level < kMaxLevel; ++i) {
            long double sum = quotients[i] + qy;
            while (level < kMaxLevel && sum >= next) {
                ++level;
                next += 1;
            }
            by_dx[i] = static_cast<unsigned char>(level);
        }
        if (i < cols.count)
            std::memset(by_dx + i, kMaxLevel, cols.count - i);
        SpreadByColumn(cols, by_dx, levels, w);
    });
}

void CTi::Distance8Point(CImage *img, sRGB couleur, int x, int y, float valeur)
{
    if (!Paints(img, couleur, valeur))
        return;
    const long double scale = valeur;
    const int64_t w = img->width;
    const ColumnDistances cols(x, w);
    // trunc(max(a, b)) of the two rounded quotients is the level of the
    // larger distance, so each pixel takes the larger of its column's level
    // and its row's level.
    std::vector<unsigned char> column_level(static_cast<size_t>(w));
    for (int64_t c = 0; c < w; ++c)
        column_level[size_t(c)] = Level(static_cast<long double>(cols.Distance(c)) / scale);

    const unsigned char *by_column = column_level.data();
    PaintRows(img, couleur, [=](int64_t r, unsigned char *levels, unsigned char *) {
        int64_t dy = r > y ? r - y : int64_t(y) - r;
        RaiseTo(levels, by_column, Level(static_cast<long double>(dy) / scale), size_t(w));
    });
}
