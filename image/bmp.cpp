// bmp.cpp: uncompressed Windows bitmaps (40-byte information header), written.
//
// 8-bit images become 8-bit files with a linear grey colour table, 24-bit
// images 24-bit BGR files; rows bottom first, each padded with zeros to a
// multiple of 4 bytes. The toolkit's readers can also hand us 16-bit
// (grey, alpha) and 32-bit (RGBA) images: they are written as 8-bit grey and
// 24-bit colour files respectively, their alpha dropped, since the 8- and
// 24-bit forms are the ones every BMP reader takes in the right colours.
#include <cstdint>

#include "image/codec_rows.h"
#include "image/image.h"
#include "image/safe_file.h"

namespace {

constexpr size_t kFileHeaderBytes = 14;
constexpr size_t kInfoHeaderBytes = 40;
constexpr size_t kGreyTableBytes = 256 * 4;

// How an image of depth bpp is written: the converter and the file's depth.
struct PixelWriting {
    mirlan::RowConverter convert;  // null: bytes written as they are in memory
    int fileBpp;
};

PixelWriting WritingFor(int bpp)
{
    switch (bpp) {
    case 16: return {mirlan::GreyAlphaToGrey, 8};
    case 24: return {mirlan::SwapRedBlue24, 24};
    case 32: return {mirlan::SwapRedBlueDropFourth, 24};
    default: return {nullptr, bpp};
    }
}

// A row of the file: its pixel bytes rounded up to a multiple of 4.
size_t PaddedRowBytes(int width, int fileBpp)
{
    return (CImage::ByteCount(width, 1, fileBpp) + 3) / 4 * 4;
}

void FillHeaders(unsigned char *h, int width, int height, int fileBpp, size_t rowBytes)
{
    const bool grey = fileBpp == 8;
    const size_t dataOffset = kFileHeaderBytes + kInfoHeaderBytes + (grey ? kGreyTableBytes : 0);
    const size_t dataBytes = rowBytes * size_t(height > 0 ? height : 0);
    // Sides are at most 32767, so every size here fits the 32-bit fields.
    h[0] = 'B';
    h[1] = 'M';
    mirlan::PutLE32(h + 2, uint32_t(dataOffset + dataBytes));
    mirlan::PutLE32(h + 10, uint32_t(dataOffset));
    mirlan::PutLE32(h + 14, uint32_t(kInfoHeaderBytes));
    mirlan::PutLE32(h + 18, uint32_t(width));
    mirlan::PutLE32(h + 22, uint32_t(height));
    mirlan::PutLE16(h + 26, 1);
    mirlan::PutLE16(h + 28, unsigned(fileBpp));
    mirlan::PutLE32(h + 34, uint32_t(dataBytes));
    mirlan::PutLE32(h + 46, grey ? 256 : 0);
}

bool WriteGreyTable(mirlan::SafeFileWriter &out)
{
    unsigned char table[kGreyTableBytes];
    for (unsigned i = 0; i < 256; ++i) {
        table[4 * i] = table[4 * i + 1] = table[4 * i + 2] = static_cast<unsigned char>(i);
        table[4 * i + 3] = 0;
    }
    return out.Write(table, sizeof table);
}

}  // namespace

int CImage::SaveBMP(CImage *img, const char *path)
{
    mirlan::SafeFileWriter out(path);
    if (!out.IsOpen())
        return kWriteFailed;
    const PixelWriting writing = WritingFor(img->bpp);
    const size_t rowBytes = PaddedRowBytes(img->width, writing.fileBpp);
    unsigned char headers[kFileHeaderBytes + kInfoHeaderBytes] = {0};
    FillHeaders(headers, img->width, img->height, writing.fileBpp, rowBytes);
    bool ok = out.Write(headers, sizeof headers) &&
              (writing.fileBpp != 8 || WriteGreyTable(out)) &&
              mirlan::WriteRowsBottomUp(out, *img, writing.convert, rowBytes);
    return ok && out.Commit() ? kOk : kWriteFailed;
}
