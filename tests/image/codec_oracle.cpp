// codec_oracle.cpp: the reference encoders and decoder, written for clarity.
#include "codec_oracle.h"

namespace oracle {

using testutil::Bytes;

namespace {

void Put16(Bytes &b, unsigned v)
{
    b.push_back(v & 255);
    b.push_back((v >> 8) & 255);
}

void Put32(Bytes &b, uint32_t v)
{
    Put16(b, v & 0xFFFF);
    Put16(b, v >> 16);
}

unsigned char At(const CImage &img, int x, int y, int c)
{
    return img.data[(size_t(y) * img.width + x) * (img.bpp / 8) + c];
}

}  // namespace

Bytes EncodeTga(const CImage &img)
{
    int fileBpp = img.bpp == 16 ? 8 : img.bpp;
    Bytes f = {0, 0, 2, 0, 0, 0, 0, 0, 0, 0, 0, 0};
    Put16(f, img.width);
    Put16(f, img.height);
    f.push_back(static_cast<unsigned char>(fileBpp));
    f.push_back(img.bpp == 32 ? 8 : 0);
    for (int y = img.height - 1; y >= 0; --y)
        for (int x = 0; x < img.width; ++x) {
            if (img.bpp == 8 || img.bpp == 16) {
                f.push_back(At(img, x, y, 0));
            } else {
                f.push_back(At(img, x, y, 2));
                f.push_back(At(img, x, y, 1));
                f.push_back(At(img, x, y, 0));
                if (img.bpp == 32)
                    f.push_back(At(img, x, y, 3));
            }
        }
    return f;
}

Bytes EncodeBmp(const CImage &img)
{
    const bool grey = img.bpp == 8 || img.bpp == 16;
    const int fileBpp = grey ? 8 : 24;
    int rowBytes = img.width * fileBpp / 8;
    while (rowBytes % 4)
        ++rowBytes;
    const uint32_t offset = grey ? 1078 : 54;
    const uint32_t dataBytes = uint32_t(rowBytes) * img.height;
    Bytes f = {'B', 'M'};
    Put32(f, offset + dataBytes);
    Put32(f, 0);
    Put32(f, offset);
    Put32(f, 40);
    Put32(f, uint32_t(img.width));
    Put32(f, uint32_t(img.height));
    Put16(f, 1);
    Put16(f, fileBpp);
    Put32(f, 0);
    Put32(f, dataBytes);
    Put32(f, 0);
    Put32(f, 0);
    Put32(f, grey ? 256 : 0);
    Put32(f, 0);
    if (grey)
        for (int i = 0; i < 256; ++i) {
            f.push_back(i);
            f.push_back(i);
            f.push_back(i);
            f.push_back(0);
        }
    for (int y = img.height - 1; y >= 0; --y) {
        size_t rowStart = f.size();
        for (int x = 0; x < img.width; ++x) {
            if (grey) {
                f.push_back(At(img, x, y, 0));
            } else {
                f.push_back(At(img, x, y, 2));
                f.push_back(At(img, x, y, 1));
                f.push_back(At(img, x, y, 0));
            }
        }
        while (f.size() - rowStart < size_t(rowBytes))
            f.push_back(0);
    }
    return f;
}

Decoded DecodeTga(const Bytes &file)
{
    auto byte = [&](size_t i) -> unsigned { return i < file.size() ? file[i] : 0; };
    Decoded d;
    d.width = byte(12) | (byte(13) << 8);
    d.height = byte(14) | (byte(15) << 8);
    const int depth = byte(16);
    const bool topFirst = (byte(17) & 0x20) != 0;
    size_t pos = 18 + byte(0);
    if (byte(1) == 1)
        pos += size_t(byte(5) | (byte(6) << 8)) * ((byte(7) + 7) / 8);
    d.noPixelData = pos >= file.size();
    d.bpp = depth == 8 ? 8 : 24;
    const int outBytes = d.bpp / 8;
    d.pixels.assign(size_t(d.width) * d.height * outBytes, 0);
    for (int fileRow = 0; fileRow < d.height; ++fileRow) {
        int y = topFirst ? fileRow : d.height - 1 - fileRow;
        for (int x = 0; x < d.width; ++x) {
            unsigned char *out = &d.pixels[(size_t(y) * d.width + x) * outBytes];
            if (depth == 8) {
                out[0] = byte(pos);
            } else if (depth == 16) {
                unsigned word = byte(pos) | (byte(pos + 1) << 8);
                out[0] = ((word >> 10) & 31) * 8;
                out[1] = ((word >> 5) & 31) * 8;
                out[2] = (word & 31) * 8;
            } else {
                out[0] = byte(pos + 2);
                out[1] = byte(pos + 1);
                out[2] = byte(pos);
            }
            pos += depth / 8;
        }
    }
    return d;
}

}  // namespace oracle
