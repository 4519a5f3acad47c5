// test_luminosity.cpp: the engine's integer luminosity against the
// extended-precision rule, over every colour.
#include <gtest/gtest.h>

#include "oracle.h"
#include "processing/luminosity.h"

TEST(Luminosity, MatchesTheExtendedPrecisionRuleForEveryColour)
{
    long mismatches = 0;
    for (int c0 = 0; c0 < 256; ++c0)
        for (int c1 = 0; c1 < 256; ++c1)
            for (int c2 = 0; c2 < 256; ++c2)
                if (int(mirlan::Luminosity(c0, c1, c2)) != oracle::Luminosite(c0, c1, c2) && ++mismatches < 5)
                    ADD_FAILURE() << "(" << c0 << ", " << c1 << ", " << c2 << ")";
    EXPECT_EQ(mismatches, 0);
}

TEST(Luminosity, KnownColours)
{
    for (auto lum : {+[](int a, int b, int c) { return int(mirlan::Luminosity(a, b, c)); }, &oracle::Luminosite}) {
        EXPECT_EQ(lum(255, 255, 255), 254);
        EXPECT_EQ(lum(100, 100, 100), 99);
        EXPECT_EQ(lum(255, 0, 0), 180);
        EXPECT_EQ(lum(0, 255, 0), 51);
        EXPECT_EQ(lum(0, 0, 255), 23);
        EXPECT_EQ(lum(0, 0, 0), 0);
        EXPECT_EQ(lum(128, 128, 128), 127);
    }
}

TEST(Luminosity, EveryGreyButBlackLosesOneLevel)
{
    for (int g = 1; g < 256; ++g)
        EXPECT_EQ(int(mirlan::Luminosity(g, g, g)), g - 1) << g;
}
