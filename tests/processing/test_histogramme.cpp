// test_histogramme.cpp: the four histograms and their statistics.
#include <gtest/gtest.h>

#include "oracle.h"
#include "processing/histogramme.h"

namespace {

struct Stats {
    int moyenne, min, max;
    bool operator==(const Stats &o) const { return moyenne == o.moyenne && min == o.min && max == o.max; }
};
std::ostream &operator<<(std::ostream &os, const Stats &s)
{
    return os << "mean " << s.moyenne << " min " << s.min << " max " << s.max;
}
Stats Layer(const CHistogramme &h, int k) { return {h.moyenne[k], h.min[k], h.max[k]}; }

void ExpectSameAsOracle(CImage &img)
{
    CHistogramme h;
    h.CalcHistos(&img);
    oracle::Histos o = oracle::CalcHistos(img);
    for (int k = 0; k < 4; ++k) {
        SCOPED_TRACE(::testing::Message() << "layer " << k << ", " << img.width << "x" << img.height << "x"
                                          << int(img.bpp));
        EXPECT_EQ(Layer(h, k), (Stats{o.moyenne[k], o.min[k], o.max[k]}));
        for (int v = 0; v < 256; ++v)
            ASSERT_EQ(h.histos[k][v], o.histos[k][v]) << "bin " << v;
    }
}

}  // namespace

TEST(Histogramme, WhiteColourImage)
{
    auto img = testimg::Filled(5, 3, {255, 255, 255});
    CHistogramme h;
    h.CalcHistos(img.get());
    EXPECT_EQ(h.histos[0][254], 15);
    EXPECT_EQ(h.histos[0][255], 0);
    EXPECT_EQ(Layer(h, 0), (Stats{254, 254, 254}));
    for (int k = 1; k < 4; ++k) {
        EXPECT_EQ(h.histos[k][255], 15);
        EXPECT_EQ(Layer(h, k), (Stats{255, 255, 255}));
    }
}

TEST(Histogramme, GreyAndPrimaryColours)
{
    CHistogramme h;
    auto grey = testimg::Filled(4, 4, {100, 100, 100});
    h.CalcHistos(grey.get());
    EXPECT_EQ(h.moyenne[0], 99);
    EXPECT_EQ(h.moyenne[1], 100);
    EXPECT_EQ(h.moyenne[3], 100);

    auto primaries = testimg::Row({255, 0, 0, 0, 255, 0, 0, 0, 255}, 3);
    h.CalcHistos(primaries.get());
    EXPECT_EQ(h.histos[0][180], 1);
    EXPECT_EQ(h.histos[0][51], 1);
    EXPECT_EQ(h.histos[0][23], 1);
    EXPECT_EQ(Layer(h, 0), (Stats{(180 + 51 + 23) / 3, 23, 180}));
    EXPECT_EQ(Layer(h, 1), (Stats{85, 0, 255}));
}

TEST(Histogramme, GreyImageFillsOnlyTheLuminosityLayer)
{
    auto img = testimg::Filled(6, 2, {100});
    CHistogramme h;
    h.CalcHistos(img.get());
    EXPECT_EQ(Layer(h, 0), (Stats{100, 100, 100}));
    EXPECT_EQ(h.histos[0][100], 12);
    int lum, red, green, blue;
    h.GetMaxHauteurs(&lum, &red, &green, &blue);
    EXPECT_EQ(lum, 12);
    EXPECT_EQ(red, 0);
    EXPECT_EQ(green, 0);
    EXPECT_EQ(blue, 0);
    for (int k = 1; k < 4; ++k)
        EXPECT_EQ(Layer(h, k), (Stats{0, 999, -1}));
}

TEST(Histogramme, FourBytePixelsUseTheirFirstByte)
{
    auto img = testimg::Row({10, 200, 200, 200, 30, 0, 0, 0}, 4);
    CHistogramme h;
    h.CalcHistos(img.get());
    EXPECT_EQ(h.histos[0][10], 1);
    EXPECT_EQ(h.histos[0][30], 1);
    EXPECT_EQ(Layer(h, 0), (Stats{20, 10, 30}));
    EXPECT_EQ(Layer(h, 1), (Stats{0, 999, -1}));
}

TEST(Histogramme, SecondComputationStartsAfresh)
{
    CHistogramme h;
    auto first = testimg::Filled(9, 9, {200, 10, 10});
    h.CalcHistos(first.get());
    auto second = testimg::Filled(3, 1, {50});
    h.CalcHistos(second.get());
    EXPECT_EQ(h.histos[0][50], 3);
    EXPECT_EQ(Layer(h, 0), (Stats{50, 50, 50}));
    EXPECT_EQ(Layer(h, 1), (Stats{0, 999, -1}));
    int lum, red, green, blue;
    h.GetMaxHauteurs(&lum, &red, &green, &blue);
    EXPECT_EQ(lum, 3);
    EXPECT_EQ(red, 0);
}

TEST(Histogramme, ImageWithoutPixelsHasMeansOfZero)
{
    CImage empty;
    CHistogramme h;
    h.CalcHistos(&empty);
    for (int k = 0; k < 4; ++k)
        EXPECT_EQ(Layer(h, k), (Stats{0, 999, -1}));
    int lum = 7, red = 7, green = 7, blue = 7;
    h.GetMaxHauteurs(&lum, &red, &green, &blue);
    EXPECT_EQ(lum, 0);
    EXPECT_EQ(blue, 0);
}

TEST(Histogramme, MeanOfABrightLargeImageDoesNotOverflow)
{
    // 9 million white pixels: the sum of levels passes 2^31.
    auto img = testimg::Filled(3000, 3000, {255});
    CHistogramme h;
    h.CalcHistos(img.get());
    EXPECT_EQ(Layer(h, 0), (Stats{255, 255, 255}));
    EXPECT_EQ(h.histos[0][255], 9000000);
}

TEST(Histogramme, MaxHauteursAreTheHighestBins)
{
    // Luminosities 1, 2, 2, 8.
    auto img = testimg::Row({1, 2, 3, 1, 5, 4, 1, 5, 7, 9, 6, 8}, 3);
    CHistogramme h;
    h.CalcHistos(img.get());
    int lum, red, green, blue;
    h.GetMaxHauteurs(&lum, &red, &green, &blue);
    EXPECT_EQ(lum, 2);
    EXPECT_EQ(red, 3);
    EXPECT_EQ(green, 2);
    EXPECT_EQ(blue, 1);
}

TEST(Histogramme, MatchesTheReferenceOnRandomImages)
{
    unsigned seed = 1;
    for (auto [w, h] : testimg::AwkwardSizes())
        for (int bytes = 1; bytes <= 4; ++bytes) {
            auto img = testimg::Random(w, h, bytes, seed++);
            ExpectSameAsOracle(*img);
        }
}
