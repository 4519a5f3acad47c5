// fuzz_target.cpp: libFuzzer target for ReadImageFile. As fuzz_open_image
// the first input byte picks the extension (.bmp, .ppm, .pgm or .tga) and so
// the reader; as fuzz_load_tga (MIRLAN_FUZZ_TGA) every input is a .tga file.
#include "fuzz/fuzz_input.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
#ifdef MIRLAN_FUZZ_TGA
    const char *fault = mirlan_fuzz::OpenInput(data, size, ".tga");
#else
    const char *fault = mirlan_fuzz::OpenSelected(data, size);
#endif
    if (fault) {
        std::fprintf(stderr, "inconsistent result: %s\n", fault);
        std::abort();
    }
    return 0;
}
