// codec_rows.h: the pieces the TGA and BMP codecs share: little-endian header
// fields, the pixel conversions between memory order and file order, and the
// writing of an image's rows bottom row first, in large blocks.
#ifndef MIRLAN_IMAGE_CODEC_ROWS_H
#define MIRLAN_IMAGE_CODEC_ROWS_H

#include <cstddef>
#include <cstdint>

#include "image/image.h"
#include "image/safe_file.h"

namespace mirlan {

inline unsigned GetLE16(const unsigned char *p) { return p[0] | (p[1] << 8); }

inline void PutLE16(unsigned char *p, unsigned v)
{
    p[0] = static_cast<unsigned char>(v);
    p[1] = static_cast<unsigned char>(v >> 8);
}

inline void PutLE32(unsigned char *p, uint32_t v)
{
    PutLE16(p, v & 0xFFFF);
    PutLE16(p + 2, v >> 16);
}

// Converts `pixels` pixels of one row from src to dst (never the same buffer).
using RowConverter = void (*)(const unsigned char *src, unsigned char *dst, size_t pixels);

// 3-byte pixels with their first and third bytes exchanged (RGB <-> BGR).
void SwapRedBlue24(const unsigned char *src, unsigned char *dst, size_t pixels);
// 4-byte pixels with their first and third bytes exchanged (RGBA <-> BGRA).
void SwapRedBlue32(const unsigned char *src, unsigned char *dst, size_t pixels);
// 4-byte pixels to 3 bytes, first and third exchanged, fourth dropped
// (BGRA -> RGB, RGBA -> BGR).
void SwapRedBlueDropFourth(const unsigned char *src, unsigned char *dst, size_t pixels);
// Little-endian 16-bit words, 5 bits each of red (10-14), green (5-9) and
// blue (0-4), to red, green, blue bytes, each 5-bit value times 8.
void Rgb555ToRgb(const unsigned char *src, unsigned char *dst, size_t pixels);
// Grey and alpha byte pairs to the grey byte alone.
void GreyAlphaToGrey(const unsigned char *src, unsigned char *dst, size_t pixels);

// Writes img's rows from the bottom row up, each turned by convert into
// fileRowBytes bytes (zero-padded after the converted pixels); a null convert
// copies the row's bytes as they are. False if a write fails.
bool WriteRowsBottomUp(SafeFileWriter &out, const CImage &img, RowConverter convert,
                       size_t fileRowBytes);

// How many rows of rowBytes make a block of about one megabyte (at least one).
size_t RowsPerBlock(size_t rowBytes);

}  // namespace mirlan

#endif
