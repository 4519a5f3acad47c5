// fuzz_load_tga.cpp: libFuzzer target for the TGA reader, CImage::LoadTGA,
// given each input as the whole content of a .tga file.
#include <cstdio>
#include <cstdlib>

#include "fuzz/fuzz_input.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    static mirlan_fuzz::ScratchFile scratch;
    if (const char *fault = mirlan_fuzz::RunLoadTGA(data, size, scratch)) {
        std::fprintf(stderr, "inconsistent result: %s\n", fault);
        std::abort();
    }
    return 0;
}
