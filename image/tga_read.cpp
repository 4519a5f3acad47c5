// tga_read.cpp: reading Truevision TGA files (see pixel_decoders.h).
//
// Pixels are 8-bit grey, 16-bit 5-5-5 colour, 24-bit BGR or 32-bit BGRA
// (alpha dropped), or 8- or 16-bit indices into a colour map of 15-, 16-,
// 24- or 32-bit entries whose first index the header gives; plain (types 1
// to 3) or run-length compressed (9 to 11). 8-bit true-colour or grey pixels
// give an 8-bit image, everything else a 24-bit one. An index outside the
// map refuses the file. A plain file cut in its pixels reads as if its
// missing bytes were zero (one with no pixel byte is refused); a compressed
// stream must hold the whole picture and no packet may pass its end. Packets
// may cross rows, as many writers make them. Rows are decoded straight into
// the picture, bottom row first unless the origin bit says otherwise.
#include <algorithm>
#include <cstring>
#include <memory>
#include <new>

#include "image/codec_rows.h"
#include "image/image.h"
#include "image/pixel_decoders.h"

namespace mirlan {

namespace {

constexpr size_t kHeaderBytes = 18;
constexpr unsigned kTopToBottomBit = 0x20;
constexpr unsigned kRunBit = 0x80;
constexpr size_t kLongestPacket = 128;
constexpr size_t kBlockBytes = size_t(1) << 20;  // the byte source's window

struct Tga {
    int width = 0;
    int height = 0;
    bool compressed = false;
    bool topFirst = false;
    unsigned pixelBytes = 1;   // in the file
    int imageBpp = 8;
    size_t pixelsAt = 0;
    RowConverter convert = nullptr;  // true colour to the image; null copies
    // The colour map, as red, green, blue entries, for indexed pixels.
    std::unique_ptr<unsigned char[]> map;
    uint32_t firstIndex = 0;
    uint32_t mapEntries = 0;
};

bool IsKnownType(unsigned type) { return (type >= 1 && type <= 3) || (type >= 9 && type <= 11); }

bool IsPixelDepth(unsigned depth, bool indexed)
{
    return depth == 8 || depth == 16 || (!indexed && (depth == 24 || depth == 32));
}

RowConverter PixelConverter(unsigned bits)
{
    switch (bits) {
    case 15:
    case 16: return Rgb555ToRgb;
    case 24: return SwapRedBlue24;
    case 32: return SwapRedBlueDropFourth;
    default: return nullptr;
    }
}

// Reads the colour map at `at`, every entry of which must be in the file.
ReadError ReadMap(ByteSource &file, size_t at, unsigned entryBits, Tga *t)
{
    const RowConverter convert = PixelConverter(entryBits);
    if (!convert || t->mapEntries == 0)
        return ReadError::kBadFormat;
    const unsigned char *entries = file.Get(at, size_t(t->mapEntries) * ((entryBits + 7) / 8));
    if (!entries)
        return ReadError::kBadFormat;
    t->map.reset(new (std::nothrow) unsigned char[3 * size_t(t->mapEntries)]);
    if (!t->map)
        return ReadError::kNoMemory;
    convert(entries, t->map.get(), t->mapEntries);
    return ReadError::kNone;
}

ReadError ParseHeader(ByteSource &file, Tga *t)
{
    const unsigned char *h = file.Get(0, kHeaderBytes);
    if (!h || !IsKnownType(h[2]))
        return ReadError::kBadFormat;
    const unsigned idBytes = h[0], mapType = h[1], type = h[2], mapLength = GetLE16(h + 5),
                   entryBits = h[7], depth = h[16];
    t->firstIndex = GetLE16(h + 3);
    t->mapEntries = mapLength;
    t->topFirst = (h[17] & kTopToBottomBit) != 0;
    for (int64_t side : {int64_t(GetLE16(h + 12)), int64_t(GetLE16(h + 14))})
        if (CheckSide(side) != ReadError::kNone)
            return CheckSide(side);
    t->width = int(GetLE16(h + 12));
    t->height = int(GetLE16(h + 14));
    t->compressed = type >= 9;
    const bool indexed = type == 1 || type == 9;
    if (!IsPixelDepth(depth, indexed))
        return ReadError::kBadFormat;
    t->pixelBytes = depth / 8;
    t->imageBpp = depth == 8 && !indexed ? 8 : 24;
    t->convert = PixelConverter(depth);
    // A map the picture does not use is skipped, entries rounded up to bytes.
    const size_t mapAt = kHeaderBytes + idBytes;
    t->pixelsAt = mapAt + (mapType == 1 ? size_t(mapLength) * ((entryBits + 7) / 8) : 0);
    if (!indexed)
        return ReadError::kNone;
    return mapType == 1 ? ReadMap(file, mapAt, entryBits, t) : ReadError::kBadFormat;
}

// Whether the file can hold the picture's pixels at all, checked before the
// picture is allocated: one byte of a plain file, or a compressed stream of
// the longest packets.
bool CanHoldPixels(const Tga &t, size_t size)
{
    if (t.pixelsAt >= size)
        return false;
    if (!t.compressed)
        return true;
    const uint64_t pixels = uint64_t(t.width) * uint64_t(t.height);
    const uint64_t packets = (pixels + kLongestPacket - 1) / kLongestPacket;
    return packets * (1 + t.pixelBytes) <= size - t.pixelsAt;
}

// The file's pixels, in file order, into the picture's rows: rows may be
// crossed, the picture's end may not.
class PixelSink {
public:
    PixelSink(const Tga &t, CImage &img)
        : t_(t), img_(img), imagePixelBytes_(size_t(img.BytesPerPixel())),
          left_(size_t(t.width) * size_t(t.height))
    {
        StartRow();
    }

    size_t Left() const { return left_; }

    // n file pixels from src (n at most Left()); false for an index outside the map.
    bool PutSpan(const unsigned char *src, size_t n)
    {
        return Walk(n, [&](unsigned char *dst, size_t k) {
            const bool ok = Convert(src, dst, k);
            src += k * t_.pixelBytes;
            return ok;
        });
    }

    // n copies of the file pixel at src (n at most Left()).
    bool PutRun(const unsigned char *src, size_t n)
    {
        unsigned char one[3];
        if (n == 0)
            return true;
        if (!Convert(src, one, 1))
            return false;
        return Walk(n, [&](unsigned char *dst, size_t k) {
            if (imagePixelBytes_ == 1)
                std::memset(dst, one[0], k);
            else
                for (size_t i = 0; i < k; ++i, dst += 3)
                    std::memcpy(dst, one, 3);
            return true;
        });
    }

private:
    bool Convert(const unsigned char *src, unsigned char *dst, size_t n) const
    {
        if (t_.map)
            return LookUp(src, dst, n);
        if (t_.convert)
            t_.convert(src, dst, n);
        else
            std::memcpy(dst, src, n);
        return true;
    }

    bool LookUp(const unsigned char *src, unsigned char *dst, size_t n) const
    {
        for (size_t i = 0; i < n; ++i, src += t_.pixelBytes, dst += 3) {
            // Wraps past the map's end for an index below its first.
            const uint32_t entry = (t_.pixelBytes == 2 ? GetLE16(src) : *src) - t_.firstIndex;
            if (entry >= t_.mapEntries)
                return false;
            std::memcpy(dst, t_.map.get() + 3 * size_t(entry), 3);
        }
        return true;
    }

    // Hands put(dst, k) each piece of the next n pixels that lies in one row.
    template <class Put>
    bool Walk(size_t n, Put put)
    {
        while (n > 0) {
            const size_t k = std::min(n, size_t(t_.width) - x_);
            if (!put(row_ + x_ * imagePixelBytes_, k))
                return false;
            n -= k;
            left_ -= k;
            x_ += k;
            if (x_ == size_t(t_.width) && left_ > 0) {
                ++y_;
                StartRow();
            }
        }
        return true;
    }

    void StartRow()
    {
        const size_t row = t_.topFirst ? y_ : size_t(t_.height) - 1 - y_;
        row_ = img_.data + row * img_.RowBytes();
        x_ = 0;
    }

    const Tga &t_;
    CImage &img_;
    const size_t imagePixelBytes_;
    size_t left_;
    size_t y_ = 0;
    size_t x_ = 0;
    unsigned char *row_ = nullptr;
};

// Plain pixels in blocks of the source's window; a pixel cut short and the
// missing ones after it read as zero bytes.
bool DecodePlain(const Tga &t, ByteSource &file, PixelSink &out)
{
    const size_t blockPixels = kBlockBytes / t.pixelBytes;
    size_t at = t.pixelsAt;
    size_t whole = std::min(out.Left(), (file.Size() - at) / t.pixelBytes);
    while (whole > 0) {
        const size_t n = std::min(whole, blockPixels);
        const unsigned char *src = file.Get(at, n * t.pixelBytes);
        if (!src || !out.PutSpan(src, n))
            return false;
        at += n * t.pixelBytes;
        whole -= n;
    }
    if (out.Left() == 0)
        return true;
    unsigned char cut[4] = {0, 0, 0, 0};
    const unsigned char zero[4] = {0, 0, 0, 0};
    const size_t held = file.Size() - at;  // less than a pixel
    const unsigned char *rest = held ? file.Get(at, held) : zero;
    if (!rest)
        return false;
    std::memcpy(cut, rest, held);
    return out.PutRun(cut, 1) && out.PutRun(zero, out.Left());
}

// Run-length packets: a byte whose top bit marks a run of one pixel repeated,
// else raw pixels, and whose 7 low bits are the count less one.
bool DecodeRunLength(const Tga &t, ByteSource &file, PixelSink &out)
{
    size_t at = t.pixelsAt;
    while (out.Left() > 0) {
        const unsigned char *head = file.Get(at, 1);
        if (!head)
            return false;
        const bool run = (*head & kRunBit) != 0;
        const size_t n = (*head & ~kRunBit) + 1u, bytes = (run ? 1 : n) * t.pixelBytes;
        const unsigned char *src = file.Get(at + 1, bytes);
        if (!src || n > out.Left() || !(run ? out.PutRun(src, n) : out.PutSpan(src, n)))
            return false;
        at += 1 + bytes;
    }
    return true;
}

}  // namespace

CImage *DecodeTga(ByteSource &file, ReadError *error)
{
    Tga t;
    *error = ParseHeader(file, &t);
    if (*error == ReadError::kNone && !CanHoldPixels(t, file.Size()))
        *error = ReadError::kBadFormat;
    if (*error != ReadError::kNone)
        return nullptr;
    std::unique_ptr<CImage> img(NewImage(t.width, t.height, t.imageBpp, error));
    if (!img)
        return nullptr;
    PixelSink out(t, *img);
    if (!(t.compressed ? DecodeRunLength(t, file, out) : DecodePlain(t, file, out))) {
        *error = ReadError::kBadFormat;
        return nullptr;
    }
    return img.release();
}

}  // namespace mirlan
