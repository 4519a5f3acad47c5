// writers_test.cpp: the TGA and BMP files we write, byte for byte for small
// pictures and as GraphicsMagick and netpbm read them back at every depth;
// and GraphicsMagick's copies of them as we read them.
#include <gtest/gtest.h>

#include "image/image_file.h"
#include "image_test_util.h"

using testutil::Bytes;

namespace {

TEST(Writers, SmallFilesByteForByte)
{
    std::string ramp;  // the grey colour table of 8-bit BMP files
    for (int i = 0; i < 256; ++i)
        ramp += testutil::Hex(Bytes(3, static_cast<unsigned char>(i)).data(), 3) + "00";
    const std::string bmp24 = "424d4e000000000000003600000028000000030000000200000001001800000000001800000000000000000000000000000000000000";
    const struct {
        int (*save)(CImage *, const char *);
        int w, h, bpp;
        Bytes pixels;
        std::string file;
    } rows[] = {
        {CImage::SaveTGA, 2, 2, 24, {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12},
         "000002000000000000000000020002001800" "0908070c0b0a030201060504"},
        {CImage::SaveTGA, 3, 2, 8, {10, 20, 30, 40, 50, 60}, "000002000000000000000000030002000800" "28323c0a141e"},
        {CImage::SaveTGA, 2, 1, 16, {100, 7, 200, 9}, "000002000000000000000000020001000800" "64c8"},
        {CImage::SaveTGA, 1, 1, 32, {1, 2, 3, 4}, "000002000000000000000000010001002008" "03020104"},
        {CImage::SaveBMP, 3, 2, 24, {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 17, 18},
         bmp24 + "0c0b0a0f0e0d121110000000" "030201060504090807000000"},
        {CImage::SaveBMP, 5, 1, 8, {17, 2, 3, 4, 250},
         "424d3e040000000000003604000028000000050000000100000001000800000000000800000000000000000000000001000000000000" +
             ramp + "11020304fa000000"},
        {CImage::SaveBMP, 1, 1, 32, {1, 2, 3, 4},
         "424d3a000000000000003600000028000000010000000100000001001800000000000400000000000000000000000000000000000000"
         "03020100"},
        {CImage::SaveBMP, 2, 1, 16, {100, 7, 200, 9},
         "424d3a040000000000003604000028000000020000000100000001000800000000000400000000000000000000000001000000000000" +
             ramp + "64c80000"},
    };
    testutil::TempDir dir;
    for (const auto &row : rows) {
        CImage img(row.pixels.data(), row.w, row.h, row.bpp);
        ASSERT_EQ(row.save(&img, dir.File("f").c_str()), CImage::kOk);
        const Bytes file = testutil::ReadFile(dir.File("f"));
        EXPECT_EQ(testutil::Hex(file.data(), file.size()), row.file) << row.w << "x" << row.h << "x" << row.bpp;
        EXPECT_EQ(Bytes(img.data, img.data + img.ByteCount()), row.pixels) << "the saved image changed";
    }
}

TEST(Writers, IndependentReadersAndOursAgree)
{
    testutil::TempDir dir;
    // Alpha is dropped by our writers: what must survive is the colour.
    for (int bpp : {8, 16, 24, 32})
        // 700 x 600 is larger than the window through which the readers see a file.
        for (auto size : {std::pair<int, int>{2, 2}, {5, 3}, {37, 23}, {700, 600}}) {
            auto img = testutil::MakeImage(size.first, size.second, bpp, unsigned(bpp + size.first));
            const std::string tga = dir.File("o.tga"), bmp = dir.File("o.bmp");
            ASSERT_EQ(CImage::SaveTGA(img.get(), tga.c_str()), CImage::kOk);
            ASSERT_EQ(CImage::SaveBMP(img.get(), bmp.c_str()), CImage::kOk);
            const Bytes want = testutil::ToPpm(*img);
            SCOPED_TRACE(std::to_string(bpp) + " bits " + std::to_string(size.first) + "x" + std::to_string(size.second));
            EXPECT_TRUE(testutil::GmRead(tga) == want);
            EXPECT_TRUE(testutil::GmRead(bmp) == want);
            EXPECT_TRUE(testutil::NetpbmRead(bmp) == want);
            // And GraphicsMagick's own files of it, as we read them.
            for (const auto &copy : {std::pair<std::string, std::string>{tga, bmp + ".bmp"}, {bmp, tga + ".tga"}}) {
                ASSERT_EQ(std::system(("gm convert -compress None " + copy.first + " " + copy.second).c_str()), 0);
                std::unique_ptr<CImage> theirs(mirlan::ReadImageFile(copy.second.c_str()));
                EXPECT_TRUE(theirs && testutil::ToPpm(*theirs) == want) << "gm's " << copy.second;
            }
        }
}

}  // namespace
