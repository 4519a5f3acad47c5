// tga.cpp: writing uncompressed TGA files (type 2); tga_read.cpp reads them.
//
// Writing produces what the reader takes back: type 2, rows bottom first,
// 8-bit grey or 24-bit BGR. Images can also be 16-bit (grey, alpha) and
// 32-bit (RGBA, as the BMP reader gives 32-bit files): a 32-bit image is written as a
// 32-bit BGRA file with its 8 alpha bits declared in the descriptor, and a
// 16-bit one as an 8-bit grey file (its alpha dropped, as the reader drops
// alpha too), so that other programs read both in the right colours.
#include "image/codec_rows.h"
#include "image/image.h"
#include "image/safe_file.h"

namespace {

constexpr size_t kHeaderBytes = 18;
constexpr unsigned kAlphaBits8 = 0x08;

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
