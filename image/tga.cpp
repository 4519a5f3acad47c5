// tga.cpp: uncompressed TGA files (image types 2 and 3), read and written.
//
// Reading accepts 8-bit grey, 16-bit 5-5-5 colour, 24-bit BGR and 32-bit BGRA
// pixels and yields an 8- or 24-bit image. It skips an identification field
// and a declared colour map, honours the top-to-bottom origin bit, and takes
// pixels missing from a truncated file as 0 (a file with none is refused).
// Every size read from the header is checked before it sizes an allocation.
//
// Writing produces what the reader takes back: type 2, rows bottom first,
// 8-bit grey or 24-bit BGR. Images can also be 16-bit (grey, alpha) and
// 32-bit (RGBA, as the BMP reader gives 32-bit files): a 32-bit image is written as a
// 32-bit BGRA file with its 8 alpha bits declared in the descriptor, and a
// 16-bit one as an 8-bit grey file (its alpha dropped, as the reader drops
// alpha too), so that other programs read both in the right colours.
#include <algorithm>
#include <cstdio>
#include <cstring>
#include <memory>
#include <vector>

#include "image/codec_rows.h"
#include "image/image.h"
#include "image/safe_file.h"

namespace {

using mirlan::GetLE16;

constexpr size_t kHeaderBytes = 18;
constexpr int kMaxSide = 32767;
constexpr unsigned kTopToBottomBit = 0x20;
constexpr unsigned kAlphaBits8 = 0x08;

struct FileCloser {
    void operator()(FILE *f) const { std::fclose(f); }
};
using File = std::unique_ptr<FILE, FileCloser>;

struct TgaHeader {
    unsigned idLength;
    unsigned colourMapType;
    unsigned imageType;
    unsigned colourMapLength;
    unsigned colourMapEntryBits;
    unsigned width;
    unsigned height;
    unsigned depth;
    unsigned descriptor;
};

TgaHeader ParseHeader(const unsigned char *h)
{
    TgaHeader t;
    t.idLength = h[0];
    t.colourMapType = h[1];
    t.imageType = h[2];
    t.colourMapLength = GetLE16(h + 5);
    t.colourMapEntryBits = h[7];
    t.width = GetLE16(h + 12);
    t.height = GetLE16(h + 14);
    t.depth = h[16];
    t.descriptor = h[17];
    return t;
}

bool IsSupportedType(const TgaHeader &t) { return t.imageType == 2 || t.imageType == 3; }

bool IsSupportedDepth(const TgaHeader &t)
{
    return t.depth == 8 || t.depth == 16 || t.depth == 24 || t.depth == 32;
}

bool IsValidSide(unsigned side) { return side >= 1 && side <= unsigned(kMaxSide); }

// Bytes between the header and the pixels: the identification field, then
// the colour map if the file declares one (entries rounded up to whole bytes).
size_t BytesBeforePixels(const TgaHeader &t)
{
    size_t skip = t.idLength;
    if (t.colourMapType == 1)
        skip += size_t(t.colourMapLength) * ((t.colourMapEntryBits + 7) / 8);
    return skip;
}

// Reads and drops n bytes; stops quietly at the end of the file, whose
// missing pixels then read as 0.
void SkipBytes(FILE *f, size_t n)
{
    unsigned char scrap[4096];
    while (n > 0) {
        size_t want = std::min(n, sizeof scrap);
        if (std::fread(scrap, 1, want, f) != want)
            return;
        n -= want;
    }
}

// The conversion from a file pixel to a memory pixel, and the resulting depth.
struct PixelReading {
    mirlan::RowConverter convert;  // null: bytes copied as they are
    int memoryBpp;
};

PixelReading ReadingFor(unsigned depth)
{
    switch (depth) {
    case 16: return {mirlan::Rgb555ToRgb, 24};
    case 24: return {mirlan::SwapRedBlue24, 24};
    case 32: return {mirlan::SwapRedBlueDropFourth, 24};
    default: return {nullptr, 8};
    }
}

// Reads the file's rows, block by block, into a new top-first buffer of
// the memory depth; whatever the file lacks reads as 0.
std::unique_ptr<unsigned char[]> ReadPixels(FILE *f, const TgaHeader &t)
{
    const PixelReading reading = ReadingFor(t.depth);
    const size_t width = t.width, height = t.height;
    const size_t fileRowBytes = CImage::ByteCount(int(width), 1, int(t.depth));
    const size_t memRowBytes = CImage::ByteCount(int(width), 1, reading.memoryBpp);
    const bool topFirst = (t.descriptor & kTopToBottomBit) != 0;

    std::unique_ptr<unsigned char[]> pixels(new unsigned char[memRowBytes * height]);
    const size_t blockRows = std::min(height, mirlan::RowsPerBlock(fileRowBytes));
    std::vector<unsigned char> block(blockRows * fileRowBytes);
    for (size_t done = 0; done < height;) {
        size_t n = std::min(blockRows, height - done);
        size_t want = n * fileRowBytes;
        size_t got = std::fread(block.data(), 1, want, f);
        std::memset(block.data() + got, 0, want - got);
        for (size_t i = 0; i < n; ++i) {
            size_t fileRow = done + i;
            size_t memRow = topFirst ? fileRow : height - 1 - fileRow;
            const unsigned char *src = block.data() + i * fileRowBytes;
            unsigned char *dst = pixels.get() + memRow * memRowBytes;
            if (reading.convert)
                reading.convert(src, dst, width);
            else
                std::memcpy(dst, src, memRowBytes);
        }
        done += n;
    }
    return pixels;
}

// How an image of depth bpp is written: the converter, the file's depth and
// the descriptor byte.
struct PixelWriting {
    mirlan::RowConverter convert;  // null: bytes written as they are in memory
    int fileBpp;
    unsigned descriptor;
};

PixelWriting WritingFor(int bpp)
{
    switch (bpp) {
    case 16: return {mirlan::GreyAlphaToGrey, 8, 0};
    case 24: return {mirlan::SwapRedBlue24, 24, 0};
    case 32: return {mirlan::SwapRedBlue32, 32, kAlphaBits8};
    default: return {nullptr, bpp, 0};
    }
}

}  // namespace

int CImage::LoadTGA(CImage *img, const char *path)
{
    File f(path ? std::fopen(path, "rb") : nullptr);
    if (!f)
        return kCannotOpen;
    unsigned char raw[kHeaderBytes];
    if (std::fread(raw, 1, kHeaderBytes, f.get()) != kHeaderBytes)
        return kShortHeader;
    const TgaHeader t = ParseHeader(raw);
    if (!IsSupportedType(t))
        return kBadType;
    if (!IsSupportedDepth(t) || !IsValidSide(t.width) || !IsValidSide(t.height))
        return kBadDepth;
    SkipBytes(f.get(), BytesBeforePixels(t));
    // A file with no pixel byte at all is refused before anything is allocated.
    const int first = std::fgetc(f.get());
    if (first == EOF || std::ungetc(first, f.get()) == EOF)
        return kShortHeader;
    std::unique_ptr<unsigned char[]> pixels = ReadPixels(f.get(), t);
    img->Replace(pixels.release(), int(t.width), int(t.height), ReadingFor(t.depth).memoryBpp);
    return kOk;
}

int CImage::SaveTGA(CImage *img, const char *path)
{
    mirlan::SafeFileWriter out(path);
    if (!out.IsOpen())
        return kWriteFailed;
    const PixelWriting writing = WritingFor(img->bpp);
    unsigned char header[kHeaderBytes] = {0};
    header[2] = 2;
    mirlan::PutLE16(header + 12, static_cast<uint16_t>(img->width));
    mirlan::PutLE16(header + 14, static_cast<uint16_t>(img->height));
    header[16] = static_cast<unsigned char>(writing.fileBpp);
    header[17] = static_cast<unsigned char>(writing.descriptor);
    const size_t fileRowBytes = ByteCount(img->width, 1, writing.fileBpp);
    bool ok = out.Write(header, kHeaderBytes) &&
              mirlan::WriteRowsBottomUp(out, *img, writing.convert, fileRowBytes);
    return ok && out.Commit() ? kOk : kWriteFailed;
}
