// test_adjustments.cpp: luminosity gains, contrast and saturation.
#include <gtest/gtest.h>

#include "oracle.h"
#include "processing/ti.h"

namespace {

// One pixel per byte value, at the given bytes per pixel, every byte of a
// pixel the same.
std::unique_ptr<CImage> EveryByte(int bytes)
{
    std::vector<unsigned char> all;
    for (int v = 0; v < 256; ++v)
        for (int c = 0; c < bytes; ++c)
            all.push_back(static_cast<unsigned char>(v));
    return testimg::Row(all, bytes);
}

std::vector<unsigned char> AfterLuminosite(std::vector<unsigned char> bytes, int bpp, int lum, int r, int g, int b)
{
    auto img = testimg::Row(bytes, bpp);
    CTi::Luminosite(img.get(), lum, r, g, b);
    return testimg::Bytes(*img);
}

}  // namespace

TEST(Luminosite, EveryByteAndGainOfAGreyImage)
{
    for (int lum = -100; lum <= 100; ++lum) {
        auto img = EveryByte(1), ref = EveryByte(1);
        CTi::Luminosite(img.get(), lum, 17, -3, 99);
        oracle::Luminosite(ref.get(), lum, 17, -3, 99);
        ASSERT_TRUE(testimg::Same(*ref, *img)) << "lum " << lum;
    }
}

TEST(Luminosite, EveryByteAndSumOfGainsOfAColourImage)
{
    // A channel's factor depends only on its gain plus the overall gain,
    // -200 to 200 from the sliders; each channel gets every sum in turn.
    for (int sum = -200; sum <= 200; ++sum)
        for (int channel = 0; channel < 3; ++channel) {
            int lum = sum / 2, gains[3] = {5, -7, 0};
            gains[channel] = sum - lum;
            auto img = EveryByte(3), ref = EveryByte(3);
            CTi::Luminosite(img.get(), lum, gains[0], gains[1], gains[2]);
            oracle::Luminosite(ref.get(), lum, gains[0], gains[1], gains[2]);
            ASSERT_TRUE(testimg::Same(*ref, *img)) << "sum " << sum << " channel " << channel;
        }
}

TEST(Luminosite, WorkedValues)
{
    EXPECT_EQ(AfterLuminosite({100, 200}, 1, 10, 0, 0, 0), (std::vector<unsigned char>{110, 220}));
    EXPECT_EQ(AfterLuminosite({200}, 1, 50, 0, 0, 0), (std::vector<unsigned char>{255}));
    EXPECT_EQ(AfterLuminosite({255}, 1, -50, 0, 0, 0), (std::vector<unsigned char>{127}));
    EXPECT_EQ(AfterLuminosite({100}, 1, -99, 0, 0, 0), (std::vector<unsigned char>{0}));
    EXPECT_EQ(AfterLuminosite({25, 100}, 1, -92, 0, 0, 0), (std::vector<unsigned char>{1, 7}));
    // Factor 0, factor 3 clamped, negative factor.
    EXPECT_EQ(AfterLuminosite({90, 90, 90}, 3, -100, 0, 100, -50), (std::vector<unsigned char>{0, 90, 0}));
    EXPECT_EQ(AfterLuminosite({80, 90, 10}, 3, 100, 100, 0, 100), (std::vector<unsigned char>{240, 180, 30}));
}

TEST(Luminosite, ChannelGainsOnlyApplyToColourImages)
{
    EXPECT_EQ(AfterLuminosite({100, 200}, 1, 0, 50, 50, 50), (std::vector<unsigned char>{100, 200}));
    EXPECT_EQ(AfterLuminosite({100, 100, 100}, 3, 0, 10, 0, -10), (std::vector<unsigned char>{110, 100, 90}));
    EXPECT_EQ(AfterLuminosite({100, 100, 100, 100}, 2, 50, 0, 0, 0), (std::vector<unsigned char>{100, 100, 100, 100}));
    EXPECT_EQ(AfterLuminosite({100, 100, 100, 100}, 4, 50, 50, 50, 50),
              (std::vector<unsigned char>{100, 100, 100, 100}));
}

TEST(Luminosite, ExtremeGainsDoNotOverflow)
{
    EXPECT_EQ(AfterLuminosite({0, 1, 2}, 3, 2147483647, 2147483647, -2147483647 - 1, 0),
              (std::vector<unsigned char>{0, 0, 255}));
}

TEST(Contraste, EveryByteAndValue)
{
    for (int bytes : {1, 3})
        for (int k = -100; k <= 100; ++k) {
            auto img = EveryByte(bytes), ref = EveryByte(bytes);
            CTi::Contraste(img.get(), k);
            oracle::Contraste(ref.get(), k);
            ASSERT_TRUE(testimg::Same(*ref, *img)) << "contrast " << k;
        }
}

TEST(Contraste, WorkedValues)
{
    auto img = EveryByte(1);
    CTi::Contraste(img.get(), -100);
    for (size_t v = 0; v < 256; ++v)
        EXPECT_EQ(img->data[v], 127);
    img = EveryByte(1);
    CTi::Contraste(img.get(), 100);
    EXPECT_EQ(img->data[191], 255);
    EXPECT_EQ(img->data[190], 253);
    EXPECT_EQ(img->data[63], 0);
    EXPECT_EQ(img->data[64], 1);
    EXPECT_EQ(img->data[127], 127);
    EXPECT_EQ(img->data[128], 129);
    img = EveryByte(1);
    CTi::Contraste(img.get(), 50);
    EXPECT_EQ(img->data[200], 236);
    EXPECT_EQ(img->data[0], 0);
}

TEST(Contraste, OtherDepthsAndZeroAreLeftAlone)
{
    for (int bytes : {2, 4}) {
        auto img = testimg::Random(5, 3, bytes, 9), ref = testimg::Clone(*img);
        CTi::Contraste(img.get(), 60);
        EXPECT_TRUE(testimg::Same(*ref, *img));
    }
    auto img = testimg::Random(5, 3, 3, 9), ref = testimg::Clone(*img);
    CTi::Contraste(img.get(), 0);
    EXPECT_TRUE(testimg::Same(*ref, *img));
}

TEST(Saturation, EveryByteAndPixelSumAndValue)
{
    // One pixel per (first byte, sum of the three bytes) pair a pixel can have.
    std::vector<unsigned char> pixels;
    for (int c = 0; c < 256; ++c)
        for (int rest = 0; rest <= 510; ++rest) {
            int c1 = rest < 255 ? rest : 255;
            pixels.insert(pixels.end(), {static_cast<unsigned char>(c), static_cast<unsigned char>(c1),
                                         static_cast<unsigned char>(rest - c1)});
        }
    const auto all = std::make_unique<CImage>(pixels.data(), 511, 256, 24);
    for (int s = -100; s <= 100; ++s) {
        auto img = testimg::Clone(*all), ref = testimg::Clone(*all);
        CTi::Saturation(img.get(), s);
        oracle::Saturation(ref.get(), s);
        ASSERT_TRUE(testimg::Same(*ref, *img)) << "saturation " << s;
    }
}

TEST(Saturation, WorkedValues)
{
    auto after = [](std::vector<unsigned char> px, int s) {
        auto img = testimg::Row(px, 3);
        CTi::Saturation(img.get(), s);
        return testimg::Bytes(*img);
    };
    using V = std::vector<unsigned char>;
    EXPECT_EQ(after({255, 0, 0}, -100), (V{85, 85, 85}));
    EXPECT_EQ(after({200, 100, 50}, 50), (V{241, 91, 16}));
    EXPECT_EQ(after({200, 100, 50}, -50), (V{158, 108, 83}));
    EXPECT_EQ(after({10, 20, 30}, 100), (V{0, 20, 40}));
    EXPECT_EQ(after({255, 0, 0}, 100), (V{255, 0, 0}));
    EXPECT_EQ(after({77, 77, 77}, 100), (V{77, 77, 77}));
}

TEST(Saturation, OnlyColourImagesChange)
{
    for (int bytes : {1, 2, 4}) {
        auto img = testimg::Random(4, 4, bytes, 3), ref = testimg::Clone(*img);
        CTi::Saturation(img.get(), 80);
        EXPECT_TRUE(testimg::Same(*ref, *img)) << bytes;
    }
}

TEST(Adjustments, MatchTheReferenceOnRandomImages)
{
    unsigned seed = 100;
    for (auto [w, h] : testimg::AwkwardSizes())
        for (int bytes = 1; bytes <= 4; ++bytes) {
            auto img = testimg::Random(w, h, bytes, seed++), ref = testimg::Clone(*img);
            CTi::Luminosite(img.get(), 13, -40, 27, 88);
            oracle::Luminosite(ref.get(), 13, -40, 27, 88);
            CTi::Contraste(img.get(), -37);
            oracle::Contraste(ref.get(), -37);
            CTi::Saturation(img.get(), 71);
            oracle::Saturation(ref.get(), 71);
            ASSERT_TRUE(testimg::Same(*ref, *img));
        }
}

TEST(Adjustments, ImagesWithoutPixelsAreLeftAlone)
{
    CImage empty;
    CTi::Luminosite(&empty, 10, 10, 10, 10);
    CTi::Contraste(&empty, 10);
    CTi::Saturation(&empty, 10);
    EXPECT_EQ(empty.data, nullptr);
    CImage flat(0, 5, 24);
    CTi::Luminosite(&flat, 10, 10, 10, 10);
    CTi::Saturation(&flat, 10);
    EXPECT_EQ(flat.ByteCount(), 0u);
}
