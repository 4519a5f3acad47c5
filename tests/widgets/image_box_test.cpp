// image_box_test.cpp: the image view's loading, sizes, zoom arithmetic,
// cursor, undo snapshot and closing, without looking at the screen.
#include <gtest/gtest.h>  // before the toolkit, whose X11 macros clash with it

#include <FL/Fl.H>
#include <FL/Fl_Double_Window.H>

#include <cstring>
#include <memory>

#include "widget_test_util.h"
#include "widgets/CImageBoxFL.h"

namespace {

using widget_test::MakeImage;
using widget_test::TakeAlerts;
using widget_test::TempDir;

const char kLoadFailed[] = "Impossible de charger cette image !\nFormat invalide.";

class ImageBoxTest : public ::testing::Test {
protected:
    void SetUp() override { TakeAlerts(); }

    // A TGA file of a w x h picture whose pixels all differ.
    std::string SaveTga(const std::string &name, int w, int h, int bpp = 24)
    {
        auto img = MakeImage(w, h, bpp, [](int x, int y, int c) { return (x * 7 + y * 13 + c * 50) & 255; });
        const std::string path = dir.Path(name);
        EXPECT_EQ(CImage::SaveTGA(img.get(), path.c_str()), CImage::kOk);
        return path;
    }

    TempDir dir;
    Fl_Double_Window win{400, 300};
    CImageBoxFL *box = new CImageBoxFL(10, 20, 50, 60);  // the window owns it
};

TEST_F(ImageBoxTest, StartsEmptyAtItsPosition)
{
    EXPECT_EQ(box->x(), 10);
    EXPECT_EQ(box->y(), 20);
    EXPECT_EQ(box->w(), 0);
    EXPECT_EQ(box->h(), 0);
    EXPECT_EQ(box->GetImage(), nullptr);
    EXPECT_EQ(box->GetZoom(), 1.0f);
    int cx = -1, cy = -1;
    box->GetCurseur(&cx, &cy);
    EXPECT_EQ(cx, 0);
    EXPECT_EQ(cy, 0);
}

TEST_F(ImageBoxTest, LoadSizesTheWidgetAndCentresTheCursor)
{
    ASSERT_EQ(box->SetImage(SaveTga("a.tga", 101, 50).c_str()), 1);
    EXPECT_EQ(box->w(), 101);
    EXPECT_EQ(box->h(), 50);
    EXPECT_EQ(box->x(), 10);
    EXPECT_EQ(box->GetZoom(), 1.0f);
    EXPECT_EQ(box->CurseurX(), 50);
    EXPECT_EQ(box->CurseurY(), 25);
    ASSERT_NE(box->GetZoomImage(), nullptr);
    EXPECT_EQ(std::memcmp(box->GetZoomImage()->data, box->GetImage()->data, box->GetImage()->ByteCount()), 0);
    EXPECT_TRUE(TakeAlerts().empty());
}

TEST_F(ImageBoxTest, LoadResetsZoomAndDropsTheUndoSnapshot)
{
    ASSERT_EQ(box->SetImage(SaveTga("a.tga", 40, 30).c_str()), 1);
    box->Zoom(200);
    box->SaveUndo();
    ASSERT_EQ(box->SetImage(SaveTga("b.tga", 20, 10).c_str()), 1);
    EXPECT_EQ(box->GetZoom(), 1.0f);
    EXPECT_EQ(box->w(), 20);
    EXPECT_EQ(box->GetUndoImage(), nullptr);
}

TEST_F(ImageBoxTest, UnknownExtensionsFailWithTheAlertWhateverTheContent)
{
    const std::string tga = SaveTga("good.tga", 8, 8);
    std::vector<unsigned char> bytes;
    {
        FILE *fp = std::fopen(tga.c_str(), "rb");
        int c;
        while ((c = std::fgetc(fp)) != EOF)
            bytes.push_back(static_cast<unsigned char>(c));
        std::fclose(fp);
    }
    ASSERT_EQ(box->SetImage(tga.c_str()), 1);
    for (const char *name : {"x.png", "x.bm", "x.gif", "x", "x.tga.txt"}) {
        EXPECT_EQ(box->SetImage(dir.Write(name, bytes).c_str()), 0) << name;
        EXPECT_EQ(box->w(), 0) << name;
        EXPECT_EQ(box->h(), 0) << name;
        EXPECT_EQ(box->GetImage(), nullptr) << name;
        EXPECT_EQ(box->GetZoomImage(), nullptr) << name;
        EXPECT_EQ(TakeAlerts(), std::vector<std::string>{kLoadFailed}) << name;
    }
}

TEST_F(ImageBoxTest, FailedLoadDropsAllThreeImagesButKeepsTheCursor)
{
    ASSERT_EQ(box->SetImage(SaveTga("a.tga", 30, 20).c_str()), 1);
    box->SaveUndo();
    EXPECT_EQ(box->SetImage(dir.Write("bad.tga", std::string("not a picture")).c_str()), 0);
    EXPECT_EQ(box->GetImage(), nullptr);
    EXPECT_EQ(box->GetZoomImage(), nullptr);
    EXPECT_EQ(box->GetUndoImage(), nullptr);
    EXPECT_EQ(box->CurseurX(), 15);
    EXPECT_EQ(box->CurseurY(), 10);
    EXPECT_EQ(TakeAlerts().size(), 1u);
    // With nothing loaded, the commands that need an image do nothing.
    box->SaveUndo();
    box->Undo();
    box->ImageChange();
    EXPECT_EQ(box->GetImage(), nullptr);
    EXPECT_EQ(box->w(), 0);
}

TEST_F(ImageBoxTest, ZoomTwiceAndBackConvertsTheCursor)
{
    ASSERT_EQ(box->SetImage(SaveTga("a.tga", 100, 80).c_str()), 1);
    Fl::e_x = box->x() + 5;
    Fl::e_y = box->y() + 7;
    EXPECT_EQ(box->handle(FL_PUSH), 1);
    box->Zoom(200);
    EXPECT_EQ(box->w(), 200);
    EXPECT_EQ(box->h(), 160);
    EXPECT_EQ(box->CurseurX(), 10);
    EXPECT_EQ(box->CurseurY(), 14);
    box->Zoom(100);
    EXPECT_EQ(box->CurseurX(), 5);
    EXPECT_EQ(box->CurseurY(), 7);
    EXPECT_EQ(box->w(), 100);
}

// The float factor's rounding shows in the sizes.
TEST_F(ImageBoxTest, ZoomSidesFollowTheFloatFactor)
{
    ASSERT_EQ(box->SetImage(SaveTga("a.tga", 100, 101).c_str()), 1);
    box->Zoom(90);
    EXPECT_EQ(box->w(), 89);
    box->Zoom(29);
    EXPECT_EQ(box->w(), 28);
    box->Zoom(50);
    EXPECT_EQ(box->h(), 50);
    EXPECT_EQ(box->GetZoomImage()->width, box->w());
    EXPECT_EQ(box->GetZoomImage()->height, box->h());
    EXPECT_EQ(box->GetZoomPercent(), 50);
}

TEST_F(ImageBoxTest, ScaledCopyRepeatsPixelsAtTwoHundredPercent)
{
    ASSERT_EQ(box->SetImage(SaveTga("a.tga", 3, 2).c_str()), 1);
    box->Zoom(200);
    const CImage *src = box->GetImage(), *zoomed = box->GetZoomImage();
    ASSERT_EQ(zoomed->width, 6);
    ASSERT_EQ(zoomed->height, 4);
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 6; ++x)
            for (int c = 0; c < 3; ++c)
                ASSERT_EQ(zoomed->data[(y * 6 + x) * 3 + c], src->data[((y / 2) * 3 + x / 2) * 3 + c]);
}

TEST_F(ImageBoxTest, ClickAtThreeHundredPercentGivesSourcePixel)
{
    ASSERT_EQ(box->SetImage(SaveTga("a.tga", 50, 50).c_str()), 1);
    box->Zoom(300);
    Fl::e_x = box->x() + 10;
    Fl::e_y = box->y() + 20;
    EXPECT_EQ(box->handle(FL_PUSH), 1);
    int cx, cy;
    box->GetCurseur(&cx, &cy);
    EXPECT_EQ(cx, 3);
    EXPECT_EQ(cy, 6);
    // Dragging and releasing do not move the point.
    Fl::e_x = box->x() + 40;
    EXPECT_EQ(box->handle(FL_DRAG), 0);
    EXPECT_EQ(box->handle(FL_RELEASE), 0);
    EXPECT_EQ(box->CurseurX(), 10);
}

TEST_F(ImageBoxTest, ZoomWithoutImageOnlyRecordsTheFactor)
{
    box->Zoom(250);
    EXPECT_EQ(box->GetZoom(), 2.5f);
    EXPECT_EQ(box->w(), 0);
    EXPECT_EQ(box->GetZoomImage(), nullptr);
}

// A side that would shrink to nothing keeps one pixel, so that there is
// always a picture to draw.
TEST_F(ImageBoxTest, TinyZoomKeepsAtLeastOnePixelASide)
{
    ASSERT_EQ(box->SetImage(SaveTga("a.tga", 4, 30).c_str()), 1);
    box->Zoom(20);
    EXPECT_EQ(box->w(), 1);
    EXPECT_EQ(box->h(), 6);
    ASSERT_NE(box->GetZoomImage(), nullptr);
    EXPECT_EQ(box->GetZoomImage()->width, 1);
    box->Zoom(0);  // a factor of 0 is taken as 1 %
    EXPECT_EQ(box->GetZoomPercent(), 1);
    EXPECT_EQ(box->w(), 1);
    EXPECT_EQ(box->h(), 1);
}

// A side that would pass 32767 lowers the zoom to the largest whole percent
// that fits, which the zoom slider then shows.
TEST_F(ImageBoxTest, HugeZoomIsBoundedToTheLargestSide)
{
    ASSERT_EQ(box->SetImage(SaveTga("wide.tga", 20000, 2).c_str()), 1);
    box->Zoom(300);
    EXPECT_EQ(box->GetZoomPercent(), 163);
    EXPECT_EQ(box->w(), 32599);  // 1.63f is a little below 1.63
    EXPECT_EQ(box->h(), 3);
    EXPECT_LE(box->GetZoomImage()->width, CImageBoxFL::kMaxSide);
    box->Zoom(150);
    EXPECT_EQ(box->GetZoomPercent(), 150);
    EXPECT_EQ(box->w(), 30000);
}

TEST_F(ImageBoxTest, AbsurdZoomsStayWithinTheLimits)
{
    ASSERT_EQ(box->SetImage(SaveTga("a.tga", 20000, 1).c_str()), 1);
    box->Zoom(2147483647);
    EXPECT_EQ(box->GetZoomPercent(), 163);
    EXPECT_EQ(box->h(), 1);
    EXPECT_EQ(box->GetZoomImage()->width, box->w());
    box->Zoom(-5);  // taken as 1 %; 0.01f is a little below 0.01
    EXPECT_EQ(box->GetZoomPercent(), 1);
    EXPECT_EQ(box->w(), 199);
}

TEST_F(ImageBoxTest, ImageChangeBoundsAZoomThatNoLongerFits)
{
    ASSERT_EQ(box->SetImage(SaveTga("a.tga", 100, 2).c_str()), 1);
    box->Zoom(300);
    // A command makes the picture much wider, as a resize would.
    auto wide = MakeImage(12000, 2, 24, [](int x, int, int) { return x; });
    unsigned char *pixels = new unsigned char[wide->ByteCount()];
    std::memcpy(pixels, wide->data, wide->ByteCount());
    box->GetImage()->Replace(pixels, 12000, 2, 24);
    box->ImageChange();
    EXPECT_EQ(box->GetZoomPercent(), 273);
    EXPECT_LE(box->w(), CImageBoxFL::kMaxSide);
    EXPECT_EQ(box->w(), 32760);
}

TEST_F(ImageBoxTest, ImageChangeRebuildsTheScaledCopyAtTheCurrentZoom)
{
    ASSERT_EQ(box->SetImage(SaveTga("a.tga", 10, 4).c_str()), 1);
    box->Zoom(200);
    std::memset(box->GetImage()->data, 77, box->GetImage()->ByteCount());
    box->ImageChange();
    EXPECT_EQ(box->w(), 20);
    EXPECT_EQ(box->GetZoomImage()->data[0], 77);
    EXPECT_EQ(box->GetZoomImage()->data[box->GetZoomImage()->ByteCount() - 1], 77);
    EXPECT_EQ(box->CurseurX(), 10);
}

TEST_F(ImageBoxTest, ImageChangeFollowsADepthChangeAtTheSameSize)
{
    ASSERT_EQ(box->SetImage(SaveTga("a.tga", 8, 6).c_str()), 1);
    box->Zoom(50);
    unsigned char *grey = new unsigned char[8 * 6];
    for (int i = 0; i < 48; ++i)
        grey[i] = static_cast<unsigned char>(i);
    box->GetImage()->Replace(grey, 8, 6, 8);
    box->ImageChange();
    const CImage *zoomed = box->GetZoomImage();
    ASSERT_EQ(zoomed->bpp, 8);
    ASSERT_EQ(zoomed->width, 4);
    ASSERT_EQ(zoomed->height, 3);
    EXPECT_EQ(zoomed->data[4 + 1], 2 * 8 + 2);  // (1, 1) shows source (2, 2)
}

TEST_F(ImageBoxTest, UndoBringsBackTheSnapshotAndKeepsIt)
{
    ASSERT_EQ(box->SetImage(SaveTga("a.tga", 6, 5).c_str()), 1);
    std::vector<unsigned char> original(box->GetImage()->data,
                                        box->GetImage()->data + box->GetImage()->ByteCount());
    box->Undo();  // nothing to undo yet
    EXPECT_EQ(std::vector<unsigned char>(box->GetImage()->data, box->GetImage()->data + original.size()),
              original);
    box->SaveUndo();
    std::memset(box->GetImage()->data, 0, original.size());
    box->Undo();
    EXPECT_EQ(std::vector<unsigned char>(box->GetImage()->data, box->GetImage()->data + original.size()),
              original);
    std::memset(box->GetImage()->data, 9, original.size());
    box->Undo();
    EXPECT_EQ(std::vector<unsigned char>(box->GetImage()->data, box->GetImage()->data + original.size()),
              original);
    // The snapshot is a copy of its own, not the image itself.
    EXPECT_NE(box->GetUndoImage()->data, box->GetImage()->data);
}

TEST_F(ImageBoxTest, CloseEmptiesTheViewKeepingTheZoom)
{
    ASSERT_EQ(box->SetImage(SaveTga("a.tga", 30, 30).c_str()), 1);
    box->Zoom(150);
    box->SaveUndo();
    box->Close();
    EXPECT_EQ(box->GetImage(), nullptr);
    EXPECT_EQ(box->GetZoomImage(), nullptr);
    EXPECT_EQ(box->GetUndoImage(), nullptr);
    EXPECT_EQ(box->w(), 0);
    EXPECT_EQ(box->h(), 0);
    EXPECT_EQ(box->CurseurX(), 0);
    EXPECT_EQ(box->GetZoomPercent(), 150);
    // No image, no cursor moves.
    Fl::e_x = box->x() + 3;
    EXPECT_EQ(box->handle(FL_PUSH), 0);
}

TEST_F(ImageBoxTest, GreyTgaKeepsItsDepthWhenScaled)
{
    ASSERT_EQ(box->SetImage(SaveTga("g.tga", 10, 10, 8).c_str()), 1);
    EXPECT_EQ(box->GetImage()->bpp, 8);
    box->Zoom(50);
    EXPECT_EQ(box->GetZoomImage()->bpp, 8);
    EXPECT_EQ(box->GetZoomImage()->width, 5);
}

}  // namespace
