// fuzz_input.h: what the fuzz targets do with one input, shared with the
// hardening tests that replay the corpus and every input that ever crashed.
//
// An input is written to a scratch file and opened the way the program opens
// a file the user chose: straight through CImage::LoadTGA, or through
// ReadImageFile, whose reader is picked by the name's extension. Each
// run then checks that the result is consistent; a check that fails returns
// its description (the fuzz targets abort on it, the tests report it).
#ifndef MIRLAN_FUZZ_INPUT_H
#define MIRLAN_FUZZ_INPUT_H

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <unistd.h>

#include "image/image.h"
#include "image/image_file.h"

namespace mirlan_fuzz {

// A private folder in memory-backed /dev/shm (or /tmp) holding the one file
// that every run rewrites.
class ScratchFile {
public:
    ScratchFile()
    {
        for (const char *base : {"/dev/shm", "/tmp"}) {
            std::string pattern = std::string(base) + "/mirlan_fuzz_XXXXXX";
            if (mkdtemp(&pattern[0])) {
                dir_ = pattern;
                return;
            }
        }
        std::abort();
    }
    ~ScratchFile()
    {
        unlink(path_.c_str());
        rmdir(dir_.c_str());
    }
    ScratchFile(const ScratchFile &) = delete;
    ScratchFile &operator=(const ScratchFile &) = delete;

    // Writes n bytes as "input<extension>" and returns its path.
    const char *Write(const uint8_t *bytes, size_t n, const char *extension)
    {
        if (!path_.empty())
            unlink(path_.c_str());
        path_ = dir_ + "/input" + extension;
        FILE *f = std::fopen(path_.c_str(), "wb");
        if (!f || (n && std::fwrite(bytes, 1, n, f) != n) || std::fclose(f) != 0)
            std::abort();
        return path_.c_str();
    }

private:
    std::string dir_;
    std::string path_;
};

// The extension an open input is saved under, from its first byte.
inline const char *ExtensionFor(uint8_t selector)
{
    static const char *const kExtensions[] = {".bmp", ".ppm", ".pgm", ".tga"};
    return kExtensions[selector & 3];
}

inline uint32_t Le(const uint8_t *p, int bytes)
{
    uint32_t v = 0;
    for (int i = bytes - 1; i >= 0; --i)
        v = (v << 8) | p[i];
    return v;
}

// Readers size the picture from the header and fill what a short file lacks
// (TGA), or decompress it (run-length BMP), so an input of a few bytes may
// legitimately ask for gigabytes. The fuzzer skips such inputs to keep
// each run fast; the large-image tests cover the sizes themselves.
const uint64_t kMaxFuzzPixels = uint64_t(1) << 18;

inline uint64_t DeclaredTgaPixels(const uint8_t *d, size_t n)
{
    return n < 18 ? 0 : uint64_t(Le(d + 12, 2)) * Le(d + 14, 2);
}

inline uint64_t DeclaredBmpPixels(const uint8_t *d, size_t n)
{
    if (n < 26 || d[0] != 'B' || d[1] != 'M')
        return 0;
    if (Le(d + 14, 4) == 12)
        return uint64_t(Le(d + 18, 2)) * Le(d + 20, 2);
    int64_t w = int32_t(Le(d + 18, 4)), h = int32_t(Le(d + 22, 4));
    return uint64_t(w < 0 ? -w : w) * uint64_t(h < 0 ? -h : h);
}

// Reads every pixel byte, so that a short or stale buffer shows up under
// the sanitizers, and folds them into a value the compiler cannot drop.
inline unsigned Checksum(const CImage &img)
{
    unsigned sum = 0;
    const size_t n = img.ByteCount();
    for (size_t i = 0; i < n; ++i)
        sum = sum * 31 + img.data[i];
    return sum;
}

inline bool IsWellFormed(const CImage &img)
{
    return img.width >= 1 && img.height >= 1 && img.data != nullptr &&
           (img.bpp == 8 || img.bpp == 16 || img.bpp == 24 || img.bpp == 32);
}

// Volatile sink for checksums.
inline volatile unsigned &Sink()
{
    static volatile unsigned sink;
    return sink;
}

// LoadTGA on the bytes. Returns null when the outcome is consistent, else
// what is wrong.
inline const char *RunLoadTGA(const uint8_t *data, size_t size, ScratchFile &scratch)
{
    if (DeclaredTgaPixels(data, size) > kMaxFuzzPixels)
        return nullptr;
    CImage img;
    const int status = CImage::LoadTGA(&img, scratch.Write(data, size, ".tga"));
    if (status != CImage::kOk)
        return status >= 0 && status <= 3 ? nullptr : "LoadTGA returned an unknown status";
    if (!IsWellFormed(img) || (img.bpp != 8 && img.bpp != 24))
        return "LoadTGA succeeded with an image that is not 8 or 24 bits with pixels";
    Sink() = Checksum(img);
    return nullptr;
}

// ReadImageFile on the bytes after the first, saved under the extension
// the first byte selects: a refusal must say why, a success must give a
// whole picture.
inline const char *RunOpenImage(const uint8_t *data, size_t size, ScratchFile &scratch)
{
    if (size == 0)
        return nullptr;
    const char *extension = ExtensionFor(data[0]);
    ++data;
    --size;
    if (DeclaredTgaPixels(data, size) > kMaxFuzzPixels || DeclaredBmpPixels(data, size) > kMaxFuzzPixels)
        return nullptr;
    mirlan::ReadError error = mirlan::ReadError::kNone;
    std::unique_ptr<CImage> img(mirlan::ReadImageFile(scratch.Write(data, size, extension), &error));
    if (!img)
        return error == mirlan::ReadError::kNone ? "a refusal without its reason" : nullptr;
    if (error != mirlan::ReadError::kNone || !IsWellFormed(*img) || img->bpp == 16)
        return "a successful read with an error or without a whole 8, 24 or 32-bit picture";
    Sink() = Checksum(*img);
    return nullptr;
}

}  // namespace mirlan_fuzz

#endif
