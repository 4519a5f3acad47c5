// image.h: the in-memory image of Mirlan and its file functions.
//
// A CImage is a rectangle of pixels: rows stored top row first, pixels left
// to right, each pixel bpp / 8 bytes (grey at 8 bits; red, green, blue at
// 24 bits), no padding between rows. Sizes are 16-bit, so 1 to 32767 a side;
// byte counts always go through ByteCount(), computed in 64 bits.
#ifndef MIRLAN_IMAGE_H
#define MIRLAN_IMAGE_H

#include <cstddef>
#include <cstdint>

// The current colour handed to the treatments.
struct sRGB {
    int r;
    int g;
    int b;
};

class CImage {
public:
    int16_t width;
    int16_t height;
    uint8_t bpp;
    unsigned char *data;

    // Status codes of the file functions.
    enum {
        kWriteFailed = 4,  // SaveTGA, SaveBMP: the file cannot be written
        kOk = 6
    };

    // An empty image: no pixels, data null.
    CImage();
    // w × h pixels of bpp bits; the pixel bytes are left undefined.
    CImage(int w, int h, int bpp);
    // w × h pixels of bpp bits copied from src (which the image does not keep).
    CImage(const unsigned char *src, int w, int h, int bpp);
    ~CImage();

    CImage(const CImage &) = delete;
    CImage &operator=(const CImage &) = delete;

    // A deep copy, allocated with new; the caller owns it.
    CImage *Copy();

    // Bytes per pixel, bytes per row and bytes of the whole picture.
    int BytesPerPixel() const { return bpp / 8; }
    size_t RowBytes() const { return ByteCount(width, 1, bpp); }
    size_t ByteCount() const { return ByteCount(width, height, bpp); }
    // w × h × (bpp / 8) in 64-bit arithmetic; 0 when a side is negative.
    static size_t ByteCount(int w, int h, int bpp);

    // Gives this image new pixels: takes ownership of pixels (allocated with
    // new[]) and releases the old ones.
    void Replace(unsigned char *pixels, int w, int h, int bpp);

    // 1 for the powers of two from 2 to 1024, else 0 (texture sides).
    static int CheckSize(int n);
    // GL_LUMINANCE, GL_RGBA or GL_RGB for this image's depth.
    int GetTextureFormat();

    // img as an uncompressed TGA file; returns kOk or kWriteFailed.
    static int SaveTGA(CImage *img, const char *path);
    // img as an uncompressed Windows bitmap; returns kOk or kWriteFailed.
    static int SaveBMP(CImage *img, const char *path);
    // img as a PNG file (8-bit grey, 24-bit colour or 32-bit with alpha);
    // returns kOk or kWriteFailed.
    static int SavePNG(CImage *img, const char *path);
    // img as a JPEG file of the given quality (1 to 100), grey staying grey;
    // returns kOk or kWriteFailed.
    static int SaveJPEG(CImage *img, const char *path, int quality = 90);
};

#endif
