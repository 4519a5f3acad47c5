// clipped_draw_test.cpp: the image view sends only the part of its display
// copy inside the clip region; what it draws there must be exactly the
// pixels of the copy at those places, scrolled or clipped.
#include <gtest/gtest.h>  // before the toolkit, whose X11 macros clash with it

#include <FL/Fl.H>
#include <FL/Fl_Double_Window.H>
#include <FL/Fl_Scroll.H>
#include <FL/fl_draw.H>

#include <cstdlib>
#include <memory>

#include "widget_test_util.h"
#include "widgets/CImageBoxFL.h"

namespace {

using widget_test::MakeImage;
using widget_test::Rgb;
using widget_test::TempDir;

const Rgb kWhite{255, 255, 255};

std::unique_ptr<CImage> Pattern(int w, int h, int bpp)
{
    return MakeImage(w, h, bpp, [](int x, int y, int c) { return 20 + ((x * 37 + y * 11 + c * 60) % 200); });
}

Rgb ShownPixel(const CImage &img, int x, int y)
{
    const int b = img.BytesPerPixel();
    const unsigned char *p = img.data + (static_cast<size_t>(y) * img.width + x) * b;
    return b == 1 ? Rgb{p[0], p[0], p[0]} : Rgb{p[0], p[1], p[2]};
}

std::vector<Rgb> ReadBack(Fl_Window &win, int x, int y, int w, int h)
{
    win.make_current();
    std::vector<unsigned char> bytes(static_cast<size_t>(w) * h * 3);
    fl_read_image(bytes.data(), x, y, w, h);
    std::vector<Rgb> out;
    for (size_t i = 0; i < bytes.size(); i += 3)
        out.push_back({bytes[i], bytes[i + 1], bytes[i + 2]});
    return out;
}

class ClippedDraw : public ::testing::TestWithParam<int> {
protected:
    void Load(CImageBoxFL *box, const CImage &img)
    {
        const std::string path = dir.Path("p.tga");
        ASSERT_EQ(CImage::SaveTGA(const_cast<CImage *>(&img), path.c_str()), CImage::kOk);
        ASSERT_EQ(box->SetImage(path.c_str()), 1);
    }
    static bool UnderMark(const CImageBoxFL &box, int x, int y)
    {
        return std::abs(x - box.CurseurX()) <= 4 && std::abs(y - box.CurseurY()) <= 4;
    }
    TempDir dir;
};

// Scrolled into the middle of a picture shown at 300 %: the visible part of
// the window shows the display copy from the scroll position on.
TEST_P(ClippedDraw, ScrolledPictureAtThreeHundredPercent)
{
    Fl_Double_Window win(200, 150);
    Fl_Scroll scroll(0, 0, 200, 150);
    CImageBoxFL *box = new CImageBoxFL(0, 0, 10, 10);
    scroll.end();
    win.end();
    auto img = Pattern(80, 60, GetParam());
    Load(box, *img);
    box->Zoom(300);
    const CImage &shown = *box->GetZoomImage();
    ASSERT_EQ(shown.width, 240);
    win.show();
    win.wait_for_expose();
    scroll.scroll_to(60, 40);
    win.redraw();
    Fl::flush();
    const int w = 150, h = 100;  // clear of the scroll bars
    const std::vector<Rgb> px = ReadBack(win, 0, 0, w, h);
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            if (!UnderMark(*box, x + 60, y + 40)) {
                ASSERT_EQ(px[static_cast<size_t>(y) * w + x], ShownPixel(shown, x + 60, y + 40)) << x << ", " << y;
            }
        }
    }
}

// A redraw limited to a small clip rectangle draws the matching part of the
// picture there and nothing around it.
TEST_P(ClippedDraw, OnlyTheClipRectangleIsDrawn)
{
    Fl_Double_Window win(300, 250);
    CImageBoxFL *box = new CImageBoxFL(10, 20, 10, 10);
    win.end();
    auto img = Pattern(120, 90, GetParam());
    Load(box, *img);
    win.show();
    win.wait_for_expose();
    Fl::flush();
    win.make_current();
    fl_color(FL_WHITE);
    fl_rectf(0, 0, 300, 250);
    const int cx = 47, cy = 33, cw = 31, ch = 17;
    fl_push_clip(cx, cy, cw, ch);
    box->draw();
    fl_pop_clip();
    const std::vector<Rgb> px = ReadBack(win, 0, 0, 160, 130);
    for (int y = 0; y < 130; ++y)
        for (int x = 0; x < 160; ++x) {
            const bool inside = x >= cx && x < cx + cw && y >= cy && y < cy + ch;
            const Rgb expected = inside ? ShownPixel(*img, x - 10, y - 20) : kWhite;
            ASSERT_EQ(px[static_cast<size_t>(y) * 160 + x], expected) << x << ", " << y;
        }
}

INSTANTIATE_TEST_SUITE_P(ColourAndGrey, ClippedDraw, ::testing::Values(24, 8));

}  // namespace
