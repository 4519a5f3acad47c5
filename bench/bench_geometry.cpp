// bench_geometry.cpp: speed of the turns, mirrors, resizing and distance maps
// on a 6000 × 4000 photo at 24 and 8 bits, beside a memcpy of the same buffer.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstring>
#include <vector>

#include "bench/bench_util.h"
#include "processing/ti.h"

namespace {

void BM_Memcpy(benchmark::State &state) { bench::MemcpyYardstick(state, int(state.range(0))); }

// Operations that keep the size and can run again on their own result.
template <void (*Op)(CImage *)>
void InPlace(benchmark::State &state)
{
    auto img = bench::MakePhoto(int(state.range(0)));
    for (auto _ : state) {
        Op(img.get());
        benchmark::DoNotOptimize(img->data);
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(img->ByteCount()));
}

// Quarter turns: the result is a new image; turning it again is the same work.
void BM_Rot90h(benchmark::State &state) { InPlace<CTi::Rot90h>(state); }
void BM_Rot90a(benchmark::State &state) { InPlace<CTi::Rot90a>(state); }
void BM_Rot180(benchmark::State &state) { InPlace<CTi::Rot180>(state); }
void BM_SymetrieV(benchmark::State &state) { InPlace<CTi::SymetrieV>(state); }
void BM_SymetrieH(benchmark::State &state) { InPlace<CTi::SymetrieH>(state); }

// Resizing from the full-size photo each time (restored outside the timing).
void Resize(benchmark::State &state, int num, int den)
{
    const int bpp = int(state.range(0));
    auto photo = bench::MakePhoto(bpp);
    const int w = bench::kWidth * num / den, h = bench::kHeight * num / den;
    for (auto _ : state) {
        state.PauseTiming();
        CImage img(photo->data, photo->width, photo->height, bpp);
        state.ResumeTiming();
        CTi::Redimensionne(&img, w, h);
        benchmark::DoNotOptimize(img.data);
        benchmark::ClobberMemory();
        state.PauseTiming();
        img.Replace(nullptr, 0, 0, bpp);  // freed outside the timing as well
        state.ResumeTiming();
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(photo->ByteCount()));
}
void BM_RedimensionneHalf(benchmark::State &state) { Resize(state, 1, 2); }
void BM_RedimensionneDouble(benchmark::State &state) { Resize(state, 2, 1); }

// Distance maps to a point off centre, at the starting scale, into all channels.
template <void (*Op)(CImage *, sRGB, int, int, float)>
void Distance(benchmark::State &state)
{
    auto img = bench::MakePhoto(int(state.range(0)));
    for (auto _ : state) {
        Op(img.get(), sRGB{255, 255, 255}, 2500, 1800, 2.0f);
        benchmark::DoNotOptimize(img->data);
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(img->ByteCount()));
}
void BM_Distance4Point(benchmark::State &state) { Distance<CTi::Distance4Point>(state); }
void BM_Distance8Point(benchmark::State &state) { Distance<CTi::Distance8Point>(state); }

// With --benchmark_repetitions, the fastest run is reported too: on a busy
// machine it is the one least disturbed by other work.
double Fastest(const std::vector<double> &runs) { return *std::min_element(runs.begin(), runs.end()); }

#define MIRLAN_BENCH_DEPTHS(fn)                                                                  \
    BENCHMARK(fn)->Arg(24)->Arg(8)->Unit(benchmark::kMillisecond)->UseRealTime()->ComputeStatistics( \
        "min", Fastest)

MIRLAN_BENCH_DEPTHS(BM_Memcpy);
MIRLAN_BENCH_DEPTHS(BM_SymetrieV);
MIRLAN_BENCH_DEPTHS(BM_SymetrieH);
MIRLAN_BENCH_DEPTHS(BM_Rot180);
MIRLAN_BENCH_DEPTHS(BM_Rot90h);
MIRLAN_BENCH_DEPTHS(BM_Rot90a);
MIRLAN_BENCH_DEPTHS(BM_RedimensionneHalf);
MIRLAN_BENCH_DEPTHS(BM_RedimensionneDouble);
MIRLAN_BENCH_DEPTHS(BM_Distance4Point);
MIRLAN_BENCH_DEPTHS(BM_Distance8Point);

}  // namespace

BENCHMARK_MAIN();
