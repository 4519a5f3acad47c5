// bench_codecs.cpp: TGA and BMP reading and writing of a 6000 × 4000 photo,
// beside a plain memcpy of the same number of bytes. Files go to /dev/shm
// (memory) when it exists, so that the figures are the codec's work rather
// than the disk's.
#include <benchmark/benchmark.h>

#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <memory>
#include <string>

#include "bench/bench_util.h"
#include "image/image.h"
#include "image/image_file.h"

namespace {

std::string ScratchPath(const char *name)
{
    struct stat st;
    const char *tmp = std::getenv("TMPDIR");
    std::string dir = stat("/dev/shm", &st) == 0 ? "/dev/shm" : (tmp && *tmp ? tmp : "/tmp");
    return dir + "/mirlan-bench-" + std::to_string(getpid()) + "-" + name;
}

const CImage &Photo(int bpp)
{
    static auto grey = bench::MakePhoto(8);
    static auto colour = bench::MakePhoto(24);
    return bpp == 8 ? *grey : *colour;
}

void SetBytes(benchmark::State &state, int bpp)
{
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(Photo(bpp).ByteCount()));
}

void BM_Memcpy(benchmark::State &state) { bench::MemcpyYardstick(state, int(state.range(0))); }

void BM_SaveTGA(benchmark::State &state)
{
    const int bpp = int(state.range(0));
    CImage &img = const_cast<CImage &>(Photo(bpp));
    const std::string path = ScratchPath("save.tga");
    for (auto _ : state)
        if (CImage::SaveTGA(&img, path.c_str()) != CImage::kOk)
            state.SkipWithError("SaveTGA failed");
    unlink(path.c_str());
    SetBytes(state, bpp);
}

void BM_LoadTGA(benchmark::State &state)
{
    const int bpp = int(state.range(0));
    CImage &img = const_cast<CImage &>(Photo(bpp));
    const std::string path = ScratchPath("load.tga");
    if (CImage::SaveTGA(&img, path.c_str()) != CImage::kOk)
        state.SkipWithError("SaveTGA failed");
    for (auto _ : state) {
        std::unique_ptr<CImage> loaded(mirlan::ReadImageFile(path.c_str()));
        if (!loaded)
            state.SkipWithError("reading the TGA failed");
        benchmark::DoNotOptimize(loaded.get());
    }
    unlink(path.c_str());
    SetBytes(state, bpp);
}

void BM_SaveBMP(benchmark::State &state)
{
    const int bpp = int(state.range(0));
    CImage &img = const_cast<CImage &>(Photo(bpp));
    const std::string path = ScratchPath("save.bmp");
    for (auto _ : state)
        if (CImage::SaveBMP(&img, path.c_str()) != CImage::kOk)
            state.SkipWithError("SaveBMP failed");
    unlink(path.c_str());
    SetBytes(state, bpp);
}

}  // namespace

BENCHMARK(BM_Memcpy)->Arg(24)->Arg(8)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SaveTGA)->Arg(24)->Arg(8)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LoadTGA)->Arg(24)->Arg(8)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SaveBMP)->Arg(24)->Arg(8)->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
