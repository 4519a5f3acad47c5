// clipped_draw_test.cpp: the image view sends only the part of its display
// copy inside the clip region; what it draws there must be exactly the
// pixels of the copy at those places, for a view scrolled past its corner
// (negative position) or a small clip rectangle. Drawn into an offscreen
// pixmap, which no other window can cover while tests run side by side.
#include <gtest/gtest.h>  // before the toolkit, whose X11 macros clash with it

#include <FL/Fl.H>
#include <FL/Fl_Window.H>
#include <FL/fl_draw.H>
#include <FL/x.H>

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

class ClippedDraw : public ::testing::TestWithParam<int> {
protected:
    void SetUp() override
    {
        // A shown window gives the toolkit its X drawing context.
        win.end();
        win.show();
        win.wait_for_expose();
        win.make_current();
    }
    void Load(const CImage &img)
    {
        const std::string path = dir.Path("p.tga");
        ASSERT_EQ(CImage::SaveTGA(const_cast<CImage *>(&img), path.c_str()), CImage::kOk);
        ASSERT_EQ(box->SetImage(path.c_str()), 1);
    }
    // The view drawn on a white w x h pixmap through the clip rectangle,
    // read back.
    std::vector<Rgb> DrawClipped(int w, int h, int cx, int cy, int cw, int ch)
    {
        Fl_Offscreen pixmap = fl_create_offscreen(w, h);
        std::vector<unsigned char> bytes(static_cast<size_t>(w) * h * 3);
        {
            fl_begin_offscreen(pixmap);
            fl_color(FL_WHITE);
            fl_rectf(0, 0, w, h);
            fl_push_clip(cx, cy, cw, ch);
            box->draw();
            fl_pop_clip();
            fl_read_image(bytes.data(), 0, 0, w, h);
            fl_end_offscreen();
        }
        fl_delete_offscreen(pixmap);
        std::vector<Rgb> out;
        for (size_t i = 0; i < bytes.size(); i += 3)
            out.push_back({bytes[i], bytes[i + 1], bytes[i + 2]});
        return out;
    }
    bool UnderMark(int x, int y) const
    {
        return std::abs(x - box->x() - box->CurseurX()) <= 4 && std::abs(y - box->y() - box->CurseurY()) <= 4;
    }

    TempDir dir;
    Fl_Window win{40, 40};
    CImageBoxFL *box = new CImageBoxFL(0, 0, 10, 10);
};

// Scrolled into the middle of a picture shown at 300 %: the view's corner
// lies above and left of the visible area, which shows the display copy
// from the scroll position on.
TEST_P(ClippedDraw, ScrolledPictureAtThreeHundredPercent)
{
    auto img = Pattern(80, 60, GetParam());
    Load(*img);
    box->Zoom(300);
    const CImage &shown = *box->GetZoomImage();
    ASSERT_EQ(shown.width, 240);
    box->position(-60, -40);
    const int w = 150, h = 100;
    const std::vector<Rgb> px = DrawClipped(w, h, 0, 0, w, h);
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            if (!UnderMark(x, y)) {
                ASSERT_EQ(px[static_cast<size_t>(y) * w + x], ShownPixel(shown, x + 60, y + 40)) << x << ", " << y;
            }
        }
    }
}

// A redraw limited to a small clip rectangle draws the matching part of the
// picture there and nothing around it.
TEST_P(ClippedDraw, OnlyTheClipRectangleIsDrawn)
{
    auto img = Pattern(120, 90, GetParam());
    Load(*img);
    box->position(10, 20);
    const int cx = 47, cy = 33, cw = 31, ch = 17;
    const std::vector<Rgb> px = DrawClipped(160, 130, cx, cy, cw, ch);
    for (int y = 0; y < 130; ++y)
        for (int x = 0; x < 160; ++x) {
            const bool inside = x >= cx && x < cx + cw && y >= cy && y < cy + ch;
            const Rgb expected = inside ? ShownPixel(*img, x - 10, y - 20) : kWhite;
            ASSERT_EQ(px[static_cast<size_t>(y) * 160 + x], expected) << x << ", " << y;
        }
}

INSTANTIATE_TEST_SUITE_P(ColourAndGrey, ClippedDraw, ::testing::Values(24, 8));

}  // namespace
