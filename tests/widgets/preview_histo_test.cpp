// preview_histo_test.cpp: the preview's thumbnail and the histogram view's
// texts, sizes and bands, without looking at the screen.
#include <gtest/gtest.h>  // before the toolkit, whose X11 macros clash with it

#include <FL/Fl_Double_Window.H>
#include <FL/Fl_RGB_Image.H>
#include <FL/fl_draw.H>

#include <cstring>
#include <memory>
#include <string>

#include "processing/histogramme.h"
#include "widget_test_util.h"
#include "widgets/CHistoBoxFL.h"
#include "widgets/CImgPreviewBoxFL.h"

namespace {

using widget_test::MakeImage;

class PreviewTest : public ::testing::Test {
protected:
    Fl_Double_Window win{300, 200};
    CImgPreviewBoxFL *box = new CImgPreviewBoxFL(16, 108, 165, 126, "Preview");
};

TEST_F(PreviewTest, StartsWithoutThumbnail) { EXPECT_EQ(box->GetImage(), nullptr); }

TEST_F(PreviewTest, WidePictureIsStretchedTo159By120)
{
    auto img = MakeImage(1000, 100, 24, [](int x, int y, int c) { return x + y + c; });
    box->SetImage(img.get());
    const CImage *thumb = box->GetImage();
    ASSERT_NE(thumb, nullptr);
    EXPECT_EQ(thumb->width, 159);
    EXPECT_EQ(thumb->height, 120);
    EXPECT_EQ(thumb->bpp, 24);
    // The toolkit's own resampling to 159 x 120.
    Fl_RGB_Image wrapper(img->data, 1000, 100, 3);
    std::unique_ptr<Fl_Image> copy(wrapper.copy(159, 120));
    EXPECT_EQ(std::memcmp(thumb->data, copy->data()[0], thumb->ByteCount()), 0);
}

TEST_F(PreviewTest, SmallGreyPictureIsEnlargedAndStaysGrey)
{
    auto img = MakeImage(3, 2, 8, [](int x, int y, int) { return 10 * x + 100 * y; });
    box->SetImage(img.get());
    const CImage *thumb = box->GetImage();
    ASSERT_NE(thumb, nullptr);
    EXPECT_EQ(thumb->bpp, 8);
    EXPECT_EQ(thumb->width, 159);
    EXPECT_EQ(thumb->data[0], 0);
    EXPECT_EQ(thumb->data[158], 20);                  // last column: source column 2
    EXPECT_EQ(thumb->data[119 * 159 + 53], 110);      // bottom row, source (1, 1)
}

TEST_F(PreviewTest, ThumbnailIsACopyOfItsOwn)
{
    auto img = MakeImage(200, 150, 24, [](int, int, int) { return 42; });
    box->SetImage(img.get());
    std::memset(box->GetImage()->data, 0, box->GetImage()->ByteCount());
    for (size_t i = 0; i < img->ByteCount(); ++i)
        ASSERT_EQ(img->data[i], 42);
    box->SetImage(nullptr);
    EXPECT_EQ(box->GetImage(), nullptr);
    box->SetImage(img.get());
    box->Close();
    EXPECT_EQ(box->GetImage(), nullptr);
}

class HistoTest : public ::testing::Test {
protected:
    Fl_Double_Window win{600, 900};
    CHistoBoxFL *box = new CHistoBoxFL(0, 0, 49, 25);
};

TEST_F(HistoTest, StartsWithAllLayersAndNoPath)
{
    EXPECT_EQ(box->GetImagePath(), nullptr);
    EXPECT_EQ(box->GetHauteur(), 850);
    EXPECT_EQ(box->GetLargeur(), 10);
    for (int layer = 0; layer < 4; ++layer) {
        EXPECT_NE(box->GetAff(layer), 0);
        EXPECT_STREQ(box->GetText(layer), "");
    }
}

TEST_F(HistoTest, TextsOfAUniformColourPicture)
{
    auto img = MakeImage(10, 20, 24, [](int, int, int c) { return 10 * (c + 1); });
    box->SetImage(img.get());
    EXPECT_STREQ(box->GetInfos(), "Width = 10, Height = 20, Bits per pixel = 24");
    // (10, 20, 30) has luminosity trunc(7.07 + 4.04 + 2.73) = 13.
    EXPECT_STREQ(box->GetText(0), "Couche luminosité : Moyenne = 13, Min = 13, Max = 13");
    EXPECT_STREQ(box->GetText(1), "Couche rouge : Moyenne = 10, Min = 10, Max = 10");
    EXPECT_STREQ(box->GetText(2), "Couche verte : Moyenne = 20, Min = 20, Max = 20");
    EXPECT_STREQ(box->GetText(3), "Couche bleue : Moyenne = 30, Min = 30, Max = 30");
}

TEST_F(HistoTest, TextsAreReplacedByTheNextPicture)
{
    auto first = MakeImage(2, 2, 24, [](int, int, int) { return 200; });
    auto second = MakeImage(3, 1, 8, [](int x, int, int) { return 10 * x; });
    box->SetImage(first.get());
    box->SetImage(second.get());
    EXPECT_STREQ(box->GetInfos(), "Width = 3, Height = 1, Bits per pixel = 8");
    // At 8 bits the luminosity is the grey byte itself.
    EXPECT_STREQ(box->GetText(0), "Couche luminosité : Moyenne = 10, Min = 0, Max = 20");
}

TEST_F(HistoTest, LayerTogglesMoveTheHeightByBands)
{
    box->SetAff(1, 0);
    box->SetAff(2, 0);
    EXPECT_EQ(box->GetHauteur(), 450);
    EXPECT_EQ(box->GetAff(1), 0);
    box->SetAff(0, 0);
    box->SetAff(3, 0);
    EXPECT_EQ(box->GetHauteur(), 50);
    // Each call moves the height, whatever the flag was.
    box->SetAff(3, 1);
    box->SetAff(3, 1);
    EXPECT_EQ(box->GetHauteur(), 450);
    // Layers outside 0 to 3 are ignored.
    box->SetAff(4, 1);
    box->SetAff(-1, 0);
    EXPECT_EQ(box->GetHauteur(), 450);
}

TEST_F(HistoTest, PathSetsTheWidthInFourteenPointCourier)
{
    win.show();  // fonts need the display
    box->SetImagePath("/tmp/a.tga");
    EXPECT_STREQ(box->GetImagePath(), "/tmp/a.tga");
    EXPECT_EQ(box->GetLargeur(), 530);
    fl_font(FL_COURIER, 14);
    const double charWidth = fl_width("m");
    const std::string longPath(100, 'm');
    box->SetImagePath(longPath.c_str());
    EXPECT_EQ(box->GetLargeur(), static_cast<int>(100 * charWidth) + 10);
    EXPECT_GT(box->GetLargeur(), 530);
}

TEST_F(HistoTest, PathIsACopyEvenOfItsOwnText)
{
    char buffer[32] = "/home/user/photo.tga";
    box->SetImagePath(buffer);
    std::strcpy(buffer, "changed");
    EXPECT_STREQ(box->GetImagePath(), "/home/user/photo.tga");
    box->SetImagePath(box->GetImagePath());
    EXPECT_STREQ(box->GetImagePath(), "/home/user/photo.tga");
}

TEST_F(HistoTest, CloseDropsThePathAndSizeButKeepsTheTexts)
{
    auto img = MakeImage(4, 4, 24, [](int, int, int) { return 5; });
    box->SetImage(img.get());
    box->SetImagePath("/x/y.bmp");
    box->resize(0, 0, 530, 850);
    box->Close();
    EXPECT_EQ(box->GetImagePath(), nullptr);
    EXPECT_EQ(box->w(), 0);
    EXPECT_EQ(box->h(), 0);
    EXPECT_STREQ(box->GetInfos(), "Width = 4, Height = 4, Bits per pixel = 24");
}

}  // namespace
