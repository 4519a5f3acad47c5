// image_test_util.h: helpers shared by the image tests: a private temporary
// directory, whole-file reading and writing, small synthetic images, plain
// reference encoders, a PNM parser and the GraphicsMagick reader.
#ifndef MIRLAN_TESTS_IMAGE_TEST_UTIL_H
#define MIRLAN_TESTS_IMAGE_TEST_UTIL_H

#include <cstdint>
#include <cstdio>
#include <cstdlib>
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
// Runs `gm convert from to`; true on success.
bool GmConvert(const std::string &from, const std::string &to);

}  // namespace testutil

#endif
