// fuzz_input.h: what the fuzz targets do with one input, shared with the
// test that replays their corpora and past crashes. The bytes are written
// to a scratch file and opened as the program opens a file, through
// ReadImageFile; an inconsistent result returns what is wrong with it.
#ifndef MIRLAN_FUZZ_INPUT_H
#define MIRLAN_FUZZ_INPUT_H

#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>

#include "image/image.h"
#include "image/image_file.h"

namespace mirlan_fuzz {

inline volatile unsigned checksum_sink;  // keeps the loop that reads every pixel

// Readers size the picture from its header and fill what a short TGA lacks
// or a run-length BMP skips, so a few bytes may rightly ask for gigabytes:
// such inputs are skipped to keep each run fast.
inline bool AsksForHugePicture(const uint8_t *d, size_t n, const std::string &ext)
{
    auto le = [d](size_t at, int bytes) {
        int64_t v = 0;
        for (int i = bytes - 1; i >= 0; --i)
            v = v << 8 | d[at + i];
        return bytes == 4 ? std::llabs(int32_t(v)) : v;
    };
    const bool core = ext == ".bmp" && n >= 26 && le(14, 4) == 12;
    const int64_t pixels = ext == ".tga" && n >= 18 ? le(12, 2) * le(14, 2)
                           : core                   ? le(18, 2) * le(20, 2)
                           : ext == ".bmp" && n >= 26 ? le(18, 4) * le(22, 4) : 0;
    return pixels > (int64_t(1) << 16);
}

// Opens the bytes saved as a file of extension ext, removed right after: a
// refusal must say why, a read must give a whole picture (32 bits only from
// a BMP), every byte of which is read so that the sanitizers see a short buffer.
inline const char *OpenInput(const uint8_t *d, size_t n, const std::string &ext)
{
    if (AsksForHugePicture(d, n, ext))
        return nullptr;
    const std::string path = "/tmp/mirlan_fuzz_" + std::to_string(getpid()) + ext;
    FILE *f = std::fopen(path.c_str(), "wb");
    if (!f || std::fwrite(d, 1, n, f) != n || std::fclose(f) != 0)
        std::abort();
    mirlan::ReadError error = mirlan::ReadError::kNone;
    std::unique_ptr<CImage> img(mirlan::ReadImageFile(path.c_str(), &error));
    unlink(path.c_str());
    if (!img)
        return error == mirlan::ReadError::kNone ? "a refusal without its reason" : nullptr;
    if (error != mirlan::ReadError::kNone || img->width < 1 || img->height < 1 || !img->data ||
        !(img->bpp == 8 || img->bpp == 24 || (img->bpp == 32 && ext == ".bmp")))
        return "a read with an error, or without a whole picture of a depth its format gives";
    unsigned sum = 0;
    for (size_t i = 0; i < img->ByteCount(); ++i)
        sum = sum * 31 + img->data[i];
    checksum_sink = sum;
    return nullptr;
}

// The first byte picks the extension, and so the reader; the rest is the file.
inline const char *OpenSelected(const uint8_t *d, size_t n)
{
    static const char *const kExtensions[] = {".bmp", ".ppm", ".pgm", ".tga"};
    return n == 0 ? nullptr : OpenInput(d + 1, n - 1, kExtensions[d[0] & 3]);
}

}  // namespace mirlan_fuzz

#endif
