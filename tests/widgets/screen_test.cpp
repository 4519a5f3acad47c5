// screen_test.cpp: what the preview and histogram widgets put on the
// screen, read back from the window: the thumbnail inside its margin, the
// empty preview's diagonal, and the histogram bars and ramps.
#include <gtest/gtest.h>  // before the toolkit, whose X11 macros clash with it

#include <FL/Fl.H>
#include <FL/Fl_Double_Window.H>
#include <FL/fl_draw.H>

#include <cstdlib>
#include <memory>

#include "widget_test_util.h"
#include "widgets/CHistoBoxFL.h"
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
const Rgb kWhite{255, 255, 255};

Rgb SourcePixel(const CImage &img, int x, int y)
{
    const unsigned char *p = img.data + (static_cast<size_t>(y) * img.width + x) * 3;
    return {p[0], p[1], p[2]};
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
