// pixel_decoders.h: the decoders behind ReadImageFile (one per row of the
// formats table), and the checked helpers and byte source they share. A decoder asks its source for
// the byte ranges it needs, never past the file's end, checks every value
// from the file before it sizes an allocation or indexes a table, and never
// throws: it returns a new image or null with the reason.
#ifndef MIRLAN_IMAGE_PIXEL_DECODERS_H
#define MIRLAN_IMAGE_PIXEL_DECODERS_H

#include <cstddef>
#include <cstdint>
#include <memory>

#include "image/image_file.h"

namespace mirlan {

constexpr int64_t kMaxImageSide = 32767;

// Whether a side read from a file is usable: kNone for 1 to 32767,
// kTooLarge above, kBadFormat below.
ReadError CheckSide(int64_t side);

// a * b into *product, false when it does not fit in a size_t. The one way
// sizes read from a file are multiplied.
bool CheckedProduct(uint64_t a, uint64_t b, size_t *product);

// A new w x h image of bpp bits with undefined pixels, or null with
// *error set to kNoMemory. The sides must have passed CheckSide.
CImage *NewImage(int w, int h, int bpp, ReadError *error);

// A file's bytes for a decoder, read from the open file through a window of
// about a megabyte that follows the decoder's requests, so that a large
// picture is read in blocks and never held twice.
class ByteSource {
public:
    // The regular file open on fd, size bytes long.
    ByteSource(int fd, size_t size);

    size_t Size() const { return size_; }
    // Bytes [at, at + n), valid until the next call; null when the file
    // does not hold them all, or when they cannot be read (see Failure).
    const unsigned char *Get(size_t at, size_t n)
    {
        if (at >= start_ && at - start_ <= length_ && n <= length_ - (at - start_))
            return window_ + (at - start_);
        return Fill(at, n);
    }
    // Copies bytes [at, at + n) to dst straight from the file; false as Get.
    bool CopyTo(size_t at, size_t n, unsigned char *dst);
    // kUnreadable or kNoMemory after a failed Get that was not past the end.
    ReadError Failure() const { return failure_; }

private:
    const unsigned char *Fill(size_t at, size_t n);
    size_t ReadAt(size_t at, size_t n, unsigned char *dst);

    int fd_;
    size_t size_;
    const unsigned char *window_ = nullptr;
    size_t start_ = 0;
    size_t length_ = 0;
    std::unique_ptr<unsigned char[]> buffer_;
    size_t capacity_ = 0;
    ReadError failure_ = ReadError::kNone;
};

// Windows and OS/2 bitmaps: core, INFO, V4 and V5 headers; 1, 4 and 8 bits
// with a palette, 16, 24 and 32 bits with or without bit-field masks, RLE8
// and RLE4. 32-bit files give 32-bit red, green, blue, alpha images; the
// others 24-bit.
CImage *DecodeBmp(ByteSource &file, ReadError *error);

// Netpbm files P1 to P6, maxval 1 to 65535, samples scaled to 0-255 as
// netpbm scales them. Bitmaps and grey maps give 8-bit images, pixmaps
// 24-bit ones.
CImage *DecodePnm(ByteSource &file, ReadError *error);

// Truevision TGA: uncompressed and RLE-compressed true-colour (types 2, 10),
// grey (3, 11) and colour-mapped (1, 9) pictures. Grey gives 8-bit images,
// the others 24-bit ones.
CImage *DecodeTga(ByteSource &file, ReadError *error);

// PNG through libspng: every colour type and bit depth, palettes, tRNS,
// interlacing. Grey gives 8-bit images, colour 24-bit ones, and any alpha
// (a channel or tRNS) 32-bit red, green, blue, alpha. 16-bit samples are
// rounded as (v * 255 + 32767) / 65535. Gamma and colour profiles are
// ignored.
CImage *DecodePng(ByteSource &file, ReadError *error);

// JPEG through libjpeg-turbo: baseline and progressive, grey (8-bit
// images), colour, CMYK and YCCK (24-bit), with djpeg's default settings;
// the EXIF orientation is applied.
CImage *DecodeJpeg(ByteSource &file, ReadError *error);

// WebP through libwebp: lossy and lossless, 24-bit, or 32-bit with alpha;
// an animation gives its first frame.
CImage *DecodeWebp(ByteSource &file, ReadError *error);

}  // namespace mirlan

#endif
