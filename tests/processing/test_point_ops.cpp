// test_point_ops.cpp: colour adjustments, colour modes and tone filters
// against their plain forms, over every input where the inputs are few.
#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <iterator>

#include "oracle.h"
#include "processing/ti.h"

namespace {

using testimg::Op;
using V = std::vector<unsigned char>;

// One pixel per byte value, all bytes of a pixel equal.
std::unique_ptr<CImage> EveryByte(int bytes)
{
    V all;
    for (int v = 0; v < 256; ++v)
        all.insert(all.end(), size_t(bytes), static_cast<unsigned char>(v));
    return testimg::Of(all, bytes);
}

}  // namespace

TEST(PointOps, WorkedValues)
{
    const struct { V in; int bytes; Op op; V out; } rows[] = {
        {{100, 200}, 1, [](CImage *i) { CTi::Luminosite(i, 10, 0, 0, 0); }, {110, 220}},
        {{100, 25}, 1, [](CImage *i) { CTi::Luminosite(i, -99, 0, 0, 0); }, {0, 0}},
        {{80, 90, 10}, 3, [](CImage *i) { CTi::Luminosite(i, 100, 100, -100, -250); }, {240, 90, 0}},
        {{1, 1, 1}, 3, [](CImage *i) { CTi::Luminosite(i, INT_MAX, INT_MAX, INT_MIN, 0); }, {255, 0, 255}},
        {{63, 64, 127, 128, 191}, 1, [](CImage *i) { CTi::Contraste(i, 100); }, {0, 1, 127, 129, 255}},
        {{200, 100, 50}, 3, [](CImage *i) { CTi::Saturation(i, 50); }, {241, 91, 16}},
        {{10, 20, 30, 255, 0, 0}, 3, [](CImage *i) { CTi::Saturation(i, 100); }, {0, 20, 40, 255, 0, 0}},
        {{255, 0, 0}, 3, [](CImage *i) { CTi::Saturation(i, -100); }, {85, 85, 85}},
        {{255, 255, 255, 100, 100, 100, 255, 0, 0, 0, 255, 0, 0, 0, 255}, 3, CTi::NiveauxGris, {254, 99, 180, 51, 23}},
        {{128, 128, 128, 129, 129, 129}, 3, [](CImage *i) { CTi::NiveauxGris(i), CTi::SeuillageFixe(i, 5); }, {0, 255}},
        {{32, 32, 32, 33, 33, 33, 255, 255, 255}, 3, CTi::DentsDeScie, {248, 248, 248, 0, 0, 0, 240, 240, 240}},
        {{52, 52, 52, 53, 53, 53}, 3, [](CImage *i) { CTi::SeuillageFixe(i, 2.0f); }, {0, 0, 0, 255, 255, 255}},
        {{2, 3}, 1, [](CImage *i) { CTi::SeuillageFixe(i, 0.1f); }, {0, 255}},
        {V(10000, 10), 1, CTi::EgalHisto, V(10000, 255)},
        {{50, 100, 150}, 1, CTi::EtirementHisto, {0, 127, 255}},
        {{7}, 1, [](CImage *i) { CTi::Distance4Point(i, {0, 0, 0}, -3, -4, 2.0f); }, {3}},
        {{7}, 1, [](CImage *i) { CTi::Distance8Point(i, {0, 0, 0}, -3, -4, 2.0f); }, {2}},
        {V(16, 7), 1, [](CImage *i) { CTi::Distance4Point(i, {}, 5, 0, 0.1f); },
         {49, 39, 29, 19, 9, 0, 9, 19, 29, 39, 49, 59, 69, 79, 89, 99}},
        {{7}, 1, [](CImage *i) { CTi::Distance4Point(i, {}, -1, -2, 3.0f); }, {1}},
        {{7}, 1, [](CImage *i) { CTi::Distance8Point(i, {}, -1, -2, 3.0f); }, {0}},
        {{1, 2, 3, 4, 5, 6}, 3, [](CImage *i) { CTi::Distance4Point(i, {0, 128, 1}, 0, 0, 1.0f); }, {1, 0, 0, 4, 1, 1}},
        {{10, 10, 10, 200, 200, 200}, 3, CTi::EtirementHisto, {0, 0, 0, 255, 255, 255}},
    };
    for (const auto &row : rows) {
        auto img = testimg::Of(row.in, row.bytes);
        row.op(img.get());
        EXPECT_EQ(row.out, V(img->data, img->data + img->ByteCount())) << "row " << &row - rows;
    }
}

TEST(PointOps, GreyLevelOfEveryColour)
{
    CImage img(4096, 4096, 24);
    for (size_t k = 0; k < (size_t(1) << 24); ++k)
        for (int c = 0; c < 3; ++c)
            img.data[3 * k + c] = static_cast<unsigned char>(k >> (16 - 8 * c));
    CTi::NiveauxGris(&img);
    size_t mismatches = 0;
    for (size_t k = 0; k < (size_t(1) << 24); ++k)
        mismatches += img.data[k] != oracle::Lum(int(k >> 16), int(k >> 8) & 255, int(k) & 255);
    EXPECT_EQ(mismatches, 0u);
}

TEST(PointOps, AdjustmentsMatchForEveryByteAndSliderValue)
{
    const auto grey = EveryByte(1), colour = EveryByte(3);
    V pairs;  // one pixel per (first byte, sum of the three bytes) pair
    for (int c = 0; c < 256; ++c)
        for (int rest = 0; rest <= 510; ++rest)
            pairs.insert(pairs.end(), {V::value_type(c), V::value_type(std::min(rest, 255)),
                                       V::value_type(rest - std::min(rest, 255))});
    const auto sums = testimg::Of(pairs, 3, 511);
    testimg::ForEach(201, [&](size_t k) {
        const int v = int(k) - 100;
        // Channel gains of 100, -100 and 0 about v reach every gain sum from -200 to 200.
        const struct { const CImage &in; Op op, plain; } rows[] = {
            {*grey, [v](CImage *i) { CTi::Luminosite(i, v, 9, 9, 9); },
             [v](CImage *i) { oracle::Luminosite(i, v, 9, 9, 9); }},
            {*colour, [v](CImage *i) { CTi::Luminosite(i, v, 100, -100, 0); },
             [v](CImage *i) { oracle::Luminosite(i, v, 100, -100, 0); }},
            {*grey, [v](CImage *i) { CTi::Contraste(i, v); }, [v](CImage *i) { oracle::Contraste(i, v); }},
            {*colour, [v](CImage *i) { CTi::Contraste(i, v); }, [v](CImage *i) { oracle::Contraste(i, v); }},
            {*sums, [v](CImage *i) { CTi::Saturation(i, v); }, [v](CImage *i) { oracle::Saturation(i, v); }},
        };
        for (const auto &row : rows)
            EXPECT_TRUE(testimg::Match(row.in, row.op, row.plain)) << "value " << v << ", row " << &row - rows;
    });
}

TEST(PointOps, MatchOnRandomImagesOfAwkwardSizes)
{
    const std::pair<Op, Op> ops[] = {
        {[](CImage *i) { CTi::Luminosite(i, 13, -40, 27, 88); },
         [](CImage *i) { oracle::Luminosite(i, 13, -40, 27, 88); }},
        {[](CImage *i) { CTi::Contraste(i, -37); }, [](CImage *i) { oracle::Contraste(i, -37); }},
        {[](CImage *i) { CTi::Saturation(i, 71); }, [](CImage *i) { oracle::Saturation(i, 71); }},
        {CTi::Negatif, oracle::Negatif},
        {CTi::NiveauxGris, oracle::NiveauxGris},
        {CTi::CouleursRVB, oracle::CouleursRVB},
        {CTi::DentsDeScie, oracle::DentsDeScie},
        {[](CImage *i) { CTi::SeuillageFixe(i, 3.7f); }, [](CImage *i) { oracle::SeuillageFixe(i, 3.7f); }},
        {CTi::EgalHisto, oracle::EgalHisto},
        {CTi::EtirementHisto, oracle::EtirementHisto},
    };
    std::vector<std::unique_ptr<CImage>> inputs;
    for (auto [w, h] : testimg::kAwkwardSizes)
        for (int bytes = 1; bytes <= 4; ++bytes)
            inputs.push_back(testimg::Random(w, h, bytes, unsigned(inputs.size())));
    const size_t count = std::size(ops);
    testimg::ForEach(inputs.size() * count, [&](size_t k) {
        EXPECT_TRUE(testimg::Match(*inputs[k / count], ops[k % count].first, ops[k % count].second))
            << "image " << k / count << ", op " << k % count;
    });
    for (const auto &input : inputs)  // one generator: one image at a time
        EXPECT_TRUE(testimg::WithinOneSecond([&](unsigned t) {
            return testimg::Match(*input, CTi::SeuillageAl, [t](CImage *i) { oracle::SeuillageAl(i, t); });
        }));
}
