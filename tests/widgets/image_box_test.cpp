// image_box_test.cpp: the image view's loading, sizes at each zoom, point,
// undo snapshot and closing, and how it keeps the picture in view inside a
// scroll group, without looking at the screen.
#include <gtest/gtest.h>  // before the toolkit, whose X11 macros clash with it

#include <FL/Fl.H>
#include <FL/Fl_Double_Window.H>
#include <FL/Fl_Scroll.H>

#include <cstring>
#include <memory>

#include "widget_test_util.h"
#include "widgets/CImageBoxFL.h"

namespace {

using widget_test::MakeImage;
using widget_test::TakeAlerts;
using widget_test::TempDir;

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
    void Click(int x, int y)
    {
        Fl::e_x = box->x() + x;
        Fl::e_y = box->y() + y;
        EXPECT_EQ(box->handle(FL_PUSH), 1);
    }
    std::pair<int, int> Point()
    {
        int x, y;
        box->GetCurseur(&x, &y);
        return {x, y};
    }

    TempDir dir;
    Fl_Double_Window win{400, 300};
    CImageBoxFL *box = new CImageBoxFL(10, 20, 50, 60);  // the window owns it
};

TEST_F(ImageBoxTest, LoadSizesTheWidgetAndCentresThePoint)
{
    ASSERT_EQ(box->SetImage(SaveTga("a.tga", 40, 30).c_str()), 1);
    box->Zoom(200);
    box->SaveUndo();
    ASSERT_EQ(box->SetImage(SaveTga("b.tga", 101, 50).c_str()), 1);
    EXPECT_EQ(box->w(), 101);
    EXPECT_EQ(box->h(), 50);
    EXPECT_EQ(box->x(), 10);
    EXPECT_EQ(box->GetZoom(), 1.0f);
    EXPECT_EQ(Point(), std::make_pair(50, 25));
    EXPECT_EQ(box->GetUndoImage(), nullptr);
    EXPECT_TRUE(TakeAlerts().empty());
}

// A failed opening says why and leaves the picture, its undo copy, its
// size, zoom and point exactly as they were.
TEST_F(ImageBoxTest, FailedLoadKeepsEverything)
{
    const std::string bad = "Impossible de charger cette image !\nFormat invalide.";
    const std::string missing = "Impossible de charger cette image !\nFichier introuvable ou illisible.";
    const struct {
        std::string path, alert;
    } cases[] = {
        {dir.Write("x.png", std::string("P6\n1 1\n255\nabc")), bad},
        {dir.Write("bad.tga", std::string("not a picture")), bad},
        {dir.Path("nowhere.tga"), missing},
        {dir.Path(""), missing},
    };
    ASSERT_EQ(box->SetImage(SaveTga("a.tga", 30, 20).c_str()), 1);
    box->SaveUndo();
    box->Zoom(150);
    Click(9, 12);
    const CImage *img = box->GetImage(), *undo = box->GetUndoImage();
    for (const auto &c : cases) {
        EXPECT_EQ(box->SetImage(c.path.c_str()), 0) << c.path;
        EXPECT_EQ(TakeAlerts(), std::vector<std::string>{c.alert}) << c.path;
        EXPECT_EQ(box->GetImage(), img);
        EXPECT_EQ(box->GetUndoImage(), undo);
        EXPECT_EQ(box->w(), 45);
        EXPECT_EQ(box->GetZoomPercent(), 150);
        EXPECT_EQ(Point(), std::make_pair(6, 8));
    }
}

// Sides follow the float factor's exact value, never below one pixel.
TEST_F(ImageBoxTest, SidesAtEachZoom)
{
    const struct {
        int w, h, percent, shownW, shownH;
    } cases[] = {
        {100, 101, 90, 89, 90}, {100, 101, 29, 28, 29}, {101, 100, 50, 50, 50},
        {4, 30, 20, 1, 6},      {3, 2, 300, 9, 6},      {20000, 2, 300, 60000, 6},
    };
    for (const auto &c : cases) {
        ASSERT_EQ(box->SetImage(SaveTga("a.tga", c.w, c.h).c_str()), 1);
        box->Zoom(c.percent);
        EXPECT_EQ(box->w(), c.shownW) << c.w << " at " << c.percent;
        EXPECT_EQ(box->h(), c.shownH) << c.h << " at " << c.percent;
    }
}

// A click sets the image pixel under the mouse; the point stays on that
// pixel through any number of zooms.
TEST_F(ImageBoxTest, ClickGivesTheImagePixelAndZoomsNeverMoveIt)
{
    const struct {
        int percent, clickX, clickY, x, y;
    } cases[] = {
        {100, 160, 120, 160, 120}, {300, 10, 20, 3, 6}, {30, 48, 36, 160, 120}, {90, 0, 0, 0, 0}, {20, 63, 47, 315, 235},
    };
    ASSERT_EQ(box->SetImage(SaveTga("a.tga", 320, 240).c_str()), 1);
    for (const auto &c : cases) {
        box->Zoom(c.percent);
        Click(c.clickX, c.clickY);
        EXPECT_EQ(Point(), std::make_pair(c.x, c.y)) << c.percent;
        for (int round = 0; round < 3; ++round)
            for (int percent : {100, 30, 170, 20, 300})
                box->Zoom(percent);
        EXPECT_EQ(Point(), std::make_pair(c.x, c.y)) << c.percent;
    }
    // Dragging and releasing do not move the point.
    Fl::e_x = box->x() + 5;
    EXPECT_EQ(box->handle(FL_DRAG), 0);
    EXPECT_EQ(box->handle(FL_RELEASE), 0);
    EXPECT_EQ(Point(), std::make_pair(315, 235));
}

// A change of the image's size carries the point along, inside the image.
TEST_F(ImageBoxTest, ResizeScalesThePoint)
{
    const struct {
        int w, h, x, y;
    } cases[] = {{640, 480, 200, 60}, {50, 40, 15, 5}, {1, 1, 0, 0}, {320, 240, 0, 0}};
    ASSERT_EQ(box->SetImage(SaveTga("a.tga", 320, 240).c_str()), 1);
    box->SetCurseur(100, 30);
    for (const auto &c : cases) {
        box->GetImage()->Replace(new unsigned char[size_t(c.w) * c.h * 3](), c.w, c.h, 24);
        box->ImageChange();
        EXPECT_EQ(Point(), std::make_pair(c.x, c.y)) << c.w << " x " << c.h;
    }
}

TEST_F(ImageBoxTest, UndoBringsBackTheSnapshotAndKeepsIt)
{
    ASSERT_EQ(box->SetImage(SaveTga("a.tga", 6, 5).c_str()), 1);
    const CImage *first = box->GetImage();
    const std::vector<unsigned char> original(first->data, first->data + first->ByteCount());
    auto pixels = [&] {
        const CImage *img = box->GetImage();
        return std::vector<unsigned char>(img->data, img->data + img->ByteCount());
    };
    box->Undo();  // nothing to undo yet
    EXPECT_EQ(pixels(), original);
    box->SaveUndo();
    box->EndChange(true);
    for (int fill : {0, 9}) {
        std::memset(box->GetImage()->data, fill, original.size());
        box->Undo();
        box->EndChange(true);
        EXPECT_EQ(pixels(), original);
    }
    EXPECT_NE(box->GetUndoImage()->data, box->GetImage()->data);
}

TEST_F(ImageBoxTest, CloseEmptiesTheViewKeepingTheZoom)
{
    ASSERT_EQ(box->SetImage(SaveTga("a.tga", 30, 30).c_str()), 1);
    box->Zoom(150);
    box->SaveUndo();
    box->Close();
    EXPECT_EQ(box->GetImage(), nullptr);
    EXPECT_EQ(box->GetUndoImage(), nullptr);
    EXPECT_EQ(box->w(), 0);
    EXPECT_EQ(box->h(), 0);
    EXPECT_EQ(box->GetZoomPercent(), 150);
    Fl::e_x = box->x() + 3;
    EXPECT_EQ(box->handle(FL_PUSH), 0);
}

// Inside a 200 x 150 scroll group: zooming keeps the centre of the view on
// the same place of the picture, and the scroll position never leaves the
// picture, whatever zoom or size of the group comes next.
class ViewInScroll : public ImageBoxTest {
protected:
    void SetUp() override
    {
        ImageBoxTest::SetUp();
        win.begin();
        scroll = new Fl_Scroll(0, 0, 200, 150);
        scroll->box(FL_NO_BOX);
        view = new CImageBoxFL(0, 0, 10, 10);
        scroll->end();
        win.end();
        ASSERT_EQ(view->SetImage(SaveTga("p.tga", 400, 300).c_str()), 1);
    }
    // The picture pixel at the centre of the visible area.
    std::pair<int, int> Centre() const
    {
        const int cx = std::min(view->w(), 200 - Fl::scrollbar_size()) / 2;
        const int cy = std::min(view->h(), 150 - Fl::scrollbar_size()) / 2;
        return {int(double(cx - view->x()) * 400 / view->w()), int(double(cy - view->y()) * 300 / view->h())};
    }
    Fl_Scroll *scroll = nullptr;
    CImageBoxFL *view = nullptr;
};

TEST_F(ViewInScroll, ZoomKeepsTheCentre)
{
    const struct {
        int scrollX, scrollY;
        int percents[3];
    } cases[] = {{100, 80, {200, 300, 150}}, {0, 0, {300, 250, 110}}, {200, 140, {120, 290, 200}}};
    for (const auto &c : cases) {
        view->Zoom(100);
        scroll->scroll_to(c.scrollX, c.scrollY);
        const auto centre = Centre();
        for (int percent : c.percents) {
            view->Zoom(percent);
            EXPECT_NEAR(Centre().first, centre.first, 1) << percent;
            EXPECT_NEAR(Centre().second, centre.second, 1) << percent;
        }
    }
}

TEST_F(ViewInScroll, ScrollStaysInsideThePicture)
{
    const struct {
        int percent, groupW, groupH;
    } cases[] = {{300, 200, 150}, {20, 200, 150}, {100, 500, 400}, {150, 700, 700}, {49, 200, 150}};
    for (const auto &c : cases) {
        view->Zoom(300);
        scroll->size(200, 150);
        scroll->scroll_to(1000, 800);
        view->Zoom(c.percent);
        scroll->size(c.groupW, c.groupH);
        // The picture's far corner is never above or left of the area's.
        const int bar = Fl::scrollbar_size();
        EXPECT_GE(view->x() + view->w(), std::min(view->w(), c.groupW - bar)) << c.percent;
        EXPECT_GE(view->y() + view->h(), std::min(view->h(), c.groupH - bar)) << c.percent;
        EXPECT_GE(scroll->xposition(), 0);
        EXPECT_GE(scroll->yposition(), 0);
    }
}

}  // namespace
