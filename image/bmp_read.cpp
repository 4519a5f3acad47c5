// bmp_read.cpp: reading Windows and OS/2 bitmaps (see pixel_decoders.h).
//
// The palette is what lies between the headers and the pixels, up to the
// entries the header declares: an index beyond it refuses the file, so no
// colour is ever invented. Uncompressed rows must all be in the file; a
// run-length stream must stay inside its rows and the picture and end with
// its end-of-bitmap mark (or once every row is done). Pixels that a stream
// jumps over take the palette's first colour.
#include <algorithm>
#include <cstring>
#include <initializer_list>
#include <memory>

#include "image/codec_rows.h"
#include "image/image.h"
#include "image/pixel_decoders.h"

namespace mirlan {

namespace {

constexpr size_t kFileHeaderBytes = 14;
constexpr uint32_t kCoreHeaderBytes = 12;
constexpr uint32_t kInfoHeaderBytes = 40;
constexpr uint32_t kLargestHeaderBytes = 124;
enum Compression : uint32_t { kRgb = 0, kRle8 = 1, kRle4 = 2, kBitFields = 3 };

uint32_t GetLE32(const unsigned char *p) { return GetLE16(p) | (uint32_t(GetLE16(p + 2)) << 16); }

// One colour of a bit-field pixel: its bits, where they start, their largest value.
struct Channel {
    uint32_t mask = 0;
    unsigned shift = 0;
    uint32_t max = 0;
};

// False for a mask whose bits are not contiguous.
bool MakeChannel(uint32_t mask, Channel *c)
{
    c->mask = mask;
    c->shift = mask ? unsigned(__builtin_ctz(mask)) : 0;
    c->max = mask >> c->shift;
    return (c->max & (c->max + 1)) == 0;
}

// A channel's value scaled to 0-255 by truncation, as netpbm's bmptopnm does.
unsigned char ChannelByte(const Channel &c, uint32_t pixel)
{
    if (c.max == 0)
        return 0;
    const uint64_t v = (pixel & c.mask) >> c.shift;
    return static_cast<unsigned char>(c.max == 255 ? v : v * 255 / c.max);
}

struct Bmp {
    int width = 0;
    int rows = 0;
    bool topDown = false;
    unsigned bpp = 0;
    uint32_t compression = kRgb;
    size_t pixelsAt = 0;
    unsigned char palette[256 * 4];  // blue, green, red[, unused] entries
    unsigned paletteEntries = 0;
    unsigned entryBytes = 4;
    Channel channels[4];  // red, green, blue, alpha
    bool plainBgra = false;
};

bool CompressionFits(uint32_t compression, unsigned bpp)
{
    switch (compression) {
    case kRgb: return bpp == 1 || bpp == 4 || bpp == 8 || bpp == 16 || bpp == 24 || bpp == 32;
    case kRle8: return bpp == 8;
    case kRle4: return bpp == 4;
    case kBitFields: return bpp == 16 || bpp == 32;
    default: return false;
    }
}

// Red, green, blue and alpha masks: the file's for bit fields, else the
// fixed 5-5-5 and 8-8-8-8 layouts.
bool ReadMasks(const unsigned char *head, size_t headBytes, uint32_t infoBytes, Bmp *bmp)
{
    uint32_t masks[4] = {0x7C00, 0x03E0, 0x001F, 0};
    if (bmp->bpp == 32) {
        masks[0] = 0xFF0000;
        masks[1] = 0xFF00;
        masks[2] = 0xFF;
        masks[3] = 0xFF000000;
    }
    if (bmp->compression == kBitFields) {
        // The masks follow an INFO header and are inside the larger ones:
        // either way they start right after the INFO fields.
        const size_t at = kFileHeaderBytes + kInfoHeaderBytes;
        if (headBytes < at + 12)
            return false;
        for (int i = 0; i < 3; ++i)
            masks[i] = GetLE32(head + at + 4 * i);
        masks[3] = infoBytes >= 56 ? GetLE32(head + at + 12) : 0;
        if (bmp->bpp == 32 && masks[3] == 0)
            masks[3] = 0xFF000000 & ~(masks[0] | masks[1] | masks[2]);
    }
    for (int i = 0; i < 4; ++i)
        if (!MakeChannel(masks[i], &bmp->channels[i]))
            return false;
    bmp->plainBgra = bmp->bpp == 32 && masks[0] == 0xFF0000 && masks[1] == 0xFF00 &&
                     masks[2] == 0xFF && masks[3] == 0xFF000000;
    return true;
}

// Copies the palette that lies between the headers and the pixels, up to
// the entries the header declares (all that its depth can index when it
// declares none).
bool ReadPalette(ByteSource &file, size_t paletteAt, uint32_t declaredColours, Bmp *bmp)
{
    const uint32_t most = 1u << bmp->bpp;
    if (declaredColours > most)
        return false;
    uint32_t entries = declaredColours ? declaredColours : most;
    const size_t room = (bmp->pixelsAt - paletteAt) / bmp->entryBytes;
    if (room < entries)
        entries = uint32_t(room);
    const unsigned char *palette = file.Get(paletteAt, size_t(entries) * bmp->entryBytes);
    if (!palette)
        return false;
    std::memcpy(bmp->palette, palette, size_t(entries) * bmp->entryBytes);
    bmp->paletteEntries = entries;
    return true;
}

ReadError ParseHeaders(ByteSource &file, Bmp *bmp)
{
    // Every header field, masks included, lies in the first bytes.
    const size_t headBytes = std::min<size_t>(file.Size(), kFileHeaderBytes + kLargestHeaderBytes + 12);
    const unsigned char *head = file.Get(0, headBytes);
    if (!head || headBytes < kFileHeaderBytes + 4 || head[0] != 'B' || head[1] != 'M')
        return ReadError::kBadFormat;
    const uint32_t offBits = GetLE32(head + 10);
    const uint32_t infoBytes = GetLE32(head + 14);
    const bool core = infoBytes == kCoreHeaderBytes;
    if (!core && (infoBytes < kInfoHeaderBytes || infoBytes > kLargestHeaderBytes))
        return ReadError::kBadFormat;
    if (headBytes < kFileHeaderBytes + infoBytes)
        return ReadError::kBadFormat;
    const unsigned char *h = head + kFileHeaderBytes + 4;
    int64_t width, height;
    unsigned planes;
    uint32_t declaredColours = 0;
    if (core) {
        width = GetLE16(h);
        height = GetLE16(h + 2);
        planes = GetLE16(h + 4);
        bmp->bpp = GetLE16(h + 6);
        bmp->entryBytes = 3;
    } else {
        width = int32_t(GetLE32(h));
        height = int32_t(GetLE32(h + 4));
        planes = GetLE16(h + 8);
        bmp->bpp = GetLE16(h + 10);
        bmp->compression = GetLE32(h + 12);
        declaredColours = GetLE32(h + 28);
    }
    bmp->topDown = height < 0;
    const int64_t rows = height < 0 ? -height : height;
    for (int64_t side : {width, rows})
        if (CheckSide(side) != ReadError::kNone)
            return CheckSide(side);
    bmp->width = int(width);
    bmp->rows = int(rows);
    if (planes != 1 || !CompressionFits(bmp->compression, bmp->bpp) || (core && bmp->bpp == 16))
        return ReadError::kBadFormat;

    size_t paletteAt = kFileHeaderBytes + infoBytes;
    if (infoBytes == kInfoHeaderBytes && bmp->compression == kBitFields)
        paletteAt += 12;
    if (offBits < paletteAt || offBits > file.Size())
        return ReadError::kBadFormat;
    bmp->pixelsAt = offBits;
    // head stays valid until the next Get: the masks come from it.
    const bool read = bmp->bpp <= 8 ? ReadPalette(file, paletteAt, declaredColours, bmp)
                                    : ReadMasks(head, headBytes, infoBytes, bmp);
    return read ? ReadError::kNone : ReadError::kBadFormat;
}

// Writes palette entry `index` as red, green, blue; false when the palette
// has no such entry.
inline bool PutIndex(const Bmp &bmp, unsigned index, unsigned char *dst)
{
    if (index >= bmp.paletteEntries)
        return false;
    const unsigned char *e = bmp.palette + size_t(index) * bmp.entryBytes;
    dst[0] = e[2];
    dst[1] = e[1];
    dst[2] = e[0];
    return true;
}

bool DecodeIndexedRow(const Bmp &bmp, const unsigned char *src, unsigned char *dst)
{
    const unsigned perByte = 8 / bmp.bpp, mask = (1u << bmp.bpp) - 1;
    for (int x = 0; x < bmp.width; ++x) {
        const unsigned shift = 8 - bmp.bpp * (1 + x % perByte);
        if (!PutIndex(bmp, (src[x / perByte] >> shift) & mask, dst + 3 * size_t(x)))
            return false;
    }
    return true;
}

void DecodeFieldsRow(const Bmp &bmp, const unsigned char *src, unsigned char *dst)
{
    const unsigned bytes = bmp.bpp / 8, channels = bmp.bpp == 32 ? 4 : 3;
    for (int x = 0; x < bmp.width; ++x, src += bytes, dst += channels) {
        const uint32_t pixel = bytes == 4 ? GetLE32(src) : GetLE16(src);
        for (unsigned c = 0; c < channels; ++c)
            dst[c] = ChannelByte(bmp.channels[c], pixel);
    }
}

bool DecodeRow(const Bmp &bmp, const unsigned char *src, unsigned char *dst)
{
    if (bmp.bpp <= 8)
        return DecodeIndexedRow(bmp, src, dst);
    if (bmp.bpp == 24)
        SwapRedBlue24(src, dst, size_t(bmp.width));
    else if (bmp.plainBgra)
        SwapRedBlue32(src, dst, size_t(bmp.width));
    else
        DecodeFieldsRow(bmp, src, dst);
    return true;
}

// Row y of the file (the first stored row is 0) in the image.
unsigned char *ImageRow(const Bmp &bmp, CImage &img, int y)
{
    const int row = bmp.topDown ? y : bmp.rows - 1 - y;
    return img.data + size_t(row) * img.RowBytes();
}

// Bytes of one stored row of an uncompressed file, or 0 when the file does
// not hold every row.
size_t StoredRowBytes(const Bmp &bmp, size_t size)
{
    size_t stride, total;
    if (!CheckedProduct((uint64_t(bmp.width) * bmp.bpp + 31) / 32, 4, &stride) ||
        !CheckedProduct(stride, uint64_t(bmp.rows), &total) || total > size - bmp.pixelsAt)
        return 0;
    return stride;
}

ReadError DecodeRows(const Bmp &bmp, ByteSource &file, CImage &img)
{
    const size_t stride = StoredRowBytes(bmp, file.Size());
    for (int y = 0; y < bmp.rows; ++y) {
        const unsigned char *src = file.Get(bmp.pixelsAt + size_t(y) * stride, stride);
        if (!src || !DecodeRow(bmp, src, ImageRow(bmp, img, y)))
            return ReadError::kBadFormat;
    }
    return ReadError::kNone;
}

// Reads a run-length stream into img, filled beforehand. Every escape is
// checked against the rows and the picture before a pixel is written.
bool DecodeRunLength(const Bmp &bmp, ByteSource &file, CImage &img)
{
    const bool rle4 = bmp.compression == kRle4;
    const size_t size = file.Size();
    size_t p = bmp.pixelsAt;
    int x = 0, y = 0;
    auto put = [&](unsigned index) { return PutIndex(bmp, index, ImageRow(bmp, img, y) + 3 * size_t(x++)); };
    while (size - p >= 2) {
        const unsigned char *pair = file.Get(p, 2);
        if (!pair)
            return false;
        const unsigned count = pair[0], value = pair[1];
        p += 2;
        if (count > 0) {
            if (y >= bmp.rows || count > unsigned(bmp.width - x))
                return false;
            for (unsigned i = 0; i < count; ++i)
                if (!put(rle4 ? (i % 2 ? value & 15 : value >> 4) : value))
                    return false;
        } else if (value == 0) {  // end of line
            if (y >= bmp.rows)
                return false;
            x = 0;
            ++y;
        } else if (value == 1) {  // end of bitmap
            return true;
        } else if (value == 2) {  // jump right and up
            const unsigned char *jump = file.Get(p, 2);
            if (!jump || jump[0] > bmp.width - x || jump[1] >= bmp.rows - y)
                return false;
            x += jump[0];
            y += jump[1];
            p += 2;
        } else {  // literal pixels, padded to a whole word
            const size_t bytes = rle4 ? (value + 1) / 2 : value, padded = (bytes + 1) & ~size_t(1);
            const unsigned char *literal = file.Get(p, padded);
            if (y >= bmp.rows || value > unsigned(bmp.width - x) || !literal)
                return false;
            for (unsigned i = 0; i < value; ++i) {
                const unsigned byte = literal[rle4 ? i / 2 : i];
                if (!put(rle4 ? (i % 2 ? byte & 15 : byte >> 4) : byte))
                    return false;
            }
            p += padded;
        }
    }
    return y >= bmp.rows;
}

ReadError DecodeCompressed(const Bmp &bmp, ByteSource &file, CImage &img)
{
    unsigned char first[3];
    if (!PutIndex(bmp, 0, first))
        return ReadError::kBadFormat;
    for (size_t i = 0, n = img.ByteCount(); i < n; i += 3)
        std::memcpy(img.data + i, first, 3);
    return DecodeRunLength(bmp, file, img) ? ReadError::kNone : ReadError::kBadFormat;
}

}  // namespace

CImage *DecodeBmp(ByteSource &file, ReadError *error)
{
    Bmp bmp;
    *error = ParseHeaders(file, &bmp);
    if (*error != ReadError::kNone)
        return nullptr;
    // A cut file is refused before its picture is allocated.
    const bool compressed = bmp.compression == kRle8 || bmp.compression == kRle4;
    if (!compressed && StoredRowBytes(bmp, file.Size()) == 0) {
        *error = ReadError::kBadFormat;
        return nullptr;
    }
    std::unique_ptr<CImage> img(NewImage(bmp.width, bmp.rows, bmp.bpp == 32 ? 32 : 24, error));
    if (!img)
        return nullptr;
    *error = compressed ? DecodeCompressed(bmp, file, *img) : DecodeRows(bmp, file, *img);
    return *error == ReadError::kNone ? img.release() : nullptr;
}

}  // namespace mirlan
