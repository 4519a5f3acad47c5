// test_geometry.cpp: turns, mirrors, resizing and distance maps against
// their plain forms; the fixed threshold with the distances, the two
// treatments that read the counter.
#include <gtest/gtest.h>

#include <array>
#include <climits>
#include <cmath>
#include <cstring>
#include <iterator>
#include <random>

#include "oracle.h"
#include "processing/ti.h"

namespace {

// Where pixel (c, r) of a W × H image goes.
using Place = std::pair<int, int> (*)(int c, int r, int W, int H);

// Every pixel copied to its place in an image of the same size, or of the
// sides swapped for a quarter turn.
void Moved(CImage *img, bool quarter, Place to)
{
    const int W = img->width, H = img->height, B = img->bpp / 8, w = quarter ? H : W;
    unsigned char *out = new unsigned char[img->ByteCount()];
    for (int r = 0; r < H; ++r)
        for (int c = 0; c < W; ++c) {
            const auto [x, y] = to(c, r, W, H);
            std::memcpy(out + (size_t(y) * w + x) * B, img->data + (size_t(r) * W + c) * B, B);
        }
    img->Replace(out, w, quarter ? W : H, img->bpp);
}

}  // namespace

TEST(Geometry, TurnsAndMirrorsMoveEveryPixelToItsPlace)
{
    const struct { testimg::Op op; bool quarter; Place to; } rows[] = {
        {CTi::Rot90h, true, [](int c, int r, int, int H) { return std::pair(H - 1 - r, c); }},
        {CTi::Rot90a, true, [](int c, int r, int W, int) { return std::pair(r, W - 1 - c); }},
        {CTi::Rot180, false, [](int c, int r, int W, int H) { return std::pair(W - 1 - c, H - 1 - r); }},
        {CTi::SymetrieV, false, [](int c, int r, int, int H) { return std::pair(c, H - 1 - r); }},
        {CTi::SymetrieH, false, [](int c, int r, int W, int) { return std::pair(W - 1 - c, r); }},
    };
    const auto &sizes = testimg::kAwkwardSizes;
    testimg::ForEach(std::size(rows) * sizes.size() * 4, [&](size_t k) {
        const auto &row = rows[k % std::size(rows)];
        const auto [w, h] = sizes[k / std::size(rows) % sizes.size()];
        EXPECT_TRUE(testimg::Match(*testimg::Random(w, h, int(k / std::size(rows) / sizes.size()) + 1, unsigned(k)),
                                   row.op, [&row](CImage *i) { Moved(i, row.quarter, row.to); }))
            << "row " << &row - rows << ", " << w << "x" << h;
    });
}

TEST(Geometry, ResizingMatchesTheToolkit)
{
    std::vector<std::array<int, 4>> rows = {
        {2, 2, 4, 4},       {4, 1, 2, 1},       {3, 1, 2, 1},     {13, 7, 13, 7},    {1, 1, 1, 1000},
        {1, 1000, 1, 1},    {777, 1, 5000, 1},  {2, 3000, 1, 2999}, {4999, 2, 5000, 3}, {3, 3, 2999, 2},
        {255, 254, 254, 255}, {600, 400, 300, 200}, {300, 200, 600, 400}, {1023, 17, 1024, 16},
        // Sides the image cannot hold leave it unchanged.
        {6, 5, 0, 5},       {6, 5, 5, -1},      {6, 5, 32768, 2}, {6, 5, 2, 40000},
    };
    std::mt19937 rng(7);
    for (int k = 0; k < 100; ++k)
        rows.push_back({1 + int(rng() % 300), 1 + int(rng() % 90), 1 + int(rng() % 300), 1 + int(rng() % 90)});
    for (const auto &row : rows)
        for (int bytes = 1; bytes <= 4; ++bytes)
            EXPECT_TRUE(testimg::Match(*testimg::Random(row[0], row[1], bytes, unsigned(row[2] + bytes)),
                                       [&](CImage *i) { CTi::Redimensionne(i, row[2], row[3]); },
                                       [&](CImage *i) { oracle::Redimensionne(i, row[2], row[3]); }))
                << row[0] << "x" << row[1] << " to " << row[2] << "x" << row[3] << " at " << bytes << " bytes";
    auto same = testimg::Random(13, 7, 3, 1);
    const unsigned char *const pixels = same->data;
    CTi::Redimensionne(same.get(), 13, 7);
    EXPECT_EQ(pixels, same->data);  // the same size keeps the very buffer
}

TEST(Geometry, DistancesAndThresholdMatchForEveryCounterValue)
{
    struct Case { int w, h, bytes, x, y; float scale; };  // scale 0: every value below
    std::vector<float> every = testimg::CounterValues();
    every.insert(every.end(), {0.0f, -0.01f, -1.0f, 1e30f, -1e30f, NAN, INFINITY});  // values beyond the counter
    std::vector<Case> cases = {{2700, 2, 1, 0, 1, 0}, {2700, 2, 1, 1300, -40, 0}, {2, 2700, 1, 1, 2699, 0},
                               {2, 2700, 1, -5, 1000, 0}};
    const int points[][2] = {{0, 0}, {18, 11}, {36, 22}, {-1, 5}, {40, -7}, {-300, 900}, {5000, 3}, {INT_MAX, INT_MIN}};
    for (int bytes = 1; bytes <= 4; ++bytes) {
        for (const auto &p : points)
            cases.push_back({37, 23, bytes, p[0], p[1], 0});
        for (float v : {0.1f, 0.3f, 0.7f, 1.0f, 1.5f, 3.0f})  // every (dx, dy) below the cap
            cases.push_back({int(256 * v) + 3, int(256 * v) + 3, bytes, 0, 0, v});
    }
    const sRGB colours[] = {{255, 0, 0}, {255, 255, 255}, {0, 1, 0}, {0, 0, 1}, {1, 0, 1}, {0, 0, 0}, {0, 128, 1}};
    testimg::ForEach(cases.size(), [&](size_t k) {
        const Case &c = cases[k];
        const auto input = testimg::Random(c.w, c.h, c.bytes, unsigned(k));
        const std::vector<float> scales = c.scale ? std::vector<float>{c.scale} : every;
        for (size_t s = 0; s < scales.size(); ++s) {
            const float v = scales[s];
            const sRGB colour = colours[(k + s) % std::size(colours)];
            for (bool chess : {false, true}) {
                const auto map = chess ? CTi::Distance8Point : CTi::Distance4Point;
                EXPECT_TRUE(testimg::Match(*input, [&](CImage *i) { map(i, colour, c.x, c.y, v); },
                                           [&](CImage *i) { oracle::Distance(i, colour, c.x, c.y, v, chess); }))
                    << "case " << k << ", scale " << v << ", chessboard " << chess;
            }
            EXPECT_TRUE(testimg::Match(*input, [v](CImage *i) { CTi::SeuillageFixe(i, v); },
                                       [v](CImage *i) { oracle::SeuillageFixe(i, v); }))
                << "case " << k << ", threshold " << v;
        }
    });
}
