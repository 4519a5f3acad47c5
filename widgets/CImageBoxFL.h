// CImageBoxFL.h: the image view. It owns the image being edited and one
// undo snapshot, draws the visible part of the image at the current zoom
// straight from its pixels, and keeps the point that the user places with
// the mouse, in image pixels.
#ifndef MIRLAN_CIMAGEBOXFL_H
#define MIRLAN_CIMAGEBOXFL_H

#include <FL/Fl_Box.H>

class CImage;
class Fl_Scroll;

class CImageBoxFL : public Fl_Box {
public:
    // Shows a failure to the user; fl_alert by default. Tests replace it,
    // since the toolkit's alert is modal.
    static void (*alert_function)(const char *message);

    CImageBoxFL(int x, int y, int w, int h, const char *label = 0);
    ~CImageBoxFL() override;

    // Loads a BMP, PPM, PGM or TGA file (chosen by its extension) as the new
    // image at zoom 1.0 with the point at its centre. Returns 1 on success;
    // 0 after an alert saying why, with the view exactly as it was.
    int SetImage(const char *filename);
    // Sets the scale to percent / 100 and sizes the widget to match, keeping
    // the centre of the visible area on the same place of the image.
    void Zoom(int percent);
    // The same around a point of the window (x, y): what is under it stays
    // under it.
    void ZoomAround(int percent, int x, int y);
    // Follows a change of the source image: new size, point scaled to it
    // when the size changed, scroll position kept inside the image.
    void ImageChange();
    // Drops the image and the undo snapshot.
    void Close();
    // Keeps a copy of the source image as the undo snapshot. Begins a
    // change: the snapshot it replaces is held until EndChange.
    void SaveUndo();
    // Puts a copy of the undo snapshot back as the source image; the caller
    // then calls ImageChange. Begins a change: the image it replaces is held
    // until EndChange.
    void Undo();
    // Ends the change begun by SaveUndo or Undo. Not kept (the change ran out
    // of memory), the source image and the undo snapshot are again the
    // very ones from before it; the caller then calls ImageChange.
    void EndChange(bool kept);
    // The point in image pixels, always inside the image.
    void GetCurseur(int *x, int *y);
    // Moves the point to image pixel (x, y), brought inside the image.
    void SetCurseur(int x, int y);

    // The source image that the commands change in place; null when empty.
    CImage *GetImage() const { return imgSource; }
    // The undo snapshot; null until the first SaveUndo.
    const CImage *GetUndoImage() const { return imgUndo; }
    // The scale factor in use, and the same as a whole percent.
    float GetZoom() const { return zoom; }
    int GetZoomPercent() const;
    // Whole steps of the mouse wheel turned with Ctrl held (negative: up),
    // and where, set just before the widget's callback runs.
    int WheelSteps() const { return wheelSteps; }

    void draw() override;
    int handle(int event) override;
    void resize(int x, int y, int w, int h) override;

private:
    float zoom;
    CImage *imgSource;
    CImage *imgUndo;
    int curseurX;
    int curseurY;
    // What a change in progress replaced: the undo snapshot before SaveUndo
    // (snapshotTaken, possibly none), or the source image before Undo.
    CImage *heldUndo = nullptr;
    CImage *heldSource = nullptr;
    bool snapshotTaken = false;
    // The snapshot a finished change replaced, kept so that the next
    // snapshot of as many bytes goes into pages already mapped.
    CImage *spareUndo = nullptr;
    // The image size the point was last placed in, so that a resize of the
    // image can carry it along.
    int pointW, pointH;
    // The scroll group's size when last seen, to notice a window resize.
    int areaW, areaH;
    int wheelSteps;

    Fl_Scroll *Scroller() const;
    void ReleaseImages();
    void DropHeld();
    void SizeToZoom();
    void KeepInView();
    // Picture pixel (x, y) centre on the window, as 64-bit coordinates.
    long long MarkX() const;
    long long MarkY() const;
    void DrawPixels(int X, int Y, int W, int H);
    void DrawMark(int X, int Y, int W, int H);
};

#endif
