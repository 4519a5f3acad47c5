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

inline std::string Hex(const unsigned char *p, size_t n)
{
    static const char digits[] = "0123456789abcdef";
    std::string s;
    for (size_t i = 0; i < n; ++i)
        s += {digits[p[i] >> 4], digits[p[i] & 15]};
    return s;
}

// w x h pixels of bpp bits whose bytes follow a pseudo-random sequence.
inline std::unique_ptr<CImage> MakeImage(int w, int h, int bpp, unsigned seed = 1)
{
    auto img = std::make_unique<CImage>(w, h, bpp);
    for (size_t i = 0; i < img->ByteCount(); ++i)
        img->data[i] = static_cast<unsigned char>((seed = seed * 1664525u + 1013904223u) >> 24);
    return img;
}

// A picture as netpbm prints it: "P6\nW H\n255\n", then red, green, blue
// bytes (grey repeated; alpha dropped).
inline Bytes ToPpm(const CImage &img)
{
    const std::string head = "P6\n" + std::to_string(img.width) + " " + std::to_string(img.height) + "\n255\n";
    Bytes out(head.begin(), head.end());
    for (size_t i = 0, n = size_t(img.width) * img.height; i < n; ++i)
        for (size_t c = 0; c < 3; ++c)
            out.push_back(img.data[i * (img.bpp / 8) + (img.bpp >= 24 ? c : 0)]);
    return out;
}

// What a shell command prints, normalised by netpbm's ppmtoppm; empty if it failed.
inline Bytes CommandRead(const std::string &cmd)
{
    FILE *p = popen(("{ " + cmd + " | ppmtoppm; } 2>/dev/null").c_str(), "r");
    Bytes b;
    for (int c; p && (c = std::fgetc(p)) != EOF;)
        b.push_back(static_cast<unsigned char>(c));
    return p && pclose(p) == 0 ? b : Bytes();
}

inline Bytes GmRead(const std::string &path) { return CommandRead("gm convert '" + path + "' ppm:-"); }

inline Bytes NetpbmRead(const std::string &path)
{
    const std::string extension = path.substr(path.size() - 4);
    const char *reader = extension == ".bmp" ? "bmptopnm '" : extension == ".tga" ? "tgatoppm '" : "cat '";
    return CommandRead(reader + path + "' | pamdepth 255");
}

}  // namespace testutil

#endif
