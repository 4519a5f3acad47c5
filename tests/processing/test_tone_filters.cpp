// test_tone_filters.cpp: sawtooth, thresholds, equalisation and stretching.
#include <gtest/gtest.h>

#include <cstdlib>
#include <ctime>

#include "oracle.h"
#include "processing/c_rand.h"
#include "processing/ti.h"

namespace {

using V = std::vector<unsigned char>;

V After(V bytes, int bpp, void (*op)(CImage *))
{
    auto img = testimg::Row(bytes, bpp);
    op(img.get());
    return testimg::Bytes(*img);
}

V AfterThreshold(V bytes, int bpp, float valeur)
{
    auto img = testimg::Row(bytes, bpp);
    CTi::SeuillageFixe(img.get(), valeur);
    return testimg::Bytes(*img);
}

// A colour pixel of each luminosity 0..254 (grey g + 1 has luminosity g)
// and, for 255, the byte image of every value.
std::unique_ptr<CImage> EveryLevel(int bytes)
{
    V all;
    for (int v = 0; v < 256; ++v)
        for (int c = 0; c < bytes; ++c)
            all.push_back(static_cast<unsigned char>(bytes == 3 ? (v < 255 ? v + 1 : 0) : v));
    return testimg::Row(all, bytes);
}

// Runs the random threshold and its reference in the same second; returns
// false when the clock ticked between them.
bool RandomThresholdMatches(const CImage &input, ::testing::AssertionResult &result)
{
    auto img = testimg::Clone(input), ref = testimg::Clone(input);
    std::time_t before = std::time(nullptr);
    CTi::SeuillageAl(img.get());
    if (std::time(nullptr) != before)
        return false;
    oracle::SeuillageAl(ref.get(), static_cast<unsigned>(before));
    result = testimg::Same(*ref, *img);
    return true;
}

}  // namespace

TEST(DentsDeScie, WorkedValues)
{
    // Luminosities 31 (grey 32) and 32 (grey 33), then white (254).
    EXPECT_EQ(After({32, 32, 32, 33, 33, 33, 255, 255, 255}, 3, CTi::DentsDeScie),
              (V{248, 248, 248, 0, 0, 0, 240, 240, 240}));
    EXPECT_EQ(After({100, 31, 32}, 1, CTi::DentsDeScie), (V{32, 248, 0}));
    // Other depths byte by byte.
    EXPECT_EQ(After({1, 2, 3, 4}, 4, CTi::DentsDeScie), (V{8, 16, 24, 32}));
}

TEST(DentsDeScie, EveryLevelAndByte)
{
    for (int bytes = 1; bytes <= 4; ++bytes) {
        auto img = EveryLevel(bytes), ref = EveryLevel(bytes);
        CTi::DentsDeScie(img.get());
        oracle::DentsDeScie(ref.get());
        EXPECT_TRUE(testimg::Same(*ref, *img));
    }
}

TEST(SeuillageFixe, WorkedValues)
{
    // Luminosity 51 (grey 52) and 52 (grey 53).
    EXPECT_EQ(AfterThreshold({52, 52, 52, 53, 53, 53}, 3, 2.0f), (V{0, 0, 0, 255, 255, 255}));
    EXPECT_EQ(AfterThreshold({255, 255, 255, 200, 100, 0}, 3, 10.0f), (V{0, 0, 0, 0, 0, 0}));
    EXPECT_EQ(AfterThreshold({2, 3}, 1, 0.1f), (V{0, 255}));
    // Other depths take the first byte and set every byte.
    EXPECT_EQ(AfterThreshold({200, 0, 0, 0, 10, 255, 255, 255}, 4, 2.0f), (V{255, 255, 255, 255, 0, 0, 0, 0}));
}

TEST(SeuillageFixe, EveryLevelAndCounterValue)
{
    for (float valeur : testimg::CounterValues())
        for (int bytes = 1; bytes <= 4; ++bytes) {
            auto img = EveryLevel(bytes), ref = EveryLevel(bytes);
            CTi::SeuillageFixe(img.get(), valeur);
            oracle::SeuillageFixe(ref.get(), valeur);
            ASSERT_TRUE(testimg::Same(*ref, *img)) << "valeur " << valeur << ", " << bytes << " bytes";
        }
}

TEST(SeuillageFixe, ValuesOutsideTheCounterDoNotFault)
{
    EXPECT_EQ(AfterThreshold({0, 255}, 1, 1e30f), (V{0, 0}));
    EXPECT_EQ(AfterThreshold({0, 255}, 1, -1e30f), (V{255, 255}));
    EXPECT_EQ(AfterThreshold({0, 255}, 1, -1.0f), (V{255, 255}));
    // trunc(-0.255) is 0, not -1.
    EXPECT_EQ(AfterThreshold({0, 255}, 1, -0.01f), (V{0, 255}));
}

TEST(SeuillageAl, DrawsTheCLibrarySequence)
{
    for (unsigned seed : {0u, 1u, 2u, 12345u, 1733500000u, 4294967295u}) {
        std::srand(seed);
        mirlan::CRandSequence draws(seed);
        // Uneven requests cross the generator's blocks at every offset.
        for (size_t i = 0, want = 1; i < 100000; want = want % 97 + 1) {
            const uint32_t *words;
            size_t taken = draws.Take(want, words);
            ASSERT_GE(taken, 1u);
            ASSERT_LE(taken, want);
            for (size_t j = 0; j < taken; ++j, ++i)
                ASSERT_EQ(int(words[j] >> 1), std::rand()) << "seed " << seed << ", draw " << i;
        }
    }
}

TEST(SeuillageAl, SkippingLandsOnTheSameDraw)
{
    for (size_t skip : {size_t(0), size_t(1), size_t(2099), size_t(2100), size_t(2101), size_t(65535), size_t(65536),
                        size_t(65537), size_t(1234567)}) {
        mirlan::CRandSequence skipped(77), drawn(77);
        const uint32_t *words;
        skipped.Take(1000, words);  // from the middle of a block
        drawn.Take(1000, words);
        skipped.Skip(skip);
        for (size_t left = skip; left > 0;)
            left -= drawn.Take(left, words);
        const uint32_t *a, *b;
        ASSERT_EQ(skipped.Take(5, a), drawn.Take(5, b)) << skip;
        EXPECT_EQ(a[0], b[0]) << skip;
    }
}

TEST(SeuillageAl, MatchesTheReferenceSeededWithTheTime)
{
    unsigned seed = 300;
    for (auto [w, h] : testimg::AwkwardSizes())
        for (int bytes = 1; bytes <= 4; ++bytes) {
            auto input = testimg::Random(w, h, bytes, seed++);
            ::testing::AssertionResult result = ::testing::AssertionFailure();
            int tries = 0;
            while (!RandomThresholdMatches(*input, result))
                ASSERT_LT(++tries, 5);
            ASSERT_TRUE(result);
        }
}

TEST(SeuillageAl, BlackStaysBlackAndPixelsAreWhole)
{
    auto img = testimg::Random(40, 30, 3, 8);
    for (int i = 0; i < 30; ++i)
        img->data[3 * i] = img->data[3 * i + 1] = img->data[3 * i + 2] = 0;
    CTi::SeuillageAl(img.get());
    EXPECT_EQ(img->bpp, 24);
    for (size_t i = 0; i < img->ByteCount(); i += 3) {
        EXPECT_TRUE(img->data[i] == 0 || img->data[i] == 255);
        EXPECT_EQ(img->data[i], img->data[i + 1]);
        EXPECT_EQ(img->data[i], img->data[i + 2]);
        if (i < 90) {
            EXPECT_EQ(img->data[i], 0);
        }
    }
}

TEST(EgalHisto, WorkedValues)
{
    auto img = testimg::Filled(255, 1, {10});
    CTi::EgalHisto(img.get());
    EXPECT_EQ(testimg::Bytes(*img), V(255, 255));
    img = testimg::Filled(100, 100, {10});
    CTi::EgalHisto(img.get());
    EXPECT_EQ(testimg::Bytes(*img), V(10000, 255));
    img = testimg::Filled(100, 100, {0});
    CTi::EgalHisto(img.get());
    EXPECT_EQ(testimg::Bytes(*img), V(10000, 0));
}

TEST(EgalHisto, FewerThan255PixelsAreLeftAlone)
{
    for (int bytes = 1; bytes <= 4; ++bytes) {
        auto img = testimg::Random(127, 2, bytes, 4), ref = testimg::Clone(*img);
        CTi::EgalHisto(img.get());
        EXPECT_TRUE(testimg::Same(*ref, *img));
    }
}

TEST(EgalHisto, ChannelsGoThroughTheLuminosityTable)
{
    // 255 pixels: 254 of luminosity 99 (grey 100), one (0, 100, 255).
    auto img = testimg::Filled(255, 1, {100, 100, 100});
    img->data[0] = 0, img->data[1] = 100, img->data[2] = 255;
    CTi::EgalHisto(img.get());
    // Levels below 43 count nothing, 43 and up count one, 99 and up all.
    EXPECT_EQ(testimg::Bytes(*img).at(0), 0);
    EXPECT_EQ(img->data[1], 255);
    EXPECT_EQ(img->data[2], 255);
    EXPECT_EQ(img->data[3], 255);
}

TEST(EgalHisto, FourthByteUsesTheSameTable)
{
    // Luminosity of the first three bytes; the fourth byte is remapped too.
    auto img = testimg::Filled(255, 1, {50, 50, 50, 0});
    img->data[3] = 49;
    CTi::EgalHisto(img.get());
    EXPECT_EQ(img->data[0], 255);
    EXPECT_EQ(img->data[3], 255);
    EXPECT_EQ(img->data[7], 0);
}

TEST(EtirementHisto, WorkedValues)
{
    EXPECT_EQ(After({50, 100, 150}, 1, CTi::EtirementHisto), (V{0, 127, 255}));
    EXPECT_EQ(After({77, 77}, 1, CTi::EtirementHisto), (V{0, 0}));
    // Luminosities 9 (grey 10) to 199 (grey 200): 200 × 255 / 199 = 256.
    EXPECT_EQ(After({10, 10, 10, 200, 200, 200}, 3, CTi::EtirementHisto), (V{0, 0, 0, 255, 255, 255}));
    // Luminosity 0 is black; 2- and 4-byte pixels keep their other bytes.
    EXPECT_EQ(After({0, 9, 200, 9, 100, 9}, 2, CTi::EtirementHisto), (V{0, 9, 255, 9, 127, 9}));
}

TEST(EtirementHisto, KeepsTheHue)
{
    // Luminosities 0, 99 (grey 100) and 102 (200, 0, 100 → 141 + 0 + 9.1 = 150): hi 150.
    auto img = testimg::Row({0, 0, 0, 100, 100, 100, 200, 0, 100}, 3);
    CTi::EtirementHisto(img.get());
    auto ref = testimg::Row({0, 0, 0, 100, 100, 100, 200, 0, 100}, 3);
    oracle::EtirementHisto(ref.get());
    EXPECT_TRUE(testimg::Same(*ref, *img));
    EXPECT_EQ(img->data[6], 255);
    EXPECT_EQ(img->data[7], 0);
}

TEST(ToneFilters, MatchTheReferenceOnRandomImages)
{
    unsigned seed = 400;
    struct Pair {
        void (*fast)(CImage *);
        void (*plain)(CImage *);
    };
    const Pair ops[] = {{CTi::DentsDeScie, oracle::DentsDeScie},
                        {CTi::EgalHisto, oracle::EgalHisto},
                        {CTi::EtirementHisto, oracle::EtirementHisto},
                        {[](CImage *i) { CTi::SeuillageFixe(i, 3.7f); }, [](CImage *i) { oracle::SeuillageFixe(i, 3.7f); }}};
    for (auto [w, h] : testimg::AwkwardSizes())
        for (int bytes = 1; bytes <= 4; ++bytes)
            for (const Pair &op : ops) {
                auto img = testimg::Random(w, h, bytes, seed++), ref = testimg::Clone(*img);
                op.fast(img.get());
                op.plain(ref.get());
                ASSERT_TRUE(testimg::Same(*ref, *img)) << "op " << (&op - ops);
            }
}

TEST(ToneFilters, StretchingMatchesOnNarrowRanges)
{
    // Random images span 0..255 in luminosity; narrow ones test lo and d.
    unsigned seed = 500;
    for (auto [w, h] : testimg::AwkwardSizes())
        for (int bytes = 1; bytes <= 4; ++bytes) {
            auto img = testimg::Random(w, h, bytes, seed++);
            for (size_t i = 0; i < img->ByteCount(); ++i)
                img->data[i] = 60 + img->data[i] % 70;
            auto ref = testimg::Clone(*img);
            CTi::EtirementHisto(img.get());
            oracle::EtirementHisto(ref.get());
            ASSERT_TRUE(testimg::Same(*ref, *img));
        }
}
