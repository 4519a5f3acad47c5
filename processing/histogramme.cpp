// histogramme.cpp: the four histograms of an image and their statistics.
#include "processing/histogramme.h"

#include <algorithm>
#include <cstring>

#include "image/image.h"
#include "processing/luminosity.h"

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

void CHistogramme::CalcHistos(CImage *img)
{
    for (int k = 0; k < 4; ++k) {
        std::memset(histos[k], 0, 256 * sizeof(int32_t));
        max[k] = -1;
        min[k] = 999;
        moyenne[k] = 0;
    }
    const size_t B = img->BytesPerPixel();
    const size_t n = img->ByteCount();
    if (B == 0 || n == 0)
        return;
    const unsigned char *p = img->data;
    const bool colour = img->bpp == 24;
    // Sums in 64 bits: a bright 24-megapixel image overflows 32.
    uint64_t sum[4] = {0, 0, 0, 0};
    for (size_t i = 0; i < n; i += B) {
        unsigned L = B == 3 ? mirlan::Luminosity(p + i) : p[i];
        ++histos[0][L];
        if (colour)
            for (int k = 1; k < 4; ++k)
                ++histos[k][p[i + k - 1]];
    }
    // Statistics from the bins: same sums, minima and maxima as pixel by pixel.
    const int layers = colour ? 4 : 1;
    for (int k = 0; k < layers; ++k) {
        for (int v = 0; v < 256; ++v) {
            if (!histos[k][v])
                continue;
            sum[k] += uint64_t(histos[k][v]) * uint64_t(v);
            min[k] = std::min(min[k], v);
            max[k] = std::max(max[k], v);
        }
        moyenne[k] = int32_t(sum[k] / (n / B));
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
