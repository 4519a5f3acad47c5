// fuzz_open_image.cpp: libFuzzer target for ReadImageFile, the one way a
// file is opened: the first input byte picks the extension (.bmp, .ppm,
// .pgm or .tga) and so the reader, the rest is the file.
#include <cstdio>
#include <cstdlib>

#include "fuzz/fuzz_input.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    static mirlan_fuzz::ScratchFile scratch;
    if (const char *fault = mirlan_fuzz::RunOpenImage(data, size, scratch)) {
        std::fprintf(stderr, "inconsistent result: %s\n", fault);
        std::abort();
    }
    return 0;
}
