// bench_engine.cpp: speed of the histograms, colour adjustments, colour modes
// and tone filters on a 6000 × 4000 photo at 24 and 8 bits, beside a memcpy
// of the same buffer.
#include <benchmark/benchmark.h>

#include <cstring>
#include <functional>

#include "bench/bench_util.h"
#include "processing/histogramme.h"
#include "processing/ti.h"

namespace {

void BM_Memcpy(benchmark::State &state) { bench::MemcpyYardstick(state, int(state.range(0))); }

// Runs op on the photo, put back to its first state outside the timing
// before every run so that each run sees photo-like data.
void InPlace(benchmark::State &state, const std::function<void(CImage *)> &op)
{
    auto photo = bench::MakePhoto(int(state.range(0)));
    auto img = bench::MakePhoto(int(state.range(0)));
    for (auto _ : state) {
        state.PauseTiming();
        std::memcpy(img->data, photo->data, photo->ByteCount());
        state.ResumeTiming();
        op(img.get());
        benchmark::DoNotOptimize(img->data);
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(photo->ByteCount()));
}

// Runs a depth conversion on a fresh copy of the photo made outside the
// timing; the new buffer's allocation is timed, the old one's release is not.
void Converted(benchmark::State &state, void (*op)(CImage *))
{
    auto photo = bench::MakePhoto(int(state.range(0)));
    for (auto _ : state) {
        state.PauseTiming();
        auto img = std::make_unique<CImage>(photo->data, photo->width, photo->height, photo->bpp);
        state.ResumeTiming();
        op(img.get());
        benchmark::DoNotOptimize(img->data);
        benchmark::ClobberMemory();
        state.PauseTiming();
        img.reset();
        state.ResumeTiming();
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(photo->ByteCount()));
}

void BM_Negatif(benchmark::State &state) { InPlace(state, CTi::Negatif); }
void BM_Luminosite(benchmark::State &state)
{
    InPlace(state, [](CImage *img) { CTi::Luminosite(img, 10, 5, -5, 0); });
}
void BM_Contraste(benchmark::State &state) { InPlace(state, [](CImage *img) { CTi::Contraste(img, 20); }); }
void BM_Saturation(benchmark::State &state) { InPlace(state, [](CImage *img) { CTi::Saturation(img, 30); }); }
void BM_NiveauxGris(benchmark::State &state) { Converted(state, CTi::NiveauxGris); }
void BM_CouleursRVB(benchmark::State &state) { Converted(state, CTi::CouleursRVB); }
void BM_DentsDeScie(benchmark::State &state) { InPlace(state, CTi::DentsDeScie); }
void BM_SeuillageAl(benchmark::State &state) { InPlace(state, CTi::SeuillageAl); }
void BM_SeuillageFixe(benchmark::State &state) { InPlace(state, [](CImage *img) { CTi::SeuillageFixe(img, 2.0f); }); }
void BM_EgalHisto(benchmark::State &state) { InPlace(state, CTi::EgalHisto); }
void BM_EtirementHisto(benchmark::State &state) { InPlace(state, CTi::EtirementHisto); }

// The histograms only read the photo.
void BM_CalcHistos(benchmark::State &state)
{
    auto photo = bench::MakePhoto(int(state.range(0)));
    CHistogramme histos;
    for (auto _ : state) {
        histos.CalcHistos(photo.get());
        benchmark::DoNotOptimize(histos.moyenne);
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(photo->ByteCount()));
}

#define MIRLAN_BENCH_AT(fn, ...) BENCHMARK(fn)->ArgsProduct({{__VA_ARGS__}})->Unit(benchmark::kMillisecond)->UseRealTime()

MIRLAN_BENCH_AT(BM_Memcpy, 24, 8);
MIRLAN_BENCH_AT(BM_Negatif, 24, 8);
MIRLAN_BENCH_AT(BM_CouleursRVB, 8);
MIRLAN_BENCH_AT(BM_Luminosite, 24, 8);
MIRLAN_BENCH_AT(BM_Contraste, 24, 8);
MIRLAN_BENCH_AT(BM_Saturation, 24);
MIRLAN_BENCH_AT(BM_NiveauxGris, 24);
MIRLAN_BENCH_AT(BM_DentsDeScie, 24, 8);
MIRLAN_BENCH_AT(BM_SeuillageAl, 24, 8);
MIRLAN_BENCH_AT(BM_SeuillageFixe, 24, 8);
MIRLAN_BENCH_AT(BM_CalcHistos, 24, 8);
MIRLAN_BENCH_AT(BM_EgalHisto, 24, 8);
MIRLAN_BENCH_AT(BM_EtirementHisto, 24, 8);

}  // namespace

BENCHMARK_MAIN();
