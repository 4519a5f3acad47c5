// exif.h: the orientation a camera records in a JPEG's EXIF segment.
#ifndef MIRLAN_IMAGE_EXIF_H
#define MIRLAN_IMAGE_EXIF_H

#include <cstddef>

class CImage;

namespace mirlan {

// The orientation (1 to 8) that an APP1 segment's n data bytes record:
// "Exif\0\0", a TIFF header in either byte order, tag 0x0112 of its first
// directory. 1 (as stored) when the segment is not EXIF, holds no
// orientation, or is damaged.
int ExifOrientation(const unsigned char *data, size_t n);

// img turned and mirrored as orientation asks, so that it shows upright;
// the same image when orientation is 1 or unknown, null when memory for a
// quarter turn runs short. Takes img in every case.
CImage *Orient(CImage *img, int orientation);

}  // namespace mirlan

#endif
