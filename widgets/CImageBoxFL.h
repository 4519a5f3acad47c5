// CImageBoxFL.h: the image view. It draws the visible part of the picture it
// is given at the current zoom straight from its pixels, and keeps the point
// that the user places with the mouse, in picture pixels; the middle button
// drags the picture and Shift+wheel scrolls it sideways. The picture
// belongs to the caller, who tells the view when it changes.
#ifndef MIRLAN_CIMAGEBOXFL_H
#define MIRLAN_CIMAGEBOXFL_H

#include <FL/Fl_Box.H>

class CImage;
class Fl_Scroll;

class CImageBoxFL : public Fl_Box {
public:
    CImageBoxFL(int x, int y, int w, int h, const char *label = 0);

    // Shows img, a new picture, at zoom 1.0 with the point at its centre.
    void SetImage(const CImage *img);
    // Sets the scale to percent / 100 and sizes the widget to match, keeping
    // the centre of the visible area on the same place of the image.
    void Zoom(int percent);
    // The same around a point of the window (x, y): what is under it stays
    // under it.
    void ZoomAround(int percent, int x, int y);
    // Shows img, the picture after a change (possibly at a new address):
    // point scaled to a new size, scroll position kept inside the picture.
    void ImageChanged(const CImage *img);
    // Shows nothing.
    void Close();
    // The point in image pixels, always inside the image.
    void GetCurseur(int *x, int *y);
    // Moves the point to image pixel (x, y), brought inside the image.
    void SetCurseur(int x, int y);

    // The picture shown; null when empty.
    const CImage *GetImage() const { return imgSource; }
    // The scale factor in use, and the same as a whole percent.
    float GetZoom() const { return zoom; }
    int GetZoomPercent() const;
    // The callback runs when the mouse wheel turns with Ctrl held, and when
    // the scroll group around the view changes size (the room the picture
    // has to fit in). WheelSteps() tells which: the whole steps turned
    // (negative: up), 0 for a new size.
    int WheelSteps() const { return wheelSteps; }

    void draw() override;
    int handle(int event) override;
    void resize(int x, int y, int w, int h) override;

private:
    float zoom;
    const CImage *imgSource;
    int curseurX;
    int curseurY;
    // The image size the point was last placed in, so that a resize of the
    // image can carry it along.
    int pointW, pointH;
    // The scroll group's size when last seen, to notice a window resize.
    int areaW, areaH;
    int wheelSteps;
    // While the middle button drags: where it was pressed, in the window,
    // and the scroll position then.
    bool panning;
    int panX, panY, panFromX, panFromY;

    Fl_Scroll *Scroller() const;
    void SizeToZoom();
    void KeepInView();
    void ScrollInside(int sx, int sy);
    void RunCallback(int steps);
    // Picture pixel (x, y) centre on the window, as 64-bit coordinates.
    long long MarkX() const;
    long long MarkY() const;
    void DrawPixels(int X, int Y, int W, int H);
    void DrawMark(int X, int Y, int W, int H);
};

#endif
