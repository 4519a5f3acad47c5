// pixel_decoders.h: the BMP and PNM decoders behind ReadImageFile, and the
// checked helpers they share. A decoder takes a whole file already in memory,
// reads nothing past its end, checks every value from the file before it
// sizes an allocation or indexes a table, and never throws: it returns a new
// image or null with the reason.
#ifndef MIRLAN_IMAGE_PIXEL_DECODERS_H
#define MIRLAN_IMAGE_PIXEL_DECODERS_H

#include <cstddef>
#include <cstdint>

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

// Windows and OS/2 bitmaps: core, INFO, V4 and V5 headers; 1, 4 and 8 bits
// with a palette, 16, 24 and 32 bits with or without bit-field masks, RLE8
// and RLE4. 32-bit files give 32-bit red, green, blue, alpha images; the
// others 24-bit.
CImage *DecodeBmp(const unsigned char *data, size_t size, ReadError *error);

// Netpbm files P1 to P6, maxval 1 to 65535, samples scaled to 0-255 as
// netpbm scales them. Bitmaps and grey maps give 8-bit images, pixmaps
// 24-bit ones.
CImage *DecodePnm(const unsigned char *data, size_t size, ReadError *error);

}  // namespace mirlan

#endif
