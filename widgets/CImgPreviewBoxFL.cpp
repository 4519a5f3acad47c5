// CImgPreviewBoxFL.cpp: the preview box and its 159 x 120 thumbnail.
#include "widgets/CImgPreviewBoxFL.h"

#include <FL/fl_draw.H>

#include "image/image.h"
#include "widgets/nearest_scale.h"

CImgPreviewBoxFL::CImgPreviewBoxFL(int x, int y, int w, int h, const char *label)
    : Fl_Box(x, y, w, h, label), imgPreview(nullptr)
{
}

CImgPreviewBoxFL::~CImgPreviewBoxFL() { delete imgPreview; }

void CImgPreviewBoxFL::SetImage(CImage *img)
{
    // Made before the old one goes: short memory leaves the thumbnail as it was.
    CImage *thumb = img ? mirlan::ScaleNearest(*img, kThumbWidth, kThumbHeight) : nullptr;
    Close();
    imgPreview = thumb;
}

void CImgPreviewBoxFL::Close()
{
    delete imgPreview;
    imgPreview = nullptr;
}

void CImgPreviewBoxFL::draw()
{
    draw_box();
    if (imgPreview) {
        fl_draw_image(imgPreview->data, x() + kMargin, y() + kMargin, kThumbWidth, kThumbHeight,
                      imgPreview->BytesPerPixel(), 0);
    } else {
        // The empty box is crossed by its diagonal, two thirds grey.
        fl_color(fl_color_average(FL_GRAY, FL_BLACK, 0.67f));
        fl_line(x() + 1, y() + 1, x() + w() - 1, y() + h() - 1);
    }
}
