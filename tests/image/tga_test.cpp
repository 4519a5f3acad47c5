// tga_test.cpp: TGA writing (byte-exact layouts), reading (every depth, the
// fields other programs' files carry, the origin bit), round trips, the
// refusal codes and hostile files.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <memory>
#include <string>
#include <vector>

#include "codec_oracle.h"
#include "image/image.h"
#include "image_test_util.h"

using testutil::Bytes;
using testutil::TempDir;

namespace {

// Loads path into a fresh image; returns the status and keeps the image.
struct Loaded {
    int status;
    std::unique_ptr<CImage> img;
};

Loaded Load(const std::string &path)
{
    Loaded l{0, std::make_unique<CImage>()};
    l.status = CImage::LoadTGA(l.img.get(), path.c_str());
    return l;
}

Loaded LoadBytes(const TempDir &dir, const Bytes &file, const std::string &name = "in.tga")
{
    testutil::WriteFile(dir.File(name), file);
    return Load(dir.File(name));
}

Bytes Concat(Bytes a, const Bytes &b)
{
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

void ExpectDecodedAs(const Loaded &l, const oracle::Decoded &want)
{
    if (want.noPixelData) {
        EXPECT_EQ(l.status, CImage::kShortHeader);
        return;
    }
    ASSERT_EQ(l.status, CImage::kOk);
    EXPECT_EQ(l.img->width, want.width);
    EXPECT_EQ(l.img->height, want.height);
    EXPECT_EQ(l.img->bpp, want.bpp);
    EXPECT_EQ(testutil::PixelsOf(*l.img), want.pixels);
}

}  // namespace

// ---- Writing ------------------------------------------------------------

TEST(TgaWrite, TwentyFourBitLayout)
{
    TempDir dir;
    CImage img(2, 2, 24);
    const unsigned char px[] = {1, 2, 3, 4, 5, 6,      // top row
                                7, 8, 9, 10, 11, 12};  // bottom row
    std::copy(px, px + 12, img.data);
    ASSERT_EQ(CImage::SaveTGA(&img, dir.File("a.tga").c_str()), CImage::kOk);
    Bytes want = {0, 0, 2, 0, 0, 0, 0, 0, 0, 0, 0, 0, 2, 0, 2, 0, 24, 0,
                  9, 8, 7, 12, 11, 10,  // bottom row first, blue green red
                  3, 2, 1, 6, 5, 4};
    EXPECT_EQ(testutil::ReadFile(dir.File("a.tga")), want);
}

TEST(TgaWrite, EightBitIsTypeTwoGreyBottomFirst)
{
    TempDir dir;
    CImage img(3, 2, 8);
    const unsigned char px[] = {10, 20, 30, 40, 50, 60};
    std::copy(px, px + 6, img.data);
    ASSERT_EQ(CImage::SaveTGA(&img, dir.File("g.tga").c_str()), CImage::kOk);
    Bytes want = {0, 0, 2, 0, 0, 0, 0, 0, 0, 0, 0, 0, 3, 0, 2, 0, 8, 0,
                  40, 50, 60, 10, 20, 30};
    EXPECT_EQ(testutil::ReadFile(dir.File("g.tga")), want);
}

TEST(TgaWrite, MatchesReferenceEncoderAtEveryDepth)
{
    TempDir dir;
    for (int bpp : {8, 16, 24, 32})
        for (auto size : {std::pair<int, int>{1, 1}, {37, 23}, {1, 300}, {300, 1}, {1000, 700}}) {
            auto img = testutil::MakeImage(size.first, size.second, bpp, unsigned(bpp + size.first));
            std::string path = dir.File("m.tga");
            ASSERT_EQ(CImage::SaveTGA(img.get(), path.c_str()), CImage::kOk);
            Bytes file = testutil::ReadFile(path);
            EXPECT_EQ(file, oracle::EncodeTga(*img)) << bpp << " bits " << size.first << "x" << size.second;
        }
}

TEST(TgaWrite, SizeAndHeaderFieldsOfLargerImage)
{
    TempDir dir;
    auto img = testutil::MakeImage(640, 480, 24);
    ASSERT_EQ(CImage::SaveTGA(img.get(), dir.File("b.tga").c_str()), CImage::kOk);
    Bytes f = testutil::ReadFile(dir.File("b.tga"));
    ASSERT_EQ(f.size(), 18u + 3u * 640 * 480);
    EXPECT_EQ(testutil::Le16(f, 12), 640u);
    EXPECT_EQ(testutil::Le16(f, 14), 480u);
    // The first pixel bytes are the bottom-left pixel as blue, green, red.
    const unsigned char *bottomLeft = img->data + size_t(479) * 640 * 3;
    EXPECT_EQ(f[18], bottomLeft[2]);
    EXPECT_EQ(f[19], bottomLeft[1]);
    EXPECT_EQ(f[20], bottomLeft[0]);
}

TEST(TgaWrite, ThirtyTwoBitDeclaresItsAlphaBits)
{
    TempDir dir;
    auto img = testutil::MakeImage(3, 2, 32);
    ASSERT_EQ(CImage::SaveTGA(img.get(), dir.File("c.tga").c_str()), CImage::kOk);
    Bytes f = testutil::ReadFile(dir.File("c.tga"));
    ASSERT_EQ(f.size(), 18u + 4u * 6);
    EXPECT_EQ(f[16], 32);
    EXPECT_EQ(f[17], 8);
}

TEST(TgaWrite, GreyAlphaBecomesEightBitGrey)
{
    TempDir dir;
    CImage img(2, 1, 16);
    const unsigned char px[] = {100, 7, 200, 9};
    std::copy(px, px + 4, img.data);
    ASSERT_EQ(CImage::SaveTGA(&img, dir.File("ga.tga").c_str()), CImage::kOk);
    Bytes want = {0, 0, 2, 0, 0, 0, 0, 0, 0, 0, 0, 0, 2, 0, 1, 0, 8, 0, 100, 200};
    EXPECT_EQ(testutil::ReadFile(dir.File("ga.tga")), want);
}

TEST(TgaWrite, LeavesTheImageUnchanged)
{
    TempDir dir;
    auto img = testutil::MakeImage(7, 5, 24);
    Bytes before = testutil::PixelsOf(*img);
    ASSERT_EQ(CImage::SaveTGA(img.get(), dir.File("u.tga").c_str()), CImage::kOk);
    EXPECT_EQ(testutil::PixelsOf(*img), before);
    EXPECT_EQ(img->width, 7);
    EXPECT_EQ(img->bpp, 24);
}

// ---- Round trips -------------------------------------------------------

TEST(TgaRoundTrip, EightAndTwentyFourBitsComeBackByteForByte)
{
    TempDir dir;
    for (int bpp : {8, 24})
        for (auto size : {std::pair<int, int>{1, 1}, {3, 2}, {37, 23}, {1, 500}, {500, 1}, {1000, 700}}) {
            auto img = testutil::MakeImage(size.first, size.second, bpp, 7);
            std::string path = dir.File("r.tga");
            ASSERT_EQ(CImage::SaveTGA(img.get(), path.c_str()), CImage::kOk);
            EXPECT_EQ(testutil::ReadFile(path).size(), 18 + img->ByteCount());
            Loaded l = Load(path);
            ASSERT_EQ(l.status, CImage::kOk);
            EXPECT_EQ(l.img->width, size.first);
            EXPECT_EQ(l.img->height, size.second);
            EXPECT_EQ(l.img->bpp, bpp);
            EXPECT_EQ(testutil::PixelsOf(*l.img), testutil::PixelsOf(*img))
                << bpp << " bits " << size.first << "x" << size.second;
        }
}

TEST(TgaRoundTrip, ThirtyTwoBitsComeBackAsTheirColours)
{
    TempDir dir;
    auto img = testutil::MakeImage(9, 4, 32);
    ASSERT_EQ(CImage::SaveTGA(img.get(), dir.File("c.tga").c_str()), CImage::kOk);
    Loaded l = Load(dir.File("c.tga"));
    ASSERT_EQ(l.status, CImage::kOk);
    EXPECT_EQ(l.img->bpp, 24);
    EXPECT_EQ(testutil::ToRgb(*l.img).pixels, testutil::ToRgb(*img).pixels);
}

TEST(TgaRoundTrip, GreyAlphaComesBackAsGrey)
{
    TempDir dir;
    auto img = testutil::MakeImage(9, 4, 16);
    ASSERT_EQ(CImage::SaveTGA(img.get(), dir.File("ga.tga").c_str()), CImage::kOk);
    Loaded l = Load(dir.File("ga.tga"));
    ASSERT_EQ(l.status, CImage::kOk);
    EXPECT_EQ(l.img->bpp, 8);
    EXPECT_EQ(testutil::ToRgb(*l.img).pixels, testutil::ToRgb(*img).pixels);
}

TEST(TgaRoundTrip, LoadReplacesAnImageThatAlreadyHasPixels)
{
    TempDir dir;
    auto saved = testutil::MakeImage(4, 3, 24);
    ASSERT_EQ(CImage::SaveTGA(saved.get(), dir.File("x.tga").c_str()), CImage::kOk);
    auto target = testutil::MakeImage(50, 60, 8);
    ASSERT_EQ(CImage::LoadTGA(target.get(), dir.File("x.tga").c_str()), CImage::kOk);
    EXPECT_EQ(target->width, 4);
    EXPECT_EQ(target->height, 3);
    EXPECT_EQ(target->bpp, 24);
    EXPECT_EQ(testutil::PixelsOf(*target), testutil::PixelsOf(*saved));
}

// ---- Reading -------------------------------------------------------------

TEST(TgaRead, SixteenBitWordsBecomeRgbTimesEight)
{
    TempDir dir;
    // 0x7FFF, only the red bits, only green, only blue, bit 15 alone.
    Bytes px = {0xFF, 0x7F, 0x00, 0x7C, 0xE0, 0x03, 0x1F, 0x00, 0x00, 0x80};
    Loaded l = LoadBytes(dir, Concat(testutil::TgaHeader(2, 5, 1, 16), px));
    ASSERT_EQ(l.status, CImage::kOk);
    ASSERT_EQ(l.img->bpp, 24);
    Bytes want = {248, 248, 248, 248, 0, 0, 0, 248, 0, 0, 0, 248, 0, 0, 0};
    EXPECT_EQ(testutil::PixelsOf(*l.img), want);
}

TEST(TgaRead, EverySixteenBitWordAgreesWithReference)
{
    TempDir dir;
    Bytes file = testutil::TgaHeader(2, 256, 256, 16);
    for (unsigned w = 0; w < 65536; ++w) {
        file.push_back(w & 255);
        file.push_back(w >> 8);
    }
    ExpectDecodedAs(LoadBytes(dir, file), oracle::DecodeTga(file));
}

TEST(TgaRead, ThirtyTwoBitDropsTheAttributeByte)
{
    TempDir dir;
    // 2 × 2, bottom row first: blue, green, red, attribute.
    Bytes px = {1, 2, 3, 200, 4, 5, 6, 201, 7, 8, 9, 202, 10, 11, 12, 203};
    Loaded l = LoadBytes(dir, Concat(testutil::TgaHeader(2, 2, 2, 32, 8), px));
    ASSERT_EQ(l.status, CImage::kOk);
    EXPECT_EQ(l.img->bpp, 24);
    Bytes want = {9, 8, 7, 12, 11, 10, 3, 2, 1, 6, 5, 4};
    EXPECT_EQ(testutil::PixelsOf(*l.img), want);
}

TEST(TgaRead, TypeAndDepthAreIndependent)
{
    TempDir dir;
    Loaded colour = LoadBytes(dir, Concat(testutil::TgaHeader(3, 1, 1, 24), {1, 2, 3}), "c.tga");
    ASSERT_EQ(colour.status, CImage::kOk);
    EXPECT_EQ(colour.img->bpp, 24);
    EXPECT_EQ(testutil::PixelsOf(*colour.img), (Bytes{3, 2, 1}));
    Loaded grey = LoadBytes(dir, Concat(testutil::TgaHeader(2, 2, 1, 8), {7, 9}), "g.tga");
    ASSERT_EQ(grey.status, CImage::kOk);
    EXPECT_EQ(grey.img->bpp, 8);
    EXPECT_EQ(testutil::PixelsOf(*grey.img), (Bytes{7, 9}));
}

TEST(TgaRead, TopToBottomOriginKeepsFileRowOrder)
{
    TempDir dir;
    Bytes px = {1, 2, 3, 4, 5, 6};  // 1 × 2 at 24 bits, top row first
    Loaded l = LoadBytes(dir, Concat(testutil::TgaHeader(2, 1, 2, 24, 0x20), px));
    ASSERT_EQ(l.status, CImage::kOk);
    EXPECT_EQ(testutil::PixelsOf(*l.img), (Bytes{3, 2, 1, 6, 5, 4}));
}

TEST(TgaRead, IdentificationFieldIsSkipped)
{
    TempDir dir;
    Bytes id(11, 0xEE);
    Bytes px = {10, 20, 30, 40};  // 2 × 2 grey, bottom row first
    Loaded l = LoadBytes(dir, Concat(Concat(testutil::TgaHeader(3, 2, 2, 8, 0, 11), id), px));
    ASSERT_EQ(l.status, CImage::kOk);
    EXPECT_EQ(testutil::PixelsOf(*l.img), (Bytes{30, 40, 10, 20}));
}

TEST(TgaRead, DeclaredColourMapIsSkippedWhateverItsEntrySize)
{
    TempDir dir;
    Bytes px = {1, 2, 3};
    // entry bits -> bytes per entry: 15 -> 2, 16 -> 2, 24 -> 3, 32 -> 4, 1 -> 1.
    for (int bits : {15, 16, 24, 32, 1}) {
        int entryBytes = (bits + 7) / 8;
        Bytes map(size_t(5) * entryBytes, 0xAB);
        Bytes file = Concat(Concat(testutil::TgaHeader(2, 1, 1, 24, 0, 0, 1, 5, bits), map), px);
        Loaded l = LoadBytes(dir, file);
        ASSERT_EQ(l.status, CImage::kOk) << bits;
        EXPECT_EQ(testutil::PixelsOf(*l.img), (Bytes{3, 2, 1})) << bits;
    }
}

TEST(TgaRead, UndeclaredColourMapFieldsAreIgnored)
{
    TempDir dir;
    // Colour map type 0: the map length and entry size mean nothing.
    Bytes file = Concat(testutil::TgaHeader(2, 1, 1, 24, 0, 0, 0, 5, 24), {1, 2, 3});
    Loaded l = LoadBytes(dir, file);
    ASSERT_EQ(l.status, CImage::kOk);
    EXPECT_EQ(testutil::PixelsOf(*l.img), (Bytes{3, 2, 1}));
}

TEST(TgaRead, IdentificationColourMapAndOriginTogether)
{
    TempDir dir;
    auto picture = testutil::MakeImage(13, 9, 24, 3);
    Bytes file = testutil::TgaHeader(2, 13, 9, 24, 0x20, 7, 1, 3, 24);
    file.insert(file.end(), 7 + 9, 0x55);
    for (size_t i = 0; i < picture->ByteCount(); i += 3) {
        file.push_back(picture->data[i + 2]);
        file.push_back(picture->data[i + 1]);
        file.push_back(picture->data[i]);
    }
    Loaded l = LoadBytes(dir, file);
    ASSERT_EQ(l.status, CImage::kOk);
    EXPECT_EQ(testutil::PixelsOf(*l.img), testutil::PixelsOf(*picture));
}

// ---- Refusals --------------------------------------------------------------

TEST(TgaRefusal, MissingFileGivesZero)
{
    TempDir dir;
    EXPECT_EQ(Load(dir.File("absent.tga")).status, CImage::kCannotOpen);
    CImage img;
    EXPECT_EQ(CImage::LoadTGA(&img, nullptr), CImage::kCannotOpen);
    EXPECT_EQ(CImage::SaveTGA(&img, nullptr), CImage::kWriteFailed);
    EXPECT_EQ(CImage::SaveBMP(&img, nullptr), CImage::kWriteFailed);
}

TEST(TgaRefusal, OtherImageTypesGiveOne)
{
    TempDir dir;
    for (int type : {0, 1, 4, 9, 10, 11, 32, 33, 255}) {
        // Type 10 (run-length true colour) among them, with a valid depth.
        Loaded l = LoadBytes(dir, Concat(testutil::TgaHeader(type, 1, 1, 24), {1, 2, 3}));
        EXPECT_EQ(l.status, CImage::kBadType) << type;
    }
    // The type is judged before the depth.
    EXPECT_EQ(LoadBytes(dir, testutil::TgaHeader(10, 1, 1, 15)).status, CImage::kBadType);
}

TEST(TgaRefusal, OtherDepthsGiveTwo)
{
    TempDir dir;
    for (int depth : {0, 1, 4, 15, 23, 25, 31, 48, 64, 255}) {
        Loaded l = LoadBytes(dir, Concat(testutil::TgaHeader(2, 1, 1, depth), Bytes(16, 1)));
        EXPECT_EQ(l.status, CImage::kBadDepth) << depth;
    }
}

TEST(TgaRefusal, ZeroAndOversizedSidesGiveTwo)
{
    TempDir dir;
    const std::pair<int, int> sides[] = {{0, 1}, {1, 0}, {0, 0}, {32768, 1}, {1, 32768}, {65535, 65535}};
    for (auto s : sides) {
        Loaded l = LoadBytes(dir, Concat(testutil::TgaHeader(2, s.first, s.second, 8), Bytes(16, 1)));
        EXPECT_EQ(l.status, CImage::kBadDepth) << s.first << "x" << s.second;
    }
}

TEST(TgaRefusal, ShortHeaderGivesThree)
{
    TempDir dir;
    Bytes header = testutil::TgaHeader(2, 1, 1, 24);
    for (size_t n = 0; n < 18; ++n) {
        Loaded l = LoadBytes(dir, Bytes(header.begin(), header.begin() + n));
        EXPECT_EQ(l.status, CImage::kShortHeader) << n;
    }
}

TEST(TgaRefusal, FailedLoadLeavesTheImageUntouched)
{
    TempDir dir;
    auto img = testutil::MakeImage(2, 2, 24);
    Bytes before = testutil::PixelsOf(*img);
    unsigned char *data = img->data;
    testutil::WriteFile(dir.File("bad.tga"), testutil::TgaHeader(10, 4, 4, 24));
    testutil::WriteFile(dir.File("deep.tga"), testutil::TgaHeader(2, 4, 4, 15));
    testutil::WriteFile(dir.File("short.tga"), Bytes(5, 0));
    for (const char *name : {"bad.tga", "deep.tga", "short.tga", "absent.tga"}) {
        EXPECT_NE(CImage::LoadTGA(img.get(), dir.File(name).c_str()), CImage::kOk) << name;
        EXPECT_EQ(img->data, data);
        EXPECT_EQ(img->width, 2);
        EXPECT_EQ(img->bpp, 24);
        EXPECT_EQ(testutil::PixelsOf(*img), before);
    }
}

TEST(TgaRefusal, EmptyImageSavesButDoesNotLoad)
{
    TempDir dir;
    CImage empty;
    ASSERT_EQ(CImage::SaveTGA(&empty, dir.File("e.tga").c_str()), CImage::kOk);
    EXPECT_EQ(testutil::ReadFile(dir.File("e.tga")).size(), 18u);
    EXPECT_EQ(Load(dir.File("e.tga")).status, CImage::kBadDepth);
}

// ---- Hostile files -------------------------------------------------------

TEST(TgaHostile, EveryTruncationGivesItsCodeAndZeroPixels)
{
    TempDir dir;
    for (int depth : {8, 16, 24, 32}) {
        Bytes full = Concat(testutil::TgaHeader(2, 7, 5, depth, 0, 3, 1, 2, 16), Bytes(3 + 4, 0x42));
        auto pixels = testutil::MakeImage(7 * depth / 8, 5, 8, unsigned(depth));
        full.insert(full.end(), pixels->data, pixels->data + pixels->ByteCount());
        for (size_t n = 0; n <= full.size(); ++n) {
            Bytes cut(full.begin(), full.begin() + n);
            Loaded l = LoadBytes(dir, cut);
            if (n < 18) {
                EXPECT_EQ(l.status, CImage::kShortHeader) << n;
                continue;
            }
            // Whatever the file lacks reads as zero bytes.
            ExpectDecodedAs(l, oracle::DecodeTga(cut));
            if (HasFailure()) {
                ADD_FAILURE() << depth << " bits cut at " << n;
                return;
            }
        }
    }
}

TEST(TgaHostile, HugeSidesOnATinyFileLoadAsZeros)
{
    TempDir dir;
    Loaded l = LoadBytes(dir, Concat(testutil::TgaHeader(2, 32767, 3, 24), {0}));
    ASSERT_EQ(l.status, CImage::kOk);
    EXPECT_EQ(l.img->width, 32767);
    EXPECT_EQ(l.img->height, 3);
    EXPECT_EQ(testutil::PixelsOf(*l.img), Bytes(size_t(32767) * 3 * 3, 0));
}

TEST(TgaHostile, LongestIdentificationAndColourMapPastTheEnd)
{
    TempDir dir;
    Loaded l = LoadBytes(dir, Concat(testutil::TgaHeader(2, 4, 4, 24, 0, 255, 1, 65535, 255), Bytes(100, 9)));
    EXPECT_EQ(l.status, CImage::kShortHeader);
}

TEST(TgaHostile, MutatedHeadersNeverBreakTheReader)
{
    TempDir dir;
    auto picture = testutil::MakeImage(6, 4, 24, 11);
    std::string path = dir.File("p.tga");
    ASSERT_EQ(CImage::SaveTGA(picture.get(), path.c_str()), CImage::kOk);
    const Bytes valid = testutil::ReadFile(path);
    uint32_t state = 99;
    for (int round = 0; round < 3000; ++round) {
        Bytes file = valid;
        for (int k = 0; k < 3; ++k) {
            state = state * 1664525u + 1013904223u;
            size_t at = (state >> 8) % 18;
            file[at] = static_cast<unsigned char>(state >> 24);
        }
        // Keep the sides small so that every round stays cheap.
        file[13] &= 1;
        file[15] &= 1;
        state = state * 1664525u + 1013904223u;
        file.resize(18 + (state >> 8) % (valid.size() - 17));
        Loaded l = LoadBytes(dir, file);
        const int type = file[2], depth = file[16];
        const unsigned w = testutil::Le16(file, 12), h = testutil::Le16(file, 14);
        if (type != 2 && type != 3) {
            EXPECT_EQ(l.status, CImage::kBadType);
        } else if ((depth != 8 && depth != 16 && depth != 24 && depth != 32) || w == 0 || h == 0) {
            EXPECT_EQ(l.status, CImage::kBadDepth);
        } else {
            ExpectDecodedAs(l, oracle::DecodeTga(file));
        }
        if (HasFailure()) {
            ADD_FAILURE() << "round " << round;
            return;
        }
    }
}

TEST(TgaHostile, DirectoryInsteadOfFileIsNotAnImage)
{
    TempDir dir;
    auto img = std::make_unique<CImage>();
    EXPECT_NE(CImage::LoadTGA(img.get(), dir.path().c_str()), CImage::kOk);
    EXPECT_EQ(img->data, nullptr);
}
