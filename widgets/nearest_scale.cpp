// nearest_scale.cpp: nearest-neighbour resampling (see nearest_scale.h).
#include "widgets/nearest_scale.h"

#include <cstring>
#include <vector>

#include "image/image.h"
#include "processing/parallel.h"

namespace mirlan {

namespace {

// Copies one target row by the column table, specialised on the pixel size
// so that the inner loop has a fixed byte count.
template <int kBytes>
void ScaleRow(const unsigned char *src, unsigned char *dst, const std::vector<size_t> &columns)
{
    for (size_t offset : columns) {
        const unsigned char *p = src + offset;
        for (int c = 0; c < kBytes; ++c)
            *dst++ = p[c];
    }
}

void ScaleRowAnyDepth(const unsigned char *src, unsigned char *dst,
                      const std::vector<size_t> &columns, int bytes)
{
    for (size_t offset : columns) {
        std::memcpy(dst, src + offset, static_cast<size_t>(bytes));
        dst += bytes;
    }
}

}  // namespace

CImage *ScaleNearest(const CImage &src, int W, int H)
{
    if (!src.data || src.width < 1 || src.height < 1 || src.BytesPerPixel() < 1 || W < 1 || H < 1)
        return nullptr;
    CImage *out = new CImage(W, H, src.bpp);
    ScaleNearestInto(src, *out);
    return out;
}

void ScaleNearestInto(const CImage &src, CImage &dst)
{
    const int bytes = src.BytesPerPixel();
    const int W = dst.width, H = dst.height;
    if (!src.data || !dst.data || src.width < 1 || src.height < 1 || bytes < 1 || W < 1 || H < 1 ||
        dst.bpp != src.bpp)
        return;
    const size_t srcRow = src.RowBytes();
    const size_t dstRow = dst.RowBytes();

    if (W == src.width && H == src.height) {
        std::memcpy(dst.data, src.data, dst.ByteCount());
        return;
    }

    // Byte offset within a source row of each target column.
    std::vector<size_t> columns(static_cast<size_t>(W));
    for (int x = 0; x < W; ++x)
        columns[x] = static_cast<size_t>(x) * static_cast<size_t>(src.width) / static_cast<size_t>(W) *
                     static_cast<size_t>(bytes);

    const unsigned char *in = src.data;
    unsigned char *out = dst.data;
    const size_t srcHeight = static_cast<size_t>(src.height);
    // Rows are independent; split them when the picture is large.
    const size_t kMinRowsPerThread = 64;
    ParallelFor(static_cast<size_t>(H), kMinRowsPerThread, [&](size_t y0, size_t y1) {
        for (size_t y = y0; y < y1; ++y) {
            const size_t sy = y * srcHeight / static_cast<size_t>(H);
            const unsigned char *row = in + sy * srcRow;
            unsigned char *target = out + y * dstRow;
            // Rows that repeat a source row are copies of the row above.
            if (y > y0 && sy == (y - 1) * srcHeight / static_cast<size_t>(H)) {
                std::memcpy(target, target - dstRow, dstRow);
                continue;
            }
            if (W == src.width)
                std::memcpy(target, row, dstRow);
            else if (bytes == 1)
                ScaleRow<1>(row, target, columns);
            else if (bytes == 3)
                ScaleRow<3>(row, target, columns);
            else
                ScaleRowAnyDepth(row, target, columns, bytes);
        }
    });
}

}  // namespace mirlan
