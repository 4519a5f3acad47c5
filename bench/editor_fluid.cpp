// editor_fluid.cpp: the editor on a 6000 x 4000 colour photo, in process
// under a display (run under Xvfb). Each image command is timed on its whole
// path, from the menu callback to the refreshed window on the screen (undo
// copy, operation, view, histograms, thumbnail, status line, redraw, X
// server done), undo and redo of a stored and of a reversed step, at zoom 100 and at the fit-to-window zoom; also opening the
// file (PPM, TGA and BMP), each zoom command and a page of scrolling at 100
// and 300 %, a redraw of the whole window at 100 and 300 % (scrolled to the
// middle of the picture), and the resident memory with the picture open and
// after twenty quarter turns.
// The memcpy of the 72 MB picture is the yardstick.
#include <benchmark/benchmark.h>

#include <FL/Fl.H>
#include <FL/Fl_Shared_Image.H>
#include <FL/x.H>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <string>

#include "app/commands.h"
#include "app/mirlan_ui.h"
#include "bench/bench_util.h"

namespace {

std::string g_open_path;

char *AnswerOpenPath(const char *, const char *, const char *, int)
{
    static char answer[4096];
    std::snprintf(answer, sizeof answer, "%s", g_open_path.c_str());
    return answer;
}

void IgnoreAlert(const char *message) { std::fprintf(stderr, "alert: %s\n", message); }

// The application object with its window shown, and the photo written once
// as PPM and as TGA in a private folder.
struct Editor {
    CMirlanUI *ui;
    std::string dir, ppm, tga, bmp, jpg, png;

    Editor()
    {
        fl_register_images();
        Fl::visual(FL_DOUBLE);
        choose_file_dialog = AnswerOpenPath;
        alert_dialog = IgnoreAlert;
        question_dialog = [](const char *, const char *, const char *, const char *, const char *) { return 2; };  // reopen without saving
        char pattern[] = "/tmp/mirlan_fluid_XXXXXX";
        const char *made = mkdtemp(pattern);
        dir = made ? made : "/tmp";
        ppm = dir + "/photo.ppm";
        tga = dir + "/photo.tga";
        bmp = dir + "/photo.bmp";
        jpg = dir + "/photo.jpg";
        png = dir + "/photo.png";
        auto photo = bench::MakePhoto(24);
        std::FILE *f = std::fopen(ppm.c_str(), "wb");
        if (!f || CImage::SaveTGA(photo.get(), tga.c_str()) != CImage::kOk ||
            CImage::SaveBMP(photo.get(), bmp.c_str()) != CImage::kOk ||
            CImage::SaveJPEG(photo.get(), jpg.c_str()) != CImage::kOk ||
            CImage::SavePNG(photo.get(), png.c_str()) != CImage::kOk) {
            std::fprintf(stderr, "cannot write the photo in %s\n", dir.c_str());
            std::exit(1);
        }
        std::fprintf(f, "P6\n%d %d\n255\n", photo->width, photo->height);
        std::fwrite(photo->data, 1, photo->ByteCount(), f);
        std::fclose(f);
        ui = cvui = new CMirlanUI;
        ui->win_main->show();
        ui->win_main->wait_for_expose();
        Refresh();
    }
    ~Editor()
    {
        std::remove(ppm.c_str());
        std::remove(tga.c_str());
        std::remove(bmp.c_str());
        std::remove(jpg.c_str());
        std::remove(png.c_str());
        std::remove(dir.c_str());
    }

    void Pick(const char *path)
    {
        const Fl_Menu_Item *item = ui->menuBar->find_item(path);
        if (!item) {
            std::fprintf(stderr, "no menu item %s\n", path);
            std::exit(1);
        }
        ui->menuBar->picked(item);
    }

    // Draws what the command damaged and waits for the X server to finish.
    static void Refresh()
    {
        Fl::flush();
        XSync(fl_display, False);
    }

    void Open(const std::string &path)
    {
        g_open_path = path;
        Pick("&Fichier/&Ouvrir");
        Refresh();
    }

    // Opens the PPM photo unless it is already open, at the given zoom.
    void Ready(bool fit)
    {
        if (!ui->getImage() || ui->getImage()->width != bench::kWidth || ui->getImage()->bpp != 24)
            Open(ppm);
        Pick(fit ? "&Affichage/Taill&e écran" : "&Affichage/Taille réelle");
        Refresh();
    }
};

Editor &TheEditor()
{
    static Editor editor;
    return editor;
}

void SetBytes(benchmark::State &state)
{
    state.SetBytesProcessed(int64_t(state.iterations()) *
                            int64_t(CImage::ByteCount(bench::kWidth, bench::kHeight, 24)));
}

// A line of /proc/self/status ("VmRSS:", "VmHWM:") in MiB.
double StatusMiB(const char *key)
{
    std::ifstream status("/proc/self/status");
    for (std::string line; std::getline(status, line);)
        if (line.rfind(key, 0) == 0)
            return std::atof(line.c_str() + std::strlen(key)) / 1024.0;
    return 0;
}

// Resident memory of the process now and at its peak, and the pictures
// the history stores, in MiB.
void MemoryCounters(benchmark::State &state)
{
    state.counters["rss_MiB"] = StatusMiB("VmRSS:");
    state.counters["peak_MiB"] = StatusMiB("VmHWM:");
    state.counters["history_MiB"] = double(TheEditor().ui->doc.HistoryBytes()) / (1 << 20);
}

void BM_Memcpy(benchmark::State &state) { bench::MemcpyYardstick(state, 24); }
BENCHMARK(BM_Memcpy)->Unit(benchmark::kMillisecond);

void BM_Open(benchmark::State &state, std::string Editor::*file)
{
    Editor &e = TheEditor();
    for (auto _ : state)
        e.Open(e.*file);
    if (!e.ui->getImage())
        state.SkipWithError("open failed");
    SetBytes(state);
}
BENCHMARK_CAPTURE(BM_Open, ppm, &Editor::ppm)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK_CAPTURE(BM_Open, tga, &Editor::tga)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK_CAPTURE(BM_Open, bmp, &Editor::bmp)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK_CAPTURE(BM_Open, jpg, &Editor::jpg)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK_CAPTURE(BM_Open, png, &Editor::png)->Unit(benchmark::kMillisecond)->UseRealTime();

// Sets the zoom through the slider's command, as the user would.
void SetZoom(Editor &e, int percent)
{
    e.ui->sl_zoom->value(percent);
    e.ui->sl_zoom->do_callback();
    Editor::Refresh();
}

// One zoom command from the given zoom, timed from the menu to the
// refreshed window, with the view scrolled to the middle of the picture.
void BM_ZoomStep(benchmark::State &state, const char *item, int from)
{
    Editor &e = TheEditor();
    e.Ready(false);
    for (auto _ : state) {
        state.PauseTiming();
        SetZoom(e, from);
        e.ui->scroll_image->scroll_to(e.ui->box_image->w() / 2, e.ui->box_image->h() / 2);
        Editor::Refresh();
        state.ResumeTiming();
        e.Pick(item);
        Editor::Refresh();
    }
    MemoryCounters(state);
    SetZoom(e, 100);
}
BENCHMARK_CAPTURE(BM_ZoomStep, in, "&Affichage/&Agrandir", 100)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK_CAPTURE(BM_ZoomStep, out, "&Affichage/Ré&duire", 100)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK_CAPTURE(BM_ZoomStep, fit, "&Affichage/Taill&e écran", 100)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK_CAPTURE(BM_ZoomStep, actual, "&Affichage/Taille réelle", 300)->Unit(benchmark::kMillisecond)->UseRealTime();

// A page of scrolling (the view's height) at the given zoom, down then up
// in turn, timed to the refreshed window.
void BM_ScrollPage(benchmark::State &state)
{
    Editor &e = TheEditor();
    e.Ready(false);
    SetZoom(e, int(state.range(0)));
    Fl_Scroll *s = e.ui->scroll_image;
    const int x = e.ui->box_image->w() / 2, y = e.ui->box_image->h() / 2, page = s->h();
    s->scroll_to(x, y);
    Editor::Refresh();
    bool down = true;
    for (auto _ : state) {
        s->scroll_to(x, down ? y + page : y);
        Editor::Refresh();
        down = !down;
    }
    state.counters["zoom"] = e.ui->box_image->GetZoomPercent();
    MemoryCounters(state);
    SetZoom(e, 100);
}
BENCHMARK(BM_ScrollPage)->Arg(100)->Arg(300)->Unit(benchmark::kMillisecond)->UseRealTime();

// How each command is set up and put back (untimed), and run (timed).
struct Command {
    void (*before)(Editor &);  // may be null
    void (*run)(Editor &);
    bool undo_after;
};

// Undo and redo through their menu items, whatever step they name.
void UndoCmd(Editor &e) { e.ui->menuBar->picked(CMirlanUI::mnu_undo); }
void RedoCmd(Editor &e) { e.ui->menuBar->picked(CMirlanUI::mnu_redo); }
void Grey(Editor &e) { e.Pick("&Image/Niveaux de &gris"); }
void SetSliders(Editor &e)
{
    e.ui->sl_lum->value(20);
    e.ui->sl_rouge->value(-10);
    e.ui->sl_contraste->value(15);
    e.ui->sl_saturation->value(-25);
}
void Select(Editor &e, const char *item) { e.Pick(item); }
void ApplyTreatment(Editor &e) { e.Pick("&Traitements/Appliquer traitement courant"); }
void Resize(Editor &e)
{
    e.ui->in_largeur->value(3000);
    e.ui->in_hauteur->value(2000);
    e.ui->bt_applyTaille->do_callback();
}

void BM_Command(benchmark::State &state, Command c, bool fit)
{
    Editor &e = TheEditor();
    e.Ready(fit);
    if (c.before) {
        c.before(e);
        Editor::Refresh();
    }
    for (auto _ : state) {
        c.run(e);
        Editor::Refresh();
        state.PauseTiming();
        if (c.undo_after) {
            UndoCmd(e);
            Editor::Refresh();
        }
        if (c.before)
            c.before(e);
        state.ResumeTiming();
    }
    if (c.undo_after && c.before == Grey) {
        UndoCmd(e);  // back to colour: the grey image was a step of its own
    }
    state.counters["zoom"] = e.ui->box_image->GetZoomPercent();
    MemoryCounters(state);
    SetBytes(state);
}

#define MIRLAN_COMMAND(name, before, run, undo)                                                 \
    BENCHMARK_CAPTURE(BM_Command, name##_zoom100, (Command{before, run, undo}), false)          \
        ->Unit(benchmark::kMillisecond)->UseRealTime();                                         \
    BENCHMARK_CAPTURE(BM_Command, name##_fit, (Command{before, run, undo}), true)               \
        ->Unit(benchmark::kMillisecond)->UseRealTime()

// Undo and redo of a step that stores the picture from before it (the
// equalisation), and of one undone by its inverse (a quarter turn).
void Equalised(Editor &e) { Select(e, "&Traitements/Histogrammes/Egalisation "); ApplyTreatment(e); }
void Turned(Editor &e) { e.Pick("&Image/R&otation/&90° horaire"); }
MIRLAN_COMMAND(AnnulerEgalisation, Equalised, UndoCmd, false);
MIRLAN_COMMAND(RetablirEgalisation, [](Editor &e) { Equalised(e); UndoCmd(e); }, RedoCmd, false);
MIRLAN_COMMAND(AnnulerRotation, Turned, UndoCmd, false);
MIRLAN_COMMAND(RetablirRotation, [](Editor &e) { Turned(e); UndoCmd(e); }, RedoCmd, false);
MIRLAN_COMMAND(NoirEtBlanc, nullptr, [](Editor &e) { e.Pick("&Image/Noir et &Blanc"); }, true);
MIRLAN_COMMAND(NiveauxGris, nullptr, Grey, true);
MIRLAN_COMMAND(CouleursRVB, Grey, [](Editor &e) { e.Pick("&Image/Couleurs &RVB"); }, true);
MIRLAN_COMMAND(Reglages, SetSliders, [](Editor &e) { e.Pick("&Image/Ré&glages/&Appliquer à l'image"); }, true);
MIRLAN_COMMAND(Taille3000x2000, [](Editor &e) { e.Pick("&Image/&Taille de l'image..."); }, Resize, true);
MIRLAN_COMMAND(Rot180, nullptr, [](Editor &e) { e.Pick("&Image/R&otation/&180°"); }, true);
MIRLAN_COMMAND(Rot90h, nullptr, [](Editor &e) { e.Pick("&Image/R&otation/&90° horaire"); }, true);
MIRLAN_COMMAND(Rot90a, nullptr, [](Editor &e) { e.Pick("&Image/R&otation/9&0° antihoraire"); }, true);
MIRLAN_COMMAND(SymetrieV, nullptr, [](Editor &e) { e.Pick("&Image/R&otation/Symétrie d'axe &verticale"); }, true);
MIRLAN_COMMAND(SymetrieH, nullptr, [](Editor &e) { e.Pick("&Image/R&otation/Symétrie d'axe &horizontale"); }, true);
MIRLAN_COMMAND(Negatif, [](Editor &e) { Select(e, "&Traitements/Négatif"); }, ApplyTreatment, true);
MIRLAN_COMMAND(Distance4, [](Editor &e) { Select(e, "&Traitements/Distances/Distance (4 connexité) fond/point "); }, ApplyTreatment, true);
MIRLAN_COMMAND(Distance8, [](Editor &e) { Select(e, "&Traitements/Distances/Distance (8 connexité) fond/point "); }, ApplyTreatment, true);
MIRLAN_COMMAND(DentsDeScie, [](Editor &e) { Select(e, "&Traitements/Dents de scie"); }, ApplyTreatment, true);
MIRLAN_COMMAND(SeuillageFixe, [](Editor &e) { Select(e, "&Traitements/Seuillage fixe"); }, ApplyTreatment, true);
MIRLAN_COMMAND(SeuillageAleatoire, [](Editor &e) { Select(e, "&Traitements/Seuillage aléatoire"); }, ApplyTreatment, true);
MIRLAN_COMMAND(Egalisation, [](Editor &e) { Select(e, "&Traitements/Histogrammes/Egalisation "); }, ApplyTreatment, true);
MIRLAN_COMMAND(Etirement, [](Editor &e) { Select(e, "&Traitements/Histogrammes/Etirement "); }, ApplyTreatment, true);

// Twenty quarter turns from the photo just opened: resident memory above
// its level after opening, in pictures of 6000 x 4000.
void BM_QuarterTurnsMemory(benchmark::State &state)
{
    Editor &e = TheEditor();
    const double picture = double(CImage::ByteCount(bench::kWidth, bench::kHeight, 24)) / (1 << 20);
    for (auto _ : state) {
        e.Open(e.ppm);
        const double opened = StatusMiB("VmRSS:");
        for (int i = 0; i < 20; ++i) {
            e.Pick("&Image/R&otation/&90° horaire");
            Editor::Refresh();
        }
        state.counters["above_open_pictures"] = (StatusMiB("VmRSS:") - opened) / picture;
    }
    MemoryCounters(state);
}
BENCHMARK(BM_QuarterTurnsMemory)->Iterations(1)->Unit(benchmark::kMillisecond)->UseRealTime();

// The whole window redrawn, with the image view scrolled to the middle of
// the picture, at the given zoom.
void BM_RedrawWindow(benchmark::State &state)
{
    Editor &e = TheEditor();
    e.Ready(false);
    const int zoom = int(state.range(0));
    e.ui->sl_zoom->value(zoom);
    e.ui->sl_zoom->do_callback();
    e.ui->scroll_image->scroll_to(e.ui->box_image->w() / 2, e.ui->box_image->h() / 2);
    Editor::Refresh();
    for (auto _ : state) {
        e.ui->win_main->redraw();
        Editor::Refresh();
    }
    state.counters["zoom"] = e.ui->box_image->GetZoomPercent();
    MemoryCounters(state);
    e.Pick("&Affichage/Taille réelle");
    Editor::Refresh();
}
BENCHMARK(BM_RedrawWindow)->Arg(100)->Arg(300)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

BENCHMARK_MAIN();
