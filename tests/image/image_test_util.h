// image_test_util.h: helpers shared by the image tests: a private temporary
// directory, whole-file reading and writing, small synthetic images, plain
// reference encoders, a BMP builder, a PNM parser and the GraphicsMagick and
// netpbm readers.
#ifndef MIRLAN_TESTS_IMAGE_TEST_UTIL_H
#define MIRLAN_TESTS_IMAGE_TEST_UTIL_H

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <initializer_list>
#include <memory>
#include <string>
#include <vector>

#include "image/image.h"

namespace testutil {

using Bytes = std::vector<unsigned char>;

// A directory of its own under TMPDIR (or /tmp), removed with its contents.
class TempDir {
public:
    TempDir();
    ~TempDir();
    const std::string &path() const { return path_; }
    std::string File(const std::string &name) const { return path_ + "/" + name; }
    // Names of the entries in the directory, "." and ".." excluded.
    std::vector<std::string> Entries() const;

private:
    std::string path_;
};

Bytes ReadFile(const std::string &path);
void WriteFile(const std::string &path, const Bytes &bytes);
bool FileExists(const std::string &path);

// A w × h image at bpp bits whose bytes follow a fixed pseudo-random sequence.
std::unique_ptr<CImage> MakeImage(int w, int h, int bpp, unsigned seed = 1);
// The image's pixel bytes as a vector.
Bytes PixelsOf(const CImage &img);

unsigned Le16(const Bytes &b, size_t at);
uint32_t Le32(const Bytes &b, size_t at);
int32_t Le32Signed(const Bytes &b, size_t at);

// a followed by b.
Bytes Cat(Bytes a, const Bytes &b);
// The values as little-endian 32-bit words.
Bytes Le32s(std::initializer_list<uint32_t> values);

// A BMP: file header, a header of infoBytes (12: core; else the INFO fields,
// then `tail` from its byte 40, e.g. V4/V5 masks), `between` (masks after an
// INFO header, or the palette) and the pixels, which start right after.
Bytes Bmp(uint32_t infoBytes, int32_t w, int32_t h, unsigned bpp, uint32_t compression, uint32_t colours,
          const Bytes &between, const Bytes &pixels, const Bytes &tail = {});

// An 18-byte TGA header with the given fields (the rest zero).
Bytes TgaHeader(int type, int width, int height, int depth, int descriptor = 0,
                int idLength = 0, int mapType = 0, int mapLength = 0, int mapBits = 0);

// A decoded PNM picture: always three channels per pixel (grey repeated).
struct Rgb {
    int width = 0;
    int height = 0;
    Bytes pixels;
};
// Parses P5 or P6 with maxval 255; width 0 if the bytes are not such a file.
Rgb ParsePnm(const Bytes &bytes);
// The image as three channels per pixel: grey repeated (8 bits), the first
// three bytes (24 and 32 bits), grey repeated from the first byte (16 bits).
Rgb ToRgb(const CImage &img);

// True when GraphicsMagick's gm is on the PATH.
bool HaveGm();
// `gm convert path ppm:-` parsed; width 0 if gm failed.
Rgb GmRead(const std::string &path);
// True when netpbm's bmptopnm and pamdepth are on the PATH.
bool HaveNetpbm();
// The picture netpbm reads from a BMP or PNM file, at maxval 255; width 0
// if it refused the file.
Rgb NetpbmRead(const std::string &path);
// Runs `gm convert from to`; true on success.
bool GmConvert(const std::string &from, const std::string &to);

}  // namespace testutil

#endif
