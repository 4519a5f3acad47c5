// image_test_util.h: what the image tests share: a private folder, whole
// files, patterned pictures, a command's output, and pictures as RGBA, ours
// and as the independent readers our files are checked against read them.
#ifndef MIRLAN_TESTS_IMAGE_TEST_UTIL_H
#define MIRLAN_TESTS_IMAGE_TEST_UTIL_H

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <regex>
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

// What a shell command prints; empty if it failed.
inline Bytes Output(const std::string &cmd)
{
    FILE *p = popen(("{ " + cmd + "; } 2>/dev/null").c_str(), "r");
    Bytes b;
    for (int c; p && (c = std::fgetc(p)) != EOF;)
        b.push_back(static_cast<unsigned char>(c));
    return p && pclose(p) == 0 ? b : Bytes();
}

// A picture as red, green, blue, alpha bytes (alpha 255 where its source has
// none), so that pictures of any layout compare.
struct Rgba {
    int w = 0, h = 0;
    Bytes px;
    bool alpha = false;  // its source has an alpha channel
    bool operator==(const Rgba &o) const { return w == o.w && h == o.h && px == o.px; }
};

inline Rgba FromChannels(int w, int h, int channels, const unsigned char *p)
{
    Rgba r{w, h, {}, channels % 2 == 0};
    const bool grey = channels <= 2;
    for (size_t i = 0, n = size_t(w) * h; i < n; ++i, p += channels)
        r.px.insert(r.px.end(), {p[0], p[grey ? 0 : 1], p[grey ? 0 : 2], r.alpha ? p[channels - 1] : (unsigned char)255});
    return r;
}

inline Rgba FromImage(const CImage &img) { return FromChannels(img.width, img.height, img.bpp / 8, img.data); }

// The picture as a reader that ignores alpha, or a writer that drops it, sees it.
inline Rgba Opaque(Rgba r)
{
    for (size_t i = 3; i < r.px.size(); i += 4)
        r.px[i] = 255;
    r.alpha = false;
    return r;
}

// The picture a shell command prints in any netpbm format; empty if it failed.
inline Rgba CommandRead(const std::string &cmd)
{
    const Bytes b = Output("{ " + cmd + "; } | pamdepth 255");
    const std::string head(b.begin(), b.begin() + std::min<size_t>(b.size(), 200));
    static const std::regex pnm(R"(^P([56])\n(\d+) (\d+)\n255\n)");
    static const std::regex pam(R"(^P7\nWIDTH (\d+)\nHEIGHT (\d+)\nDEPTH (\d)\nMAXVAL 255\n(TUPLTYPE \w+\n)?ENDHDR\n)");
    std::smatch m;
    int w, h, channels;
    if (std::regex_search(head, m, pnm))
        w = std::stoi(m[2]), h = std::stoi(m[3]), channels = m[1] == "6" ? 3 : 1;
    else if (std::regex_search(head, m, pam))
        w = std::stoi(m[1]), h = std::stoi(m[2]), channels = std::stoi(m[3]);
    else
        return {};
    const size_t at = size_t(m.length(0));
    return b.size() - at == size_t(w) * h * channels ? FromChannels(w, h, channels, b.data() + at) : Rgba();
}

// The command with which an independent reader prints the picture of path;
// empty for a name that is none.
inline std::string ReaderCommand(const std::string &reader, const std::string &path)
{
    const std::string f = " '" + path + "'", extension = path.substr(path.rfind('.') + 1);
    const std::pair<const char *, std::string> commands[] = {
        {"gm", "gm convert" + f + " ppm:-"},
        {"netpbm", (extension == "bmp" ? "bmptopnm" : extension == "tga" ? "tgatoppm" : "cat") + f},
        {"pngtopam", "pngtopam -alphapam" + f},
        {"im", "convert-im6.q16" + f + " pam:-"},  // ImageMagick
        {"djpeg", "djpeg" + f},
        {"dwebp", "dwebp -quiet -pam" + f + " -o -"},
        {"webpmux", "webpmux -get frame 1" + f + " -o - | dwebp -quiet -pam -o - -- -"}};  // a first frame
    for (const auto &command : commands)
        if (reader == command.first)
            return command.second;
    return "";
}

inline Rgba ReadBy(const std::string &reader, const std::string &path) { return CommandRead(ReaderCommand(reader, path)); }

}  // namespace testutil

#endif
