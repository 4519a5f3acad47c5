// writers_test.cpp: the files we write: TGA and BMP byte for byte for small
// pictures; TGA, BMP and PNG at every depth as GraphicsMagick and netpbm read
// them back (PNG exactly, alpha included) and as we read them; JPEG close to
// the original, grey kept grey, larger at a higher quality.
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
    const std::string tga = dir.File("o.tga"), bmp = dir.File("o.bmp"), png = dir.File("o.png");
    for (int bpp : {8, 16, 24, 32})
        // 700 x 600 is larger than the window through which the readers see a file.
        for (auto size : {std::pair<int, int>{1, 1}, {2, 2}, {5, 3}, {37, 23}, {700, 600}}) {
            auto img = testutil::MakeImage(size.first, size.second, bpp, unsigned(bpp + size.first));
            ASSERT_EQ(CImage::SaveTGA(img.get(), tga.c_str()), CImage::kOk);
            ASSERT_EQ(CImage::SaveBMP(img.get(), bmp.c_str()), CImage::kOk);
            ASSERT_EQ(CImage::SavePNG(img.get(), png.c_str()), CImage::kOk);
            // TGA and BMP drop alpha; PNG keeps it, but 16-bit (grey, alpha) pictures go as their grey.
            const testutil::Rgba colour = testutil::Opaque(testutil::FromImage(*img));
            const testutil::Rgba all = bpp == 16 ? colour : testutil::FromImage(*img);
            const bool gmReadsBmp = size.first > 1;  // not a 1 x 1 one, not even its own
            SCOPED_TRACE(std::to_string(bpp) + " bits " + std::to_string(size.first) + "x" + std::to_string(size.second));
            EXPECT_TRUE(testutil::ReadBy("gm", tga) == colour);
            EXPECT_TRUE(!gmReadsBmp || testutil::ReadBy("gm", bmp) == colour);
            EXPECT_TRUE(testutil::ReadBy("netpbm", bmp) == colour);
            EXPECT_TRUE(testutil::ReadBy("pngtopam", png) == all);
            std::unique_ptr<CImage> ours(mirlan::ReadImageFile(png.c_str()));
            EXPECT_TRUE(ours && ours->bpp == (bpp == 16 ? 8 : bpp) && testutil::FromImage(*ours) == all) << "our PNG";
            // And GraphicsMagick's own files of it, as we read them.
            for (const auto &copy : {std::pair<std::string, std::string>{tga, bmp + ".bmp"}, {bmp, tga + ".tga"}}) {
                if (copy.first == bmp && !gmReadsBmp)
                    continue;
                ASSERT_EQ(std::system(("gm convert -compress None " + copy.first + " " + copy.second).c_str()), 0);
                std::unique_ptr<CImage> theirs(mirlan::ReadImageFile(copy.second.c_str()));
                EXPECT_TRUE(theirs && testutil::Opaque(testutil::FromImage(*theirs)) == colour) << "gm's " << copy.second;
            }
        }
}

TEST(Writers, JpegIsCloseToTheOriginalKeepsGreyAndGrowsWithQuality)
{
    testutil::TempDir dir;
    const std::string path = dir.File("o.jpg");
    for (int bpp : {8, 16, 24, 32}) {
        SCOPED_TRACE(std::to_string(bpp) + " bits");
        CImage img(64, 48, bpp);  // smooth, as photographs are
        for (size_t i = 0; i < img.ByteCount(); ++i)
            img.data[i] = static_cast<unsigned char>(i / (bpp / 8) % 64 * (i % (bpp / 8) + 1) + i / (bpp / 8) / 64);
        const testutil::Rgba want = testutil::Opaque(testutil::FromImage(img));
        size_t lastSize = 0;
        for (int quality : {10, 50, 90, 100}) {
            ASSERT_EQ(CImage::SaveJPEG(&img, path.c_str(), quality), CImage::kOk);
            const Bytes file = testutil::ReadFile(path), decoded = testutil::Output("djpeg '" + path + "'");
            EXPECT_GT(file.size(), lastSize) << "quality " << quality;
            lastSize = file.size();
            EXPECT_TRUE(decoded.size() > 2 && decoded[1] == (bpp <= 16 ? '5' : '6')) << "grey stays grey";
            const testutil::Rgba back = testutil::ReadBy("djpeg", path);
            ASSERT_EQ(back.px.size(), want.px.size());
            double error = 0;
            for (size_t i = 0; i < want.px.size(); ++i)
                error += std::abs(int(back.px[i]) - int(want.px[i]));
            EXPECT_LT(error / (3.0 * want.w * want.h), quality >= 90 ? 1.5 : 12) << "quality " << quality;
        }
    }
}

}  // namespace
