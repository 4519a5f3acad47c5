// nearest.cpp: nearest-neighbour resampling (see nearest.h).
#include "processing/nearest.h"

#include <algorithm>
#include <cstring>

#include "processing/parallel.h"

namespace mirlan {

namespace {

// Below this many bytes of rows the work stays on the calling thread.
constexpr size_t kMinBytesPerThread = size_t(1) << 18;

template <int B>
void Gather(unsigned char *d, const unsigned char *row, const size_t *col, size_t n)
{
    for (size_t i = 0; i < n; ++i, d += B)
        std::memcpy(d, row + col[i], B);
}

// Three-byte pixels move as four bytes whose spare byte the next pixel
// overwrites, for the first `wide` pixels only: never the span's last pixel
// (its spare byte may lie past out) nor one from the source row's last
// column (past the row, or the buffer).
void Gather3(unsigned char *d, const unsigned char *row, const size_t *col, size_t n, size_t wide)
{
    size_t i = 0;
    for (; i < wide; ++i, d += 3)
        std::memcpy(d, row + col[i], 4);
    for (; i < n; ++i, d += 3)
        std::memcpy(d, row + col[i], 3);
}

}  // namespace

NearestRows::NearestRows(const CImage &src, long long shownW, long long shownH, long long first, size_t count)
    : src_(src), shownH_(shownH), firstByte_(0), wide_(0)
{
    const size_t bytes = size_t(src.BytesPerPixel());
    if (shownW == src.width) {
        firstByte_ = size_t(first) * bytes;
        return;
    }
    columns_.resize(count);
    for (size_t i = 0; i < count; ++i)
        columns_[i] = size_t((first + (long long)i) * src.width / shownW) * bytes;
    // The offsets only grow along the row.
    const size_t last = size_t(src.width - 1) * bytes;
    while (wide_ < count && columns_[wide_] < last)
        ++wide_;
}

void NearestRows::Fill(long long y, unsigned char *out, size_t from, size_t n) const
{
    const size_t bytes = size_t(src_.BytesPerPixel());
    const unsigned char *row = src_.data + size_t(SourceRow(y)) * src_.RowBytes();
    if (columns_.empty()) {
        std::memcpy(out, row + firstByte_ + from * bytes, n * bytes);
        return;
    }
    const size_t *col = columns_.data() + from;
    switch (bytes) {
    case 1: Gather<1>(out, row, col, n); break;
    case 2: Gather<2>(out, row, col, n); break;
    case 3: Gather3(out, row, col, n, wide_ > from ? std::min(wide_ - from, n - 1) : 0); break;
    case 4: Gather<4>(out, row, col, n); break;
    default:
        for (size_t i = 0; i < n; ++i, out += bytes)
            std::memcpy(out, row + col[i], bytes);
    }
}

void ScaleNearestInto(const CImage &src, unsigned char *dst, int W, int H)
{
    const size_t w = size_t(W), rowBytes = CImage::ByteCount(W, 1, src.bpp);
    if (W == src.width && H == src.height) {
        std::memcpy(dst, src.data, rowBytes * size_t(H));
        return;
    }
    const NearestRows rows(src, W, H, 0, w);
    ParallelFor(size_t(H), kMinBytesPerThread / (rowBytes + 1) + 1, [&](size_t first, size_t last) {
        for (size_t y = first; y < last; ++y) {
            unsigned char *target = dst + y * rowBytes;
            // A row that shows the source row of the row above is its copy.
            if (y > first && rows.SourceRow((long long)y) == rows.SourceRow((long long)y - 1))
                std::memcpy(target, target - rowBytes, rowBytes);
            else
                rows.Fill((long long)y, target, 0, w);
        }
    });
}

CImage *ScaleNearest(const CImage &src, int W, int H)
{
    if (!src.data || src.width < 1 || src.height < 1 || src.BytesPerPixel() < 1 || W < 1 || H < 1)
        return nullptr;
    CImage *out = new CImage(W, H, src.bpp);
    ScaleNearestInto(src, out->data, W, H);
    return out;
}

void ScaleNearestInto(const CImage &src, CImage &dst)
{
    if (src.data && dst.data && src.width >= 1 && src.height >= 1 && src.BytesPerPixel() >= 1 &&
        dst.width >= 1 && dst.height >= 1 && dst.bpp == src.bpp)
        ScaleNearestInto(src, dst.data, dst.width, dst.height);
}

}  // namespace mirlan
