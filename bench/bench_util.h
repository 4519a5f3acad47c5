// bench_util.h: the images every benchmark works on and the memcpy yardstick.
#ifndef MIRLAN_BENCH_UTIL_H
#define MIRLAN_BENCH_UTIL_H

#include <benchmark/benchmark.h>

#include <cstdint>
#include <cstring>
#include <memory>
#include <random>
#include <vector>

#include "image/image.h"

namespace bench {

constexpr int kWidth = 6000;
constexpr int kHeight = 4000;

// A photo-like 6000 × 4000 picture (smooth gradients plus noise) at the
// given depth, the same bytes in every run.
inline std::unique_ptr<CImage> MakePhoto(int bpp, int w = kWidth, int h = kHeight)
{
    auto img = std::make_unique<CImage>(w, h, bpp);
    std::mt19937 rng(1234);
    const int bytes = bpp / 8;
    unsigned char *p = img->data;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            for (int c = 0; c < bytes; ++c)
                *p++ = static_cast<unsigned char>((x * (c + 1) / 31 + y / 23 + (rng() & 15)) & 255);
    return img;
}

// The yardstick: one plain memcpy of a buffer the size of the picture.
inline void MemcpyYardstick(benchmark::State &state, int bpp)
{
    size_t n = CImage::ByteCount(kWidth, kHeight, bpp);
    std::vector<unsigned char> src(n, 1), dst(n, 2);
    for (auto _ : state) {
        std::memcpy(dst.data(), src.data(), n);
        benchmark::DoNotOptimize(dst.data());
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(n));
}

}  // namespace bench

#endif
