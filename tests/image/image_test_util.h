// image_test_util.h: what the image tests share: a private folder, whole
// files, patterned pictures, and pictures as GraphicsMagick and netpbm read
// them (the independent readers our files are checked against).
#ifndef MIRLAN_TESTS_IMAGE_TEST_UTIL_H
#define MIRLAN_TESTS_IMAGE_TEST_UTIL_H

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

#include "image/image.h"

namespace testutil {

using Bytes = std::vector<unsigned char>;

struct TempDir {
    std::string path = std::filesystem::temp_directory_path() / "mirlan-image-XXXXXX";
    TempDir() { mkdtemp(&path[0]); }
    ~TempDir() { std::filesystem::remove_all(path); }
    std::string File(const std::string &name) const { return path + "/" + name; }
};

inline Bytes ReadFile(const std::string &path)
{
    std::ifstream in(path, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), {});
}

inline void WriteFile(const std::string &path, const Bytes &b)
{
    std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char *>(b.data()), std::streamsize(b.size()));
}

// w x h pixels of bpp bits whose bytes follow a pseudo-random sequence.
inline std::unique_ptr<CImage> MakeImage(int w, int h, int bpp, unsigned seed = 1)
{
    auto img = std::make_unique<CImage>(w, h, bpp);
    for (size_t i = 0; i < img->ByteCount(); ++i)
        img->data[i] = static_cast<unsigned char>((seed = seed * 1664525u + 1013904223u) >> 24);
    return img;
}

// A picture as width, height and red, green, blue bytes (grey repeated).
struct Rgb {
    int width = 0, height = 0;
    Bytes pixels;
    bool operator==(const Rgb &o) const { return width == o.width && height == o.height && pixels == o.pixels; }
};

inline Rgb ToRgb(const CImage &img)
{
    Rgb out{img.width, img.height, {}};
    for (size_t i = 0, n = size_t(img.width) * img.height; i < n; ++i)
        for (size_t c = 0; c < 3; ++c)
            out.pixels.push_back(img.data[i * (img.bpp / 8) + (img.bpp >= 24 ? c : 0)]);
    return out;
}

// The P6 picture (maxval 255) that a shell command prints; width 0 if it failed.
inline Rgb CommandRead(const std::string &cmd)
{
    Rgb out;
    FILE *p = popen(("{ " + cmd + "; } 2>/dev/null").c_str(), "r");
    Bytes b;
    for (int c; p && (c = std::fgetc(p)) != EOF;)
        b.push_back(static_cast<unsigned char>(c));
    int maxval = 0, at = 0;
    b.push_back(0);
    if (!p || pclose(p) != 0 ||
        std::sscanf(reinterpret_cast<const char *>(b.data()), "P6 %d %d %d%n", &out.width, &out.height, &maxval, &at) != 3)
        return Rgb();
    out.pixels.assign(b.begin() + at + 1, b.end() - 1);
    return out;
}

inline Rgb GmRead(const std::string &path) { return CommandRead("gm convert '" + path + "' ppm:- | ppmtoppm"); }

inline Rgb NetpbmRead(const std::string &path)
{
    const bool bmp = path.substr(path.size() - 4) == ".bmp";
    return CommandRead((bmp ? "bmptopnm '" : "cat '") + path + "' | pamdepth 255 | ppmtoppm");
}

}  // namespace testutil

#endif
