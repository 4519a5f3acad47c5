// image_buffer_test.cpp: the image buffer (constructors, Copy, byte counts,
// Replace) and the small helpers GetType, CheckSize and GetTextureFormat.
#include <gtest/gtest.h>

#include <cstring>
#include <memory>

#include "image/image.h"
#include "image_test_util.h"

TEST(ImageBuffer, EmptyImageHasNoPixels)
{
    CImage img;
    EXPECT_EQ(img.width, 0);
    EXPECT_EQ(img.height, 0);
    EXPECT_EQ(img.bpp, 0);
    EXPECT_EQ(img.data, nullptr);
    EXPECT_EQ(img.ByteCount(), 0u);
}

TEST(ImageBuffer, SizesAndPixelOffsets)
{
    CImage grey(3, 2, 8), colour(3, 2, 24);
    EXPECT_EQ(grey.ByteCount(), 6u);
    EXPECT_EQ(colour.ByteCount(), 18u);
    EXPECT_EQ(colour.RowBytes(), 9u);
    // Column 2 of row 1 of a 24-bit 3 × 2 image starts at byte 15.
    EXPECT_EQ(1 * colour.RowBytes() + 2 * colour.BytesPerPixel(), 15u);
    EXPECT_EQ(colour.width, 3);
    EXPECT_EQ(colour.height, 2);
    EXPECT_EQ(colour.bpp, 24);
}

TEST(ImageBuffer, ByteCountIsSixtyFourBit)
{
    // 32767 × 32767 × 4 does not fit a signed 32-bit int.
    EXPECT_EQ(CImage::ByteCount(32767, 32767, 32), size_t(32767) * 32767 * 4);
    EXPECT_GT(CImage::ByteCount(32767, 32767, 32), size_t(INT32_MAX));
    EXPECT_EQ(CImage::ByteCount(5, 7, 16), 70u);
    EXPECT_EQ(CImage::ByteCount(0, 7, 24), 0u);
    EXPECT_EQ(CImage::ByteCount(-1, 7, 24), 0u);
    EXPECT_EQ(CImage::ByteCount(5, -7, 24), 0u);
}

TEST(ImageBuffer, ZeroSideGivesValidEmptyAllocation)
{
    CImage img(0, 5, 24);
    EXPECT_NE(img.data, nullptr);
    EXPECT_EQ(img.ByteCount(), 0u);
}

TEST(ImageBuffer, ConstructorCopiesSourceBytes)
{
    unsigned char src[6] = {1, 2, 3, 4, 5, 6};
    CImage img(src, 3, 2, 8);
    ASSERT_NE(img.data, src);
    EXPECT_EQ(std::memcmp(img.data, src, 6), 0);
    src[0] = 99;
    EXPECT_EQ(img.data[0], 1);
}

TEST(ImageBuffer, CopyIsEqualAndSeparate)
{
    auto img = testutil::MakeImage(5, 4, 24);
    std::unique_ptr<CImage> copy(img->Copy());
    EXPECT_EQ(copy->width, 5);
    EXPECT_EQ(copy->height, 4);
    EXPECT_EQ(copy->bpp, 24);
    ASSERT_NE(copy->data, img->data);
    EXPECT_EQ(testutil::PixelsOf(*copy), testutil::PixelsOf(*img));
    copy->data[7] ^= 0xFF;
    EXPECT_NE(copy->data[7], img->data[7]);
}

TEST(ImageBuffer, ReplaceTakesNewPixelsAndSize)
{
    CImage img(2, 2, 24);
    unsigned char *pixels = new unsigned char[3]{7, 8, 9};
    img.Replace(pixels, 3, 1, 8);
    EXPECT_EQ(img.data, pixels);
    EXPECT_EQ(img.width, 3);
    EXPECT_EQ(img.height, 1);
    EXPECT_EQ(img.bpp, 8);
    // Replacing with the same buffer keeps it alive.
    img.Replace(img.data, 1, 3, 8);
    EXPECT_EQ(img.data[2], 9);
}

TEST(GetType, ExtensionsWithoutRegardToCase)
{
    EXPECT_EQ(CImage::GetType("photo.tga"), 3);
    EXPECT_EQ(CImage::GetType("PHOTO.TGA"), 3);
    EXPECT_EQ(CImage::GetType("x.Tga"), 3);
    EXPECT_EQ(CImage::GetType("a.bmp"), 0);
    EXPECT_EQ(CImage::GetType("a.ppm"), 1);
    EXPECT_EQ(CImage::GetType("a.pgm"), 2);
    EXPECT_EQ(CImage::GetType("a.png"), 4);
    EXPECT_EQ(CImage::GetType("a.jpg"), 4);
    EXPECT_EQ(CImage::GetType("a.bm"), 4);
    EXPECT_EQ(CImage::GetType("a.tgax"), 4);
}

TEST(GetType, OnlyTheLastDotOfTheWholePathCounts)
{
    EXPECT_EQ(CImage::GetType("/home/u/a.b/c.tga"), 3);
    EXPECT_EQ(CImage::GetType("/home/u/a.b/c"), 4);
    EXPECT_EQ(CImage::GetType("archive.tar.tga"), 3);
    EXPECT_EQ(CImage::GetType("/x.tga/c"), 4);
}

TEST(GetType, NamesWithoutExtension)
{
    EXPECT_EQ(CImage::GetType(""), 4);
    EXPECT_EQ(CImage::GetType("tga"), 4);
    EXPECT_EQ(CImage::GetType(".tga"), 4);  // a leading dot starts no extension
    EXPECT_EQ(CImage::GetType("a."), 4);
}

TEST(CheckSize, PowersOfTwoFromTwoTo1024)
{
    for (int n = -3; n <= 2100; ++n) {
        bool power = n >= 2 && n <= 1024 && (n & (n - 1)) == 0;
        EXPECT_EQ(CImage::CheckSize(n), power ? 1 : 0) << n;
    }
}

TEST(GetTextureFormat, ByDepth)
{
    CImage grey(1, 1, 8), rgb(1, 1, 24), rgba(1, 1, 32), ga(1, 1, 16), empty;
    EXPECT_EQ(grey.GetTextureFormat(), 0x1909);
    EXPECT_EQ(rgba.GetTextureFormat(), 0x1908);
    EXPECT_EQ(rgb.GetTextureFormat(), 0x1907);
    EXPECT_EQ(ga.GetTextureFormat(), 0x1907);
    EXPECT_EQ(empty.GetTextureFormat(), 0x1907);
}
