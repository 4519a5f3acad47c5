// widgets_test.cpp: the three display widgets as they are drawn, read back
// from the screen, and the rules by which the image view, in a real scroll
// group, treats its picture and its point through zoom, scrolling, clicks
// and resizes.
#include <gtest/gtest.h>  // before the toolkit, whose X11 macros clash with it

#include <memory>

#include <FL/Fl.H>
#include <FL/Fl_Double_Window.H>
#include <FL/Fl_Scroll.H>
#include <FL/fl_draw.H>


#include "image/image.h"
#include "processing/nearest.h"
#include "widgets/CHistoBoxFL.h"
#include "widgets/CImageBoxFL.h"
#include "widgets/CImgPreviewBoxFL.h"

namespace {

std::unique_ptr<CImage> MakeImage(int w, int h, int bpp, int (*value)(int x, int y, int c))
{
    auto img = std::make_unique<CImage>(w, h, bpp);
    for (size_t i = 0, b = bpp / 8; i < img->ByteCount(); ++i)
        img->data[i] = static_cast<unsigned char>(value(i / b % w, i / b / w, i % b));
    return img;
}
int Pattern(int x, int y, int c) { return 20 + (x * 37 + y * 11 + c * 60) % 200; }

// Shows win and reads back w x h pixels at (x, y) of it, row by row, as
// 0xRRGGBB.
std::vector<unsigned> ShowAndRead(Fl_Window &win, int x, int y, int w, int h)
{
    win.show();
    win.wait_for_expose();
    win.redraw();
    Fl::flush();
    win.make_current();
    std::unique_ptr<uchar[]> bytes(fl_read_image(nullptr, x, y, w, h));
    std::vector<unsigned> out(size_t(w) * h);
    for (size_t i = 0; i < out.size(); ++i)
        out[i] = bytes[3 * i] << 16 | bytes[3 * i + 1] << 8 | bytes[3 * i + 2];
    return out;
}

// Pixel (X, Y) of img shown at w x h is picture pixel (X * W / w, Y * H / h).
unsigned Nearest(const CImage &img, long long w, long long h, long long X, long long Y)
{
    const unsigned char *p = img.data + (Y * img.height / h * img.width + X * img.width / w) * img.BytesPerPixel();
    return img.bpp == 8 ? p[0] * 0x010101u : unsigned(p[0] << 16 | p[1] << 8 | p[2]);
}

// The thumbnail fills the box inside a 3-pixel margin, stretched to 159 x
// 120, grey pictures in grey.
TEST(Preview, ShowsTheNearestPixelInsideItsMargin)
{
    const struct { int w, h, bpp; } cases[] = {{500, 300, 24}, {3, 2, 8}, {1000, 100, 24}, {159, 40, 24}};
    Fl_Double_Window win{200, 160};
    auto *box = new CImgPreviewBoxFL(16, 20, 165, 126);
    for (const auto &c : cases) {
        auto img = MakeImage(c.w, c.h, c.bpp, Pattern);
        std::unique_ptr<CImage> thumb(mirlan::ScaleNearest(*img, 159, 120));
        box->SetImage(thumb.get());
        const auto px = ShowAndRead(win, box->x() + 3, box->y() + 3, 159, 120);
        for (int i = 0; i < 159 * 120; ++i)
            ASSERT_EQ(px[i], Nearest(*img, 159, 120, i % 159, i / 159)) << c.w << " x " << c.h << " at " << i;
    }
}

// Each picture is shown, then the page closed. Each bar (band, value,
// height) rises from its band's baseline, the most frequent value 150
// pixels high; a hidden layer gives up its band to the next.
TEST(Histogram, BarsAndTextsOfAKnownPictureThroughCloseAndReopen)
{
    const struct { int w, h, bpp, (*value)(int, int, int), hidden; const char *text; int bars[3][3]; } cases[] = {
        {1500, 1, 8, [](int x, int, int) { return x < 1000 ? 10 : 20; }, -1,
         "Couche luminosité : Moyenne = 13, Min = 10, Max = 20", {{0, 10, 150}, {0, 20, 75}, {0, 15, 0}}},
        // (10, 20, 30) has luminosity trunc(7.07 + 4.04 + 2.73) = 13.
        {10, 20, 24, [](int, int, int c) { return 10 * (c + 1); }, 2,
         "Couche luminosité : Moyenne = 13, Min = 13, Max = 13", {{0, 13, 150}, {2, 30, 150}, {2, 20, 0}}}};
    Fl_Double_Window win{560, 880};
    auto *box = new CHistoBoxFL(0, 0, 49, 25);
    for (const auto &c : cases) {
        box->SetAff(c.hidden, 0);
        auto img = MakeImage(c.w, c.h, c.bpp, c.value);
        box->SetImage(img.get());
        box->SetImagePath("/tmp/picture");
        auto px = ShowAndRead(win, 0, 0, 560, 880);
        EXPECT_STREQ(box->GetText(0), c.text);
        for (const auto &bar : c.bars) {
            int run = 0;
            while (px[(204 + 200 * bar[0] - run) * 560 + 10 + 2 * bar[1]] == 0)
                ++run;
            EXPECT_NEAR(run, bar[2], 1) << c.text << ": band " << bar[0] << ", value " << bar[1];
        }
        box->Close();
        box->SetAff(c.hidden, 1);
        EXPECT_TRUE(box->w() == 0 && ShowAndRead(win, 0, 0, 560, 880) == std::vector<unsigned>(px.size(), px[0]))
            << c.text;  // nothing drawn on the background
    }
}

class View : public ::testing::Test {
protected:
    View() { win.end(), scroll->end(); }
    const CImage &Load(int w, int h, int bpp = 24)
    {
        picture = MakeImage(w, h, bpp, Pattern);
        view->SetImage(picture.get());
        return *picture;
    }
    std::pair<int, int> Point() { int x, y; return view->GetCurseur(&x, &y), std::make_pair(x, y); }
    std::unique_ptr<CImage> picture;
    Fl_Double_Window win{320, 220};
    Fl_Scroll *scroll = new Fl_Scroll(0, 0, 300, 200);
    CImageBoxFL *view = new CImageBoxFL(0, 0, 10, 10);
};

// Nearest neighbour everywhere, but for the point's mark at the middle of
// its pixel: white squares at 3 and 5 pixels around a black one at 4, a red
// cross inside, so that it shows on any picture.
TEST_F(View, DrawsTheNearestPixelAndTheMark)
{
    const struct { int w, h, bpp, percent, scrollX, scrollY; } cases[] = {
        {80, 60, 8, 300, 60, 40}, {700, 500, 24, 90, 200, 150},      {333, 222, 24, 29, 0, 0},
        {60, 40, 24, 250, 0, 0},  {15000, 200, 24, 300, 44700, 400}, {200, 15000, 8, 300, 300, 44800}};
    const int readW = 300 - Fl::scrollbar_size(), readH = 200 - Fl::scrollbar_size();
    for (const auto &c : cases) {
        const CImage &img = Load(c.w, c.h, c.bpp);
        view->Zoom(c.percent);
        scroll->scroll_to(c.scrollX, c.scrollY);
        const auto px = ShowAndRead(win, 0, 0, readW, readH);
        const auto p = Point();
        const long long markX = view->x() + (2LL * p.first + 1) * view->w() / (2LL * img.width),
                        markY = view->y() + (2LL * p.second + 1) * view->h() / (2LL * img.height);
        for (int y = 0; y < std::min(readH, view->y() + view->h()); ++y)
            for (int x = 0; x < std::min(readW, view->x() + view->w()); ++x) {
                const long long dx = std::llabs(x - markX), dy = std::llabs(y - markY), d = std::max(dx, dy);
                const unsigned mark = d == 3 || d == 5 ? 0xffffff : d == 4 ? 0 : d <= 2 && dx == dy ? 0xff0000 : 1;
                ASSERT_EQ(px[y * readW + x],
                          mark != 1 ? mark : Nearest(img, view->w(), view->h(), x - view->x(), y - view->y()))
                    << c.w << " x " << c.h << " at " << c.percent << "%, screen " << x << ", " << y;
            }
    }
}

// Zooming in keeps the picture pixel at the centre of the area there; then,
// scrolled to the far corner and zoomed out and the group resized, the
// picture's far corner never leaves the area's.
TEST_F(View, ZoomKeepsTheCentreAndScrollStaysInside)
{
    const struct { int scrollX, scrollY, percent, groupW, groupH; } cases[] = {
        {200, 150, 200, 300, 200}, {0, 0, 300, 800, 600}, {300, 240, 120, 1900, 1400}, {100, 80, 40, 300, 200}};
    Load(600, 450);
    const int bar = Fl::scrollbar_size();
    auto centre = [&] {  // the picture is larger than the area
        return std::make_pair(((300 - bar) / 2 - view->x()) * 600.0 / view->w(),
                              ((200 - bar) / 2 - view->y()) * 450.0 / view->h());
    };
    for (const auto &c : cases) {
        view->Zoom(100);
        scroll->size(300, 200);
        scroll->scroll_to(c.scrollX, c.scrollY);
        const auto before = centre();
        view->Zoom(c.percent * 2);
        EXPECT_NEAR(centre().first, before.first, 1) << c.percent;
        EXPECT_NEAR(centre().second, before.second, 1) << c.percent;
        scroll->scroll_to(5000, 5000);
        view->Zoom(c.percent);
        scroll->size(c.groupW, c.groupH);
        EXPECT_TRUE(view->x() + view->w() >= std::min(view->w(), c.groupW - bar) &&
                    view->y() + view->h() >= std::min(view->h(), c.groupH - bar)) << c.percent;
        EXPECT_GE(std::min(scroll->xposition(), scroll->yposition()), 0) << c.percent;
    }
}

// A click picks the picture pixel under the mouse, which zoom rounds do not
// move; a new size of the picture scales it.
TEST_F(View, PointFollowsClicksZoomsAndResizes)
{
    const struct { int percent, clickX, clickY, x, y, newW, newH, scaledX, scaledY; } cases[] = {
        {100, 160, 120, 160, 120, 640, 480, 320, 240}, {300, 10, 20, 3, 6, 320, 480, 3, 12},
        {30, 48, 36, 160, 120, 50, 40, 25, 20},         {20, 63, 47, 315, 235, 1, 1, 0, 0}};
    for (const auto &c : cases) {
        Load(320, 240);
        view->Zoom(c.percent);
        Fl::e_x = view->x() + c.clickX, Fl::e_y = view->y() + c.clickY;
        view->handle(FL_PUSH);
        for (int percent : {100, 30, 170, 20, 300, 100, 30, 170, 20, 300, c.percent})
            view->Zoom(percent);
        EXPECT_EQ(Point(), std::make_pair(c.x, c.y)) << c.percent;
        picture->Replace(new unsigned char[size_t(c.newW) * c.newH * 3](), c.newW, c.newH, 24);
        view->ImageChanged(picture.get());
        EXPECT_EQ(Point(), std::make_pair(c.scaledX, c.scaledY)) << c.newW << " x " << c.newH;
    }
}

// The wheel with Ctrl is the callback's, with its steps; with Shift it
// scrolls sideways, alone it is the scroll group's. The middle button drags
// the picture, which stays over the area; the others place the point.
TEST_F(View, WheelAndMiddleButtonScrollTheView)
{
    const int kEnd = -1;  // the last position: the picture's far edge at the area's
    const int endX = 600 - (300 - Fl::scrollbar_size()), endY = 450 - (200 - Fl::scrollbar_size());
    // button 0: the wheel turned dy with state; otherwise the button
    // pressed at (150, 100), dragged by (dx / 2, dy / 2) then (dx, dy).
    const struct { int button, state, dx, dy, steps, scrollX, scrollY; } cases[] = {
        {0, FL_CTRL, 0, 1, 1, 0, 0},                {0, FL_CTRL, 0, -2, -2, 0, 0},
        {0, FL_CTRL, 0, 0, 0, 0, 0},                {0, 0, 0, 3, 0, 0, 48},
        {0, FL_SHIFT, 0, 2, 0, 32, 48},             {0, FL_SHIFT, 0, 100, 0, kEnd, 48},
        {0, FL_SHIFT, 0, -1, 0, endX - 16, 48},     {0, FL_SHIFT, 0, -100, 0, 0, 48},
        {FL_MIDDLE_MOUSE, 0, -40, -30, 0, 40, 78},  {FL_MIDDLE_MOUSE, 0, 500, 500, 0, 0, 0},
        {FL_MIDDLE_MOUSE, 0, -900, -900, 0, kEnd, kEnd}, {FL_LEFT_MOUSE, 0, 300, 300, 0, kEnd, kEnd},
        {FL_RIGHT_MOUSE, 0, 300, 300, 0, kEnd, kEnd},
    };
    Load(600, 450);
    int steps = 0;
    view->callback([](Fl_Widget *w, void *sum) { *static_cast<int *>(sum) += static_cast<CImageBoxFL *>(w)->WheelSteps(); },
                   &steps);
    win.show();
    win.wait_for_expose();
    for (const auto &c : cases) {
        Fl::flush();  // the scroll bars learn the scroll position as the group draws
        steps = 0;
        view->SetCurseur(0, 0);
        Fl::e_x = 150, Fl::e_y = 100;
        if (c.button == 0) {
            Fl::e_dy = c.dy, Fl::e_state = c.state;
            scroll->handle(FL_MOUSEWHEEL);
            Fl::e_state = 0;
        } else {
            Fl::e_keysym = FL_Button + c.button;
            view->handle(FL_PUSH);
            for (int part : {2, 1})
                Fl::e_x = 150 + c.dx / part, Fl::e_y = 100 + c.dy / part, view->handle(FL_DRAG);
            view->handle(FL_RELEASE);
        }
        EXPECT_EQ(steps, c.steps) << &c - cases;
        EXPECT_EQ(scroll->xposition(), c.scrollX == kEnd ? endX : c.scrollX) << &c - cases;
        EXPECT_EQ(scroll->yposition(), c.scrollY == kEnd ? endY : c.scrollY) << &c - cases;
        EXPECT_EQ(Point() != std::make_pair(0, 0), c.button && c.button != FL_MIDDLE_MOUSE) << &c - cases;
    }
}

}  // namespace
