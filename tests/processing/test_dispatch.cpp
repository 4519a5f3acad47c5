// test_dispatch.cpp: the current treatment's entry point calls the right
// operation with the right values.
#include <gtest/gtest.h>

#include <functional>

#include "oracle.h"
#include "processing/ti.h"

namespace {

const sRGB kRed = {255, 0, 0};

std::unique_ptr<CImage> Treated(const CImage &input, int id, sRGB couleur, int x, int y, float valeur)
{
    auto img = testimg::Clone(input);
    CTi::Traitement(img.get(), id, couleur, x, y, valeur);
    return img;
}

std::unique_ptr<CImage> Direct(const CImage &input, const std::function<void(CImage *)> &op)
{
    auto img = testimg::Clone(input);
    op(img.get());
    return img;
}

}  // namespace

TEST(Traitement, UnknownIdsAndZeroDoNothing)
{
    auto input = testimg::Random(20, 20, 3, 1);
    for (int id : {0, 9, -1, 1000, -2147483647 - 1})
        EXPECT_TRUE(testimg::Same(*input, *Treated(*input, id, kRed, 3, 4, 2.0f))) << id;
}

TEST(Traitement, EachIdRunsItsOperation)
{
    auto input = testimg::Random(30, 20, 3, 2);
    const sRGB colour = {0, 128, 1};
    EXPECT_TRUE(testimg::Same(*Direct(*input, CTi::Negatif), *Treated(*input, 1, colour, 5, 6, 1.5f)));
    EXPECT_TRUE(testimg::Same(*Direct(*input, [&](CImage *i) { CTi::Distance4Point(i, colour, 5, 6, 1.5f); }),
                              *Treated(*input, 2, colour, 5, 6, 1.5f)));
    EXPECT_TRUE(testimg::Same(*Direct(*input, [&](CImage *i) { CTi::Distance8Point(i, colour, 5, 6, 1.5f); }),
                              *Treated(*input, 3, colour, 5, 6, 1.5f)));
    EXPECT_TRUE(testimg::Same(*Direct(*input, CTi::DentsDeScie), *Treated(*input, 4, colour, 5, 6, 1.5f)));
    EXPECT_TRUE(testimg::Same(*Direct(*input, [](CImage *i) { CTi::SeuillageFixe(i, 1.5f); }),
                              *Treated(*input, 6, colour, 5, 6, 1.5f)));
    EXPECT_TRUE(testimg::Same(*Direct(*input, CTi::EgalHisto), *Treated(*input, 7, colour, 5, 6, 1.5f)));
    EXPECT_TRUE(testimg::Same(*Direct(*input, CTi::EtirementHisto), *Treated(*input, 8, colour, 5, 6, 1.5f)));
}

TEST(Traitement, DistancesAreNotTheSameTreatment)
{
    // Ids 2 and 3 differ off the point's row and column, so a swap would show.
    auto input = testimg::Filled(9, 9, {0, 0, 0});
    auto four = Treated(*input, 2, kRed, 0, 0, 1.0f), eight = Treated(*input, 3, kRed, 0, 0, 1.0f);
    EXPECT_EQ(four->data[(8 * 9 + 8) * 3], 16);
    EXPECT_EQ(eight->data[(8 * 9 + 8) * 3], 8);
}

TEST(Traitement, RandomThresholdGivesABlackAndWhiteImage)
{
    auto input = testimg::Random(30, 20, 3, 3);
    auto img = Treated(*input, 5, kRed, 0, 0, 2.0f);
    bool changed = false;
    for (size_t i = 0; i < img->ByteCount(); ++i) {
        ASSERT_TRUE(img->data[i] == 0 || img->data[i] == 255);
        changed |= img->data[i] != input->data[i];
    }
    EXPECT_TRUE(changed);
}

TEST(Traitement, FixedThresholdReadsOnlyTheValue)
{
    auto input = testimg::Random(30, 20, 3, 4);
    auto reference = Treated(*input, 6, kRed, 0, 0, 4.0f);
    EXPECT_TRUE(testimg::Same(*reference, *Treated(*input, 6, {0, 0, 0}, 17, -4, 4.0f)));
    EXPECT_FALSE(testimg::Same(*reference, *Treated(*input, 6, kRed, 0, 0, 6.0f)));
}

TEST(Traitement, ValueFreeTreatmentsIgnoreTheOtherValues)
{
    auto input = testimg::Random(30, 20, 4, 5);
    for (int id : {1, 4, 7, 8})
        EXPECT_TRUE(testimg::Same(*Treated(*input, id, kRed, 0, 0, 2.0f), *Treated(*input, id, {1, 2, 3}, 9, 9, 7.5f)))
            << id;
}

TEST(Traitement, ImagesWithoutPixelsAreLeftAlone)
{
    for (int id = 0; id <= 8; ++id) {
        CImage empty;
        CTi::Traitement(&empty, id, kRed, 0, 0, 2.0f);
        EXPECT_EQ(empty.ByteCount(), 0u) << id;
        CImage flat(7, 0, 24);
        CTi::Traitement(&flat, id, kRed, 0, 0, 2.0f);
        EXPECT_EQ(flat.ByteCount(), 0u) << id;
        EXPECT_EQ(flat.width, 7) << id;
    }
}
