// exif.cpp: the EXIF orientation of a JPEG, read and applied (see exif.h).
// Every offset from the segment is checked against its length before use.
#include "image/exif.h"

#include <cstdint>
#include <cstring>
#include <memory>
#include <new>

#include "image/image.h"

namespace mirlan {

namespace {

constexpr unsigned kOrientationTag = 0x0112;
constexpr unsigned kShortType = 3;
constexpr size_t kEntryBytes = 12;

struct Tiff {
    const unsigned char *p;
    size_t size;
    bool little;

    unsigned U16(size_t at) const { return little ? p[at] | p[at + 1] << 8 : p[at] << 8 | p[at + 1]; }
    uint32_t U32(size_t at) const
    {
        return little ? U16(at) | uint32_t(U16(at + 2)) << 16 : uint32_t(U16(at)) << 16 | U16(at + 2);
    }
    bool Holds(size_t at, size_t n) const { return at <= size && n <= size - at; }
};

// Where the pixel (x, y) of the upright picture comes from in the stored
// one (w x h); the stored picture's row 0 is what orientation names.
struct Source {
    int x, y;
};

Source SourceOf(int orientation, int x, int y, int w, int h)
{
    switch (orientation) {
    case 2: return {w - 1 - x, y};          // mirrored left to right
    case 3: return {w - 1 - x, h - 1 - y};  // upside down
    case 4: return {x, h - 1 - y};          // mirrored top to bottom
    case 5: return {y, x};                  // transposed
    case 6: return {y, h - 1 - x};          // turn a quarter clockwise
    case 7: return {w - 1 - y, h - 1 - x};  // transversed
    case 8: return {w - 1 - y, x};          // turn a quarter anticlockwise
    default: return {x, y};
    }
}

}  // namespace

int ExifOrientation(const unsigned char *data, size_t n)
{
    static const unsigned char kExif[6] = {'E', 'x', 'i', 'f', 0, 0};
    if (n < sizeof kExif + 8 || std::memcmp(data, kExif, sizeof kExif) != 0)
        return 1;
    Tiff tiff{data + sizeof kExif, n - sizeof kExif, data[6] == 'I'};
    if (!((data[6] == 'I' && data[7] == 'I') || (data[6] == 'M' && data[7] == 'M')) || tiff.U16(2) != 42)
        return 1;
    const size_t directory = tiff.U32(4);
    if (!tiff.Holds(directory, 2))
        return 1;
    for (size_t i = 0, entries = tiff.U16(directory); i < entries; ++i) {
        const size_t entry = directory + 2 + i * kEntryBytes;
        if (!tiff.Holds(entry, kEntryBytes))
            return 1;
        if (tiff.U16(entry) != kOrientationTag)
            continue;
        const unsigned value = tiff.U16(entry + 8);
        return tiff.U16(entry + 2) == kShortType && tiff.U32(entry + 4) == 1 && value >= 1 && value <= 8 ? int(value) : 1;
    }
    return 1;
}

CImage *Orient(CImage *img, int orientation)
{
    if (orientation < 2 || orientation > 8)
        return img;
    std::unique_ptr<CImage> stored(img);
    const int w = stored->width, h = stored->height, bytes = stored->BytesPerPixel();
    const bool turned = orientation >= 5;
    const int ow = turned ? h : w, oh = turned ? w : h;
    std::unique_ptr<unsigned char[]> pixels(new (std::nothrow) unsigned char[CImage::ByteCount(ow, oh, stored->bpp)]);
    if (!pixels)
        return nullptr;
    const size_t rowBytes = stored->RowBytes();
    unsigned char *dst = pixels.get();
    for (int y = 0; y < oh; ++y)
        for (int x = 0; x < ow; ++x, dst += bytes) {
            const Source s = SourceOf(orientation, x, y, w, h);
            std::memcpy(dst, stored->data + size_t(s.y) * rowBytes + size_t(s.x) * bytes, size_t(bytes));
        }
    stored->Replace(pixels.release(), ow, oh, stored->bpp);
    return stored.release();
}

}  // namespace mirlan
