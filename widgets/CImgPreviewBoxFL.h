// CImgPreviewBoxFL.h: the preview box of the left pane. It shows the
// 159 x 120 thumbnail it is given, on which the application tries the
// pending adjustments and the current treatment before they reach the
// picture itself.
#ifndef MIRLAN_CIMGPREVIEWBOXFL_H
#define MIRLAN_CIMGPREVIEWBOXFL_H

#include <FL/Fl_Box.H>

class CImage;

class CImgPreviewBoxFL : public Fl_Box {
public:
    // The thumbnail's size and its margin inside the box.
    static constexpr int kThumbWidth = 159;
    static constexpr int kThumbHeight = 120;
    static constexpr int kMargin = 3;

    CImgPreviewBoxFL(int x, int y, int w, int h, const char *label = 0);

    // Shows thumb (kept by the caller, drawn at its own size, at most the
    // thumbnail's), or the empty box when null.
    void SetImage(const CImage *thumb);
    // The thumbnail shown; null when none.
    const CImage *GetImage() const { return imgPreview; }

    void draw() override;

private:
    const CImage *imgPreview;
};

#endif
