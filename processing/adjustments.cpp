// adjustments.cpp: the colour adjustments behind the panel's sliders:
// luminosity gains, contrast and saturation.
//
// Each result depends on a byte and a few per-call values only (saturation:
// on the byte and the pixel's sum), so each is tabulated once per call from
// the extended-precision formula and the pixels go through the tables.
#include <vector>

#include "processing/pixel_pass.h"
#include "processing/ti.h"

namespace {

using mirlan::ByteTable;

// byte × (gain / 100 + 1), truncated and clamped.
ByteTable GainTable(long long gain)
{
    const long double f = static_cast<long double>(gain) / 100.0f + 1.0f;
    ByteTable t;
    for (int v = 0; v < 256; ++v)
        t.to[v] = mirlan::TruncClamp(v * f);
    return t;
}

// byte + (byte − 127) × contrast / 100, truncated and clamped.
ByteTable ContrastTable(int contraste)
{
    const long double k = static_cast<long double>(contraste) / 100.0f;
    ByteTable t;
    for (int v = 0; v < 256; ++v)
        t.to[v] = mirlan::TruncClamp(v + (v - 127) * k);
    return t;
}

// A channel's new value from its byte c, the sum of the pixel's three bytes
// and k = saturation / 100.
unsigned char SaturatedChannel(int c, int sum, long double k)
{
    const long double m = static_cast<long double>(sum) / 3.0f;
    return mirlan::TruncClamp(c + k * (c - m));
}

// Every channel value for every pixel sum: kSums rows of 256 bytes, row = sum.
constexpr int kSums = 3 * 255 + 1;

std::vector<unsigned char> SaturationTable(long double k)
{
    std::vector<unsigned char> table(size_t(kSums) * 256);
    mirlan::ParallelFor(kSums, 64, [&](size_t first, size_t last) {
        for (size_t sum = first; sum < last; ++sum)
            for (int c = 0; c < 256; ++c)
                table[sum * 256 + c] = SaturatedChannel(c, int(sum), k);
    });
    return table;
}

}  // namespace

void CTi::Luminosite(CImage *img, int lum, int rouge, int vert, int bleu)
{
    const int B = img->BytesPerPixel();
    const size_t n = img->ByteCount();
    if (n == 0)
        return;
    if (B == 1 && lum != 0) {
        mirlan::MapBytes(img->data, n, GainTable(lum));
    } else if (B == 3 && (lum || rouge || vert || bleu)) {
        // Summed in 64 bits: no int passed in can overflow the sum.
        const long long l = lum;
        mirlan::MapChannels(img, GainTable(rouge + l), GainTable(vert + l), GainTable(bleu + l));
    }
}

void CTi::Contraste(CImage *img, int contraste)
{
    const int B = img->BytesPerPixel();
    const size_t n = img->ByteCount();
    if (n == 0 || contraste == 0 || (B != 1 && B != 3))
        return;
    mirlan::MapBytes(img->data, n, ContrastTable(contraste));
}

void CTi::Saturation(CImage *img, int saturation)
{
    const size_t n = img->ByteCount();
    if (n == 0 || saturation == 0 || img->BytesPerPixel() != 3)
        return;
    const long double k = static_cast<long double>(saturation) / 100.0f;
    unsigned char *data = img->data;
    if (n < size_t(kSums) * 256) {
        // Fewer channels than the table has entries (the preview's
        // thumbnail): each one is computed directly.
        for (unsigned char *p = data; p != data + n; p += 3) {
            const int sum = p[0] + p[1] + p[2];
            const unsigned char c0 = SaturatedChannel(p[0], sum, k);
            const unsigned char c1 = SaturatedChannel(p[1], sum, k);
            p[2] = SaturatedChannel(p[2], sum, k);
            p[0] = c0;
            p[1] = c1;
        }
        return;
    }
    const std::vector<unsigned char> table = SaturationTable(k);
    const unsigned char *rows = table.data();
    mirlan::ParallelFor(n / 3, mirlan::kMinItemsPerThread, [rows, data](size_t first, size_t last) {
        const unsigned char *r = rows;
        unsigned char *p = data + first * 3;
        for (size_t k = first; k < last; ++k, p += 3) {
            const unsigned char *row = r + size_t(p[0] + p[1] + p[2]) * 256;
            p[0] = row[p[0]];
            p[1] = row[p[1]];
            p[2] = row[p[2]];
        }
    });
}
