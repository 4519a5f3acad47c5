// oracle.h: the plain forms of the image operations, which the engine's fast
// forms must match byte for byte, and the images the tests feed them.
//
// Each plain form is the most direct reading of its operation: pixels in
// buffer order, extended-precision arithmetic on every pixel, no tables, no
// threads, nothing shared with the engine.
#ifndef MIRLAN_TESTS_ORACLE_H
#define MIRLAN_TESTS_ORACLE_H

#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <utility>
#include <vector>

#include "image/image.h"

namespace oracle {

// trunc((c0 × 0.707 + c1 × 0.202) + c2 × 0.091) in extended precision.
int Lum(int c0, int c1, int c2);

void Luminosite(CImage *img, int lum, int rouge, int vert, int bleu);
void Contraste(CImage *img, int contraste);
void Saturation(CImage *img, int saturation);
void Negatif(CImage *img);
void NiveauxGris(CImage *img);
void CouleursRVB(CImage *img);
void DentsDeScie(CImage *img);
void SeuillageAl(CImage *img, unsigned seed);  // srand(seed), one rand() per pixel
void SeuillageFixe(CImage *img, float valeur);
void EgalHisto(CImage *img);  // fewer than 255 pixels: left unchanged
void EtirementHisto(CImage *img);
void Distance(CImage *img, sRGB couleur, int x, int y, float valeur, bool chessboard);
void Redimensionne(CImage *img, int w, int h);  // the toolkit's own resampling

struct Histos {
    int32_t histos[4][256] = {}, max[4] = {-1, -1, -1, -1}, min[4] = {999, 999, 999, 999}, moyenne[4];
};
Histos CalcHistos(const CImage &img);

}  // namespace oracle

namespace testimg {

using Op = std::function<void(CImage *)>;

// w × h pixels of the given bytes per pixel, random bytes from seed.
std::unique_ptr<CImage> Random(int w, int h, int bytes, unsigned seed);
// The bytes given, as an image w pixels wide (one row when w is 0).
std::unique_ptr<CImage> Of(std::vector<unsigned char> bytes, int bytes_per_pixel, int w = 0);
// op and plain applied to copies of input give the same size, depth and bytes.
::testing::AssertionResult Match(const CImage &input, const Op &op, const Op &plain);
// Single pixels, rows and columns, odd sides, either side of 255 pixels, and
// one large enough for the two-thread and byte-pair passes.
inline const std::vector<std::pair<int, int>> kAwkwardSizes = {
    {1, 1}, {1, 9}, {9, 1}, {2, 3}, {3, 5}, {7, 7}, {17, 15}, {65, 129},
    {254, 1}, {255, 1}, {1, 255}, {2, 127}, {1201, 901}};
// The treatment counter's values: 0.1 to 10 by 0.1, as the float handed on.
std::vector<float> CounterValues();
// body(0) to body(count - 1) shared between the cores.
void ForEach(size_t count, const std::function<void(size_t)> &body);
// run(time(nullptr)), again until the clock has not ticked during the run.
::testing::AssertionResult WithinOneSecond(const std::function<::testing::AssertionResult(unsigned)> &run);

}  // namespace testimg

#endif
