// CImageBoxFL.cpp: the image view: loading, zoom, undo snapshot, drawing
// and the point cursor.
#include "widgets/CImageBoxFL.h"

#include <FL/Fl.H>
#include <FL/fl_ask.H>
#include <FL/fl_draw.H>

#include <algorithm>
#include <cmath>
#include <cstring>

#include "image/image.h"
#include "image/image_file.h"
#include "processing/parallel.h"
#include "widgets/nearest_scale.h"

namespace {

void ShowAlert(const char *message) { fl_alert("%s", message); }

const char kLoadFailed[] = "Impossible de charger cette image !\nFormat invalide.";

// A side of the scaled copy: the float factor's exact value times the side,
// truncated, and never below one pixel so that there is always something to
// draw. The product of a float and a 16-bit side is exact in double.
int ScaledSide(float zoom, int side) { return std::max(1, static_cast<int>(static_cast<double>(zoom) * side)); }

// A coordinate of the scaled copy back in source pixels, and the reverse.
int ToSource(int c, float zoom) { return static_cast<int>(c / static_cast<double>(zoom)); }
int ToScaled(int c, float zoom) { return static_cast<int>(c * static_cast<double>(zoom)); }

bool SidesFit(float zoom, const CImage &img)
{
    return ScaledSide(zoom, img.width) <= CImageBoxFL::kMaxSide &&
           ScaledSide(zoom, img.height) <= CImageBoxFL::kMaxSide;
}

// The zoom to use for img: zoom itself when both scaled sides fit, else the
// largest whole percent at which they do (at least 100, since no side
// exceeds the limit at 100 %).
float FittingZoom(float zoom, const CImage &img)
{
    if (SidesFit(zoom, img))
        return zoom;
    const int longest = std::max<int>(img.width, img.height);
    int percent = std::min(static_cast<int>(std::lround(zoom * 100.0)),
                           static_cast<int>(static_cast<long>(CImageBoxFL::kMaxSide) * 100 / longest) + 1);
    while (percent > 100 && !SidesFit(percent / 100.0f, img))
        --percent;
    return percent / 100.0f;
}

// Below a megabyte a copy is not worth a second thread.
const size_t kCopyBytesPerThread = size_t(1) << 20;

// Copies src, pixels, sides and depth, into dst when dst's buffer holds
// exactly as many bytes; false otherwise. Every command takes a snapshot
// and most keep the byte count: reusing the pages already mapped saves
// mapping and zeroing tens of megabytes each time on a large photo.
bool CopyInto(const CImage &src, CImage &dst)
{
    const size_t n = src.ByteCount();
    if (!src.data || !dst.data || dst.ByteCount() != n)
        return false;
    mirlan::ParallelFor(n, kCopyBytesPerThread, [&](size_t first, size_t last) {
        std::memcpy(dst.data + first, src.data + first, last - first);
    });
    dst.width = src.width;
    dst.height = src.height;
    dst.bpp = src.bpp;
    return true;
}

}  // namespace

void (*CImageBoxFL::alert_function)(const char *message) = ShowAlert;

CImageBoxFL::CImageBoxFL(int x, int y, int w, int h, const char *label)
    : Fl_Box(x, y, w, h, label), zoom(1.0f), imgSource(nullptr), imgZoom(nullptr), imgUndo(nullptr),
      curseurX(0), curseurY(0)
{
    ShowEmpty();
}

CImageBoxFL::~CImageBoxFL() { ReleaseImages(); }

void CImageBoxFL::ReleaseImages()
{
    delete imgSource;
    delete imgZoom;
    delete imgUndo;
    imgSource = imgZoom = imgUndo = nullptr;
}

void CImageBoxFL::ShowEmpty() { size(0, 0); }

int CImageBoxFL::SetImage(const char *filename)
{
    ReleaseImages();
    imgSource = mirlan::ReadImageFile(filename);
    if (!imgSource) {
        ShowEmpty();
        alert_function(kLoadFailed);
        return 0;
    }
    zoom = 1.0f;
    imgZoom = imgSource->Copy();
    size(imgZoom->width, imgZoom->height);
    curseurX = imgSource->width / 2;
    curseurY = imgSource->height / 2;
    return 1;
}

int CImageBoxFL::GetZoomPercent() const { return static_cast<int>(std::lround(zoom * 100.0)); }

void CImageBoxFL::Zoom(int percent)
{
    // A factor of 0 would leave the cursor with no way back to the source;
    // past kMaxSide * 100 % even a 1-pixel side would not fit.
    percent = std::clamp(percent, 1, kMaxSide * 100);
    curseurX = ToSource(curseurX, zoom);
    curseurY = ToSource(curseurY, zoom);
    zoom = percent / 100.0f;
    if (imgSource) {
        zoom = FittingZoom(zoom, *imgSource);
        RebuildZoomImage();
    }
    curseurX = ToScaled(curseurX, zoom);
    curseurY = ToScaled(curseurY, zoom);
}

void CImageBoxFL::ImageChange()
{
    if (!imgSource)
        return;
    const float fitting = FittingZoom(zoom, *imgSource);
    if (fitting != zoom) {
        // The image grew past what the zoom allows: keep the cursor on the
        // same source pixel at the lowered zoom.
        curseurX = ToScaled(ToSource(curseurX, zoom), fitting);
        curseurY = ToScaled(ToSource(curseurY, zoom), fitting);
        zoom = fitting;
    }
    RebuildZoomImage();
}

void CImageBoxFL::RebuildZoomImage()
{
    const int W = ScaledSide(zoom, imgSource->width), H = ScaledSide(zoom, imgSource->height);
    if (imgZoom && imgZoom->ByteCount() == CImage::ByteCount(W, H, imgSource->bpp)) {
        // As many bytes as before (a change that kept the picture's size, or
        // a quarter turn): the old buffer takes the new pixels.
        imgZoom->width = static_cast<int16_t>(W);
        imgZoom->height = static_cast<int16_t>(H);
        imgZoom->bpp = imgSource->bpp;
        mirlan::ScaleNearestInto(*imgSource, *imgZoom);
    } else {
        delete imgZoom;
        imgZoom = mirlan::ScaleNearest(*imgSource, W, H);
    }
    size(imgZoom->width, imgZoom->height);
}

void CImageBoxFL::Close()
{
    ReleaseImages();
    ShowEmpty();
    curseurX = curseurY = 0;
}

void CImageBoxFL::SaveUndo()
{
    if (!imgSource)
        return;
    if (!imgUndo || !CopyInto(*imgSource, *imgUndo)) {
        delete imgUndo;
        imgUndo = imgSource->Copy();
    }
}

void CImageBoxFL::Undo()
{
    if (!imgUndo)
        return;
    if (!imgSource || !CopyInto(*imgUndo, *imgSource)) {
        delete imgSource;
        imgSource = imgUndo->Copy();
    }
}

void CImageBoxFL::GetCurseur(int *x, int *y)
{
    *x = ToSource(curseurX, zoom);
    *y = ToSource(curseurY, zoom);
}

void CImageBoxFL::draw()
{
    if (!imgZoom)
        return;
    // Only the part of the display copy inside the clip region is sent: a
    // redraw of a large picture at a high zoom costs the visible area.
    int cx0, cy0, cw, ch;
    fl_clip_box(x(), y(), imgZoom->width, imgZoom->height, cx0, cy0, cw, ch);
    if (cw > 0 && ch > 0) {
        const int bytes = imgZoom->BytesPerPixel();
        const size_t row = imgZoom->RowBytes();
        const unsigned char *first =
            imgZoom->data + static_cast<size_t>(cy0 - y()) * row + static_cast<size_t>(cx0 - x()) * bytes;
        fl_draw_image(first, cx0, cy0, cw, ch, bytes, static_cast<int>(row));
    }
    const int cx = x() + curseurX, cy = y() + curseurY;
    fl_color(FL_BLACK);
    fl_rect(cx - 4, cy - 4, 9, 9);
    fl_color(FL_RED);
    fl_line(cx - 3, cy - 3, cx + 3, cy + 3);
    fl_line(cx - 3, cy + 3, cx + 3, cy - 3);
}

int CImageBoxFL::handle(int event)
{
    if (event == FL_PUSH && imgSource) {
        curseurX = Fl::event_x() - x();
        curseurY = Fl::event_y() - y();
        redraw();
        return 1;
    }
    return Fl_Widget::handle(event);
}
