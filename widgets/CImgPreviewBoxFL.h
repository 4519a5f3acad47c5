// CImgPreviewBoxFL.h: the preview box of the left pane. It keeps its own
// 159 x 120 thumbnail of the image, on which the pending adjustments and the
// current treatment are tried before they reach the image itself.
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
    ~CImgPreviewBoxFL() override;

    // Replaces the thumbnail by a 159 x 120 copy of img (stretched to fill),
    // or by none when img is null. img is neither kept nor changed.
    void SetImage(CImage *img);
    // The thumbnail, for the callers to change in place; null when none.
    CImage *GetImage() const { return imgPreview; }
    // Drops the thumbnail.
    void Close();

    void draw() override;

private:
    CImage *imgPreview;
};

#endif
