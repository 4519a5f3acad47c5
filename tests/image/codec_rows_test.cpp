// codec_rows_test.cpp: the pixel conversions of the codecs against plain
// per-pixel versions, over every row length up to a few hundred pixels, every
// alignment, and (for the 16-bit words) every possible value.
#include <gtest/gtest.h>

#include <vector>

#include "image/codec_rows.h"

namespace {

using Bytes = std::vector<unsigned char>;

// Source bytes numbered by position: pass 0 gives each byte its index's low
// byte, pass 1 its high byte, so two passes tell every position apart.
Bytes Numbered(size_t n, int pass)
{
    Bytes b(n);
    for (size_t i = 0; i < n; ++i)
        b[i] = static_cast<unsigned char>(pass ? i >> 8 : i);
    return b;
}

// The reference: each output pixel's bytes taken from the input pixel at
// the positions listed in order (srcBytes in, order.size() out).
Bytes Reference(const Bytes &src, size_t pixels, size_t srcBytes, const std::vector<int> &order)
{
    Bytes out;
    for (size_t p = 0; p < pixels; ++p)
        for (int k : order)
            out.push_back(src[p * srcBytes + size_t(k)]);
    return out;
}

// Runs convert on every length up to maxPixels at every source and
// destination offset from 0 to 15, with guard bytes after the output.
void CheckAgainstReference(mirlan::RowConverter convert, size_t srcBytes, const std::vector<int> &order,
                           size_t maxPixels)
{
    const unsigned char kGuard = 0xA5;
    for (int pass = 0; pass < 2; ++pass)
        for (size_t pixels = 0; pixels <= maxPixels; ++pixels)
            for (size_t offset = 0; offset < 16; ++offset) {
                Bytes src = Numbered(offset + pixels * srcBytes, pass);
                Bytes row(src.begin() + offset, src.end());
                Bytes want = Reference(row, pixels, srcBytes, order);
                Bytes dst(offset + want.size() + 16, kGuard);
                convert(src.data() + offset, dst.data() + offset, pixels);
                ASSERT_EQ(Bytes(dst.begin() + offset, dst.begin() + offset + want.size()), want)
                    << pixels << " pixels at offset " << offset;
                for (size_t i = 0; i < offset; ++i)
                    ASSERT_EQ(dst[i], kGuard) << "written before the row";
                for (size_t i = offset + want.size(); i < dst.size(); ++i)
                    ASSERT_EQ(dst[i], kGuard) << "written past the row, " << pixels << " pixels";
            }
}

}  // namespace

TEST(CodecRows, SwapRedBlue24MatchesPlainLoop)
{
    CheckAgainstReference(mirlan::SwapRedBlue24, 3, {2, 1, 0}, 300);
}

TEST(CodecRows, SwapRedBlue24OnAPhotoWideRow)
{
    const size_t pixels = 6000;
    for (int pass = 0; pass < 2; ++pass) {
        Bytes src = Numbered(pixels * 3, pass), dst(pixels * 3);
        mirlan::SwapRedBlue24(src.data(), dst.data(), pixels);
        EXPECT_EQ(dst, Reference(src, pixels, 3, {2, 1, 0}));
    }
}

TEST(CodecRows, SwapRedBlue32MatchesPlainLoop)
{
    CheckAgainstReference(mirlan::SwapRedBlue32, 4, {2, 1, 0, 3}, 100);
}

TEST(CodecRows, SwapRedBlueDropFourthMatchesPlainLoop)
{
    CheckAgainstReference(mirlan::SwapRedBlueDropFourth, 4, {2, 1, 0}, 100);
}

TEST(CodecRows, GreyAlphaToGreyMatchesPlainLoop)
{
    CheckAgainstReference(mirlan::GreyAlphaToGrey, 2, {0}, 100);
}

TEST(CodecRows, Rgb555EveryWord)
{
    Bytes src;
    for (unsigned w = 0; w < 65536; ++w) {
        src.push_back(w & 255);
        src.push_back(w >> 8);
    }
    Bytes dst(65536 * 3);
    mirlan::Rgb555ToRgb(src.data(), dst.data(), 65536);
    for (unsigned w = 0; w < 65536; ++w) {
        ASSERT_EQ(dst[3 * w], ((w >> 10) & 31) * 8) << w;
        ASSERT_EQ(dst[3 * w + 1], ((w >> 5) & 31) * 8) << w;
        ASSERT_EQ(dst[3 * w + 2], (w & 31) * 8) << w;
    }
}

TEST(CodecRows, BlocksHoldAboutAMegabyteAndAtLeastOneRow)
{
    EXPECT_EQ(mirlan::RowsPerBlock(18000), 58u);
    EXPECT_EQ(mirlan::RowsPerBlock(1), size_t(1) << 20);
    EXPECT_EQ(mirlan::RowsPerBlock(size_t(3) << 20), 1u);
    EXPECT_EQ(mirlan::RowsPerBlock(0), size_t(1) << 20);
}

TEST(CodecRows, LittleEndianFields)
{
    unsigned char b[4];
    mirlan::PutLE32(b, 0x12345678u);
    EXPECT_EQ(b[0], 0x78);
    EXPECT_EQ(b[1], 0x56);
    EXPECT_EQ(b[2], 0x34);
    EXPECT_EQ(b[3], 0x12);
    EXPECT_EQ(mirlan::GetLE16(b + 1), 0x3456u);
}
