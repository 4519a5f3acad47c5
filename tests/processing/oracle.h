// oracle.h: the plain reference forms of the point operations, against which
// the engine's fast forms are checked byte for byte, and the helpers the
// processing tests share (random images, image comparison, counter values).
//
// Each reference is the most direct reading of its operation: pixels in
// buffer order, extended-precision arithmetic on every pixel, no tables, no
// threads. Speed is no concern here.
#ifndef MIRLAN_TESTS_ORACLE_H
#define MIRLAN_TESTS_ORACLE_H

#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <utility>
#include <vector>

#include "image/image.h"

namespace oracle {

// The pixel luminosity: trunc((c0 × 0.707 + c1 × 0.202) + c2 × 0.091).
int Luminosite(int c0, int c1, int c2);
// An extended-precision value truncated toward zero, then clamped to 0..255.
int TruncClamp(long double v);

void Luminosite(CImage *img, int lum, int rouge, int vert, int bleu);
void Contraste(CImage *img, int contraste);
void Saturation(CImage *img, int saturation);
void Negatif(CImage *img);
void NiveauxGris(CImage *img);
void CouleursRVB(CImage *img);
void DentsDeScie(CImage *img);
// The random threshold with the generator seeded by seed.
void SeuillageAl(CImage *img, unsigned seed);
void SeuillageFixe(CImage *img, float valeur);
void EgalHisto(CImage *img);
void EtirementHisto(CImage *img);

// The histograms and statistics of an image.
struct Histos {
    int32_t histos[4][256];
    int32_t max[4], min[4], moyenne[4];
};
Histos CalcHistos(const CImage &img);

}  // namespace oracle

namespace testimg {

// w × h pixels of the given bytes per pixel, filled from a generator seeded by seed.
std::unique_ptr<CImage> Random(int w, int h, int bytes, unsigned seed);
// w × h pixels, every one with the bytes given.
std::unique_ptr<CImage> Filled(int w, int h, std::vector<unsigned char> pixel);
// An image of pixels given byte by byte, in a single row (at most 32767 pixels).
std::unique_ptr<CImage> Row(std::vector<unsigned char> bytes, int bytes_per_pixel);
// A deep copy.
std::unique_ptr<CImage> Clone(const CImage &img);
// The pixel bytes as a vector.
std::vector<unsigned char> Bytes(const CImage &img);
// Same size, depth and bytes; the message names the first difference.
::testing::AssertionResult Same(const CImage &expected, const CImage &actual);

// Sizes that catch edge handling: single pixels, single rows and columns,
// odd widths, 254 and 255 pixels (either side of the equalisation's limit),
// and one large enough for the two-thread and two-bytes-at-a-time passes.
std::vector<std::pair<int, int>> AwkwardSizes();
// The values the treatment counter can give: 0.1 to 10 in steps of 0.1, each
// the counter's double rounded to one decimal, handed on as a float.
std::vector<float> CounterValues();

}  // namespace testimg

#endif
