// nearest_scale.h: nearest-neighbour resampling of a CImage, picking the
// same source pixel for every target pixel as the toolkit's
// Fl_RGB_Image::copy(W, H), but straight into a new CImage and with every
// offset in 64-bit arithmetic.
#ifndef MIRLAN_NEAREST_SCALE_H
#define MIRLAN_NEAREST_SCALE_H

class CImage;

namespace mirlan {

// A new W x H image with src's depth; target pixel (x, y) is source pixel
// (x * src.width / W, y * src.height / H), quotients truncated. Null when src
// has no pixels or W or H is below 1.
CImage *ScaleNearest(const CImage &src, int W, int H);

// The same resampling into dst's own pixels, at dst's size; dst must have
// src's depth and pixels of its own. Reusing a buffer of the right size
// spares the allocation and the first touch of every page.
void ScaleNearestInto(const CImage &src, CImage &dst);

}  // namespace mirlan

#endif
