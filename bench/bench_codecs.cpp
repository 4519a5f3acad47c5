// bench_codecs.cpp: TGA, BMP, PNG, JPEG and WebP reading and writing of a
// 6000 × 4000 photo, beside a plain memcpy of the same number of bytes. Files go to /dev/shm
// (memory) when it exists, so that the figures are the codec's work rather
// than the disk's.
#include <benchmark/benchmark.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <memory>
#include <string>

#include "bench/bench_util.h"
#include "image/image.h"
#include "image/pixel_decoders.h"

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
        CImage loaded;
        if (CImage::LoadTGA(&loaded, path.c_str()) != CImage::kOk)
            state.SkipWithError("LoadTGA failed");
        benchmark::DoNotOptimize(loaded.data);
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

void BM_SavePNG(benchmark::State &state)
{
    const int bpp = int(state.range(0));
    CImage &img = const_cast<CImage &>(Photo(bpp));
    const std::string path = ScratchPath("save.png");
    for (auto _ : state)
        if (CImage::SavePNG(&img, path.c_str()) != CImage::kOk)
            state.SkipWithError("SavePNG failed");
    struct stat st;
    state.counters["file_MB"] = stat(path.c_str(), &st) == 0 ? double(st.st_size) / 1e6 : 0;
    unlink(path.c_str());
    SetBytes(state, bpp);
}

void BM_SaveJPEG(benchmark::State &state)
{
    const int bpp = int(state.range(0));
    CImage &img = const_cast<CImage &>(Photo(bpp));
    const std::string path = ScratchPath("save.jpg");
    for (auto _ : state)
        if (CImage::SaveJPEG(&img, path.c_str()) != CImage::kOk)
            state.SkipWithError("SaveJPEG failed");
    unlink(path.c_str());
    SetBytes(state, bpp);
}

// Reads a file written by save with a decoder.
void LoadWith(benchmark::State &state, int (*save)(CImage *, const char *), const char *name,
              CImage *(*decode)(mirlan::ByteSource &, mirlan::ReadError *))
{
    const int bpp = int(state.range(0));
    CImage &img = const_cast<CImage &>(Photo(bpp));
    const std::string path = ScratchPath(name);
    if (save(&img, path.c_str()) != CImage::kOk)
        state.SkipWithError("save failed");
    for (auto _ : state) {
        const int fd = open(path.c_str(), O_RDONLY);
        struct stat st;
        fstat(fd, &st);
        mirlan::ByteSource file(fd, size_t(st.st_size));
        mirlan::ReadError error;
        std::unique_ptr<CImage> loaded(decode(file, &error));
        close(fd);
        if (!loaded)
            state.SkipWithError("decode failed");
        benchmark::DoNotOptimize(loaded.get());
    }
    unlink(path.c_str());
    SetBytes(state, bpp);
}

int SaveJpeg90(CImage *img, const char *path) { return CImage::SaveJPEG(img, path); }

void BM_LoadPNG(benchmark::State &state) { LoadWith(state, CImage::SavePNG, "load.png", mirlan::DecodePng); }
void BM_LoadJPEG(benchmark::State &state) { LoadWith(state, SaveJpeg90, "load.jpg", mirlan::DecodeJpeg); }

}  // namespace

BENCHMARK(BM_Memcpy)->Arg(24)->Arg(8)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SaveTGA)->Arg(24)->Arg(8)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LoadTGA)->Arg(24)->Arg(8)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SaveBMP)->Arg(24)->Arg(8)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SavePNG)->Arg(24)->Arg(8)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LoadPNG)->Arg(24)->Arg(8)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SaveJPEG)->Arg(24)->Arg(8)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LoadJPEG)->Arg(24)->Arg(8)->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
