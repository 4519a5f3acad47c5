// test_geometry.cpp: quarter and half turns, mirrors and resizing, checked on
// small known images and against the plain forms and the toolkit's resampling.
#include <gtest/gtest.h>

#include <random>
#include <string>
#include <utility>
#include <vector>

#include "oracle_geometry.h"
#include "processing/ti.h"

namespace {

using geometry_oracle::Bytes;
using geometry_oracle::ImageOf;
using geometry_oracle::RandomImage;

using Op = void (*)(CImage *);

struct NamedOp {
    const char *name;
    Op fast;
    Op plain;
};

const NamedOp kOps[] = {
    {"Rot90h", CTi::Rot90h, geometry_oracle::Rot90h},
    {"Rot90a", CTi::Rot90a, geometry_oracle::Rot90a},
    {"Rot180", CTi::Rot180, geometry_oracle::Rot180},
    {"SymetrieV", CTi::SymetrieV, geometry_oracle::SymetrieV},
    {"SymetrieH", CTi::SymetrieH, geometry_oracle::SymetrieH},
};

// Sizes that catch edge handling: single pixels, single rows and columns,
// odd widths, tile borders (64) and the 254/255 lengths, and images large
// enough to be split between threads.
const std::pair<int, int> kAwkwardSizes[] = {
    {1, 1},   {1, 9},    {9, 1},    {1, 255}, {255, 1},  {2, 2},    {3, 2},   {5, 3},
    {7, 8},   {15, 17},  {63, 65},  {64, 64}, {65, 129}, {254, 255}, {255, 254}, {301, 7},
    {7, 301}, {777, 411}, {411, 777},
};

std::unique_ptr<CImage> Clone(const CImage &source)
{
    return std::make_unique<CImage>(source.data, source.width, source.height, source.bpp);
}

std::unique_ptr<CImage> Turned(Op op, const CImage &source)
{
    auto img = Clone(source);
    op(img.get());
    return img;
}

void ExpectSameImage(const CImage &expected, const CImage &actual)
{
    ASSERT_EQ(expected.width, actual.width);
    ASSERT_EQ(expected.height, actual.height);
    ASSERT_EQ(expected.bpp, actual.bpp);
    ASSERT_TRUE(Bytes(expected) == Bytes(actual));
}

// A w × h image whose pixels are the letters of rows, byte k of each pixel
// being its letter + 16 k, so that every byte of a pixel is distinct.
std::unique_ptr<CImage> LettersOf(int w, int h, int bytes, const std::string &rows)
{
    std::vector<unsigned char> data;
    for (char letter : rows)
        for (int k = 0; k < bytes; ++k)
            data.push_back(static_cast<unsigned char>(letter + 16 * k));
    return ImageOf(w, h, 8 * bytes, data);
}

TEST(GeometryExamples, ThreeByTwoImageAtEveryDepth)
{
    struct Case {
        Op op;
        int w, h;
        const char *rows;
    } cases[] = {
        {CTi::Rot90h, 2, 3, "daebfc"},
        {CTi::Rot90a, 2, 3, "cfbead"},
        {CTi::Rot180, 3, 2, "fedcba"},
        {CTi::SymetrieV, 3, 2, "defabc"},
        {CTi::SymetrieH, 3, 2, "cbafed"},
    };
    for (int bytes = 1; bytes <= 4; ++bytes)
        for (const Case &c : cases) {
            SCOPED_TRACE(std::string(c.rows) + " at " + std::to_string(bytes) + " bytes");
            auto img = LettersOf(3, 2, bytes, "abcdef");
            c.op(img.get());
            ExpectSameImage(*LettersOf(c.w, c.h, bytes, c.rows), *img);
        }
}

TEST(GeometryExamples, OnePixelIsUnchangedByEveryTurnAndMirror)
{
    for (const NamedOp &op : kOps)
        for (int bytes = 1; bytes <= 4; ++bytes) {
            SCOPED_TRACE(op.name);
            auto img = RandomImage(1, 1, 8 * bytes, 3);
            auto before = Bytes(*img);
            op.fast(img.get());
            EXPECT_EQ(1, img->width);
            EXPECT_EQ(1, img->height);
            EXPECT_EQ(before, Bytes(*img));
        }
}

TEST(GeometryExamples, RoundTripsRestoreTheImage)
{
    const std::vector<std::vector<Op>> trips = {
        {CTi::Rot90h, CTi::Rot90h, CTi::Rot90h, CTi::Rot90h},
        {CTi::Rot90h, CTi::Rot90a},
        {CTi::Rot90a, CTi::Rot90h},
        {CTi::Rot180, CTi::Rot180},
        {CTi::SymetrieV, CTi::SymetrieV},
        {CTi::SymetrieH, CTi::SymetrieH},
        {CTi::SymetrieV, CTi::SymetrieH, CTi::Rot180},
    };
    for (size_t t = 0; t < trips.size(); ++t)
        for (int bytes = 1; bytes <= 4; ++bytes) {
            SCOPED_TRACE("trip " + std::to_string(t) + ", " + std::to_string(bytes) + " bytes");
            auto original = RandomImage(131, 37, 8 * bytes, uint32_t(t * 10 + bytes));
            auto img = Clone(*original);
            for (Op op : trips[t])
                op(img.get());
            ExpectSameImage(*original, *img);
        }
}

TEST(GeometryExamples, EmptyImageIsLeftAlone)
{
    for (const NamedOp &op : kOps) {
        CImage empty;
        op.fast(&empty);
        EXPECT_EQ(nullptr, empty.data);
        EXPECT_EQ(0, empty.width);
    }
    CImage empty;
    CTi::Redimensionne(&empty, 4, 4);
    EXPECT_EQ(nullptr, empty.data);
}

// Every operation, every depth, every awkward size: identical to the plain form.
TEST(GeometryMatchesPlainForm, AwkwardSizesAtEveryDepth)
{
    uint32_t seed = 1;
    for (const NamedOp &op : kOps)
        for (int bytes = 1; bytes <= 4; ++bytes)
            for (auto [w, h] : kAwkwardSizes) {
                SCOPED_TRACE(std::string(op.name) + " " + std::to_string(w) + "x" + std::to_string(h) +
                             " at " + std::to_string(bytes) + " bytes");
                auto source = RandomImage(w, h, 8 * bytes, seed++);
                ExpectSameImage(*Turned(op.plain, *source), *Turned(op.fast, *source));
            }
}

TEST(GeometryMatchesPlainForm, MirrorsKeepTheirBuffer)
{
    for (Op op : {CTi::SymetrieV, CTi::SymetrieH, CTi::Rot180}) {
        auto img = RandomImage(40, 30, 24, 5);
        unsigned char *buffer = img->data;
        op(img.get());
        EXPECT_EQ(buffer, img->data);
    }
}

// ---------------------------------------------------------------------------
// Resizing

std::unique_ptr<CImage> Resized(const CImage &source, int w, int h, bool plain)
{
    auto img = Clone(source);
    (plain ? geometry_oracle::Redimensionne : CTi::Redimensionne)(img.get(), w, h);
    return img;
}

TEST(ResizeExamples, TwoByTwoToFourByFourRepeatsEachPixelInABlock)
{
    auto img = ImageOf(2, 2, 8, {1, 2, 3, 4});
    CTi::Redimensionne(img.get(), 4, 4);
    EXPECT_EQ(Bytes(*ImageOf(4, 4, 8, {1, 1, 2, 2, 1, 1, 2, 2, 3, 3, 4, 4, 3, 3, 4, 4})), Bytes(*img));
    EXPECT_EQ(4, img->width);
    EXPECT_EQ(4, img->height);
    EXPECT_EQ(8, img->bpp);
}

TEST(ResizeExamples, RowsShrinkByKeepingTheLeftmostPixelOfEachSpan)
{
    auto four = ImageOf(4, 1, 24, {1, 1, 1, 2, 2, 2, 3, 3, 3, 4, 4, 4});
    CTi::Redimensionne(four.get(), 2, 1);
    EXPECT_EQ(std::vector<unsigned char>({1, 1, 1, 3, 3, 3}), Bytes(*four));
    auto three = ImageOf(3, 1, 24, {1, 1, 1, 2, 2, 2, 3, 3, 3});
    CTi::Redimensionne(three.get(), 2, 1);
    EXPECT_EQ(std::vector<unsigned char>({1, 1, 1, 2, 2, 2}), Bytes(*three));
}

TEST(ResizeExamples, SameSizeKeepsTheBufferItself)
{
    auto img = RandomImage(13, 7, 24, 9);
    unsigned char *buffer = img->data;
    auto before = Bytes(*img);
    CTi::Redimensionne(img.get(), 13, 7);
    EXPECT_EQ(buffer, img->data);
    EXPECT_EQ(before, Bytes(*img));
}

TEST(ResizeExamples, SidesTheImageCannotHoldLeaveItUnchanged)
{
    const std::pair<int, int> bad[] = {{0, 5}, {5, 0}, {-3, 5}, {5, -1}, {0, 0}, {32768, 2}, {2, 40000}};
    for (auto [w, h] : bad) {
        SCOPED_TRACE(std::to_string(w) + "x" + std::to_string(h));
        auto img = RandomImage(6, 5, 8, 2);
        auto before = Bytes(*img);
        CTi::Redimensionne(img.get(), w, h);
        EXPECT_EQ(6, img->width);
        EXPECT_EQ(5, img->height);
        EXPECT_EQ(before, Bytes(*img));
    }
}

// The toolkit's Fl_RGB_Image::copy is the reference: many random size pairs,
// shrinking and enlarging, extreme ratios, single rows and columns, all depths.
TEST(ResizeMatchesToolkit, RandomSizePairsAtEveryDepth)
{
    std::mt19937 rng(2024);
    auto side = [&rng](int kind) {
        switch (kind) {
        case 0: return 1 + int(rng() % 4);
        case 1: return 1 + int(rng() % 90);
        default: return 1 + int(rng() % 700);
        }
    };
    for (int pair = 0; pair < 400; ++pair) {
        int w = side(rng() % 3), h = side(rng() % 3), nw = side(rng() % 3), nh = side(rng() % 3);
        int bytes = 1 + pair % 4;
        SCOPED_TRACE(std::to_string(w) + "x" + std::to_string(h) + " -> " + std::to_string(nw) + "x" +
                     std::to_string(nh) + " at " + std::to_string(bytes) + " bytes");
        auto source = RandomImage(w, h, 8 * bytes, uint32_t(pair));
        ExpectSameImage(*Resized(*source, nw, nh, true), *Resized(*source, nw, nh, false));
    }
}

TEST(ResizeMatchesToolkit, ExtremeRatiosAndThinImages)
{
    const int pairs[][4] = {
        {1, 1, 1, 1000},   {1, 1, 997, 1},    {1, 1000, 1, 1},    {1000, 1, 1, 1},   {1, 777, 3, 5},
        {777, 1, 5000, 1}, {5000, 1, 7, 1},   {2, 3000, 1, 2999}, {4999, 2, 5000, 3}, {3, 3, 2999, 2},
        {255, 254, 254, 255}, {254, 255, 255, 254}, {600, 400, 300, 200}, {300, 200, 600, 400},
        {6, 4, 4000, 6},   {4000, 6, 6, 4},   {1023, 17, 1024, 16}, {17, 1023, 16, 1024},
    };
    for (const auto &p : pairs)
        for (int bytes = 1; bytes <= 4; ++bytes) {
            SCOPED_TRACE(std::to_string(p[0]) + "x" + std::to_string(p[1]) + " -> " + std::to_string(p[2]) +
                         "x" + std::to_string(p[3]) + " at " + std::to_string(bytes) + " bytes");
            auto source = RandomImage(p[0], p[1], 8 * bytes, uint32_t(p[2] + bytes));
            ExpectSameImage(*Resized(*source, p[2], p[3], true), *Resized(*source, p[2], p[3], false));
        }
}

}  // namespace
