// bench_widgets.cpp: speed of the views' own work on a 6000 x 4000 picture:
// the image view's scaled copy (its resampling against the toolkit's copy
// followed by a CImage copy, which it replaces), the preview's thumbnail and
// the histogram view's refresh, beside a memcpy of the picture.
#include <FL/Fl_RGB_Image.H>

#include <memory>

#include "bench_util.h"
#include "processing/nearest.h"
#include "widgets/CHistoBoxFL.h"
#include "widgets/CImgPreviewBoxFL.h"

namespace {

const CImage &Photo24()
{
    static std::unique_ptr<CImage> img = bench::MakePhoto(24);
    return *img;
}

int Side(int percent, int side) { return static_cast<int>(static_cast<double>(percent / 100.0f) * side); }

void BM_Memcpy(benchmark::State &state) { bench::MemcpyYardstick(state, 24); }
BENCHMARK(BM_Memcpy)->Unit(benchmark::kMillisecond)->UseRealTime();

// What the view does on every refresh: one resampled CImage.
void BM_ScaledCopy(benchmark::State &state)
{
    const CImage &img = Photo24();
    const int W = Side(static_cast<int>(state.range(0)), img.width);
    const int H = Side(static_cast<int>(state.range(0)), img.height);
    for (auto _ : state) {
        std::unique_ptr<CImage> out(mirlan::ScaleNearest(img, W, H));
        benchmark::DoNotOptimize(out->data);
    }
}
BENCHMARK(BM_ScaledCopy)->Arg(100)->Arg(50)->Unit(benchmark::kMillisecond)->UseRealTime();

// A refresh after a change that kept the picture's size: the display copy's
// buffer is reused.
void BM_ScaledCopyIntoSameSize(benchmark::State &state)
{
    const CImage &img = Photo24();
    const int percent = static_cast<int>(state.range(0));
    CImage out(Side(percent, img.width), Side(percent, img.height), 24);
    for (auto _ : state) {
        mirlan::ScaleNearestInto(img, out);
        benchmark::DoNotOptimize(out.data);
    }
}
BENCHMARK(BM_ScaledCopyIntoSameSize)->Arg(100)->Arg(50)->Unit(benchmark::kMillisecond)->UseRealTime();

// The route it replaces: the toolkit's copy, then a second copy into a CImage.
void BM_ToolkitCopyThenCImage(benchmark::State &state)
{
    const CImage &img = Photo24();
    const int W = Side(static_cast<int>(state.range(0)), img.width);
    const int H = Side(static_cast<int>(state.range(0)), img.height);
    for (auto _ : state) {
        Fl_RGB_Image wrapper(img.data, img.width, img.height, 3);
        std::unique_ptr<Fl_Image> copy(wrapper.copy(W, H));
        std::unique_ptr<CImage> out(
            new CImage(reinterpret_cast<const unsigned char *>(copy->data()[0]), W, H, 24));
        benchmark::DoNotOptimize(out->data);
    }
}
BENCHMARK(BM_ToolkitCopyThenCImage)->Arg(100)->Arg(50)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_PreviewThumbnail(benchmark::State &state)
{
    CImgPreviewBoxFL box(0, 0, 165, 126);
    for (auto _ : state) {
        box.SetImage(const_cast<CImage *>(&Photo24()));
        benchmark::DoNotOptimize(box.GetImage()->data);
    }
}
BENCHMARK(BM_PreviewThumbnail)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_HistogramViewRefresh(benchmark::State &state)
{
    CHistoBoxFL box(0, 0, 49, 25);
    for (auto _ : state) {
        box.SetImage(const_cast<CImage *>(&Photo24()));
        benchmark::DoNotOptimize(box.GetText(0));
    }
}
BENCHMARK(BM_HistogramViewRefresh)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

BENCHMARK_MAIN();
