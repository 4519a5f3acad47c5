// pnm_read.cpp: reading netpbm files, P1 to P6 (see pixel_decoders.h).
//
// Header tokens are separated by any whitespace, CR included, and a '#'
// starts a comment to the end of its line anywhere in the header, even right
// after a number. One character (or a comment) ends the header's last number
// and the binary raster starts right after it. A sample above maxval, a
// malformed plain token or a raster shorter than its header refuses the file.
#include <initializer_list>
#include <memory>

#include "image/image.h"
#include "image/pixel_decoders.h"

namespace mirlan {

namespace {

constexpr uint64_t kLargestNumber = 1u << 30;  // well past any side or maxval

bool IsSpace(unsigned char c) { return c == ' ' || (c >= '\t' && c <= '\r'); }
bool IsDigit(unsigned char c) { return c >= '0' && c <= '9'; }

// A read position in the file's bytes; nothing is read at or past the end.
struct Cursor {
    ByteSource &file;
    size_t size;
    size_t at;

    bool AtEnd() const { return at >= size; }
    // The byte at the position, which must not be at the end; 0 if it
    // cannot be read (which refuses the file like any stray byte).
    unsigned char Peek()
    {
        const unsigned char *p = file.Get(at, 1);
        return p ? *p : 0;
    }

    void SkipComment()
    {
        while (!AtEnd() && Peek() != '\n' && Peek() != '\r')
            ++at;
    }
    void SkipSpaceAndComments()
    {
        while (!AtEnd()) {
            if (Peek() == '#')
                SkipComment();
            else if (IsSpace(Peek()))
                ++at;
            else
                return;
        }
    }
    // The next decimal number; false when something else comes first or
    // the number runs into other text. Values saturate past any use.
    bool Number(uint64_t *value)
    {
        SkipSpaceAndComments();
        if (AtEnd() || !IsDigit(Peek()))
            return false;
        uint64_t v = 0;
        while (!AtEnd() && IsDigit(Peek())) {
            v = v * 10 + (Peek() - '0');
            ++at;
            if (v > kLargestNumber)
                v = kLargestNumber;
        }
        *value = v;
        return AtEnd() || IsSpace(Peek()) || Peek() == '#';
    }
    // Passes the one character, or the comment and its line end, that
    // closes the header.
    void EndHeader()
    {
        if (!AtEnd() && Peek() == '#')
            SkipComment();
        ++at;
    }
};

struct Pnm {
    int format = 0;  // 1 to 6
    int width = 0;
    int height = 0;
    unsigned maxval = 1;
    int channels = 1;
};

ReadError ParseHeader(Cursor &in, Pnm *pnm)
{
    const unsigned char *magic = in.file.Get(0, 3);
    if (!magic || magic[0] != 'P' || magic[1] < '1' || magic[1] > '6')
        return ReadError::kBadFormat;
    pnm->format = magic[1] - '0';
    in.at = 2;
    if (!IsSpace(in.Peek()) && in.Peek() != '#')
        return ReadError::kBadFormat;
    uint64_t width, height, maxval = 1;
    const bool bitmap = pnm->format == 1 || pnm->format == 4;
    if (!in.Number(&width) || !in.Number(&height) || (!bitmap && !in.Number(&maxval)))
        return ReadError::kBadFormat;
    for (uint64_t side : {width, height})
        if (CheckSide(int64_t(side)) != ReadError::kNone)
            return CheckSide(int64_t(side));
    if (maxval < 1 || maxval > 65535)
        return ReadError::kBadFormat;
    in.EndHeader();
    pnm->width = int(width);
    pnm->height = int(height);
    pnm->maxval = unsigned(maxval);
    pnm->channels = pnm->format == 3 || pnm->format == 6 ? 3 : 1;
    return ReadError::kNone;
}

// A sample of 0..maxval as a byte, rounded as netpbm scales to maxval 255.
unsigned char Scale(unsigned v, unsigned maxval)
{
    return static_cast<unsigned char>(maxval == 255 ? v : (uint64_t(v) * 255 + maxval / 2) / maxval);
}

bool ReadBitsRaw(Cursor &in, const Pnm &pnm, CImage &img)
{
    const size_t rowBytes = (size_t(pnm.width) + 7) / 8;
    unsigned char *dst = img.data;
    for (int y = 0; y < pnm.height; ++y, in.at += rowBytes) {
        const unsigned char *src = in.file.Get(in.at, rowBytes);
        if (!src)
            return false;
        for (int x = 0; x < pnm.width; ++x)
            *dst++ = (src[x / 8] >> (7 - x % 8)) & 1 ? 0 : 255;
    }
    return true;
}

// One row of raw samples, 8 or 16 bits, scaled into dst.
bool ScaleRow(const unsigned char *src, size_t samples, unsigned maxval, unsigned char *dst)
{
    for (size_t i = 0; i < samples; ++i) {
        const unsigned v = maxval > 255 ? (src[2 * i] << 8) | src[2 * i + 1] : src[i];
        if (v > maxval)
            return false;
        dst[i] = Scale(v, maxval);
    }
    return true;
}

bool ReadSamplesRaw(Cursor &in, const Pnm &pnm, CImage &img)
{
    // Bytes as they are: straight from the file into the picture.
    if (pnm.maxval == 255)
        return in.file.CopyTo(in.at, img.ByteCount(), img.data);
    const size_t samples = img.RowBytes(), rowBytes = samples * (pnm.maxval > 255 ? 2 : 1);
    for (int y = 0; y < pnm.height; ++y, in.at += rowBytes) {
        const unsigned char *src = in.file.Get(in.at, rowBytes);
        if (!src || !ScaleRow(src, samples, pnm.maxval, img.data + size_t(y) * samples))
            return false;
    }
    return true;
}

// Plain bitmaps: each pixel is one '0' or '1', separators optional.
bool ReadBitsPlain(Cursor &in, CImage &img)
{
    for (size_t i = 0, n = img.ByteCount(); i < n; ++i) {
        in.SkipSpaceAndComments();
        if (in.AtEnd() || (in.Peek() != '0' && in.Peek() != '1'))
            return false;
        img.data[i] = in.Peek() == '1' ? 0 : 255;
        ++in.at;
    }
    return true;
}

bool ReadSamplesPlain(Cursor &in, const Pnm &pnm, CImage &img)
{
    for (size_t i = 0, n = img.ByteCount(); i < n; ++i) {
        uint64_t v;
        if (!in.Number(&v) || v > pnm.maxval)
            return false;
        img.data[i] = Scale(unsigned(v), pnm.maxval);
    }
    return true;
}

// Whether the rest of the file can hold the raster: every raw byte, or at
// least a character per plain sample. Checked before the picture is allocated.
bool CanHoldRaster(const Cursor &in, const Pnm &pnm)
{
    size_t pixels, samples, bytes;
    const bool plain = pnm.format <= 3;
    const uint64_t rowBytes = pnm.format == 4 ? (uint64_t(pnm.width) + 7) / 8 : uint64_t(pnm.width);
    if (!CheckedProduct(rowBytes, uint64_t(pnm.height), &pixels) ||
        !CheckedProduct(pixels, uint64_t(pnm.channels), &samples) ||
        !CheckedProduct(samples, !plain && pnm.maxval > 255 ? 2 : 1, &bytes))
        return false;
    return !in.AtEnd() && bytes <= in.size - in.at;
}

bool ReadRaster(Cursor &in, const Pnm &pnm, CImage &img)
{
    switch (pnm.format) {
    case 1: return ReadBitsPlain(in, img);
    case 4: return ReadBitsRaw(in, pnm, img);
    case 2:
    case 3: return ReadSamplesPlain(in, pnm, img);
    default: return ReadSamplesRaw(in, pnm, img);
    }
}

}  // namespace

CImage *DecodePnm(ByteSource &file, ReadError *error)
{
    Cursor in{file, file.Size(), 0};
    Pnm pnm;
    *error = ParseHeader(in, &pnm);
    if (*error == ReadError::kNone && !CanHoldRaster(in, pnm))
        *error = ReadError::kBadFormat;
    if (*error != ReadError::kNone)
        return nullptr;
    std::unique_ptr<CImage> img(NewImage(pnm.width, pnm.height, 8 * pnm.channels, error));
    if (!img)
        return nullptr;
    if (!ReadRaster(in, pnm, *img)) {
        *error = ReadError::kBadFormat;
        return nullptr;
    }
    return img.release();
}

}  // namespace mirlan
