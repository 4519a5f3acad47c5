// screen_test.cpp: what the three widgets put on the screen, read back from
// the window: the image at 100 % and 200 % with its cursor mark, the
// thumbnail inside its margin, the empty preview's diagonal, and the
// histogram bars and ramps.
#include <gtest/gtest.h>  // before the toolkit, whose X11 macros clash with it

#include <FL/Fl.H>
#include <FL/Fl_Double_Window.H>
#include <FL/fl_draw.H>

#include <cstdlib>
#include <memory>

#include "widget_test_util.h"
#include "widgets/CHistoBoxFL.h"
#include "widgets/CImageBoxFL.h"
#include "widgets/CImgPreviewBoxFL.h"

namespace {

using widget_test::MakeImage;
using widget_test::Rgb;
using widget_test::ShowAndRead;
using widget_test::TempDir;

Rgb ColourOf(Fl_Color c)
{
    uchar r, g, b;
    Fl::get_color(c, r, g, b);
    return {r, g, b};
}

const Rgb kBlack{0, 0, 0};
const Rgb kRed{255, 0, 0};
const Rgb kWhite{255, 255, 255};

// A picture whose neighbouring pixels all differ, away from black, red and
// white so that the mark stands out.
std::unique_ptr<CImage> Pattern(int w, int h)
{
    return MakeImage(w, h, 24, [](int x, int y, int c) { return 20 + ((x * 37 + y * 11 + c * 60) % 200); });
}

Rgb SourcePixel(const CImage &img, int x, int y)
{
    const unsigned char *p = img.data + (static_cast<size_t>(y) * img.width + x) * 3;
    return {p[0], p[1], p[2]};
}

class ImageOnScreen : public ::testing::Test {
protected:
    void Load(const CImage &img)
    {
        const std::string path = dir.Path("p.tga");
        ASSERT_EQ(CImage::SaveTGA(const_cast<CImage *>(&img), path.c_str()), CImage::kOk);
        ASSERT_EQ(box->SetImage(path.c_str()), 1);
    }
    // True when (x, y) of the view lies in the 9 x 9 square of the mark.
    bool UnderMark(int x, int y) const
    {
        return std::abs(x - box->CurseurX()) <= 4 && std::abs(y - box->CurseurY()) <= 4;
    }

    TempDir dir;
    Fl_Double_Window win{300, 250};
    CImageBoxFL *box = new CImageBoxFL(10, 20, 20, 20);
    void SetUpWindow() { win.color(FL_WHITE); }
};

void ExpectMark(const std::vector<Rgb> &px, int stride, int cx, int cy)
{
    auto at = [&](int x, int y) { return px[static_cast<size_t>(y) * stride + x]; };
    for (int d = -4; d <= 4; ++d) {
        EXPECT_EQ(at(cx + d, cy - 4), kBlack) << d;
        EXPECT_EQ(at(cx + d, cy + 4), kBlack) << d;
        EXPECT_EQ(at(cx - 4, cy + d), kBlack) << d;
        EXPECT_EQ(at(cx + 4, cy + d), kBlack) << d;
    }
    for (int d = -3; d <= 3; ++d) {
        EXPECT_EQ(at(cx + d, cy + d), kRed) << d;
        EXPECT_EQ(at(cx + d, cy - d), kRed) << d;
    }
}

TEST_F(ImageOnScreen, PictureAtFullSizeWithItsMark)
{
    SetUpWindow();
    auto img = Pattern(41, 31);
    Load(*img);
    const auto px = ShowAndRead(win, box->x(), box->y(), 41, 31);
    for (int y = 0; y < 31; ++y)
        for (int x = 0; x < 41; ++x)
            if (!UnderMark(x, y)) {
                ASSERT_EQ(px[y * 41 + x], SourcePixel(*img, x, y)) << x << "," << y;
            }
    ExpectMark(px, 41, 20, 15);
    // Inside the square, off the cross, the picture shows through.
    EXPECT_EQ(px[(15 - 2) * 41 + 20], SourcePixel(*img, 20, 13));
}

TEST_F(ImageOnScreen, PictureAtTwoHundredPercent)
{
    SetUpWindow();
    auto img = Pattern(30, 20);
    Load(*img);
    box->Zoom(200);
    const auto px = ShowAndRead(win, box->x(), box->y(), 60, 40);
    for (int y = 0; y < 40; ++y)
        for (int x = 0; x < 60; ++x)
            if (!UnderMark(x, y)) {
                ASSERT_EQ(px[y * 60 + x], SourcePixel(*img, x / 2, y / 2)) << x << "," << y;
            }
    ExpectMark(px, 60, 30, 20);
    // Nothing beyond the scaled picture: the window's background.
    const auto right = ShowAndRead(win, box->x() + 60, box->y(), 5, 40);
    for (const Rgb &p : right)
        ASSERT_EQ(p, kWhite);
}

TEST_F(ImageOnScreen, ClickMovesTheMark)
{
    SetUpWindow();
    Load(*Pattern(40, 40));
    Fl::e_x = box->x() + 8;
    Fl::e_y = box->y() + 30;
    box->handle(FL_PUSH);
    const auto px = ShowAndRead(win, box->x(), box->y(), 40, 40);
    ExpectMark(px, 40, 8, 30);
}

TEST_F(ImageOnScreen, GreyPictureIsDrawnGrey)
{
    SetUpWindow();
    const std::string path = dir.Path("g.tga");
    auto img = MakeImage(30, 12, 8, [](int x, int, int) { return 5 * x + 40; });
    ASSERT_EQ(CImage::SaveTGA(img.get(), path.c_str()), CImage::kOk);
    ASSERT_EQ(box->SetImage(path.c_str()), 1);
    const auto px = ShowAndRead(win, box->x(), box->y(), 30, 2);
    for (int x = 0; x < 30; ++x)
        EXPECT_EQ(px[x], (Rgb{5 * x + 40, 5 * x + 40, 5 * x + 40})) << x;
}

TEST_F(ImageOnScreen, ClosedViewDrawsNothing)
{
    SetUpWindow();
    Load(*Pattern(40, 40));
    box->Close();
    for (const Rgb &p : ShowAndRead(win, box->x(), box->y(), 40, 40))
        ASSERT_EQ(p, kWhite);
}

class PreviewOnScreen : public ::testing::Test {
protected:
    PreviewOnScreen()
    {
        win.color(FL_WHITE);
        box->box(FL_THIN_DOWN_BOX);
        box->color(FL_GRAY);
    }
    Fl_Double_Window win{200, 160};
    CImgPreviewBoxFL *box = new CImgPreviewBoxFL(16, 20, 165, 126, "Preview");
};

TEST_F(PreviewOnScreen, ThumbnailSitsInsideAThreePixelMargin)
{
    auto img = MakeImage(500, 300, 24, [](int x, int y, int c) { return (x + 2 * y + 80 * c) & 255; });
    box->SetImage(img.get());
    const CImage *thumb = box->GetImage();
    const auto px = ShowAndRead(win, box->x(), box->y(), 165, 126);
    for (int y = 0; y < 126; ++y) {
        for (int x = 0; x < 165; ++x) {
            const bool inside = x >= 3 && x < 162 && y >= 3 && y < 123;
            if (inside) {
                ASSERT_EQ(px[y * 165 + x], SourcePixel(*thumb, x - 3, y - 3)) << x << "," << y;
            } else if (x >= 2 && x < 163 && y >= 2 && y < 124) {
                // The margin ring right around the thumbnail is the box's
                // own grey.
                ASSERT_EQ(px[y * 165 + x], ColourOf(FL_GRAY)) << x << "," << y;
            }
        }
    }
}

TEST_F(PreviewOnScreen, EmptyPreviewShowsItsDiagonal)
{
    box->SetImage(nullptr);
    const auto px = ShowAndRead(win, box->x(), box->y(), 165, 126);
    const Rgb line = ColourOf(fl_color_average(FL_GRAY, FL_BLACK, 0.67f));
    ASSERT_NE(line, ColourOf(FL_GRAY));
    // Each column of the diagonal from (1, 1) to (164, 125) has its point.
    for (int x = 2; x < 163; ++x) {
        const int y = 1 + (x - 1) * 124 / 163;
        bool found = false;
        for (int dy = -1; dy <= 1; ++dy)
            found = found || px[(y + dy) * 165 + x] == line;
        ASSERT_TRUE(found) << x;
    }
    // Away from it, the box is plain.
    EXPECT_EQ(px[100 * 165 + 20], ColourOf(FL_GRAY));
    EXPECT_EQ(px[20 * 165 + 100], ColourOf(FL_GRAY));
}

class HistoOnScreen : public ::testing::Test {
protected:
    HistoOnScreen() { win.color(FL_WHITE); }
    Fl_Double_Window win{560, 880};
    CHistoBoxFL *box = new CHistoBoxFL(0, 0, 49, 25);
};

bool ColumnBlack(const std::vector<Rgb> &px, int stride, int x, int y0, int y1)
{
    for (int y = y0; y <= y1; ++y)
        if (!(px[y * stride + x] == kBlack))
            return false;
    return true;
}

bool ColumnHasNoBlack(const std::vector<Rgb> &px, int stride, int x, int y0, int y1)
{
    for (int y = y0; y <= y1; ++y)
        if (px[y * stride + x] == kBlack)
            return false;
    return true;
}

// 1000 pixels of 10 and 500 of 20: the bars of value 10 and 20 are 150 and
// 75 pixels high above the luminosity baseline at y 205.
TEST_F(HistoOnScreen, BarsAreScaledToTheMostFrequentValue)
{
    auto img = MakeImage(1500, 1, 8, [](int x, int, int) { return x < 1000 ? 10 : 20; });
    box->SetImage(img.get());
    box->SetImagePath("/tmp/bars.pgm");
    const auto px = ShowAndRead(win, 0, 0, 560, 880);
    EXPECT_EQ(box->w(), 530);
    EXPECT_EQ(box->h(), 850);
    const int stride = 560;
    EXPECT_TRUE(ColumnBlack(px, stride, 30, 56, 204));     // value 10: x 30
    EXPECT_TRUE(ColumnHasNoBlack(px, stride, 30, 45, 53));
    EXPECT_TRUE(ColumnBlack(px, stride, 50, 131, 204));    // value 20: x 50
    EXPECT_TRUE(ColumnHasNoBlack(px, stride, 50, 60, 128));
    EXPECT_TRUE(ColumnHasNoBlack(px, stride, 40, 60, 204));  // value 15 never occurs
    // The grey ramp under the baseline: value 100 at x 210, grey 100.
    bool ramp = false;
    for (int y = 207; y <= 215; ++y)
        ramp = ramp || px[y * stride + 210] == (Rgb{100, 100, 100});
    EXPECT_TRUE(ramp);
}

// Red and green hidden: the blue band moves up to the second place, its
// ramp runs from black to blue, and the widget is 450 pixels high.
TEST_F(HistoOnScreen, HiddenLayersCloseTheirBands)
{
    auto img = MakeImage(16, 16, 24, [](int x, int y, int c) { return c == 2 ? 200 : (x * 16 + y); });
    box->SetImage(img.get());
    box->SetImagePath("/tmp/c.bmp");
    box->SetAff(1, 0);
    box->SetAff(2, 0);
    const auto px = ShowAndRead(win, 0, 0, 560, 880);
    EXPECT_EQ(box->h(), 450);
    const int stride = 560;
    // Every blue value is 200: one bar of 150 at x 410 above y 405.
    EXPECT_TRUE(ColumnBlack(px, stride, 410, 256, 404));
    EXPECT_TRUE(ColumnHasNoBlack(px, stride, 408, 256, 404));
    bool blueRamp = false;
    for (int y = 407; y <= 415; ++y)
        blueRamp = blueRamp || px[y * stride + 410] == (Rgb{0, 0, 200});
    EXPECT_TRUE(blueRamp);
    // Below the widget's new height nothing is drawn.
    for (int y = 460; y < 880; y += 7)
        for (int x = 0; x < 540; x += 5)
            ASSERT_EQ(px[y * stride + x], kWhite) << x << "," << y;
}

TEST_F(HistoOnScreen, NothingIsDrawnWithoutAPath)
{
    auto img = MakeImage(4, 4, 24, [](int, int, int) { return 0; });
    box->SetImage(img.get());
    box->resize(0, 0, 530, 850);
    const auto px = ShowAndRead(win, 0, 0, 560, 300);
    for (const Rgb &p : px)
        ASSERT_EQ(p, kWhite);
}

}  // namespace
