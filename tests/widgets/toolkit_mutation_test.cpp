// toolkit_mutation_test.cpp: good BMP, PPM and PGM files with bytes changed
// and ends cut off, loaded by the image view. Each one either loads as a
// picture of sane size or gives the alert and keeps the view; none may crash
// or touch memory outside its buffers (the sanitizer build checks that).
#include <gtest/gtest.h>  // before the toolkit, whose X11 macros clash with it

#include <FL/Fl_Double_Window.H>

#include <random>
#include <string>
#include <vector>

#include "widget_test_util.h"
#include "widgets/CImageBoxFL.h"

namespace {

using Bytes = std::vector<unsigned char>;
using widget_test::BmpFields;
using widget_test::MakeBmp;
using widget_test::TakeAlerts;
using widget_test::TempDir;

Bytes Text(const std::string &s) { return Bytes(s.begin(), s.end()); }

// The seed files: one of each kind the readers take.
std::vector<std::pair<std::string, Bytes>> Seeds()
{
    std::vector<std::pair<std::string, Bytes>> seeds;
    BmpFields rgb;
    rgb.width = 3;
    rgb.height = 2;
    seeds.push_back({"rgb.bmp", MakeBmp(rgb, {}, Bytes(24, 90))});
    BmpFields rle;
    rle.width = 4;
    rle.height = 2;
    rle.bpp = 8;
    rle.colours = 2;
    rle.compression = 1;
    seeds.push_back({"rle8.bmp", MakeBmp(rle, {0, 0, 0, 0, 255, 255, 255, 0},
                                         {4, 1, 0, 0, 0, 4, 0, 1, 0, 1, 0, 0, 0, 1})});
    BmpFields rle4 = rle;
    rle4.bpp = 4;
    rle4.compression = 2;
    seeds.push_back({"rle4.bmp", MakeBmp(rle4, {0, 0, 0, 0, 255, 255, 255, 0}, {4, 0x10, 0, 0, 4, 0x01, 0, 1})});
    BmpFields mono = rgb;
    mono.bpp = 1;
    mono.colours = 2;
    seeds.push_back({"mono.bmp", MakeBmp(mono, {0, 0, 0, 0, 255, 255, 255, 0}, {0xa0, 0, 0, 0, 0x40, 0, 0, 0})});
    Bytes p6 = Text("P6\n3 2\n255\n");
    p6.resize(p6.size() + 18, 77);
    seeds.push_back({"a.ppm", p6});
    seeds.push_back({"b.pgm", Text("P2\n3 2\n15\n1 2 3\n4 5 6\n")});
    Bytes p5 = Text("P5\n2 2\n65535\n");
    p5.resize(p5.size() + 8, 200);
    seeds.push_back({"c.pgm", p5});
    return seeds;
}

TEST(ToolkitMutations, ChangedOrCutFilesLoadSanelyOrAreRefused)
{
    TempDir dir;
    Fl_Double_Window win(100, 100);
    CImageBoxFL *box = new CImageBoxFL(0, 0, 10, 10);
    TakeAlerts();
    std::mt19937 rng(20261206);
    int loaded = 0, refused = 0;
    for (const auto &seed : Seeds()) {
        for (int round = 0; round < 150; ++round) {
            Bytes file = seed.second;
            const int changes = 1 + static_cast<int>(rng() % 4);
            for (int c = 0; c < changes; ++c) {
                // Most changes fall in the headers, where the sizes are.
                const size_t span = std::min<size_t>(file.size(), rng() % 2 ? 64 : file.size());
                file[rng() % span] = static_cast<unsigned char>(rng() % 3 ? rng() : (rng() % 2 ? 0 : 255));
            }
            if (rng() % 5 == 0)
                file.resize(rng() % file.size());
            const std::string name = std::to_string(round) + seed.first;
            const CImage *before = box->GetImage();
            const int ok = box->SetImage(dir.Write(name, file).c_str());
            const std::vector<std::string> alerts = TakeAlerts();
            if (ok) {
                ++loaded;
                const CImage *img = box->GetImage();
                ASSERT_NE(img, nullptr) << name;
                ASSERT_TRUE(img->width >= 1 && img->height >= 1) << name;
                ASSERT_TRUE(img->bpp == 8 || img->bpp == 24 || img->bpp == 32) << name;
                ASSERT_EQ(box->w(), img->width) << name;
                ASSERT_TRUE(alerts.empty()) << name;
            } else {
                ++refused;
                ASSERT_EQ(box->GetImage(), before) << name;
                ASSERT_EQ(alerts.size(), 1u) << name;
            }
        }
    }
    // The mutations must exercise both outcomes to mean anything.
    EXPECT_GT(loaded, 50);
    EXPECT_GT(refused, 50);
}

}  // namespace
