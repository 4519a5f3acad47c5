// bench_editor.cpp: the editor's two heavy refreshes on a 6000 x 4000 colour
// picture: opening the file into every view (loadImage) and the refresh after
// a change of the image (traiteImage) at zoom 100 and 50, beside a memcpy of
// the same 72 MB and the bare TGA reader. Needs a display (run under Xvfb).
#include <benchmark/benchmark.h>

#include <FL/Fl.H>
#include <FL/Fl_Shared_Image.H>

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>

#include "app/mirlan_ui.h"
#include "bench/bench_util.h"
#include "image/image_file.h"

namespace {

// The application object and a 6000 x 4000 24-bit TGA file, made once.
struct Editor {
    CMirlanUI *ui;
    std::string dir;
    std::string path;

    Editor()
    {
        fl_register_images();
        ui = cvui = new CMirlanUI;
        char pattern[] = "/tmp/mirlan_bench_XXXXXX";
        const char *made = mkdtemp(pattern);
        dir = made ? made : "/tmp";
        path = dir + "/photo.tga";
        auto photo = bench::MakePhoto(24);
        if (CImage::SaveTGA(photo.get(), path.c_str()) != CImage::kOk) {
            std::fprintf(stderr, "cannot write %s\n", path.c_str());
            std::exit(1);
        }
    }
    ~Editor()
    {
        std::remove(path.c_str());
        std::remove(dir.c_str());
    }
};

Editor &TheEditor()
{
    static Editor editor;
    return editor;
}

void LoadInto(CMirlanUI *ui, const std::string &path)
{
    std::string buffer = path;
    ui->loadImage(&buffer[0]);
}

void BM_Memcpy(benchmark::State &state) { bench::MemcpyYardstick(state, 24); }
BENCHMARK(BM_Memcpy)->Unit(benchmark::kMillisecond);

// The reader alone, for what loadImage adds to it.
void BM_LoadTGA(benchmark::State &state)
{
    Editor &e = TheEditor();
    for (auto _ : state) {
        std::unique_ptr<CImage> img(mirlan::ReadImageFile(e.path.c_str()));
        benchmark::DoNotOptimize(img.get());
    }
    state.SetBytesProcessed(int64_t(state.iterations()) *
                            int64_t(CImage::ByteCount(bench::kWidth, bench::kHeight, 24)));
}
BENCHMARK(BM_LoadTGA)->Unit(benchmark::kMillisecond);

void BM_LoadImage(benchmark::State &state)
{
    Editor &e = TheEditor();
    for (auto _ : state) {
        LoadInto(e.ui, e.path);
        if (!e.ui->getImage()) {
            state.SkipWithError("load failed");
            break;
        }
    }
    state.SetBytesProcessed(int64_t(state.iterations()) *
                            int64_t(CImage::ByteCount(bench::kWidth, bench::kHeight, 24)));
}
BENCHMARK(BM_LoadImage)->Unit(benchmark::kMillisecond);

// The refresh after a command, at the zoom given as the argument.
void BM_TraiteImage(benchmark::State &state)
{
    Editor &e = TheEditor();
    if (!e.ui->getImage())
        LoadInto(e.ui, e.path);
    const int zoom = int(state.range(0));
    e.ui->sl_zoom->value(zoom);
    e.ui->box_image->Zoom(zoom);
    for (auto _ : state)
        e.ui->traiteImage();
    state.SetBytesProcessed(int64_t(state.iterations()) *
                            int64_t(CImage::ByteCount(bench::kWidth, bench::kHeight, 24)));
}
BENCHMARK(BM_TraiteImage)->Arg(100)->Arg(50)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
