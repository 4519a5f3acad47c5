// formats.cpp: the table of picture file formats (see formats.h).
#include "image/formats.h"

#include <strings.h>

#include <cstring>
#include <sstream>

#include "image/image.h"
#include "image/pixel_decoders.h"

namespace mirlan {

namespace {

bool StartsWith(const unsigned char *head, size_t n, const char *bytes, size_t count)
{
    return n >= count && std::memcmp(head, bytes, count) == 0;
}

bool IsPng(const unsigned char *h, size_t n) { return StartsWith(h, n, "\x89PNG\r\n\x1a\n", 8); }
bool IsJpeg(const unsigned char *h, size_t n) { return StartsWith(h, n, "\xff\xd8\xff", 3); }
bool IsWebp(const unsigned char *h, size_t n)
{
    return StartsWith(h, n, "RIFF", 4) && n >= 12 && std::memcmp(h + 8, "WEBP", 4) == 0;
}
bool IsBmp(const unsigned char *h, size_t n) { return StartsWith(h, n, "BM", 2); }
bool IsPnm(const unsigned char *h, size_t n) { return n >= 2 && h[0] == 'P' && h[1] >= '1' && h[1] <= '6'; }

// TGA has no signature: a header whose colour-map kind and picture kind are
// ones TGA defines. Tried last; its decoder checks the rest.
bool IsTga(const unsigned char *h, size_t n)
{
    if (n < 18 || h[1] > 1)
        return false;
    switch (h[2]) {
    case 1: case 2: case 3: case 9: case 10: case 11:
        return true;
    default:
        return false;
    }
}

int WritePng(CImage *img, const char *path, const WriteOptions &) { return CImage::SavePNG(img, path); }
int WriteJpeg(CImage *img, const char *path, const WriteOptions &options)
{
    return CImage::SaveJPEG(img, path, options.jpegQuality);
}
int WriteBmp(CImage *img, const char *path, const WriteOptions &) { return CImage::SaveBMP(img, path); }
int WriteTga(CImage *img, const char *path, const WriteOptions &) { return CImage::SaveTGA(img, path); }

bool EndsWithExtension(const char *path, const std::string &extension)
{
    const size_t n = std::strlen(path), e = extension.size();
    return n > e + 1 && path[n - e - 1] == '.' && path[n - e - 2] != '/' &&
           strcasecmp(path + n - e, extension.c_str()) == 0;
}

}  // namespace

const std::vector<ImageFormat> &Formats()
{
    static const std::vector<ImageFormat> kFormats = {
        {"PNG", "&PNG", "png", "image/png;", IsPng, DecodePng, WritePng},
        {"JPEG", "&JPEG", "jpg jpeg", "image/jpeg;", IsJpeg, DecodeJpeg, WriteJpeg},
        {"WebP", nullptr, "webp", "image/webp;", IsWebp, DecodeWebp, nullptr},
        {"BMP", "Bitmap &BMP", "bmp", "image/bmp;", IsBmp, DecodeBmp, WriteBmp},
        {"PNM", nullptr, "ppm pgm pbm pnm",
         "image/x-portable-pixmap;image/x-portable-graymap;image/x-portable-bitmap;image/x-portable-anymap;",
         IsPnm, DecodePnm, nullptr},
        {"TGA", "Targa &TGA", "tga", "image/x-tga;", IsTga, DecodeTga, WriteTga},
    };
    return kFormats;
}

const ImageFormat *FormatNamed(const char *name)
{
    for (const ImageFormat &format : Formats())
        if (std::strcmp(format.name, name) == 0)
            return &format;
    return nullptr;
}

const ImageFormat *FormatOfContent(const unsigned char *head, size_t n)
{
    for (const ImageFormat &format : Formats())
        if (format.matches(head, n))
            return &format;
    return nullptr;
}

std::vector<std::string> Extensions(const ImageFormat &format)
{
    std::istringstream words(format.extensions);
    std::vector<std::string> list;
    for (std::string word; words >> word;)
        list.push_back(word);
    return list;
}

const ImageFormat *WritableFormatOfName(const char *path)
{
    for (const ImageFormat *format : WritableFormats())
        for (const std::string &extension : Extensions(*format))
            if (path && EndsWithExtension(path, extension))
                return format;
    return nullptr;
}

std::string ChooserPattern(const std::vector<const ImageFormat *> &formats)
{
    std::string list;
    for (const ImageFormat *format : formats)
        for (const std::string &extension : Extensions(*format))
            list += (list.empty() ? "" : ",") + extension;
    return "*.{" + list + "}";
}

std::vector<const ImageFormat *> ReadableFormats()
{
    std::vector<const ImageFormat *> list;
    for (const ImageFormat &format : Formats())
        list.push_back(&format);
    return list;
}

std::vector<const ImageFormat *> WritableFormats()
{
    std::vector<const ImageFormat *> list;
    for (const ImageFormat &format : Formats())
        if (format.write)
            list.push_back(&format);
    return list;
}

}  // namespace mirlan
