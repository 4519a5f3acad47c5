// nearest.h: the program's one nearest-neighbour resampling. Pixel (X, Y) of
// a W x H picture shown at w x h is picture pixel (X * W / w, Y * H / h),
// quotients truncated, in 64-bit arithmetic: the pixel the toolkit's
// Fl_RGB_Image::copy picks. The resize operation, the thumbnails and the
// image view's drawing all go through it.
#ifndef MIRLAN_PROCESSING_NEAREST_H
#define MIRLAN_PROCESSING_NEAREST_H

#include <cstddef>
#include <vector>

#include "image/image.h"

namespace mirlan {

// The shown columns [first, first + count) of src shown at shownW x shownH,
// row by row; src must have pixels and the shown sides be at least 1.
class NearestRows {
public:
    NearestRows(const CImage &src, long long shownW, long long shownH, long long first, size_t count);
    // The source row that shown row y shows.
    long long SourceRow(long long y) const { return y * src_.height / shownH_; }
    // Writes the pixels of shown row y, columns [from, from + n) of this
    // span, to out (n pixels, nothing written past them).
    void Fill(long long y, unsigned char *out, size_t from, size_t n) const;

private:
    const CImage &src_;
    long long shownH_;
    size_t firstByte_;             // whole rows shown at their width: where the span starts
    std::vector<size_t> columns_;  // otherwise: each column's byte offset in a source row
    size_t wide_;                  // columns [0, wide_) not taken from the source's last column
};

// Fills dst, W x H pixels of src's depth (rows packed), with src shown at
// W x H, on every core. src must have pixels; W and H at least 1.
void ScaleNearestInto(const CImage &src, unsigned char *dst, int W, int H);

// A new W x H image with src's depth, src shown at that size. Null when src
// has no pixels or W or H is below 1.
CImage *ScaleNearest(const CImage &src, int W, int H);

// The same into dst's own pixels, at dst's size; dst must have src's depth
// and pixels of its own. Reusing a buffer of the right size spares the
// allocation and the first touch of every page.
void ScaleNearestInto(const CImage &src, CImage &dst);

}  // namespace mirlan

#endif
