// test_distances.cpp: the city-block and chessboard distance maps, checked on
// known pixels and against the pixel-by-pixel plain forms for every scale the
// treatment counter can give.
#include <gtest/gtest.h>

#include <climits>
#include <string>
#include <vector>

#include "oracle_geometry.h"
#include "processing/ti.h"

namespace {

using geometry_oracle::Bytes;
using geometry_oracle::RandomImage;

using DistanceOp = void (*)(CImage *, sRGB, int, int, float);

const sRGB kRed = {255, 0, 0};
const sRGB kWhite = {255, 255, 255};

// The counter steps by 0.1 from 0.1 to 10 and rounds its value to k / 10
// (a double); the treatment receives it as a float.
std::vector<float> CounterValues()
{
    std::vector<float> values;
    for (int k = 1; k <= 100; ++k)
        values.push_back(static_cast<float>(k / 10.0));
    return values;
}

// The level written at pixel (c, r) of a w × h 3-byte image, red only.
int LevelAt(DistanceOp op, int w, int h, int x, int y, float valeur, int c, int r)
{
    CImage img(w, h, 24);
    std::fill(img.data, img.data + img.ByteCount(), 77);
    op(&img, kRed, x, y, valeur);
    return img.data[(size_t(r) * w + c) * 3];
}

TEST(DistanceExamples, PointTenFiveAtScaleTwo)
{
    EXPECT_EQ(3, LevelAt(CTi::Distance4Point, 20, 12, 10, 5, 2.0f, 13, 9));
    EXPECT_EQ(2, LevelAt(CTi::Distance8Point, 20, 12, 10, 5, 2.0f, 13, 9));
}

TEST(DistanceExamples, ThePointItselfIsBlack)
{
    for (DistanceOp op : {CTi::Distance4Point, CTi::Distance8Point})
        EXPECT_EQ(0, LevelAt(op, 9, 9, 4, 6, 0.1f, 4, 6));
}

TEST(DistanceExamples, ScaleOfOneTenthIsSlightlyAboveATenth)
{
    // Neighbour at distance 1: 9, not 10; ten pixels along the row: 99.
    EXPECT_EQ(9, LevelAt(CTi::Distance4Point, 30, 5, 5, 2, 0.1f, 6, 2));
    EXPECT_EQ(9, LevelAt(CTi::Distance8Point, 30, 5, 5, 2, 0.1f, 5, 3));
    EXPECT_EQ(99, LevelAt(CTi::Distance4Point, 30, 5, 5, 2, 0.1f, 15, 2));
    EXPECT_EQ(99, LevelAt(CTi::Distance8Point, 30, 5, 5, 2, 0.1f, 15, 2));
    // Diagonal neighbour.
    EXPECT_EQ(19, LevelAt(CTi::Distance4Point, 30, 5, 5, 2, 0.1f, 6, 3));
    EXPECT_EQ(9, LevelAt(CTi::Distance8Point, 30, 5, 5, 2, 0.1f, 4, 1));
}

TEST(DistanceExamples, ThirdsAddUpToExactlyOne)
{
    EXPECT_EQ(1, LevelAt(CTi::Distance4Point, 8, 8, 2, 2, 3.0f, 3, 4));
    EXPECT_EQ(0, LevelAt(CTi::Distance8Point, 8, 8, 2, 2, 3.0f, 3, 4));
}

TEST(DistanceExamples, FarPixelsAreWhite)
{
    EXPECT_EQ(255, LevelAt(CTi::Distance4Point, 300, 2, 0, 0, 1.0f, 255, 0));
    EXPECT_EQ(255, LevelAt(CTi::Distance8Point, 300, 2, 0, 0, 1.0f, 299, 1));
    EXPECT_EQ(254, LevelAt(CTi::Distance8Point, 300, 2, 0, 0, 1.0f, 254, 1));
    EXPECT_EQ(255, LevelAt(CTi::Distance4Point, 300, 2, 0, 0, 1.0f, 254, 1));
}

TEST(DistanceChannels, BlackColourLeavesColourImagesButNotGreyOnes)
{
    for (DistanceOp op : {CTi::Distance4Point, CTi::Distance8Point}) {
        auto colour = RandomImage(17, 9, 24, 1);
        auto before = Bytes(*colour);
        op(colour.get(), sRGB{0, 0, 0}, 3, 3, 0.5f);
        EXPECT_EQ(before, Bytes(*colour));

        CImage grey(17, 9, 8);
        std::fill(grey.data, grey.data + grey.ByteCount(), 200);
        op(&grey, sRGB{0, 0, 0}, 3, 3, 0.5f);
        EXPECT_EQ(0, grey.data[3 * 17 + 3]);
        EXPECT_EQ(2, grey.data[3 * 17 + 4]);
    }
}

TEST(DistanceChannels, OnlyZeroVersusNonZeroMatters)
{
    // Pixel (0, 0) seen from (20, 1) at a quarter pixel per level: 80 + 4
    // city-block, max(80, 4) chessboard.
    const struct {
        DistanceOp op;
        int corner;
    } cases[] = {{CTi::Distance4Point, 84}, {CTi::Distance8Point, 80}};
    for (const auto &c : cases) {
        auto img = RandomImage(12, 7, 24, 4);
        auto before = Bytes(*img);
        c.op(img.get(), sRGB{0, 128, 1}, 20, 1, 0.25f);
        for (size_t i = 0; i < before.size(); i += 3) {
            EXPECT_EQ(before[i], img->data[i]);
            EXPECT_EQ(img->data[i + 1], img->data[i + 2]);
        }
        EXPECT_EQ(c.corner, img->data[1]);
    }
}

TEST(DistanceChannels, FourthByteAndMissingThirdByteAreNeverWritten)
{
    auto four = RandomImage(10, 6, 32, 8);
    auto before = Bytes(*four);
    CTi::Distance4Point(four.get(), kWhite, 2, 2, 1.0f);
    for (size_t i = 3; i < before.size(); i += 4)
        EXPECT_EQ(before[i], four->data[i]);
    EXPECT_EQ(0, four->data[(2 * 10 + 2) * 4 + 2]);

    // Blue alone selects a byte that a 2-byte pixel does not have.
    auto two = RandomImage(10, 6, 16, 8);
    auto two_before = Bytes(*two);
    CTi::Distance8Point(two.get(), sRGB{0, 0, 9}, 2, 2, 1.0f);
    EXPECT_EQ(two_before, Bytes(*two));
}

TEST(DistanceChannels, ScaleOfZeroOrLessLeavesTheImageUnchanged)
{
    for (DistanceOp op : {CTi::Distance4Point, CTi::Distance8Point})
        for (float bad : {0.0f, -0.0f, -1.0f, -10.0f}) {
            auto img = RandomImage(9, 5, 24, 3);
            auto before = Bytes(*img);
            op(img.get(), kWhite, 2, 2, bad);
            EXPECT_EQ(before, Bytes(*img));
        }
}

TEST(DistanceExamples, PointsAtTheEndsOfTheIntegerRangeGiveWhite)
{
    const int far_points[][2] = {{INT_MAX, INT_MIN}, {INT_MIN, INT_MAX}, {INT_MAX, 0}, {0, INT_MIN}};
    for (DistanceOp op : {CTi::Distance4Point, CTi::Distance8Point})
        for (const auto &p : far_points) {
            auto img = RandomImage(11, 7, 32, 6);
            op(img.get(), kWhite, p[0], p[1], 10.0f);
            for (size_t i = 0; i < img->ByteCount(); i += 4)
                ASSERT_EQ(std::vector<unsigned char>({255, 255, 255}),
                          std::vector<unsigned char>(img->data + i, img->data + i + 3));
        }
}

// ---------------------------------------------------------------------------
// Against the plain forms

struct PlainPair {
    const char *name;
    DistanceOp fast;
    DistanceOp plain;
};

const PlainPair kMaps[] = {
    {"Distance4Point", CTi::Distance4Point, geometry_oracle::Distance4Point},
    {"Distance8Point", CTi::Distance8Point, geometry_oracle::Distance8Point},
};

void ExpectSameMap(const PlainPair &map, const CImage &source, sRGB colour, int x, int y, float valeur)
{
    CImage fast(source.data, source.width, source.height, source.bpp);
    CImage plain(source.data, source.width, source.height, source.bpp);
    map.fast(&fast, colour, x, y, valeur);
    map.plain(&plain, colour, x, y, valeur);
    ASSERT_TRUE(Bytes(plain) == Bytes(fast))
        << map.name << " " << source.width << "x" << source.height << " at " << int(source.bpp)
        << " bits, point (" << x << ", " << y << "), scale " << valeur;
}

// Every counter value, points inside, on the border and outside the image.
TEST(DistanceMatchesPlainForm, EveryCounterValueAtManyPoints)
{
    const int points[][2] = {{0, 0}, {18, 11}, {36, 22}, {-1, 5}, {40, -7}, {-300, 900}, {5000, 3}, {7, -2600}};
    const sRGB colours[] = {kRed, kWhite, {0, 1, 0}, {0, 0, 1}, {1, 0, 1}};
    int colour = 0;
    for (const PlainPair &map : kMaps)
        for (int bytes = 1; bytes <= 4; ++bytes) {
            auto source = RandomImage(37, 23, 8 * bytes, uint32_t(bytes));
            for (float valeur : CounterValues())
                for (const auto &p : points)
                    ExpectSameMap(map, *source, colours[colour++ % 5], p[0], p[1], valeur);
        }
}

// Long thin images reach every level along a row or a column.
TEST(DistanceMatchesPlainForm, WideAndTallImages)
{
    auto wide = RandomImage(2700, 2, 8, 5);
    auto tall = RandomImage(2, 2700, 8, 6);
    for (const PlainPair &map : kMaps)
        for (float valeur : CounterValues()) {
            ExpectSameMap(map, *wide, kRed, 0, 1, valeur);
            ExpectSameMap(map, *wide, kRed, 1300, -40, valeur);
            ExpectSameMap(map, *tall, kRed, 1, 2699, valeur);
            ExpectSameMap(map, *tall, kRed, -5, 1000, valeur);
        }
}

// Every (dx, dy) pair below the cap at a handful of scales, including those
// whose quotients land exactly on whole levels.
TEST(DistanceMatchesPlainForm, WholeDistanceDomainAtSelectedScales)
{
    for (float valeur : {0.1f, 0.3f, 0.7f, 1.0f, 1.5f, 3.0f})
        for (const PlainPair &map : kMaps) {
            int side = int(256 * valeur) + 3;
            auto img = RandomImage(side, side, 8, 1);
            ExpectSameMap(map, *img, kRed, 0, 0, valeur);
        }
}

// Large enough to be shared between threads, at every depth.
TEST(DistanceMatchesPlainForm, LargeImagesAtEveryDepth)
{
    for (const PlainPair &map : kMaps)
        for (int bytes = 1; bytes <= 4; ++bytes) {
            auto source = RandomImage(611, 433, 8 * bytes, uint32_t(bytes + 10));
            for (float valeur : {0.1f, 2.0f, static_cast<float>(3.3), 10.0f})
                ExpectSameMap(map, *source, kWhite, 250, 99, valeur);
        }
}

}  // namespace
