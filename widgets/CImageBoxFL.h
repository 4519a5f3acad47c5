// CImageBoxFL.h: the image view. It owns the image being edited, a copy
// scaled to the current zoom (what it draws), one undo snapshot, and the
// point cursor that the user places with the mouse.
#ifndef MIRLAN_CIMAGEBOXFL_H
#define MIRLAN_CIMAGEBOXFL_H

#include <FL/Fl_Box.H>

class CImage;

class CImageBoxFL : public Fl_Box {
public:
    // Largest side of the scaled copy: the image's 16-bit sides and X11's
    // window coordinates both stop there.
    static constexpr int kMaxSide = 32767;

    // Shows a failure to the user; fl_alert by default. Tests replace it,
    // since the toolkit's alert is modal.
    static void (*alert_function)(const char *message);

    CImageBoxFL(int x, int y, int w, int h, const char *label = 0);
    ~CImageBoxFL() override;

    // Loads a BMP, PPM, PGM or TGA file (chosen by its extension) as the new
    // image at zoom 1.0 with the cursor at its centre. Returns 1 on success;
    // 0 after an alert, with the view left empty.
    int SetImage(const char *filename);
    // Sets the scale to percent / 100 and rebuilds the scaled copy. A scale
    // at which a side would pass kMaxSide is lowered to the largest whole
    // percent that fits; GetZoomPercent tells which one is in use.
    void Zoom(int percent);
    // Rebuilds the scaled copy after the source image has changed.
    void ImageChange();
    // Drops the image, its scaled copy and the undo snapshot.
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
    // The cursor in source-image pixels.
    void GetCurseur(int *x, int *y);

    // The source image that the commands change in place; null when empty.
    CImage *GetImage() const { return imgSource; }
    // The scaled copy that is drawn; null when empty.
    const CImage *GetZoomImage() const { return imgZoom; }
    // The undo snapshot; null until the first SaveUndo.
    const CImage *GetUndoImage() const { return imgUndo; }
    // The scale factor in use, and the same as a whole percent.
    float GetZoom() const { return zoom; }
    int GetZoomPercent() const;
    // The cursor in scaled-image pixels, relative to the widget's corner.
    int CurseurX() const { return curseurX; }
    int CurseurY() const { return curseurY; }

    void draw() override;
    int handle(int event) override;

private:
    float zoom;
    CImage *imgSource;
    CImage *imgZoom;
    CImage *imgUndo;
    int curseurX;
    int curseurY;
    // What a change in progress replaced: the undo snapshot before SaveUndo
    // (snapshotTaken, possibly none), or the source image before Undo.
    CImage *heldUndo = nullptr;
    CImage *heldSource = nullptr;
    bool snapshotTaken = false;

    void ReleaseImages();
    void DropHeld();
    void RebuildAt(float newZoom, int newCurseurX, int newCurseurY);
    void RebuildZoomImage();
    void ShowEmpty();
};

#endif
