// CImgPreviewBoxFL.cpp: the preview box and the thumbnail it is given.
#include "widgets/CImgPreviewBoxFL.h"

#include <algorithm>

#include <FL/fl_draw.H>

#include "image/image.h"

CImgPreviewBoxFL::CImgPreviewBoxFL(int x, int y, int w, int h, const char *label)
    : Fl_Box(x, y, w, h, label), imgPreview(nullptr)
{
}

void CImgPreviewBoxFL::SetImage(const CImage *thumb)
{
    imgPreview = thumb && thumb->data ? thumb : nullptr;
    redraw();
}

void CImgPreviewBoxFL::draw()
{
    draw_box();
    if (imgPreview) {
        fl_draw_image(imgPreview->data, x() + kMargin, y() + kMargin, std::min<int>(imgPreview->width, kThumbWidth),
                      std::min<int>(imgPreview->height, kThumbHeight), imgPreview->BytesPerPixel(),
                      static_cast<int>(imgPreview->RowBytes()));
    } else {
        // The empty box is crossed by its diagonal, two thirds grey.
        fl_color(fl_color_average(FL_GRAY, FL_BLACK, 0.67f));
        fl_line(x() + 1, y() + 1, x() + w() - 1, y() + h() - 1);
    }
}
