// bench_codecs.cpp: writing and reading a 6000 × 4000 photo in every format
// the formats table writes (read back through ReadImageFile, as the
// programs read a file), beside a plain memcpy of the same number of bytes.
// Files go to /dev/shm (memory) when it exists, so that the figures are the
// codec's work rather than the disk's.
#include <benchmark/benchmark.h>

#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <memory>
#include <string>

#include "bench/bench_util.h"
#include "image/formats.h"
#include "image/image.h"
#include "image/image_file.h"

namespace {

std::string ScratchPath(const mirlan::ImageFormat &format)
{
    struct stat st;
    const char *tmp = std::getenv("TMPDIR");
    std::string dir = stat("/dev/shm", &st) == 0 ? "/dev/shm" : (tmp && *tmp ? tmp : "/tmp");
    return dir + "/mirlan-bench-" + std::to_string(getpid()) + "." + mirlan::Extensions(format)[0];
}

CImage &Photo(int bpp)
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

// Writes the photo with the format's writer (JPEG at its default quality);
// file_MB is the file's size.
void Save(benchmark::State &state, const mirlan::ImageFormat *format)
{
    const int bpp = int(state.range(0));
    const std::string path = ScratchPath(*format);
    for (auto _ : state)
        if (format->write(&Photo(bpp), path.c_str(), mirlan::WriteOptions()) != CImage::kOk)
            state.SkipWithError("writing failed");
    struct stat st;
    state.counters["file_MB"] = stat(path.c_str(), &st) == 0 ? double(st.st_size) / 1e6 : 0;
    unlink(path.c_str());
    SetBytes(state, bpp);
}

// Reads back what the format's writer wrote.
void Load(benchmark::State &state, const mirlan::ImageFormat *format)
{
    const int bpp = int(state.range(0));
    const std::string path = ScratchPath(*format);
    if (format->write(&Photo(bpp), path.c_str(), mirlan::WriteOptions()) != CImage::kOk)
        state.SkipWithError("writing failed");
    for (auto _ : state) {
        std::unique_ptr<CImage> loaded(mirlan::ReadImageFile(path.c_str()));
        if (!loaded)
            state.SkipWithError("reading failed");
        benchmark::DoNotOptimize(loaded.get());
    }
    unlink(path.c_str());
    SetBytes(state, bpp);
}

}  // namespace

BENCHMARK(BM_Memcpy)->Arg(24)->Arg(8)->Unit(benchmark::kMillisecond);

int main(int argc, char **argv)
{
    for (const mirlan::ImageFormat *format : mirlan::WritableFormats()) {
        const std::string name = format->name;
        benchmark::RegisterBenchmark(("BM_Save/" + name).c_str(), Save, format)->Arg(24)->Arg(8)->Unit(benchmark::kMillisecond);
        benchmark::RegisterBenchmark(("BM_Load/" + name).c_str(), Load, format)->Arg(24)->Arg(8)->Unit(benchmark::kMillisecond);
    }
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
