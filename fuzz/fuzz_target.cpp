// fuzz_target.cpp: libFuzzer target for the file readers. As fuzz_open_image
// every input is a whole file read through ReadImageFile, whose content
// picks the decoder; as fuzz_decode (MIRLAN_FUZZ_DECODE) the first byte
// picks a row of the formats table and its decoder reads the rest, whatever
// the signature says.
#include "fuzz/fuzz_input.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
#ifdef MIRLAN_FUZZ_DECODE
    const char *fault = mirlan_fuzz::DecodeInput(data, size);
#else
    const char *fault = mirlan_fuzz::OpenInput(data, size);
#endif
    if (fault) {
        std::fprintf(stderr, "inconsistent result: %s\n", fault);
        std::abort();
    }
    return 0;
}
