// view_draw_test.cpp: what the image view puts on the screen inside its
// scroll group, read back from the window and compared pixel for pixel with
// the plain nearest-neighbour rule, at several zooms and scroll positions
// (up to the far end of a picture much wider than X's 16-bit coordinates
// reach), and its point's mark on a black picture.
#include <gtest/gtest.h>  // before the toolkit, whose X11 macros clash with it

#include <FL/Fl.H>
#include <FL/Fl_Double_Window.H>
#include <FL/Fl_Scroll.H>

#include <cstdlib>
#include <memory>

#include "widget_test_util.h"
#include "widgets/CImageBoxFL.h"

namespace {

using widget_test::MakeImage;
using widget_test::Rgb;
using widget_test::ShowAndRead;
using widget_test::TempDir;

const Rgb kWhite{255, 255, 255};
const int kAreaW = 300, kAreaH = 200;

class ViewOnScreen : public ::testing::Test {
protected:
    ViewOnScreen()
    {
        win.color(FL_WHITE);
        scroll->box(FL_NO_BOX);
        scroll->color(FL_WHITE);
        scroll->end();
        win.end();
    }
    const CImage &Load(int w, int h, int bpp, int (*value)(int, int, int))
    {
        auto img = MakeImage(w, h, bpp, value);
        const std::string path = dir.Path("p.tga");
        EXPECT_EQ(CImage::SaveTGA(img.get(), path.c_str()), CImage::kOk);
        EXPECT_EQ(view->SetImage(path.c_str()), 1);
        return *view->GetImage();
    }
    // Where the mark of the point is centred on the window.
    std::pair<long long, long long> Mark()
    {
        int px, py;
        view->GetCurseur(&px, &py);
        const CImage &img = *view->GetImage();
        return {view->x() + (2LL * px + 1) * view->w() / (2LL * img.width),
                view->y() + (2LL * py + 1) * view->h() / (2LL * img.height)};
    }

    TempDir dir;
    Fl_Double_Window win{kAreaW + 20, kAreaH + 20};
    Fl_Scroll *scroll = new Fl_Scroll(0, 0, kAreaW, kAreaH);
    CImageBoxFL *view = new CImageBoxFL(0, 0, 10, 10);
};

Rgb Oracle(const CImage &img, long long shownW, long long shownH, long long X, long long Y)
{
    if (X < 0 || Y < 0 || X >= shownW || Y >= shownH)
        return kWhite;
    const long long sx = X * img.width / shownW, sy = Y * img.height / shownH;
    const int b = img.BytesPerPixel();
    const unsigned char *p = img.data + (sy * img.width + sx) * b;
    return b == 1 ? Rgb{p[0], p[0], p[0]} : Rgb{p[0], p[1], p[2]};
}

int Pattern(int x, int y, int c) { return 20 + ((x * 37 + y * 11 + c * 60) % 200); }

TEST_F(ViewOnScreen, DrawsTheNearestPixelEverywhere)
{
    const struct {
        int w, h, bpp, percent, scrollX, scrollY;
    } cases[] = {
        {80, 60, 24, 100, 0, 0},     {80, 60, 8, 300, 60, 40},   {700, 500, 24, 90, 200, 150},
        {333, 222, 24, 29, 0, 0},    {333, 222, 24, 170, 5, 99}, {15000, 200, 24, 300, 44700, 400},
        {200, 15000, 8, 300, 300, 44800},
    };
    const int bar = Fl::scrollbar_size();
    for (const auto &c : cases) {
        const CImage &img = Load(c.w, c.h, c.bpp, Pattern);
        view->Zoom(c.percent);
        scroll->scroll_to(c.scrollX, c.scrollY);
        const int readW = kAreaW - bar, readH = kAreaH - bar;
        const auto px = ShowAndRead(win, 0, 0, readW, readH);
        const auto mark = Mark();
        for (int y = 0; y < readH; ++y)
            for (int x = 0; x < readW; ++x) {
                if (std::llabs(x - mark.first) <= 6 && std::llabs(y - mark.second) <= 6)
                    continue;
                ASSERT_EQ(px[size_t(y) * readW + x], Oracle(img, view->w(), view->h(), x - view->x(), y - view->y()))
                    << c.w << " x " << c.h << " at " << c.percent << "%, screen " << x << ", " << y;
            }
    }
}

// The mark shows on a black picture: white outlines around the black
// square, whatever the zoom.
TEST_F(ViewOnScreen, MarkShowsOnBlack)
{
    Load(60, 40, 24, [](int, int, int) { return 0; });
    for (int percent : {100, 250}) {
        view->Zoom(percent);
        const auto mark = Mark();
        const auto px = ShowAndRead(win, int(mark.first) - 5, int(mark.second) - 5, 11, 11);
        for (int d = 0; d < 11; ++d) {
            EXPECT_EQ(px[d], kWhite) << percent;
            EXPECT_EQ(px[10 * 11 + d], kWhite) << percent;
            EXPECT_EQ(px[d * 11], kWhite) << percent;
        }
        EXPECT_EQ(px[5 * 11 + 5], (Rgb{255, 0, 0})) << percent;
    }
}

}  // namespace
