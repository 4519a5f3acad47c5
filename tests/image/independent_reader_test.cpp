// independent_reader_test.cpp: our files as GraphicsMagick reads them, its
// TGA files as we read them, BMP and PNM files of every kind as netpbm and
// GraphicsMagick read them, and the committed samples (written by their own
// generator, not by Mirlan) as we read them.
#include <gtest/gtest.h>

#include <memory>
#include <random>
#include <string>
#include <vector>

#include "image/image.h"
#include "image/image_file.h"
#include "image_test_util.h"

using testutil::Bmp;
using testutil::Bytes;
using testutil::Cat;
using testutil::Le32s;
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

// Random bytes, the same on every run.
Bytes Noise(size_t n, unsigned seed)
{
    std::mt19937 rng(seed);
    Bytes b(n);
    for (unsigned char &c : b)
        c = static_cast<unsigned char>(rng());
    return b;
}

// A 13 x 7 run-length picture: per row a literal of 5, two runs of 4 and
// the end of the line, then the end of the picture.
Bytes RunLengthRows(bool fourBits, unsigned seed)
{
    const Bytes noise = Noise(7 * 7, seed);
    const unsigned mask = fourBits ? 0xFF : 0x0F;  // RLE8 indices stay in a 16-entry palette
    Bytes s;
    for (int y = 0; y < 7; ++y) {
        const unsigned char *n = &noise[size_t(y) * 7];
        if (fourBits)
            s = Cat(s, {0, 5, n[0], n[1], n[2], 0});
        else
            s = Cat(s, {0, 5, uint8_t(n[0] & mask), uint8_t(n[1] & mask), uint8_t(n[2] & mask),
                        uint8_t(n[3] & mask), uint8_t(n[4] & mask), 0});
        s = Cat(s, {4, uint8_t(n[5] & mask), 4, uint8_t(n[6] & mask), 0, 0});
    }
    return Cat(s, {0, 1});
}

// A PNM of 13 x 7 random samples up to maxval, plain or raw.
Bytes Pnm(const std::string &magic, int channels, unsigned maxval, unsigned seed)
{
    const std::string head = magic + "\n# made for the test\n13 7\n" + std::to_string(maxval) + "\n";
    Bytes b(head.begin(), head.end());
    const Bytes noise = Noise(13 * 7 * channels * 2, seed);
    const bool plain = magic[1] <= '3';
    for (size_t i = 0; i < 13 * 7 * size_t(channels); ++i) {
        const unsigned v = ((noise[2 * i] << 8) | noise[2 * i + 1]) % (maxval + 1);
        if (plain)
            for (char c : std::to_string(v) + (i % 13 == 12 ? "\n" : " "))
                b.push_back(static_cast<unsigned char>(c));
        else if (maxval > 255)
            b = Cat(b, {uint8_t(v >> 8), uint8_t(v)});
        else
            b.push_back(static_cast<unsigned char>(v));
    }
    return b;
}

Bytes Bitmap(bool plain, unsigned seed)
{
    const std::string head = plain ? "P1\n13 7\n" : "P4\n13 7\n";
    Bytes b(head.begin(), head.end());
    const Bytes noise = Noise(13 * 7, seed);
    if (plain) {
        for (unsigned char c : noise)
            b.push_back(c & 1 ? '1' : '0');
        return b;
    }
    return Cat(b, Noise(2 * 7, seed));
}

struct Crafted {
    const char *name;
    Bytes file;
    bool byGm;      // GraphicsMagick reads it as netpbm does
    bool byNetpbm;  // netpbm reads it (its bmptopnm ignores masks after an INFO header)
};

std::vector<Crafted> CraftedFiles()
{
    const Bytes pal2 = Noise(2 * 4, 1), pal16 = Noise(16 * 4, 2), pal256 = Noise(256 * 4, 3);
    const Bytes masks565 = Le32s({0xF800, 0x07E0, 0x001F});
    return {
        {"1 bit.bmp", Bmp(40, 13, 7, 1, 0, 2, pal2, Noise(4 * 7, 4)), true, true},
        {"4 bits.bmp", Bmp(40, 13, 7, 4, 0, 16, pal16, Noise(8 * 7, 5)), true, true},
        {"8 bits.bmp", Bmp(40, 13, 7, 8, 0, 0, pal256, Noise(16 * 7, 6)), true, true},
        {"8 bits core.bmp", Bmp(12, 13, 7, 8, 0, 0, Noise(256 * 3, 7), Noise(16 * 7, 8)), true, true},
        {"24 bits.bmp", Bmp(40, 13, 7, 24, 0, 0, {}, Noise(40 * 7, 9)), true, true},
        {"24 bits top first.bmp", Bmp(40, 13, -7, 24, 0, 0, {}, Noise(40 * 7, 10)), true, true},
        {"32 bits.bmp", Bmp(40, 13, 7, 32, 0, 0, {}, Noise(52 * 7, 11)), true, true},
        {"32 bits RGBA fields.bmp", Bmp(40, 13, 7, 32, 3, 0, Le32s({0xFF, 0xFF00, 0xFF0000}), Noise(52 * 7, 12)),
         true, false},
        {"16 bits.bmp", Bmp(40, 13, 7, 16, 0, 0, {}, Noise(28 * 7, 13)), false, true},
        {"16 bits V5 5-6-5.bmp", Bmp(124, 13, 7, 16, 3, 0, {}, Noise(28 * 7, 14), masks565), false, true},
        {"RLE8.bmp", Bmp(40, 13, 7, 8, 1, 16, pal16, RunLengthRows(false, 15)), true, true},
        {"RLE4.bmp", Bmp(40, 13, 7, 4, 2, 16, pal16, RunLengthRows(true, 16)), true, true},
        {"P1.pgm", Bitmap(true, 17), true, true},
        {"P4.pgm", Bitmap(false, 18), true, true},
        {"P2 maxval 15.pgm", Pnm("P2", 1, 15, 19), false, true},
        {"P3.ppm", Pnm("P3", 3, 255, 20), true, true},
        {"P5 maxval 1.pgm", Pnm("P5", 1, 1, 21), false, true},
        {"P5 maxval 1000.pgm", Pnm("P5", 1, 1000, 22), false, true},
        {"P6.ppm", Pnm("P6", 3, 255, 23), true, true},
        {"P6 maxval 65535.ppm", Pnm("P6", 3, 65535, 24), false, true},
    };
}

}  // namespace

TEST(IndependentReader, NetpbmAndGmReadEveryKindOfFileAsWeDo)
{
    REQUIRE_GM();
    if (!testutil::HaveNetpbm())
        GTEST_SKIP() << "netpbm is not installed";
    TempDir dir;
    for (const Crafted &c : CraftedFiles()) {
        const std::string path = dir.File(c.name);
        testutil::WriteFile(path, c.file);
        std::unique_ptr<CImage> img(mirlan::ReadImageFile(path.c_str()));
        ASSERT_NE(img, nullptr) << c.name;
        const Rgb ours = testutil::ToRgb(*img);
        if (c.byNetpbm)
            ExpectSamePicture(testutil::NetpbmRead(path), ours, std::string("netpbm, ") + c.name);
        if (c.byGm)
            ExpectSamePicture(testutil::GmRead(path), ours, std::string("gm, ") + c.name);
    }
}

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
