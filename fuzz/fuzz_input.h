// fuzz_input.h: what the fuzz targets do with one input, shared with the
// test that replays their corpora and past crashes. The bytes are written
// to a scratch file and read as the programs read a file: through
// ReadImageFile (open_image), or by the decoder of the formats table's row
// that the first byte picks (decode). An inconsistent result returns what
// is wrong with it.
#ifndef MIRLAN_FUZZ_INPUT_H
#define MIRLAN_FUZZ_INPUT_H

#include <fcntl.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>

#include "image/formats.h"
#include "image/image.h"
#include "image/image_file.h"
#include "image/pixel_decoders.h"

namespace mirlan_fuzz {

inline volatile unsigned checksum_sink;  // keeps the loop that reads every pixel

// A few bytes may rightly ask for gigabytes of pixels: pictures above 65536
// pixels are refused as too large while a check runs, so that every run is
// fast and the memory limit only catches runaway allocations.
struct SmallPicturesOnly {
    SmallPicturesOnly() { mirlan::LimitPicturePixels(uint64_t(1) << 16); }
    ~SmallPicturesOnly() { mirlan::LimitPicturePixels(UINT64_MAX); }
};

// The bytes as a scratch file, removed when done.
struct ScratchFile {
    std::string path = "/tmp/mirlan_fuzz_" + std::to_string(getpid());
    ScratchFile(const uint8_t *d, size_t n)
    {
        FILE *f = std::fopen(path.c_str(), "wb");
        if (!f || std::fwrite(d, 1, n, f) != n || std::fclose(f) != 0)
            std::abort();
    }
    ~ScratchFile() { unlink(path.c_str()); }
};

// A refusal must say why; a read must give a whole picture of 8, 24 or 32
// bits, every byte of which is read so that the sanitizers see a short buffer.
inline const char *Check(const CImage *img, mirlan::ReadError error)
{
    if (!img)
        return error == mirlan::ReadError::kNone ? "a refusal without its reason" : nullptr;
    if (error != mirlan::ReadError::kNone || img->width < 1 || img->height < 1 || !img->data ||
        !(img->bpp == 8 || img->bpp == 24 || img->bpp == 32))
        return "a read with an error, or without a whole picture";
    unsigned sum = 0;
    for (size_t i = 0; i < img->ByteCount(); ++i)
        sum = sum * 31 + img->data[i];
    checksum_sink = sum;
    return nullptr;
}

// The bytes as a whole file, opened as the programs open one.
inline const char *OpenInput(const uint8_t *d, size_t n)
{
    SmallPicturesOnly limit;
    ScratchFile file(d, n);
    mirlan::ReadError error = mirlan::ReadError::kNone;
    std::unique_ptr<CImage> img(mirlan::ReadImageFile(file.path.c_str(), &error));
    return Check(img.get(), error);
}

// The first byte picks a row of the formats table; its decoder reads the rest.
inline const char *DecodeInput(const uint8_t *d, size_t n)
{
    if (n == 0)
        return nullptr;
    const mirlan::ImageFormat &format = mirlan::Formats()[d[0] % mirlan::Formats().size()];
    SmallPicturesOnly limit;
    ScratchFile file(d + 1, n - 1);
    const int fd = open(file.path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        std::abort();
    mirlan::ReadError error = mirlan::ReadError::kNone;
    std::unique_ptr<CImage> img;
    {
        mirlan::ByteSource source(fd, n - 1);
        img.reset(format.decode(source, &error));
    }
    close(fd);
    return Check(img.get(), error);
}

}  // namespace mirlan_fuzz

#endif
