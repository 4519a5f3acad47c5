// image.cpp: the image buffer and the texture helpers.
#include "image/image.h"

#include <cstring>

#include "image/pixel_buffer.h"

CImage::CImage() : width(0), height(0), bpp(0), data(nullptr) {}

CImage::CImage(int w, int h, int depth)
    : width(static_cast<int16_t>(w)), height(static_cast<int16_t>(h)),
      bpp(static_cast<uint8_t>(depth)), data(mirlan::NewPixelBuffer(ByteCount(w, h, depth))) {}

CImage::CImage(const unsigned char *src, int w, int h, int depth) : CImage(w, h, depth)
{
    size_t n = ByteCount(w, h, depth);
    if (n)
        std::memcpy(data, src, n);
}

CImage::~CImage() { mirlan::ReleasePixelBuffer(data, ByteCount()); }

CImage *CImage::Copy() { return new CImage(data, width, height, bpp); }

size_t CImage::ByteCount(int w, int h, int depth)
{
    if (w <= 0 || h <= 0 || depth < 8)
        return 0;
    return static_cast<size_t>(w) * static_cast<size_t>(h) * static_cast<size_t>(depth / 8);
}

void CImage::Replace(unsigned char *pixels, int w, int h, int depth)
{
    if (pixels != data)
        mirlan::ReleasePixelBuffer(data, ByteCount());
    data = pixels;
    width = static_cast<int16_t>(w);
    height = static_cast<int16_t>(h);
    bpp = static_cast<uint8_t>(depth);
}

int CImage::CheckSize(int n)
{
    for (int side = 2; side <= 1024; side *= 2)
        if (n == side)
            return 1;
    return 0;
}

int CImage::GetTextureFormat()
{
    const int kLuminance = 0x1909, kRgba = 0x1908, kRgb = 0x1907;
    if (bpp == 8)
        return kLuminance;
    if (bpp == 32)
        return kRgba;
    return kRgb;
}
