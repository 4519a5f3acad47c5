// readers_test.cpp: small legal and hostile BMP, PNM and TGA files, each
// built in the table, opened through ReadImageFile: the pixels it must give,
// or the reason it must refuse the file.
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "image/image.h"
#include "image/image_file.h"
#include "image_test_util.h"

using mirlan::ReadError;
using testutil::Bytes;

namespace {

using testutil::Bmp;
using testutil::Cat;
using testutil::Le32s;

Bytes Text(const std::string &s) { return Bytes(s.begin(), s.end()); }

Bytes With32(Bytes b, size_t at, uint32_t v)
{
    const Bytes le = Le32s({v});
    std::copy(le.begin(), le.end(), b.begin() + at);
    return b;
}

const Bytes kPal2 = {10, 20, 30, 0, 40, 50, 60, 0};  // entries 0 and 1, blue first
const Bytes kRed = {30, 20, 10}, kGreen = {60, 50, 40};
const Bytes kPal16 = Cat(kPal2, Bytes(14 * 4, 0));

Bytes Repeat(const std::vector<Bytes> &pixels)
{
    Bytes b;
    for (const Bytes &p : pixels)
        b = Cat(b, p);
    return b;
}

struct Case {
    const char *what;
    const char *ext;
    Bytes file;
    ReadError error;
    int bpp = 0;  // and pixels: the picture of a file that is read
    Bytes pixels = {};
};

const ReadError kOk = ReadError::kNone, kBad = ReadError::kBadFormat, kLarge = ReadError::kTooLarge;

std::vector<Case> Cases()
{
    const Bytes bmp24 = Bmp(40, 1, 2, 24, 0, 0, {}, {1, 2, 3, 0, 4, 5, 6, 0});
    const Bytes bf565 = Le32s({0xF800, 0x07E0, 0x1F});
    const Bytes rle8 = {3, 1, 0, 0, 0, 3, 0, 1, 0, 0, 0, 1};
    const Bytes rle8Lines = {3, 1, 0, 0, 0, 3, 0, 1, 0, 0, 0, 0};
    return {
        {"8 bits, one entry", ".bmp",
         Bmp(40, 1, 1, 8, 0, 1, Bytes(kPal2.begin(), kPal2.begin() + 4), {0, 0, 0, 0}),
         kOk, 24, kRed},
        {"index past a short palette", ".bmp",
         Bmp(40, 1, 1, 8, 0, 1, Bytes(kPal2.begin(), kPal2.begin() + 4), {200, 0, 0, 0}),
         kBad},
        {"no palette, colours 0", ".bmp", Bmp(40, 1, 1, 8, 0, 0, {}, {0, 0, 0, 0}), kBad},
        {"pixels inside the headers", ".bmp", With32(Bmp(40, 3, 1, 8, 1, 2, kPal2, {3, 1, 0, 1}), 10, 0),
         kBad},
        {"1 bit", ".bmp", Bmp(40, 3, 1, 1, 0, 2, kPal2, {0xA0, 0, 0, 0}),
         kOk, 24, Repeat({kGreen, kRed, kGreen})},
        {"4 bits, core header", ".BMP",
         Bmp(12, 2, 1, 4, 0, 0, Cat({10, 20, 30, 40, 50, 60}, Bytes(14 * 3, 0)), {0x10, 0, 0, 0}),
         kOk, 24, Repeat({kGreen, kRed})},
        {"16 bits 5-5-5", ".bmp", Bmp(40, 2, 1, 16, 0, 0, {}, {0xFF, 0x7F, 0x94, 0x52}),
         kOk, 24, {255, 255, 255, 164, 164, 164}},
        {"16 bits, 5-6-5 fields", ".bmp", Bmp(40, 2, 1, 16, 3, 0, bf565, {0xE0, 0x07, 0x1F, 0x00}),
         kOk, 24, {0, 255, 0, 0, 0, 255}},
        {"16 bits, V5 5-6-5 masks", ".bmp", Bmp(124, 1, 1, 16, 3, 0, {}, {0x00, 0xF8, 0, 0}, bf565),
         kOk, 24, {255, 0, 0}},
        {"32 bits BGRX", ".bmp", Bmp(40, 1, 1, 32, 0, 0, {}, {1, 2, 3, 4}), kOk, 32, {3, 2, 1, 4}},
        {"32 bits, RGBA fields", ".bmp",
         Bmp(40, 1, 1, 32, 3, 0, Le32s({0xFF, 0xFF00, 0xFF0000}), {1, 2, 3, 4}),
         kOk, 32, {1, 2, 3, 4}},
        {"32 bits, V4 masks", ".bmp",
         Bmp(108, 1, 1, 32, 3, 0, {}, {1, 2, 3, 4}, Le32s({0xFF00, 0xFF0000, 0xFF000000, 0xFF})),
         kOk, 32, {2, 3, 4, 1}},
        {"bottom row first", ".bmp", bmp24, kOk, 24, {6, 5, 4, 3, 2, 1}},
        {"top row first", ".bmp", With32(bmp24, 22, uint32_t(-2)), kOk, 24, {3, 2, 1, 6, 5, 4}},
        {"rows cut short", ".bmp", Bytes(bmp24.begin(), bmp24.end() - 1), kBad},
        {"cut in its header", ".bmp", Bytes(bmp24.begin(), bmp24.begin() + 18), kBad},
        {"width 2^31-1", ".bmp", With32(bmp24, 18, 0x7FFFFFFF), kLarge},
        {"height -2^31", ".bmp", With32(bmp24, 22, 0x80000000), kLarge},
        {"width 0", ".bmp", With32(bmp24, 18, 0), kBad},
        {"RLE8 runs, literal, lines", ".bmp", Bmp(40, 3, 2, 8, 1, 2, kPal2, rle8),
         kOk, 24, Repeat({kRed, kGreen, kRed, kGreen, kGreen, kGreen})},
        {"RLE8 ending with its last line", ".bmp", Bmp(40, 3, 2, 8, 1, 2, kPal2, rle8Lines),
         kOk, 24, Repeat({kRed, kGreen, kRed, kGreen, kGreen, kGreen})},
        {"RLE8 run past its row", ".bmp", Bmp(40, 3, 2, 8, 1, 2, kPal2, {4, 1, 0, 1}), kBad},
        {"RLE8 jump past the picture", ".bmp", Bmp(40, 3, 2, 8, 1, 2, kPal2, {0, 2, 0, 2, 0, 1}), kBad},
        {"RLE8 line past the picture", ".bmp", Bmp(40, 3, 1, 8, 1, 2, kPal2, {0, 0, 0, 0, 0, 1}), kBad},
        {"RLE8 ends early", ".bmp", Bmp(40, 3, 2, 8, 1, 2, kPal2, {3, 1, 0, 0}), kBad},
        {"RLE8 literal cut", ".bmp", Bmp(40, 3, 2, 8, 1, 2, kPal2, {0, 3, 0, 1, 0}), kBad},
        {"RLE4 jump, then a run", ".bmp", Bmp(40, 3, 1, 4, 2, 16, kPal16, {0, 2, 1, 0, 2, 0x11, 0, 1}),
         kOk, 24, Repeat({kRed, kGreen, kGreen})},
        {"RLE4 literal past a short palette", ".bmp", Bmp(40, 3, 1, 4, 2, 2, kPal2, {0, 3, 0x12, 0x10, 0, 1}),
         kBad},
        {"GIF named .bmp", ".bmp", Text("GIF89a\x01\x00\x01\x00\x80\x00\x00"), kBad},
        {"PNG named .bmp", ".bmp", Cat({0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'}, Bytes(30, 0)), kBad},
        {"maxval 15", ".ppm", Cat(Text("P6 1 1 15\n"), {15, 7, 0}), kOk, 24, {255, 119, 0}},
        {"maxval 1", ".pgm", Cat(Text("P5 2 1 1\n"), {1, 0}), kOk, 8, {255, 0}},
        {"maxval 65535", ".pgm", Cat(Text("P5 2 1 65535\n"), {0x12, 0x34, 0x00, 0xFF}), kOk, 8, {18, 1}},
        {"raw sample above maxval", ".pgm", Cat(Text("P5 1 1 15\n"), {16}), kBad},
        {"plain sample above maxval", ".pgm", Text("P2 1 1 15 16\n"), kBad},
        {"plain colour", ".ppm", Text("P3 1 1 255 9 8 7"), kOk, 24, {9, 8, 7}},
        {"plain bits, glued", ".pgm", Text("P1 3 1\n101\n"), kOk, 8, {0, 255, 0}},
        {"plain bits, multi-digit", ".pgm", Text("P1 2 1\n10 1\n"), kOk, 8, {0, 255}},
        {"plain bit 2", ".pgm", Text("P1 2 1\n12\n"), kBad},
        {"raw bits padded", ".pgm", Cat(Text("P4 10 1\n"), {0xC0, 0x40}),
         kOk, 8, {0, 0, 255, 255, 255, 255, 255, 255, 255, 0}},
        {"CRLF lines", ".pgm", Cat(Text("P5\r\n2 1\r\n255\n"), {1, 2}), kOk, 8, {1, 2}},
        {"comments on every token", ".pgm", Text("P2#a\n2#b\n1#c\n255#d\n1#e\n2#f\n"), kOk, 8, {1, 2}},
        {"comment after raw maxval", ".pgm", Cat(Text("P5 1 1 255#x\n"), {7}), kOk, 8, {7}},
        {"100000 x 100000", ".ppm", Cat(Text("P6 100000 100000 255\n"), Bytes(100, 0)), kLarge},
        {"raw pixels cut", ".ppm", Cat(Text("P6 2 1 255\n"), {1, 2, 3, 4, 5}), kBad},
        {"plain pixels cut", ".pgm", Text("P2 3 1 255 1 2"), kBad},
        {"width 0", ".pgm", Text("P2 0 1 255\n"), kBad},
        {"maxval 0", ".pgm", Cat(Text("P5 1 1 0\n"), {0}), kBad},
        {"P7", ".pgm", Cat(Text("P7 1 1 255\n"), {0}), kBad},
        {"empty", ".ppm", {}, kBad},
        {"TGA header only", ".tga", testutil::TgaHeader(2, 32767, 32767, 24), kBad},
        {"TGA 40000 wide", ".tga", Cat(testutil::TgaHeader(2, 40000, 1, 24), Bytes(9, 0)), kLarge},
        {"TGA with one pixel of two", ".tga", Cat(testutil::TgaHeader(2, 2, 1, 24), {1, 2, 3}),
         kOk, 24, {3, 2, 1, 0, 0, 0}},
        {"unknown extension", ".gif", Text("GIF89a"), kBad},
    };
}

TEST(Readers, EachFileGivesItsPixelsOrItsRefusal)
{
    testutil::TempDir dir;
    for (const Case &c : Cases()) {
        const std::string path = dir.File(std::string("f") + c.ext);
        testutil::WriteFile(path, c.file);
        ReadError error;
        std::unique_ptr<CImage> img(mirlan::ReadImageFile(path.c_str(), &error));
        EXPECT_EQ(int(error), int(c.error)) << c.what;
        ASSERT_EQ(img != nullptr, c.error == kOk) << c.what;
        if (img) {
            EXPECT_EQ(img->bpp, c.bpp) << c.what;
            EXPECT_EQ(testutil::PixelsOf(*img), c.pixels) << c.what;
        }
    }
    ReadError error;
    EXPECT_EQ(mirlan::ReadImageFile(dir.File("missing.bmp").c_str(), &error), nullptr);
    EXPECT_EQ(error, ReadError::kUnreadable);
    EXPECT_EQ(mirlan::ReadImageFile(dir.path().c_str(), &error), nullptr);
    EXPECT_EQ(error, ReadError::kUnreadable);
}

}  // namespace
