// independent_reader_test.cpp: our files as GraphicsMagick reads them, its
// TGA files as we read them, and the committed samples (written by their own
// generator, not by Mirlan) as we read them.
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "image/image.h"
#include "image_test_util.h"

using testutil::Bytes;
using testutil::Rgb;
using testutil::TempDir;

namespace {

#define REQUIRE_GM()                                              \
    do {                                                          \
        if (!testutil::HaveGm())                                  \
            GTEST_SKIP() << "GraphicsMagick (gm) is not installed"; \
    } while (0)

void ExpectSamePicture(const Rgb &got, const Rgb &want, const std::string &what)
{
    ASSERT_GT(got.width, 0) << what << ": not read";
    EXPECT_EQ(got.width, want.width) << what;
    EXPECT_EQ(got.height, want.height) << what;
    EXPECT_TRUE(got.pixels == want.pixels) << what << ": pixels differ";
}

std::unique_ptr<CImage> LoadOk(const std::string &path)
{
    auto img = std::make_unique<CImage>();
    EXPECT_EQ(CImage::LoadTGA(img.get(), path.c_str()), CImage::kOk) << path;
    return img;
}

void WritePnm(const std::string &path, const CImage &img)
{
    const bool grey = img.bpp == 8;
    std::string head = std::string(grey ? "P5" : "P6") + "\n" + std::to_string(img.width) + " " +
                       std::to_string(img.height) + "\n255\n";
    Bytes f(head.begin(), head.end());
    f.insert(f.end(), img.data, img.data + img.ByteCount());
    testutil::WriteFile(path, f);
}

}  // namespace

TEST(IndependentReader, GmReadsEveryFileWeWriteAsTheSamePicture)
{
    REQUIRE_GM();
    TempDir dir;
    // gm 1.3.40 reports a premature end for BMP files under about 64 bytes
    // (even its own 1 × 1 ones), so the smallest picture here is 2 × 2.
    for (int bpp : {8, 16, 24, 32})
        for (auto size : {std::pair<int, int>{2, 2}, {37, 23}, {5, 3}, {64, 2}, {3, 7}}) {
            auto img = testutil::MakeImage(size.first, size.second, bpp, unsigned(bpp * 3 + size.first));
            // Alpha is dropped by our writers: what must survive is the colour.
            const Rgb want = testutil::ToRgb(*img);
            const std::string tag = std::to_string(bpp) + " bits " + std::to_string(size.first) + "x" +
                                    std::to_string(size.second);
            ASSERT_EQ(CImage::SaveTGA(img.get(), dir.File("o.tga").c_str()), CImage::kOk);
            ExpectSamePicture(testutil::GmRead(dir.File("o.tga")), want, "TGA " + tag);
            ASSERT_EQ(CImage::SaveBMP(img.get(), dir.File("o.bmp").c_str()), CImage::kOk);
            ExpectSamePicture(testutil::GmRead(dir.File("o.bmp")), want, "BMP " + tag);
        }
}

TEST(IndependentReader, WeReadTheTgaFilesGmWrites)
{
    REQUIRE_GM();
    TempDir dir;
    for (int bpp : {8, 24}) {
        auto img = testutil::MakeImage(37, 23, bpp, 17);
        const std::string pnm = dir.File(bpp == 8 ? "in.pgm" : "in.ppm");
        WritePnm(pnm, *img);
        ASSERT_TRUE(testutil::GmConvert(pnm, dir.File("gm.tga")));
        auto loaded = LoadOk(dir.File("gm.tga"));
        ExpectSamePicture(testutil::ToRgb(*loaded), testutil::ToRgb(*img), "gm TGA " + std::to_string(bpp));
    }
}

TEST(IndependentReader, GmAndWeAgreeOnCraftedFiles)
{
    REQUIRE_GM();
    TempDir dir;
    auto picture = testutil::MakeImage(11, 6, 24, 23);
    // Top-left origin, with an identification field; then bottom-left with one.
    for (int descriptor : {0x20, 0x00}) {
        Bytes file = testutil::TgaHeader(2, 11, 6, 24, descriptor, 9);
        file.insert(file.end(), 9, 'i');
        for (int r = 0; r < 6; ++r) {
            int y = descriptor ? r : 5 - r;
            for (int x = 0; x < 11; ++x) {
                const unsigned char *p = picture->data + (size_t(y) * 11 + x) * 3;
                file.insert(file.end(), {p[2], p[1], p[0]});
            }
        }
        testutil::WriteFile(dir.File("c.tga"), file);
        const Rgb want = testutil::ToRgb(*picture);
        const std::string tag = "descriptor " + std::to_string(descriptor);
        ExpectSamePicture(testutil::GmRead(dir.File("c.tga")), want, "gm, " + tag);
        ExpectSamePicture(testutil::ToRgb(*LoadOk(dir.File("c.tga"))), want, "LoadTGA, " + tag);
    }
}

TEST(Samples, TgaSamplesLoadAsTheirPnmTwins)
{
    const std::string dir = std::string(MIRLAN_SOURCE_DIR) + "/samples/";
    const std::pair<const char *, const char *> samples[] = {
        {"mire_couleurs", ".ppm"}, {"degrade", ".ppm"}, {"rampe_gris", ".pgm"}, {"petite_37x23", ".ppm"}};
    for (auto s : samples) {
        const Rgb twin = testutil::ParsePnm(testutil::ReadFile(dir + s.first + s.second));
        ASSERT_GT(twin.width, 0) << s.first;
        auto img = LoadOk(dir + s.first + ".tga");
        EXPECT_EQ(img->bpp, std::string(s.second) == ".pgm" ? 8 : 24) << s.first;
        ExpectSamePicture(testutil::ToRgb(*img), twin, s.first);
    }
}

TEST(Samples, BmpSamplesReadByGmAsTheirPnmTwins)
{
    REQUIRE_GM();
    const std::string dir = std::string(MIRLAN_SOURCE_DIR) + "/samples/";
    const std::pair<const char *, const char *> samples[] = {
        {"mire_couleurs", ".ppm"}, {"degrade", ".ppm"}, {"rampe_gris", ".pgm"}, {"petite_37x23", ".ppm"}};
    for (auto s : samples)
        ExpectSamePicture(testutil::GmRead(dir + s.first + ".bmp"),
                          testutil::ParsePnm(testutil::ReadFile(dir + s.first + s.second)), s.first);
}

TEST(Samples, SmallSampleHasItsCornersWhereTheyBelong)
{
    const std::string dir = std::string(MIRLAN_SOURCE_DIR) + "/samples/";
    auto img = LoadOk(dir + "petite_37x23.tga");
    ASSERT_EQ(img->width, 37);
    ASSERT_EQ(img->height, 23);
    auto px = [&](int x, int y) {
        const unsigned char *p = img->data + (size_t(y) * 37 + x) * 3;
        return Bytes{p[0], p[1], p[2]};
    };
    EXPECT_EQ(px(0, 0), (Bytes{255, 0, 0}));
    EXPECT_EQ(px(36, 0), (Bytes{0, 255, 0}));
    EXPECT_EQ(px(0, 22), (Bytes{0, 0, 255}));
    EXPECT_EQ(px(36, 22), (Bytes{255, 255, 0}));
}
