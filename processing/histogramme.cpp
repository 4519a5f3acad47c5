// histogramme.cpp: the four histograms of an image and their statistics.
#include "processing/histogramme.h"

#include <algorithm>
#include <cstring>
#include <mutex>

#include "image/image.h"
#include "processing/pixel_pass.h"

CHistogramme::CHistogramme()
{
    for (auto &h : histos)
        h = new int32_t[256];
}

CHistogramme::~CHistogramme()
{
    for (auto &h : histos)
        delete[] h;
}

namespace {

// Bin counts of the pixels [first, last): the level layer always, the three
// colour layers when colour is set.
struct Counts {
    uint32_t bins[4][256] = {};

    void Add(const unsigned char *data, size_t B, bool colour, size_t first, size_t last)
    {
        const unsigned char *p = data + first * B;
        if (colour) {
            for (size_t k = first; k < last; ++k, p += 3) {
                ++bins[0][mirlan::Luminosity(p)];
                ++bins[1][p[0]];
                ++bins[2][p[1]];
                ++bins[3][p[2]];
            }
        } else if (B == 3) {
            for (size_t k = first; k < last; ++k, p += 3)
                ++bins[0][mirlan::Luminosity(p)];
        } else {
            // Spread over four sets of bins so that runs of one level do not
            // wait on the same counter; summed into set 0 at the end.
            size_t k = first;
            for (; k + 4 <= last; k += 4, p += 4 * B) {
                ++bins[0][p[0]];
                ++bins[1][p[B]];
                ++bins[2][p[2 * B]];
                ++bins[3][p[3 * B]];
            }
            for (; k < last; ++k, p += B)
                ++bins[0][p[0]];
            for (int v = 0; v < 256; ++v) {
                bins[0][v] += bins[1][v] + bins[2][v] + bins[3][v];
                bins[1][v] = bins[2][v] = bins[3][v] = 0;
            }
        }
    }
};

}  // namespace

void CHistogramme::CalcHistos(const CImage *img)
{
    for (int k = 0; k < 4; ++k) {
        std::memset(histos[k], 0, 256 * sizeof(int32_t));
        max[k] = -1;
        min[k] = 999;
        moyenne[k] = 0;
    }
    const size_t B = img->BytesPerPixel();
    const size_t pixels = B ? img->ByteCount() / B : 0;
    if (pixels == 0)
        return;
    const unsigned char *data = img->data;
    const bool colour = img->bpp == 24;
    // Each core counts its share of the rows; the counts are then summed.
    std::mutex merge;
    mirlan::ParallelFor(pixels, mirlan::kMinItemsPerThread, [&](size_t first, size_t last) {
        Counts counts;
        counts.Add(data, B, colour, first, last);
        std::lock_guard<std::mutex> lock(merge);
        for (int k = 0; k < 4; ++k)
            for (int v = 0; v < 256; ++v)
                histos[k][v] += int32_t(counts.bins[k][v]);
    });
    // Statistics from the bins: the same sums, minima and maxima as pixel by
    // pixel. Sums in 64 bits: a bright 24-megapixel image overflows 32.
    const int layers = colour ? 4 : 1;
    for (int k = 0; k < layers; ++k) {
        uint64_t sum = 0;
        for (int v = 0; v < 256; ++v) {
            if (!histos[k][v])
                continue;
            sum += uint64_t(histos[k][v]) * uint64_t(v);
            min[k] = std::min(min[k], v);
            max[k] = std::max(max[k], v);
        }
        moyenne[k] = int32_t(sum / pixels);
    }
}

void CHistogramme::GetMaxHauteurs(int *lum, int *red, int *green, int *blue)
{
    int *out[4] = {lum, red, green, blue};
    for (int k = 0; k < 4; ++k) {
        int highest = -1;
        for (int v = 0; v < 256; ++v)
            highest = std::max(highest, int(histos[k][v]));
        *out[k] = highest;
    }
}
