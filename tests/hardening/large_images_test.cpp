// large_images_test.cpp: the biggest pictures the program takes, through
// the real commands: a strip of 32767 × 2 pixels (the longest side a
// 16-bit size allows) and a 20000 × 20000 colour photo of 1.2 GB, which
// must open, turn, come back with undo and save byte for byte. Every size
// and offset on the way is past what 32-bit int arithmetic would survive.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "hardening_fixture.h"

namespace hardening {
namespace {

// Byte c of the pixel at column x, row y of the generated picture: rows
// and columns weigh differently, so that a turn or a flip shows.
inline unsigned char Expected(size_t x, size_t y, size_t c)
{
    return static_cast<unsigned char>(x * 3 + y * 7 + c * 101 + (x >> 8) * 13 + (y >> 8) * 5);
}

std::unique_ptr<CImage> Generated(int w, int h)
{
    auto img = std::make_unique<CImage>(w, h, 24);
    unsigned char *p = img->data;
    for (size_t y = 0; y < size_t(h); ++y)
        for (size_t x = 0; x < size_t(w); ++x)
            for (size_t c = 0; c < 3; ++c)
                *p++ = Expected(x, y, c);
    return img;
}

// First pixel where img differs from the generated picture seen through
// map (which gives the generated column and row of img's pixel x, y);
// empty when none does.
template <class Map>
std::string FirstDifference(const CImage &img, Map map)
{
    const unsigned char *p = img.data;
    for (size_t y = 0; y < size_t(img.height); ++y)
        for (size_t x = 0; x < size_t(img.width); ++x, p += 3) {
            size_t gx, gy;
            map(x, y, gx, gy);
            for (size_t c = 0; c < 3; ++c)
                if (p[c] != Expected(gx, gy, c))
                    return "pixel " + std::to_string(x) + ", " + std::to_string(y);
        }
    return "";
}

auto Same = [](size_t x, size_t y, size_t &gx, size_t &gy) {
    gx = x;
    gy = y;
};

// A TGA file of the generated picture must hold, after its 18-byte header,
// the rows bottom first in blue, green, red: checked while streaming.
std::string TgaFileDifference(const std::string &path, int w, int h)
{
    FILE *f = std::fopen(path.c_str(), "rb");
    if (!f)
        return "cannot read " + path;
    std::vector<unsigned char> row(size_t(w) * 3);
    unsigned char header[18];
    std::string problem;
    if (std::fread(header, 1, 18, f) != 18 || header[2] != 2 || header[16] != 24 ||
        (header[12] | header[13] << 8) != w || (header[14] | header[15] << 8) != h)
        problem = "bad header";
    for (size_t r = 0; problem.empty() && r < size_t(h); ++r) {
        if (std::fread(row.data(), 1, row.size(), f) != row.size()) {
            problem = "short file";
            break;
        }
        const size_t y = size_t(h) - 1 - r;
        for (size_t x = 0; x < size_t(w) && problem.empty(); ++x)
            for (size_t c = 0; c < 3; ++c)
                if (row[x * 3 + c] != Expected(x, y, 2 - c))
                    problem = "file pixel " + std::to_string(x) + ", " + std::to_string(y);
    }
    if (problem.empty() && std::fgetc(f) != EOF)
        problem = "file longer than its pixels";
    std::fclose(f);
    return problem;
}

class LargeImages : public HardeningTest {
protected:
    // Writes the generated picture as a TGA file and opens it.
    void OpenGenerated(int w, int h, const std::string &file)
    {
        {
            std::unique_ptr<CImage> img = Generated(w, h);
            ASSERT_EQ(CImage::SaveTGA(img.get(), Path(file).c_str()), CImage::kOk);
        }
        Open(Path(file));
        ASSERT_NE(ui->getImage(), nullptr);
        ASSERT_EQ(ui->getImage()->width, w);
        ASSERT_EQ(ui->getImage()->height, h);
        EXPECT_TRUE(Fake().alerts.empty());
    }
    void PickByName(const char *path)
    {
        const Fl_Menu_Item *item = ui->menuBar->find_item(path);
        ASSERT_NE(item, nullptr) << path;
        Pick(item);
    }
};

TEST_F(LargeImages, LongestStripOpensZoomsTurnsUndoesAndSaves)
{
    const int w = 32767, h = 2;
    OpenGenerated(w, h, "strip.tga");
    EXPECT_EQ(FirstDifference(*ui->getImage(), Same), "");
    EXPECT_EQ(StatusText(), "strip.tga (32767x2 24bpp)");
    ExpectConsistent();

    // The view draws what is visible, so every zoom of the slider holds.
    PickByName("&Affichage/&Agrandir");
    EXPECT_EQ(ui->box_image->w(), 36043);
    ExpectConsistent();
    ui->sl_zoom->value(300);
    ui->sl_zoom->do_callback();
    ExpectConsistent();
    // Fitting to the view gives the lowest zoom, where the two rows make
    // less than one: the view keeps one row.
    PickByName("&Affichage/Taill&e écran");
    EXPECT_EQ(ui->box_image->GetZoomPercent(), 20);
    EXPECT_EQ(ui->box_image->h(), 1);
    ExpectConsistent();

    PickByName("&Image/R&otation/&90° horaire");
    ASSERT_EQ(ui->getImage()->width, h);
    ASSERT_EQ(ui->getImage()->height, w);
    EXPECT_EQ(FirstDifference(*ui->getImage(),
                              [&](size_t x, size_t y, size_t &gx, size_t &gy) {
                                  gx = y;
                                  gy = size_t(h) - 1 - x;
                              }),
              "");
    ExpectConsistent();
    PickByName("&Image/&Annuler action");
    EXPECT_EQ(FirstDifference(*ui->getImage(), Same), "");
    ExpectConsistent();

    SaveTGA(Path("strip_saved.tga"));
    EXPECT_TRUE(Fake().alerts.empty());
    EXPECT_EQ(TgaFileDifference(Path("strip_saved.tga"), w, h), "");
    SaveBMP(Path("strip_saved.bmp"));
    EXPECT_TRUE(Fake().alerts.empty());
    // 32767 × 3 bytes a row, padded to 98304.
    EXPECT_EQ(std::filesystem::file_size(Path("strip_saved.bmp")), 54u + 2u * 98304u);
    Open(Path("strip_saved.bmp"));
    ASSERT_NE(ui->getImage(), nullptr);
    EXPECT_EQ(FirstDifference(*ui->getImage(), Same), "");
    ExpectConsistent();
}

TEST_F(LargeImages, PhotoOfOnePointTwoGigabytesOpensTurnsUndoesAndSaves)
{
    if (UnderSanitizer())
        GTEST_SKIP() << "1.2 GB pictures take minutes under the address sanitizer";
    const int side = 20000;
    // Files of this size go to the disk's temporary folder, not to memory.
    std::filesystem::remove_all(dir);
    char pattern[] = "/tmp/mirlan_large_XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    dir = pattern;
    OpenGenerated(side, side, "photo.tga");
    std::filesystem::remove(Path("photo.tga"));
    EXPECT_EQ(ui->getImage()->ByteCount(), size_t(1200000000));
    EXPECT_EQ(FirstDifference(*ui->getImage(), Same), "");
    ExpectConsistent();

    PickByName("&Image/R&otation/&90° horaire");
    EXPECT_EQ(FirstDifference(*ui->getImage(),
                              [&](size_t x, size_t y, size_t &gx, size_t &gy) {
                                  gx = y;
                                  gy = size_t(side) - 1 - x;
                              }),
              "");
    ExpectConsistent();
    PickByName("&Image/&Annuler action");
    EXPECT_EQ(FirstDifference(*ui->getImage(), Same), "");
    ExpectConsistent();

    SaveTGA(Path("saved.tga"));
    EXPECT_TRUE(Fake().alerts.empty());
    EXPECT_EQ(StatusText(), "saved.tga (20000x20000 24bpp)");
    EXPECT_EQ(TgaFileDifference(Path("saved.tga"), side, side), "");
}

}  // namespace
}  // namespace hardening
