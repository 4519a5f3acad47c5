// CImageBoxFL.cpp: the image view: zoom, drawing and the point.
#include "widgets/CImageBoxFL.h"

#include <FL/Fl.H>
#include <FL/Fl_Scroll.H>
#include <FL/Fl_Window.H>
#include <FL/fl_draw.H>

#include <algorithm>
#include <cmath>

#include "image/image.h"
#include "processing/nearest.h"

namespace {

// A side at the zoom: the float factor's exact value times the side,
// truncated, and never below one pixel so that there is always something to
// draw. The product of a float and a 16-bit side is exact in double.
int ScaledSide(float zoom, int side) { return std::max(1, static_cast<int>(static_cast<double>(zoom) * side)); }

// The part of a scroll group that shows its child, without its frame and
// the scroll bars that a child of w x h needs (the toolkit's own rule).
struct Area {
    int x, y, w, h;
};

Area InnerArea(const Fl_Scroll &s, int childW, int childH)
{
    Area a{s.x() + Fl::box_dx(s.box()), s.y() + Fl::box_dy(s.box()), s.w() - Fl::box_dw(s.box()),
           s.h() - Fl::box_dh(s.box())};
    const int bar = s.scrollbar_size() ? s.scrollbar_size() : Fl::scrollbar_size();
    bool vneeded = childH > a.h, hneeded = childW > a.w;
    if (vneeded)
        hneeded = childW > a.w - bar;
    else if (hneeded)
        vneeded = childH > a.h - bar;
    if (vneeded)
        a.w -= bar;
    if (hneeded)
        a.h -= bar;
    return a;
}

// The drawing of the visible part: shown row firstY + y, for the toolkit.
struct Gather {
    mirlan::NearestRows rows;
    long long firstY;
};

void GatherLine(void *data, int x, int y, int w, uchar *out)
{
    const Gather &g = *static_cast<const Gather *>(data);
    g.rows.Fill(g.firstY + y, out, size_t(x), size_t(w));
}

}  // namespace

CImageBoxFL::CImageBoxFL(int x, int y, int w, int h, const char *label)
    : Fl_Box(x, y, w, h, label), zoom(1.0f), imgSource(nullptr), curseurX(0), curseurY(0), pointW(0), pointH(0),
      areaW(0), areaH(0), wheelSteps(0), panning(false), panX(0), panY(0), panFromX(0), panFromY(0)
{
    size(0, 0);
}

Fl_Scroll *CImageBoxFL::Scroller() const { return dynamic_cast<Fl_Scroll *>(parent()); }

void CImageBoxFL::SetImage(const CImage *img)
{
    imgSource = img;
    if (!img) {
        Close();
        return;
    }
    zoom = 1.0f;
    SetCurseur(img->width / 2, img->height / 2);
    SizeToZoom();
    KeepInView();
}

int CImageBoxFL::GetZoomPercent() const { return static_cast<int>(std::lround(zoom * 100.0)); }

void CImageBoxFL::Zoom(int percent)
{
    Fl_Scroll *s = Scroller();
    if (!s || !imgSource) {
        ZoomAround(percent, x(), y());
        return;
    }
    const Area a = InnerArea(*s, w(), h());
    ZoomAround(percent, a.x + std::min(a.w, w()) / 2, a.y + std::min(a.h, h()) / 2);
}

void CImageBoxFL::ZoomAround(int percent, int ax, int ay)
{
    // A factor of 0 would leave no picture to draw.
    zoom = std::max(percent, 1) / 100.0f;
    if (!imgSource)
        return;
    // The place of the image under (ax, ay), as a fraction of each side.
    const double fx = w() > 0 ? double(ax - x()) / w() : 0, fy = h() > 0 ? double(ay - y()) / h() : 0;
    SizeToZoom();
    if (Fl_Scroll *s = Scroller()) {
        // Where the widget's corner sits when the group is scrolled to 0, 0.
        const int x0 = x() + s->xposition(), y0 = y() + s->yposition();
        const double sx = x0 - ax + fx * w(), sy = y0 - ay + fy * h();
        s->scroll_to(static_cast<int>(std::lround(sx)), static_cast<int>(std::lround(sy)));
    }
    KeepInView();
}

void CImageBoxFL::SizeToZoom()
{
    size(ScaledSide(zoom, imgSource->width), ScaledSide(zoom, imgSource->height));
}

// Brings the scroll position back inside the image: no scrolling past its
// right or bottom edge, nor before its corner.
void CImageBoxFL::KeepInView()
{
    if (Fl_Scroll *s = Scroller())
        ScrollInside(s->xposition(), s->yposition());
}

// Scrolls to (sx, sy), brought inside the image.
void CImageBoxFL::ScrollInside(int sx, int sy)
{
    Fl_Scroll *s = Scroller();
    if (!s)
        return;
    areaW = s->w();
    areaH = s->h();
    const Area a = InnerArea(*s, w(), h());
    const int x0 = x() + s->xposition(), y0 = y() + s->yposition();
    const int maxX = std::max(0, x0 + w() - (a.x + a.w)), maxY = std::max(0, y0 + h() - (a.y + a.h));
    sx = std::clamp(sx, 0, maxX);
    sy = std::clamp(sy, 0, maxY);
    if (sx != s->xposition() || sy != s->yposition())
        s->scroll_to(sx, sy);
}

void CImageBoxFL::resize(int x, int y, int w, int h)
{
    Fl_Box::resize(x, y, w, h);
    // The scroll group moves its child on every scroll and window resize;
    // only a new size of the group can leave the position past the image,
    // or change the zoom at which the whole picture fits.
    Fl_Scroll *s = Scroller();
    if (s && imgSource && (s->w() != areaW || s->h() != areaH)) {
        KeepInView();
        RunCallback(0);
    }
}

void CImageBoxFL::RunCallback(int steps)
{
    wheelSteps = steps;
    do_callback();
}

void CImageBoxFL::ImageChanged(const CImage *img)
{
    imgSource = img;
    if (!imgSource)
        return;
    if (imgSource->width != pointW || imgSource->height != pointH) {
        // A resize: the point keeps its place relative to the image.
        SetCurseur(static_cast<int>(static_cast<long long>(curseurX) * imgSource->width / std::max(pointW, 1)),
                   static_cast<int>(static_cast<long long>(curseurY) * imgSource->height / std::max(pointH, 1)));
    }
    SizeToZoom();
    KeepInView();
}

void CImageBoxFL::Close()
{
    imgSource = nullptr;
    size(0, 0);
    curseurX = curseurY = pointW = pointH = 0;
}

void CImageBoxFL::GetCurseur(int *x, int *y)
{
    *x = curseurX;
    *y = curseurY;
}

void CImageBoxFL::SetCurseur(int x, int y)
{
    if (!imgSource)
        return;
    pointW = imgSource->width;
    pointH = imgSource->height;
    curseurX = std::clamp(x, 0, pointW - 1);
    curseurY = std::clamp(y, 0, pointH - 1);
}

long long CImageBoxFL::MarkX() const
{
    return x() + (2LL * curseurX + 1) * w() / (2LL * imgSource->width);
}

long long CImageBoxFL::MarkY() const
{
    return y() + (2LL * curseurY + 1) * h() / (2LL * imgSource->height);
}

void CImageBoxFL::draw()
{
    if (!imgSource)
        return;
    // The widget may be far wider than X's 16-bit coordinates reach: draw
    // only its part inside the window, then inside the clip region.
    int X = std::max(x(), 0), Y = std::max(y(), 0);
    int R = x() + w(), B = y() + h();
    if (const Fl_Window *win = window()) {
        R = std::min(R, win->w());
        B = std::min(B, win->h());
    }
    if (R <= X || B <= Y)
        return;
    int cx, cy, cw, ch;
    fl_clip_box(X, Y, R - X, B - Y, cx, cy, cw, ch);
    if (cw <= 0 || ch <= 0)
        return;
    DrawPixels(cx, cy, cw, ch);
    fl_push_clip(cx, cy, cw, ch);
    DrawMark(cx, cy, cw, ch);
    fl_pop_clip();
}

// The image shown at the widget's size, nearest neighbour, gathered line by
// line for the visible rectangle only.
void CImageBoxFL::DrawPixels(int X, int Y, int W, int H)
{
    const Gather g{mirlan::NearestRows(*imgSource, w(), h(), static_cast<long long>(X) - x(), static_cast<size_t>(W)),
                   static_cast<long long>(Y) - y()};
    fl_draw_image(GatherLine, const_cast<Gather *>(&g), X, Y, W, H, imgSource->BytesPerPixel());
}

// The mark: a black square and a red cross between white outlines, so that
// it shows on any colour.
void CImageBoxFL::DrawMark(int X, int Y, int W, int H)
{
    const long long mx = MarkX(), my = MarkY();
    if (mx < X - 6 || mx > X + W + 6 || my < Y - 6 || my > Y + H + 6)
        return;
    const int cx = static_cast<int>(mx), cy = static_cast<int>(my);
    fl_color(FL_WHITE);
    fl_rect(cx - 5, cy - 5, 11, 11);
    fl_rect(cx - 3, cy - 3, 7, 7);
    fl_color(FL_BLACK);
    fl_rect(cx - 4, cy - 4, 9, 9);
    fl_color(FL_RED);
    fl_line(cx - 2, cy - 2, cx + 2, cy + 2);
    fl_line(cx - 2, cy + 2, cx + 2, cy - 2);
}

int CImageBoxFL::handle(int event)
{
    if (!imgSource)
        return Fl_Widget::handle(event);
    Fl_Scroll *s = Scroller();
    switch (event) {
    case FL_PUSH:
        panning = s && Fl::event_button() == FL_MIDDLE_MOUSE;
        if (panning) {
            panX = Fl::event_x(), panY = Fl::event_y();
            panFromX = s->xposition(), panFromY = s->yposition();
            return 1;
        }
        SetCurseur(static_cast<int>((static_cast<long long>(Fl::event_x()) - x()) * imgSource->width / w()),
                   static_cast<int>((static_cast<long long>(Fl::event_y()) - y()) * imgSource->height / h()));
        redraw();
        return 1;
    case FL_DRAG:
        // The picture follows the mouse: dragging to the right shows more
        // of its left part.
        if (panning && s)
            ScrollInside(panFromX - (Fl::event_x() - panX), panFromY - (Fl::event_y() - panY));
        return 1;
    case FL_RELEASE:
        panning = false;
        return 1;
    case FL_MOUSEWHEEL:
        if (Fl::event_dy() == 0)
            break;
        if (Fl::event_ctrl()) {
            RunCallback(Fl::event_dy());
            return 1;
        }
        // Shift+wheel: sideways, as far as the plain wheel scrolls down.
        if (Fl::event_shift() && s) {
            ScrollInside(s->xposition() + Fl::event_dy() * s->hscrollbar.linesize(), s->yposition());
            return 1;
        }
        break;
    }
    return Fl_Widget::handle(event);
}
