// test_colour_modes.cpp: negative, grey levels and back to colour.
#include <gtest/gtest.h>

#include "oracle.h"
#include "processing/ti.h"

namespace {

std::unique_ptr<CImage> Converted(std::vector<unsigned char> bytes, int bpp, void (*op)(CImage *))
{
    auto img = testimg::Row(bytes, bpp);
    op(img.get());
    return img;
}

}  // namespace

TEST(Negatif, InvertsEveryByteAtEveryDepth)
{
    auto img = testimg::Row({0, 1, 127, 128, 254, 255}, 2);
    CTi::Negatif(img.get());
    EXPECT_EQ(testimg::Bytes(*img), (std::vector<unsigned char>{255, 254, 128, 127, 1, 0}));
    EXPECT_EQ(img->bpp, 16);
}

TEST(Negatif, TwiceRestoresTheImage)
{
    for (int bytes = 1; bytes <= 4; ++bytes) {
        auto img = testimg::Random(601, 451, bytes, bytes), ref = testimg::Clone(*img);
        CTi::Negatif(img.get());
        CTi::Negatif(img.get());
        EXPECT_TRUE(testimg::Same(*ref, *img));
    }
}

TEST(NiveauxGris, KnownColours)
{
    auto img = Converted({255, 255, 255, 100, 100, 100, 255, 0, 0, 0, 255, 0, 0, 0, 255, 0, 0, 0}, 3,
                         CTi::NiveauxGris);
    EXPECT_EQ(img->bpp, 8);
    EXPECT_EQ(img->width, 6);
    EXPECT_EQ(img->height, 1);
    EXPECT_EQ(testimg::Bytes(*img), (std::vector<unsigned char>{254, 99, 180, 51, 23, 0}));
}

TEST(NiveauxGris, EveryColour)
{
    // 4096 × 4096 pixels, one of each colour.
    CImage img(4096, 4096, 24);
    for (size_t k = 0; k < (size_t(1) << 24); ++k) {
        img.data[3 * k] = static_cast<unsigned char>(k >> 16);
        img.data[3 * k + 1] = static_cast<unsigned char>(k >> 8);
        img.data[3 * k + 2] = static_cast<unsigned char>(k);
    }
    CTi::NiveauxGris(&img);
    ASSERT_EQ(img.bpp, 8);
    long mismatches = 0;
    for (size_t k = 0; k < (size_t(1) << 24); ++k)
        mismatches += img.data[k] != oracle::Luminosite(int(k >> 16), int(k >> 8) & 255, int(k) & 255);
    EXPECT_EQ(mismatches, 0);
}

TEST(CouleursRVB, RepeatsTheGreyLevel)
{
    auto img = Converted({0, 255, 77}, 1, CTi::CouleursRVB);
    EXPECT_EQ(img->bpp, 24);
    EXPECT_EQ(img->width, 3);
    EXPECT_EQ(testimg::Bytes(*img), (std::vector<unsigned char>{0, 0, 0, 255, 255, 255, 77, 77, 77}));
}

TEST(ColourModes, GreyThenColourTurnsWhiteInto254)
{
    auto img = Converted({255, 255, 255}, 3, CTi::NiveauxGris);
    CTi::CouleursRVB(img.get());
    EXPECT_EQ(testimg::Bytes(*img), (std::vector<unsigned char>{254, 254, 254}));
}

TEST(ColourModes, WrongDepthsAreLeftAlone)
{
    for (int bytes : {1, 2, 4}) {
        auto img = testimg::Random(3, 3, bytes, 5), ref = testimg::Clone(*img);
        CTi::NiveauxGris(img.get());
        EXPECT_TRUE(testimg::Same(*ref, *img)) << bytes;
    }
    for (int bytes : {2, 3, 4}) {
        auto img = testimg::Random(3, 3, bytes, 6), ref = testimg::Clone(*img);
        CTi::CouleursRVB(img.get());
        EXPECT_TRUE(testimg::Same(*ref, *img)) << bytes;
    }
}

TEST(ColourModes, MatchTheReferenceOnRandomImages)
{
    unsigned seed = 200;
    for (auto [w, h] : testimg::AwkwardSizes())
        for (int bytes = 1; bytes <= 4; ++bytes) {
            for (void (*op)(CImage *) : {&CTi::Negatif, &CTi::NiveauxGris, &CTi::CouleursRVB}) {
                auto img = testimg::Random(w, h, bytes, seed++), ref = testimg::Clone(*img);
                op(img.get());
                if (op == &CTi::Negatif)
                    oracle::Negatif(ref.get());
                else if (op == &CTi::NiveauxGris)
                    oracle::NiveauxGris(ref.get());
                else
                    oracle::CouleursRVB(ref.get());
                ASSERT_TRUE(testimg::Same(*ref, *img));
            }
        }
}

TEST(ColourModes, BlackAndWhite)
{
    auto img = Converted({128, 128, 128, 129, 129, 129}, 3, CTi::NiveauxGris);
    CTi::SeuillageFixe(img.get(), 5.0f);
    EXPECT_EQ(img->bpp, 8);
    EXPECT_EQ(testimg::Bytes(*img), (std::vector<unsigned char>{0, 255}));
    auto grey = testimg::Row({127, 128}, 1);
    CTi::SeuillageFixe(grey.get(), 5.0f);
    EXPECT_EQ(testimg::Bytes(*grey), (std::vector<unsigned char>{0, 255}));
}
