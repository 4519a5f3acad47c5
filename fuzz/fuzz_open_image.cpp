// fuzz_open_image.cpp: libFuzzer target for the whole opening path of the
// image view, CImageBoxFL::SetImage: the reader chosen by extension (the
// first input byte picks .bmp, .ppm, .pgm or .tga), the header checks made
// before the toolkit's BMP and PNM readers see the file, the readers
// themselves and the view's own copies. No display is needed: the widget is
// never shown, and failures reach a silent alert hook instead of a dialog.
#include <FL/Fl_Shared_Image.H>

#include <cstdio>
#include <cstdlib>

#include "fuzz/fuzz_input.h"

namespace {

void NoAlert(const char *) {}

CImageBoxFL &View()
{
    static CImageBoxFL *view = [] {
        fl_register_images();
        CImageBoxFL::alert_function = NoAlert;
        return new CImageBoxFL(0, 0, 10, 10);
    }();
    return *view;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    static mirlan_fuzz::ScratchFile scratch;
    if (const char *fault = mirlan_fuzz::RunOpenImage(View(), data, size, scratch)) {
        std::fprintf(stderr, "inconsistent result: %s\n", fault);
        std::abort();
    }
    return 0;
}
