// image_test_util.cpp: the helpers of image_test_util.h.
#include "image_test_util.h"

#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cctype>
#include <cstring>
#include <fstream>
#include <iterator>
#include <sstream>
#include <stdexcept>

namespace testutil {

TempDir::TempDir()
{
    const char *base = std::getenv("TMPDIR");
    std::string pattern = std::string(base && *base ? base : "/tmp") + "/mirlan-image-XXXXXX";
    std::vector<char> buf(pattern.begin(), pattern.end());
    buf.push_back('\0');
    if (!mkdtemp(buf.data()))
        throw std::runtime_error("mkdtemp failed");
    path_ = buf.data();
}

namespace {

// Removes path and, if it is a directory, everything in it.
void RemoveTree(const std::string &path)
{
    if (unlink(path.c_str()) == 0)
        return;
    chmod(path.c_str(), 0700);
    if (DIR *d = opendir(path.c_str())) {
        while (struct dirent *e = readdir(d))
            if (std::strcmp(e->d_name, ".") && std::strcmp(e->d_name, ".."))
                RemoveTree(path + "/" + e->d_name);
        closedir(d);
    }
    rmdir(path.c_str());
}

}  // namespace

TempDir::~TempDir() { RemoveTree(path_); }

std::vector<std::string> TempDir::Entries() const
{
    std::vector<std::string> names;
    DIR *d = opendir(path_.c_str());
    if (!d)
        return names;
    while (struct dirent *e = readdir(d))
        if (std::strcmp(e->d_name, ".") && std::strcmp(e->d_name, ".."))
            names.push_back(e->d_name);
    closedir(d);
    return names;
}

Bytes ReadFile(const std::string &path)
{
    std::ifstream in(path, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void WriteFile(const std::string &path, const Bytes &bytes)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char *>(bytes.data()), std::streamsize(bytes.size()));
}

bool FileExists(const std::string &path)
{
    struct stat st;
    return stat(path.c_str(), &st) == 0;
}

std::unique_ptr<CImage> MakeImage(int w, int h, int bpp, unsigned seed)
{
    auto img = std::make_unique<CImage>(w, h, bpp);
    uint32_t state = seed * 2654435761u + 12345u;
    for (size_t i = 0; i < img->ByteCount(); ++i) {
        state = state * 1664525u + 1013904223u;
        img->data[i] = static_cast<unsigned char>(state >> 24);
    }
    return img;
}

Bytes PixelsOf(const CImage &img) { return Bytes(img.data, img.data + img.ByteCount()); }

unsigned Le16(const Bytes &b, size_t at) { return b.at(at) | (b.at(at + 1) << 8); }

uint32_t Le32(const Bytes &b, size_t at) { return Le16(b, at) | (uint32_t(Le16(b, at + 2)) << 16); }

int32_t Le32Signed(const Bytes &b, size_t at) { return static_cast<int32_t>(Le32(b, at)); }

Bytes Cat(Bytes a, const Bytes &b)
{
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

Bytes Le32s(std::initializer_list<uint32_t> values)
{
    Bytes b;
    for (uint32_t v : values)
        for (int i = 0; i < 4; ++i)
            b.push_back((v >> (8 * i)) & 255);
    return b;
}

Bytes Bmp(uint32_t infoBytes, int32_t w, int32_t h, unsigned bpp, uint32_t compression, uint32_t colours,
          const Bytes &between, const Bytes &pixels, const Bytes &tail)
{
    Bytes info;
    if (infoBytes == 12) {
        info = Le32s({12, uint32_t(w) | uint32_t(h) << 16, 1 | bpp << 16});
    } else {
        info = Le32s({infoBytes, uint32_t(w), uint32_t(h), 1 | bpp << 16, compression, 0, 0, 0, colours, 0});
        info = Cat(info, tail);
        info.resize(infoBytes, 0);
    }
    const uint32_t offBits = uint32_t(14 + info.size() + between.size());
    const Bytes head = Cat({'B', 'M'}, Le32s({offBits + uint32_t(pixels.size()), 0, offBits}));
    return Cat(Cat(Cat(head, info), between), pixels);
}

Bytes TgaHeader(int type, int width, int height, int depth, int descriptor, int idLength,
                int mapType, int mapLength, int mapBits)
{
    Bytes h(18, 0);
    h[0] = static_cast<unsigned char>(idLength);
    h[1] = static_cast<unsigned char>(mapType);
    h[2] = static_cast<unsigned char>(type);
    h[5] = static_cast<unsigned char>(mapLength & 255);
    h[6] = static_cast<unsigned char>(mapLength >> 8);
    h[7] = static_cast<unsigned char>(mapBits);
    h[12] = static_cast<unsigned char>(width & 255);
    h[13] = static_cast<unsigned char>((width >> 8) & 255);
    h[14] = static_cast<unsigned char>(height & 255);
    h[15] = static_cast<unsigned char>((height >> 8) & 255);
    h[16] = static_cast<unsigned char>(depth);
    h[17] = static_cast<unsigned char>(descriptor);
    return h;
}

namespace {

// Reads the next decimal field of a PNM header, skipping blanks and comments.
bool NextNumber(const Bytes &b, size_t &at, int &value)
{
    while (at < b.size()) {
        if (b[at] == '#') {
            while (at < b.size() && b[at] != '\n')
                ++at;
        } else if (std::isspace(b[at])) {
            ++at;
        } else {
            break;
        }
    }
    if (at >= b.size() || !std::isdigit(b[at]))
        return false;
    value = 0;
    while (at < b.size() && std::isdigit(b[at]))
        value = value * 10 + (b[at++] - '0');
    return true;
}

}  // namespace

Rgb ParsePnm(const Bytes &b)
{
    Rgb out;
    if (b.size() < 2 || b[0] != 'P' || (b[1] != '5' && b[1] != '6'))
        return out;
    const int channels = b[1] == '6' ? 3 : 1;
    size_t at = 2;
    int w, h, maxval;
    if (!NextNumber(b, at, w) || !NextNumber(b, at, h) || !NextNumber(b, at, maxval) || maxval != 255)
        return out;
    ++at;  // the single blank after maxval
    const size_t n = size_t(w) * size_t(h);
    if (b.size() < at + n * channels)
        return out;
    out.pixels.resize(n * 3);
    for (size_t i = 0; i < n; ++i)
        for (int c = 0; c < 3; ++c)
            out.pixels[3 * i + c] = b[at + i * channels + (channels == 3 ? c : 0)];
    out.width = w;
    out.height = h;
    return out;
}

Rgb ToRgb(const CImage &img)
{
    Rgb out;
    out.width = img.width;
    out.height = img.height;
    const size_t n = size_t(img.width) * size_t(img.height);
    const int bytes = img.bpp / 8;
    out.pixels.resize(n * 3);
    for (size_t i = 0; i < n; ++i)
        for (int c = 0; c < 3; ++c)
            out.pixels[3 * i + c] = img.data[i * bytes + (bytes >= 3 ? c : 0)];
    return out;
}

bool HaveGm() { return std::system("command -v gm >/dev/null 2>&1") == 0; }

namespace {

// The PPM that a shell command writes, parsed; width 0 if it failed.
Rgb CommandRead(const std::string &cmd)
{
    FILE *p = popen(cmd.c_str(), "r");
    if (!p)
        return Rgb();
    Bytes bytes;
    unsigned char buf[65536];
    size_t n;
    while ((n = std::fread(buf, 1, sizeof buf, p)) > 0)
        bytes.insert(bytes.end(), buf, buf + n);
    if (pclose(p) != 0)
        return Rgb();
    return ParsePnm(bytes);
}

}  // namespace

Rgb GmRead(const std::string &path) { return CommandRead("gm convert '" + path + "' ppm:- 2>/dev/null"); }

bool HaveNetpbm()
{
    return std::system("command -v bmptopnm >/dev/null 2>&1 && command -v pamdepth >/dev/null 2>&1") == 0;
}

Rgb NetpbmRead(const std::string &path)
{
    const bool bmp = path.size() > 4 && path.compare(path.size() - 4, 4, ".bmp") == 0;
    const std::string read = (bmp ? "bmptopnm '" : "cat '") + path + "'";
    return CommandRead(read + " 2>/dev/null | pamdepth 255 2>/dev/null | ppmtoppm 2>/dev/null");
}

bool GmConvert(const std::string &from, const std::string &to)
{
    std::string cmd = "gm convert '" + from + "' '" + to + "' 2>/dev/null";
    return std::system(cmd.c_str()) == 0;
}

}  // namespace testutil
