// tone_filters.cpp: the point operations that remap pixels through their
// luminosity: sawtooth, random and fixed thresholds, histogram equalisation
// and stretching.
#include <ctime>
#include <mutex>
#include <vector>

#include "processing/c_rand.h"
#include "processing/pixel_pass.h"
#include "processing/ti.h"

namespace {

using mirlan::ByteTable;

// value × 8 modulo 256.
ByteTable SawtoothTable()
{
    ByteTable t;
    for (int v = 0; v < 256; ++v)
        t.to[v] = static_cast<unsigned char>((8 * v) & 255);
    return t;
}

// 255 above the threshold, 0 at or below it.
ByteTable ThresholdTable(int threshold)
{
    ByteTable t;
    for (int v = 0; v < 256; ++v)
        t.to[v] = v > threshold ? 255 : 0;
    return t;
}

// trunc(25.5 × valeur), held to -1..256: every level is above -1, none above
// 256, so the table is the same as with the untruncated value.
int FixedThreshold(float valeur)
{
    const long double t = 25.5 * static_cast<long double>(valeur);
    if (!(t < 256.0L))
        return 256;
    if (!(t > -1.0L))
        return -1;
    return static_cast<int>(t);
}

// Counts of the level each pixel has for the equalisation: the luminosity of
// its first three bytes when it has three or more, else its first byte.
void CountEqualisationLevels(const CImage *img, size_t counts[256])
{
    for (int v = 0; v < 256; ++v)
        counts[v] = 0;
    const size_t B = img->BytesPerPixel();
    const unsigned char *data = img->data;
    std::mutex merge;
    mirlan::ParallelFor(img->ByteCount() / B, mirlan::kMinItemsPerThread, [&](size_t first, size_t last) {
        // Four sets of bins taken in turn: runs of equal levels do not wait
        // on the increment of the same bin.
        size_t local[4][256] = {};
        const unsigned char *p = data + first * B;
        size_t k = first;
        if (B >= 3) {
            for (; k + 4 <= last; k += 4, p += 4 * B) {
                ++local[0][mirlan::Luminosity(p)];
                ++local[1][mirlan::Luminosity(p + B)];
                ++local[2][mirlan::Luminosity(p + 2 * B)];
                ++local[3][mirlan::Luminosity(p + 3 * B)];
            }
            for (; k < last; ++k, p += B)
                ++local[0][mirlan::Luminosity(p)];
        } else {
            for (; k + 4 <= last; k += 4, p += 4 * B) {
                ++local[0][p[0]];
                ++local[1][p[B]];
                ++local[2][p[2 * B]];
                ++local[3][p[3 * B]];
            }
            for (; k < last; ++k, p += B)
                ++local[0][p[0]];
        }
        std::lock_guard<std::mutex> lock(merge);
        for (int v = 0; v < 256; ++v)
            counts[v] += local[0][v] + local[1][v] + local[2][v] + local[3][v];
    });
}

// Smallest and largest level of the image's pixels (255 and 0 to start).
void LevelRange(const CImage *img, unsigned &lo, unsigned &hi)
{
    lo = 255;
    hi = 0;
    const size_t B = img->BytesPerPixel();
    const unsigned char *data = img->data;
    std::mutex merge;
    mirlan::ParallelFor(img->ByteCount() / B, mirlan::kMinItemsPerThread, [&, data, B](size_t first, size_t last) {
        unsigned char low = 255, high = 0;
        const unsigned char *p = data + first * B;
        if (B == 1) {
            for (size_t k = first; k < last; ++k) {  // vectorised
                low = p[k - first] < low ? p[k - first] : low;
                high = p[k - first] > high ? p[k - first] : high;
            }
        } else {
            // Marks of the levels met: plain stores, where a running minimum
            // and maximum would chain every pixel to the one before.
            unsigned char seen[256] = {};
            if (B == 3)
                for (size_t k = first; k < last; ++k, p += 3)
                    seen[mirlan::Luminosity(p)] = 1;
            else
                for (size_t k = first; k < last; ++k, p += B)
                    seen[p[0]] = 1;
            for (unsigned v = 0; v < 256; ++v)
                if (seen[v]) {
                    low = static_cast<unsigned char>(v < low ? v : low);
                    high = static_cast<unsigned char>(v > high ? v : high);
                }
        }
        std::lock_guard<std::mutex> lock(merge);
        lo = low < lo ? low : lo;
        hi = high > hi ? high : hi;
    });
}

// Each of the count pixels at p against its draw, rand()'s value being the
// word shifted right by one.
void ThresholdAgainstDraws(unsigned char *p, size_t count, size_t B, const uint32_t *words)
{
    auto threshold = [](uint32_t word) { return static_cast<unsigned>((word >> 1) % 256); };
    if (B == 1) {
        for (size_t j = 0; j < count; ++j)
            p[j] = p[j] > threshold(words[j]) ? 255 : 0;
    } else if (B == 3) {
        for (size_t j = 0; j < count; ++j, p += 3) {
            unsigned char v = mirlan::Luminosity(p) > threshold(words[j]) ? 255 : 0;
            p[0] = v;
            p[1] = v;
            p[2] = v;
        }
    } else {
        for (size_t j = 0; j < count; ++j, p += B) {
            unsigned char v = p[0] > threshold(words[j]) ? 255 : 0;
            for (size_t c = 0; c < B; ++c)
                p[c] = v;
        }
    }
}

}  // namespace

void CTi::DentsDeScie(CImage *img)
{
    if (img->BytesPerPixel() == 3)
        mirlan::MapPixelsByLevel(img, SawtoothTable());
    else  // byte by byte: × 8 modulo 256 is a shift
        mirlan::TransformBytes(img->data, img->ByteCount(),
                               [](unsigned char b) { return static_cast<unsigned char>(b << 3); });
}

void CTi::SeuillageAl(CImage *img)
{
    const size_t B = img->BytesPerPixel();
    const size_t pixels = B ? img->ByteCount() / B : 0;
    // One draw per pixel in buffer order: each core starts the sequence at
    // the draw of its own first pixel.
    const unsigned seed = static_cast<unsigned>(std::time(nullptr));
    unsigned char *data = img->data;
    mirlan::ParallelFor(pixels, mirlan::kMinItemsPerThread, [=](size_t first, size_t last) {
        mirlan::CRandSequence draws(seed);
        draws.Skip(first);
        unsigned char *p = data + first * B;  // a local: the stores cannot alias it
        for (size_t k = first; k < last;) {
            const uint32_t *words;
            const size_t run = draws.Take(last - k, words);
            ThresholdAgainstDraws(p, run, B, words);
            p += run * B;
            k += run;
        }
    });
}

void CTi::SeuillageFixe(CImage *img, float valeur)
{
    const int threshold = FixedThreshold(valeur);
    if (img->BytesPerPixel() == 1 && threshold >= 0 && threshold < 255) {
        // A byte compare, vectorised.
        const unsigned char t = static_cast<unsigned char>(threshold);
        mirlan::TransformBytes(img->data, img->ByteCount(),
                               [t](unsigned char b) { return static_cast<unsigned char>(b > t ? 255 : 0); });
        return;
    }
    mirlan::MapPixelsByLevel(img, ThresholdTable(threshold));
}

void CTi::EgalHisto(CImage *img)
{
    const size_t pixels = CImage::ByteCount(img->width, img->height, 8);
    // Below 255 pixels the divisor is 0: the image is left as it is.
    const size_t q = pixels / 255;
    if (q == 0 || img->BytesPerPixel() == 0)
        return;
    size_t h[256];
    CountEqualisationLevels(img, h);
    ByteTable lut;
    lut.to[0] = 0;
    size_t count = h[0];
    for (int k = 1; k < 256; ++k) {
        count += h[k];
        size_t v = count / q;
        lut.to[k] = static_cast<unsigned char>(v > 255 ? 255 : v);
    }
    mirlan::MapBytes(img->data, img->ByteCount(), lut);
}

void CTi::EtirementHisto(CImage *img)
{
    const size_t B = img->BytesPerPixel();
    const size_t n = img->ByteCount();
    if (n == 0)
        return;
    unsigned lo, hi;
    LevelRange(img, lo, hi);
    const int d = hi == lo ? 1 : int(hi - lo);
    // scaled[l][c]: byte c of a pixel of level l, c × S[l] / l clamped, where
    // S[l] = 255 (l − lo) / d. c × S[l] is an exact integer below 2^24 and
    // the quotient is either that integer's exact quotient or at least 1/l
    // from an integer, so integer division truncates it the same way.
    static_assert(255 * 255 * 255 < (1 << 24), "products exact in a float");
    std::vector<unsigned char> scaled(256 * 256, 0);
    for (unsigned l = lo > 0 ? lo : 1; l <= hi; ++l) {
        const int s = 255 * (int(l) - int(lo)) / d;
        for (int c = 0; c < 256; ++c) {
            int v = c * s / int(l);
            scaled[l * 256 + c] = static_cast<unsigned char>(v > 255 ? 255 : v);
        }
    }
    if (B == 1) {
        // A grey pixel's byte is its level: the table's diagonal.
        ByteTable diagonal;
        for (int c = 0; c < 256; ++c)
            diagonal.to[c] = scaled[size_t(c) * 257];
        mirlan::MapBytes(img->data, n, diagonal);
        return;
    }
    const unsigned char *table = scaled.data();
    unsigned char *data = img->data;
    mirlan::ParallelFor(n / B, mirlan::kMinItemsPerThread, [table, data, B](size_t first, size_t last) {
        const unsigned char *rows = table;
        unsigned char *p = data + first * B;
        if (B == 3) {
            for (size_t k = first; k < last; ++k, p += 3) {
                const unsigned char *row = rows + size_t(mirlan::Luminosity(p)) * 256;
                p[0] = row[p[0]];
                p[1] = row[p[1]];
                p[2] = row[p[2]];
            }
            return;
        }
        for (size_t k = first; k < last; ++k, p += B)
            p[0] = rows[size_t(p[0]) * 257];
    });
}
