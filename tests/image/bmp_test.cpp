// bmp_test.cpp: BMP writing: header fields, row order, padding, the grey
// colour table, file sizes, and the 16- and 32-bit conversions.
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "codec_oracle.h"
#include "image/image.h"
#include "image_test_util.h"

using testutil::Bytes;
using testutil::Le16;
using testutil::Le32;
using testutil::TempDir;

namespace {

Bytes Save(const TempDir &dir, CImage &img, const std::string &name = "out.bmp")
{
    std::string path = dir.File(name);
    EXPECT_EQ(CImage::SaveBMP(&img, path.c_str()), CImage::kOk);
    return testutil::ReadFile(path);
}

}  // namespace

TEST(BmpWrite, HeaderOfTwentyFourBitImage)
{
    TempDir dir;
    auto img = testutil::MakeImage(4, 2, 24);
    Bytes f = Save(dir, *img);
    ASSERT_EQ(f.size(), 78u);  // 54 + 2 × 12, no padding
    EXPECT_EQ(f[0], 'B');
    EXPECT_EQ(f[1], 'M');
    EXPECT_EQ(Le32(f, 2), 78u);
    EXPECT_EQ(Le32(f, 6), 0u);
    EXPECT_EQ(Le32(f, 10), 54u);
    EXPECT_EQ(Le32(f, 14), 40u);
    EXPECT_EQ(testutil::Le32Signed(f, 18), 4);
    EXPECT_EQ(testutil::Le32Signed(f, 22), 2);  // positive: bottom row first
    EXPECT_EQ(Le16(f, 26), 1u);
    EXPECT_EQ(Le16(f, 28), 24u);
    EXPECT_EQ(Le32(f, 30), 0u);
    EXPECT_EQ(Le32(f, 34), 24u);
    EXPECT_EQ(Le32(f, 38), 0u);
    EXPECT_EQ(Le32(f, 42), 0u);
    EXPECT_EQ(Le32(f, 46), 0u);
    EXPECT_EQ(Le32(f, 50), 0u);
}

TEST(BmpWrite, RowsBottomFirstAsBlueGreenRedWithPadding)
{
    TempDir dir;
    CImage img(3, 2, 24);
    for (int i = 0; i < 18; ++i)
        img.data[i] = static_cast<unsigned char>(i + 1);
    Bytes f = Save(dir, img);
    ASSERT_EQ(f.size(), 78u);
    EXPECT_EQ(Le32(f, 34), 24u);
    Bytes pixels(f.begin() + 54, f.end());
    Bytes want = {12, 11, 10, 15, 14, 13, 18, 17, 16, 0, 0, 0,  // bottom row, 3 zero bytes
                  3, 2, 1, 6, 5, 4, 9, 8, 7, 0, 0, 0};
    EXPECT_EQ(pixels, want);
}

TEST(BmpWrite, EightBitHasGreyTableAndPaddedRows)
{
    TempDir dir;
    CImage img(5, 1, 8);
    const unsigned char px[] = {17, 2, 3, 4, 250};
    std::copy(px, px + 5, img.data);
    Bytes f = Save(dir, img);
    ASSERT_EQ(f.size(), 1086u);
    EXPECT_EQ(Le32(f, 2), 1086u);
    EXPECT_EQ(Le32(f, 10), 1078u);
    EXPECT_EQ(Le16(f, 28), 8u);
    EXPECT_EQ(Le32(f, 34), 8u);
    EXPECT_EQ(Le32(f, 46), 256u);
    for (int i = 0; i < 256; ++i) {
        EXPECT_EQ(f[54 + 4 * i], i);
        EXPECT_EQ(f[55 + 4 * i], i);
        EXPECT_EQ(f[56 + 4 * i], i);
        EXPECT_EQ(f[57 + 4 * i], 0);
    }
    EXPECT_EQ(Bytes(f.begin() + 1078, f.end()), (Bytes{17, 2, 3, 4, 250, 0, 0, 0}));
}

TEST(BmpWrite, FirstPixelIsBottomLeft)
{
    TempDir dir;
    auto img = testutil::MakeImage(7, 5, 24, 5);
    Bytes f = Save(dir, *img);
    const unsigned char *bottomLeft = img->data + 4 * img->RowBytes();
    EXPECT_EQ(f[54], bottomLeft[2]);
    EXPECT_EQ(f[55], bottomLeft[1]);
    EXPECT_EQ(f[56], bottomLeft[0]);
}

TEST(BmpWrite, MatchesReferenceEncoderAtEveryDepthAndWidth)
{
    TempDir dir;
    for (int bpp : {8, 16, 24, 32})
        for (int w : {1, 2, 3, 4, 5, 6, 7, 37, 1001})
            for (int h : {1, 3, 700}) {
                if (w * h > 100000)
                    continue;
                auto img = testutil::MakeImage(w, h, bpp, unsigned(w * 31 + h));
                Bytes f = Save(dir, *img);
                EXPECT_EQ(f, oracle::EncodeBmp(*img)) << bpp << " bits " << w << "x" << h;
            }
}

TEST(BmpWrite, SixteenAndThirtyTwoBitsBecomeGreyAndColour)
{
    TempDir dir;
    auto rgba = testutil::MakeImage(3, 2, 32);
    Bytes f = Save(dir, *rgba, "c.bmp");
    EXPECT_EQ(Le16(f, 28), 24u);
    EXPECT_EQ(f[54], rgba->data[3 * 4 + 2]);  // bottom-left blue from RGBA
    EXPECT_EQ(f[56], rgba->data[3 * 4 + 0]);
    auto ga = testutil::MakeImage(3, 2, 16);
    Bytes g = Save(dir, *ga, "g.bmp");
    EXPECT_EQ(Le16(g, 28), 8u);
    EXPECT_EQ(Le32(g, 46), 256u);
    EXPECT_EQ(g[1078], ga->data[3 * 2]);  // bottom-left grey, alpha dropped
}

TEST(BmpWrite, WidestImageHasConsistentSizes)
{
    TempDir dir;
    auto img = testutil::MakeImage(32767, 2, 24);
    Bytes f = Save(dir, *img);
    const uint32_t row = (32767 * 3 + 3) / 4 * 4;
    EXPECT_EQ(Le32(f, 34), 2 * row);
    EXPECT_EQ(Le32(f, 2), 54 + 2 * row);
    EXPECT_EQ(f.size(), 54u + 2 * row);
}

TEST(BmpWrite, LeavesTheImageUnchanged)
{
    TempDir dir;
    auto img = testutil::MakeImage(6, 3, 24);
    Bytes before = testutil::PixelsOf(*img);
    Save(dir, *img);
    EXPECT_EQ(testutil::PixelsOf(*img), before);
}
