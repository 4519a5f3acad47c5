// CImageBoxFL.cpp: the image view: loading, zoom, undo snapshot, drawing
// and the point cursor.
#include "widgets/CImageBoxFL.h"

#include <FL/Fl.H>
#include <FL/fl_ask.H>
#include <FL/fl_draw.H>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <memory>

#include "image/image.h"
#include "processing/parallel.h"
#include "processing/pixel_buffer.h"
#include "widgets/nearest_scale.h"
#include "widgets/toolkit_image.h"

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

// A new copy of src, its bytes copied on every core into a buffer on huge
// pages where the kernel has them (fewer page faults to map tens of
// megabytes). Throws std::bad_alloc with nothing changed when memory is short.
CImage *CopyOf(const CImage &src)
{
    const size_t n = src.ByteCount();
    std::unique_ptr<CImage> copy(new CImage());
    copy->Replace(mirlan::NewPixelBuffer(n), src.width, src.height, src.bpp);
    if (src.data && n)
        mirlan::ParallelFor(n, kCopyBytesPerThread, [&](size_t first, size_t last) {
            std::memcpy(copy->data + first, src.data + first, last - first);
        });
    return copy.release();
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
    DropHeld();
    delete imgSource;
    delete imgZoom;
    delete imgUndo;
    imgSource = imgZoom = imgUndo = nullptr;
}

void CImageBoxFL::DropHeld()
{
    delete heldUndo;
    delete heldSource;
    heldUndo = heldSource = nullptr;
    snapshotTaken = false;
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
    float newZoom = percent / 100.0f;
    if (imgSource)
        newZoom = FittingZoom(newZoom, *imgSource);
    const int x = ToScaled(ToSource(curseurX, zoom), newZoom), y = ToScaled(ToSource(curseurY, zoom), newZoom);
    if (imgSource) {
        RebuildAt(newZoom, x, y);
        return;
    }
    zoom = newZoom;
    curseurX = x;
    curseurY = y;
}

void CImageBoxFL::ImageChange()
{
    if (!imgSource)
        return;
    const float fitting = FittingZoom(zoom, *imgSource);
    // The image grew past what the zoom allows: keep the cursor on the
    // same source pixel at the lowered zoom.
    if (fitting != zoom)
        RebuildAt(fitting, ToScaled(ToSource(curseurX, zoom), fitting), ToScaled(ToSource(curseurY, zoom), fitting));
    else
        RebuildZoomImage();
}

// The zoom and cursor change only once the display copy is rebuilt at the
// new zoom, so that short memory leaves the view as it was.
void CImageBoxFL::RebuildAt(float newZoom, int newCurseurX, int newCurseurY)
{
    const float oldZoom = zoom;
    zoom = newZoom;
    try {
        RebuildZoomImage();
    } catch (...) {
        zoom = oldZoom;
        throw;
    }
    curseurX = newCurseurX;
    curseurY = newCurseurY;
}

// Throws std::bad_alloc with the display copy untouched when memory is short.
void CImageBoxFL::RebuildZoomImage()
{
    const int W = ScaledSide(zoom, imgSource->width), H = ScaledSide(zoom, imgSource->height);
    if (imgZoom && imgZoom->ByteCount() == CImage::ByteCount(W, H, imgSource->bpp)) {
        // As many bytes as before (a change that kept the picture's size, or
        // a quarter turn): the old buffer takes the new pixels. The scaling
        // allocates before it writes, so a failure leaves the copy whole.
        const int16_t oldW = imgZoom->width, oldH = imgZoom->height;
        const uint8_t oldBpp = imgZoom->bpp;
        imgZoom->width = static_cast<int16_t>(W);
        imgZoom->height = static_cast<int16_t>(H);
        imgZoom->bpp = imgSource->bpp;
        try {
            mirlan::ScaleNearestInto(*imgSource, *imgZoom);
        } catch (...) {
            imgZoom->width = oldW;
            imgZoom->height = oldH;
            imgZoom->bpp = oldBpp;
            throw;
        }
    } else {
        CImage *rebuilt = mirlan::ScaleNearest(*imgSource, W, H);
        delete imgZoom;
        imgZoom = rebuilt;
    }
    size(imgZoom->width, imgZoom->height);
}

void CImageBoxFL::Close()
{
    ReleaseImages();
    ShowEmpty();
    curseurX = curseurY = 0;
}

// Both begin a change with a fresh copy and hold what it replaces, rather
// than copying into the buffer already there: a change that then runs out
// of memory can put back the picture and the undo snapshot exactly.
void CImageBoxFL::SaveUndo()
{
    if (!imgSource)
        return;
    CImage *snapshot = CopyOf(*imgSource);
    DropHeld();
    heldUndo = imgUndo;
    imgUndo = snapshot;
    snapshotTaken = true;
}

void CImageBoxFL::Undo()
{
    if (!imgUndo)
        return;
    CImage *restored = CopyOf(*imgUndo);
    DropHeld();
    heldSource = imgSource;
    imgSource = restored;
}

void CImageBoxFL::EndChange(bool kept)
{
    if (!kept && snapshotTaken) {
        // The snapshot is the image as it was before the change.
        delete imgSource;
        imgSource = imgUndo;
        imgUndo = heldUndo;
        heldUndo = nullptr;
    } else if (!kept && heldSource) {
        delete imgSource;
        imgSource = heldSource;
        heldSource = nullptr;
    }
    DropHeld();
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
