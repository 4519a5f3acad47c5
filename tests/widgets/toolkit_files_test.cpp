// toolkit_files_test.cpp: BMP, PPM and PGM files read through the toolkit by
// the image view: good files give their exact pixels; lying headers, short
// files and content of another kind give the alert and an empty view.
#include <gtest/gtest.h>  // before the toolkit, whose X11 macros clash with it

#include <FL/Fl_Double_Window.H>

#include <string>
#include <vector>

#include "widget_test_util.h"
#include "widgets/CImageBoxFL.h"
#include "widgets/toolkit_image.h"

namespace {

using Bytes = std::vector<unsigned char>;
using widget_test::BmpFields;
using widget_test::MakeBmp;
using widget_test::TakeAlerts;
using widget_test::TempDir;

const char kLoadFailed[] = "Impossible de charger cette image !\nFormat invalide.";

Bytes Text(const std::string &s) { return Bytes(s.begin(), s.end()); }

Bytes Concat(Bytes a, const Bytes &b)
{
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

class ToolkitFilesTest : public ::testing::Test {
protected:
    void SetUp() override { TakeAlerts(); }

    // Loads bytes saved as name; on success returns the picture's bytes.
    bool Load(const std::string &name, const Bytes &bytes)
    {
        return box->SetImage(dir.Write(name, bytes).c_str()) == 1;
    }
    Bytes Pixels() const
    {
        const CImage *img = box->GetImage();
        return Bytes(img->data, img->data + img->ByteCount());
    }
    // The file must be refused: the alert, and the empty view stays empty.
    void ExpectRefused(const std::string &name, const Bytes &bytes)
    {
        EXPECT_FALSE(Load(name, bytes)) << name;
        EXPECT_EQ(TakeAlerts(), std::vector<std::string>{kLoadFailed}) << name;
        EXPECT_EQ(box->GetImage(), nullptr) << name;
        EXPECT_EQ(box->w(), 0) << name;
        EXPECT_EQ(box->h(), 0) << name;
    }

    TempDir dir;
    Fl_Double_Window win{100, 100};
    CImageBoxFL *box = new CImageBoxFL(0, 0, 10, 10);
};

// 2 x 2, bottom row first in the file, blue-green-red, rows padded to 4.
const Bytes kBmp24Rows = {0, 0, 255, 0, 255, 0, 0, 0, 255, 0, 0, 255, 255, 255, 0, 0};

TEST_F(ToolkitFilesTest, Bmp24GivesTopRowFirstRgb)
{
    BmpFields f;
    f.width = 2;
    f.height = 2;
    ASSERT_TRUE(Load("a.bmp", MakeBmp(f, {}, kBmp24Rows)));
    EXPECT_EQ(box->GetImage()->bpp, 24);
    EXPECT_EQ(Pixels(), (Bytes{0, 0, 255, 255, 255, 255, 255, 0, 0, 0, 255, 0}));
    EXPECT_EQ(box->w(), 2);
}

TEST_F(ToolkitFilesTest, TopDownBmpKeepsItsRowOrder)
{
    BmpFields f;
    f.width = 2;
    f.height = -2;
    ASSERT_TRUE(Load("td.BMP", MakeBmp(f, {}, kBmp24Rows)));
    EXPECT_EQ(Pixels(), (Bytes{255, 0, 0, 0, 255, 0, 0, 0, 255, 255, 255, 255}));
}

TEST_F(ToolkitFilesTest, PalettedBmpGivesColours)
{
    BmpFields f;
    f.width = 3;
    f.bpp = 8;
    f.colours = 2;
    ASSERT_TRUE(Load("p.bmp", MakeBmp(f, {10, 20, 30, 0, 40, 50, 60, 0}, {1, 0, 1, 0})));
    EXPECT_EQ(Pixels(), (Bytes{60, 50, 40, 30, 20, 10, 60, 50, 40}));
}

TEST_F(ToolkitFilesTest, NetpbmFilesGiveTheirSamples)
{
    ASSERT_TRUE(Load("a.ppm", Concat(Text("P6\n# made by hand\n2 1\n255\n"), {1, 2, 3, 250, 251, 252})));
    EXPECT_EQ(box->GetImage()->bpp, 24);
    EXPECT_EQ(Pixels(), (Bytes{1, 2, 3, 250, 251, 252}));

    ASSERT_TRUE(Load("b.ppm", Text("P3\n2 1\n255\n9 8 7\n6 5 4\n")));
    EXPECT_EQ(Pixels(), (Bytes{9, 8, 7, 6, 5, 4}));

    ASSERT_TRUE(Load("c.pgm", Concat(Text("P5 3 1 255\n"), {0, 128, 255})));
    EXPECT_EQ(box->GetImage()->bpp, 8);
    EXPECT_EQ(Pixels(), (Bytes{0, 128, 255}));

    ASSERT_TRUE(Load("d.pgm", Text("P2\n2 2\n255\n1 2\n3 4\n")));
    EXPECT_EQ(Pixels(), (Bytes{1, 2, 3, 4}));

    ASSERT_TRUE(Load("e.pgm", Concat(Text("P5\n2 1\n65535\n"), {0x12, 0x34, 0xff, 0xff})));
    EXPECT_EQ(Pixels(), (Bytes{0x12, 0xff}));
    EXPECT_TRUE(TakeAlerts().empty());
}

TEST_F(ToolkitFilesTest, BmpHeadersThatLieAreRefused)
{
    auto bmp = [](auto change) {
        BmpFields f;
        f.width = 2;
        f.height = 2;
        change(f);
        return f;
    };
    // More colours than the toolkit's 256-entry table, paletted or not.
    BmpFields many = bmp([](BmpFields &f) {
        f.bpp = 8;
        f.colours = 300;
    });
    ExpectRefused("many.bmp", MakeBmp(many, Bytes(300 * 4, 0), Bytes(16, 0)));
    ExpectRefused("many24.bmp", MakeBmp(bmp([](BmpFields &f) { f.colours = 100000; }), {}, kBmp24Rows));
    // Sizes beyond 32767, of 0, or whose product overflows the toolkit's int.
    ExpectRefused("wide.bmp", MakeBmp(bmp([](BmpFields &f) { f.width = 70000; }), {}, kBmp24Rows));
    ExpectRefused("tall.bmp", MakeBmp(bmp([](BmpFields &f) { f.height = -40000; }), {}, kBmp24Rows));
    ExpectRefused("zero.bmp", MakeBmp(bmp([](BmpFields &f) { f.width = 0; }), {}, kBmp24Rows));
    ExpectRefused("flat.bmp", MakeBmp(bmp([](BmpFields &f) { f.height = 0; }), {}, kBmp24Rows));
    ExpectRefused("huge.bmp", MakeBmp(bmp([](BmpFields &f) {
                                          f.width = 32767;
                                          f.height = 32767;
                                          f.bpp = 32;
                                      }),
                                      {}, kBmp24Rows));
    // Depths, planes and compressions the reader has no business with.
    ExpectRefused("bpp7.bmp", MakeBmp(bmp([](BmpFields &f) { f.bpp = 7; }), {}, kBmp24Rows));
    ExpectRefused("planes.bmp", MakeBmp(bmp([](BmpFields &f) { f.planes = 0; }), {}, kBmp24Rows));
    ExpectRefused("rle24.bmp", MakeBmp(bmp([](BmpFields &f) { f.compression = 1; }), {}, kBmp24Rows));
    ExpectRefused("jpeg.bmp", MakeBmp(bmp([](BmpFields &f) { f.compression = 4; }), {}, kBmp24Rows));
    // Pixels that are not all in the file, or start past its end.
    ExpectRefused("short.bmp", MakeBmp(bmp([](BmpFields &f) { f.width = 10; }), {}, kBmp24Rows));
    ExpectRefused("offset.bmp", MakeBmp(bmp([](BmpFields &f) { f.offBits = 5000; }), {}, kBmp24Rows));
    Bytes cut = MakeBmp(bmp([](BmpFields &) {}), {}, kBmp24Rows);
    cut.resize(30);
    ExpectRefused("cut.bmp", cut);
}

// Run-length pictures whose runs and jumps leave the picture: the toolkit's
// decoder must stay inside its array (the sanitizer build checks it).
TEST_F(ToolkitFilesTest, HostileRunLengthBmpNeverWritesOutside)
{
    BmpFields f;
    f.width = 4;
    f.height = 2;
    f.bpp = 8;
    f.colours = 2;
    f.compression = 1;
    const Bytes palette = {0, 0, 0, 0, 255, 255, 255, 0};
    const std::vector<Bytes> streams = {
        {255, 1, 255, 1, 255, 1, 0, 1},           // runs far longer than the rows
        {0, 2, 200, 200, 4, 1, 0, 1},             // a jump past the picture, then a run
        {0, 200, 1, 1, 1, 1},                     // a literal run longer than the file
        {0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 4, 1, 0, 1},  // more end-of-line marks than rows
    };
    for (size_t i = 0; i < streams.size(); ++i) {
        const std::string name = "rle" + std::to_string(i) + ".bmp";
        if (Load(name, MakeBmp(f, palette, streams[i]))) {
            EXPECT_EQ(box->GetImage()->width, 4);
            EXPECT_EQ(box->GetImage()->height, 2);
        }
        TakeAlerts();
    }
}

TEST_F(ToolkitFilesTest, NetpbmHeadersThatLieAreRefused)
{
    ExpectRefused("w0.ppm", Text("P6\n0 1\n255\n"));
    ExpectRefused("big.ppm", Concat(Text("P6\n40000 1\n255\n"), Bytes(120000, 0)));
    ExpectRefused("max0.pgm", Concat(Text("P5\n1 1\n0\n"), {0}));
    ExpectRefused("max.pgm", Concat(Text("P5\n1 1\n70000\n"), {0, 0}));
    ExpectRefused("p7.pgm", Concat(Text("P7\n1 1\n255\n"), {0}));
    ExpectRefused("neg.pgm", Concat(Text("P5\n-1 1\n255\n"), {0}));
    ExpectRefused("nosize.pgm", Text("P5\n"));
    // Pixel data shorter than the header says, binary or plain.
    ExpectRefused("short.ppm", Concat(Text("P6\n4 4\n255\n"), Bytes(47, 1)));
    ExpectRefused("short16.pgm", Concat(Text("P5\n2 1\n65535\n"), {1, 2, 3}));
    ExpectRefused("short.pgm", Text("P2\n3 1\n255\n1 2\n"));
    ExpectRefused("bits.pgm", Text("P1\n3 1\n101\n"));  // one number to the reader
    ExpectRefused("comment.pgm", Text("P2\n2 1\n255\n1 # two\n2\n"));
    // A raster that starts on the header's line, or header lines longer than
    // the toolkit's line buffer: it would cut them differently.
    ExpectRefused("inline.pgm", Concat(Text("P5\n2 1\n255 "), {5, 6}));
    ExpectRefused("long.pgm", Concat(Text("P5\n#" + std::string(2000, 'x') + "\n1 1\n255\n"), {7}));
    ExpectRefused("empty.pgm", Bytes{});
}

// Content the toolkit reads as a pixmap or a bitmap instead of packed pixels.
TEST_F(ToolkitFilesTest, OtherKindsOfContentAreRefused)
{
    ExpectRefused("gif.bmp", Concat(Text("GIF89a"), {1, 0, 1, 0, 0x80, 0, 0, 0, 0, 0, 255, 255, 255, 0x2c,
                                                     0, 0, 0, 0, 1, 0, 1, 0, 0, 2, 2, 0x44, 1, 0, 0x3b}));
    ExpectRefused("xpm.ppm", Text("/* XPM */\nstatic char *x[] = {\n\"1 1 1 1\",\n\"a c #ff0000\",\n\"a\"};\n"));
    ExpectRefused("xbm.pgm", Text("#define x_width 1\n#define x_height 1\nstatic char x_bits[] = {0x01};\n"));
    ExpectRefused("text.bmp", Text("hello"));
    ExpectRefused("empty.bmp", Bytes{});
    EXPECT_EQ(box->SetImage(dir.Path("not-there.ppm").c_str()), 0);
    EXPECT_EQ(TakeAlerts().size(), 1u);
}

TEST(BmpHeaderCheck, AnnouncesTheSizeOfAGoodHeader)
{
    BmpFields f;
    f.width = 2;
    f.height = -2;
    const Bytes file = MakeBmp(f, {}, kBmp24Rows);
    mirlan::HeaderInfo info;
    ASSERT_TRUE(mirlan::CheckBmpHeader(file.data(), file.size(), file.size(), info));
    EXPECT_EQ(info.width, 2);
    EXPECT_EQ(info.height, 2);
    // The same header on a file one byte short of its pixels.
    EXPECT_FALSE(mirlan::CheckBmpHeader(file.data(), file.size(), file.size() - 1, info));
}

}  // namespace
