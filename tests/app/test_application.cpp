// test_application.cpp: the real application object driven through its menu
// items and widgets, with the modal dialogs answered by the test; each
// command's result is compared with the engine's on a copy.
#include <gtest/gtest.h>

#include <FL/Fl_Shared_Image.H>
#include <FL/fl_draw.H>
#include <FL/x.H>

#include <algorithm>
#include <atomic>
#include <cmath>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <set>

#include <unistd.h>

#include "app/commands.h"
#include "app/dropped_file.h"
#include "app_driver.h"
#include "image/image_file.h"
#include "processing/nearest.h"
#include "processing/ti.h"

namespace {

// The next new[] of this many bytes throws std::bad_alloc (0: none).
std::atomic<size_t> failingArray{0};

}  // namespace

// Every new[] of the program comes here, so that a test can make one fail.
void *operator new[](size_t n)
{
    size_t failing = n;
    if (n && failingArray.compare_exchange_strong(failing, 0))
        throw std::bad_alloc();
    if (void *p = std::malloc(n ? n : 1))
        return p;
    throw std::bad_alloc();
}
void *operator new[](size_t n, const std::nothrow_t &) noexcept
{
    try {
        return operator new[](n);
    } catch (const std::bad_alloc &) {
        return nullptr;
    }
}
void operator delete[](void *p) noexcept { std::free(p); }
void operator delete[](void *p, size_t) noexcept { std::free(p); }

namespace {

bool Same(const CImage *a, const CImage *b)
{
    return a && b && a->width == b->width && a->height == b->height && a->bpp == b->bpp &&
           std::memcmp(a->data, b->data, a->ByteCount()) == 0;
}

// The preview's thumbnail of img with the given adjustments on it.
std::unique_ptr<CImage> Thumbnail(CImage *img, int lum = 0, int contrast = 0, int saturation = 0)
{
    std::unique_ptr<CImage> thumb(mirlan::ScaleNearest(*img, 159, 120));
    CTi::Luminosite(thumb.get(), lum, 0, 0, 0);
    CTi::Contraste(thumb.get(), contrast);
    CTi::Saturation(thumb.get(), saturation);
    return thumb;
}

const char kAdjust[] = "&Image/Ré&glages/&Appliquer à l'image";

// One application object, as in the program; each test starts from an empty
// window with no treatment chosen.
class App : public ::testing::Test {
protected:
    CMirlanUI *ui = cvui ? cvui : (fl_register_images(), cvui = new CMirlanUI);
    const std::string dir = "/tmp/mirlan_app_" + std::to_string(getpid());

    // No picture, unchanged, every slider at rest, the dialogs quiet.
    void SetUp() override
    {
        AnswerDialogs();  // a changed picture is closed unsaved
        std::filesystem::create_directories(dir);
        if (ui->getImage())
            Pick("&Fichier/&Fermer");
        Pick("&Traitements/Pas de traitement");
        ui->win_taille->hide();
        ui->win_main->size(712, 579), ui->win_main->show();
        Fake() = FakeDialogs();
    }
    void TearDown() override { std::filesystem::remove_all(dir); }

    std::string Path(const std::string &file) const { return dir + "/" + file; }
    void Pick(const char *path) { ASSERT_TRUE(PickAsUser(ui->menuBar, path)); }
    bool Active(const char *path) const { return ui->menuBar->find_item(path)->active(); }
    static void Slide(Fl_Valuator *v, double value) { v->value(value), v->do_callback(); }

    // The grey or colour controls: 7 for a colour picture, 0 for a grey one.
    int DepthControls() const
    {
        return Active("&Image/Niveaux de &gris") + 2 * !Active("&Image/Couleurs &RVB") + 4 * !!ui->sl_saturation->active();
    }

    // Opens img as "pic.ppm" (or "pic.pgm") through the open command.
    void Open(const CImage &img)
    {
        Fake().paths.push_back(Path(img.bpp == 8 ? "pic.pgm" : "pic.ppm"));
        WritePNM(img, Fake().paths.back());
        Pick("&Fichier/&Ouvrir");
    }
};

std::function<void(CImage *)> Treatment(int id)
{
    return [id](CImage *img) { CTi::Traitement(img, id, sRGB{10, 200, 30}, 3, 5, 2.5f); };
}

TEST_F(App, EveryCommandDoesWhatTheEngineDoesAndUndoes)
{
    // A treatment's item selects it, then it is applied; (x, y) is where the
    // point at (3, 5) goes.
    const struct { const char *item; int x, y; std::function<void(CImage *)> engine; } rows[] = {
        {"&Image/Noir et &Blanc", 3, 5, [](CImage *i) { CTi::NiveauxGris(i), CTi::SeuillageFixe(i, 5.0f); }},
        {"&Image/Niveaux de &gris", 3, 5, CTi::NiveauxGris}, {"&Image/Couleurs &RVB", 3, 5, CTi::CouleursRVB},
        {"&Image/R&otation/&180°", 19, 11, CTi::Rot180}, {"&Image/R&otation/&90° horaire", 11, 3, CTi::Rot90h},
        {"&Image/R&otation/9&0° antihoraire", 5, 19, CTi::Rot90a},
        {"&Image/R&otation/Symétrie d'axe &verticale", 3, 11, CTi::SymetrieV},
        {"&Image/R&otation/Symétrie d'axe &horizontale", 19, 5, CTi::SymetrieH},
        {kAdjust, 3, 5,
         [](CImage *i) { CTi::Luminosite(i, -15, 0, 0, 0), CTi::Contraste(i, 30), CTi::Saturation(i, 60); }},
        {"&Traitements/Négatif", 3, 5, Treatment(1)},
        {"&Traitements/Distances/Distance (4 connexité) fond/point ", 3, 5, Treatment(2)},
        {"&Traitements/Distances/Distance (8 connexité) fond/point ", 3, 5, Treatment(3)},
        {"&Traitements/Dents de scie", 3, 5, Treatment(4)}, {"&Traitements/Seuillage fixe", 3, 5, Treatment(6)},
        {"&Traitements/Histogrammes/Egalisation ", 3, 5, Treatment(7)},
        {"&Traitements/Histogrammes/Etirement ", 3, 5, Treatment(8)},
    };
    for (int bpp : {24, 8})
        for (const auto &row : rows) {
            SCOPED_TRACE(std::string(row.item) + " " + std::to_string(bpp));
            auto original = Pattern(23, 17, bpp);
            Open(*original);
            ui->box_image->SetCurseur(3, 5);
            ui->sl_R->value(10), ui->sl_G->value(200), ui->sl_B->value(30), ui->ct_valeur->value(2.5);
            ui->sl_lum->value(-15), ui->sl_contraste->value(30), ui->sl_saturation->value(60);
            if (row.item == std::string(bpp == 8 ? "&Image/Niveaux de &gris" : "&Image/Couleurs &RVB")) {
                EXPECT_FALSE(Active(row.item));  // already of that kind
                continue;
            }
            Pick(row.item);
            if (row.item[1] == 'T')
                Pick("&Traitements/Appliquer traitement courant");

            std::unique_ptr<CImage> want(original->Copy());
            row.engine(want.get());
            EXPECT_TRUE(Same(ui->getImage(), want.get()));
            int x, y;
            ui->box_image->GetCurseur(&x, &y);
            EXPECT_EQ(std::make_pair(x, y), std::make_pair(row.x, row.y));
            char status[64];
            std::snprintf(status, sizeof status, "pic.p%cm (%dx%d %dbpp)", bpp == 8 ? 'g' : 'p', want->width,
                          want->height, want->bpp);
            EXPECT_STREQ(ui->box_infos->label(), status);
            // The preview shows the changed picture with what is still pending.
            // Applying the adjustments sets them back to 0.
            const int pending = row.item == kAdjust ? 0 : 1;
            auto preview = Thumbnail(want.get(), -15 * pending, 30 * pending, 60 * pending);
            EXPECT_TRUE(Same(ui->box_preview->GetImage(), preview.get()));
            EXPECT_EQ(DepthControls(), want->bpp == 8 ? 0 : 7);

            // Undone back to the picture as opened, which is then unchanged;
            // redone, changed again; nothing further either way.
            Pick((std::string("&Image/&Annuler ") + ui->doc.NextUndo()->label).c_str());
            EXPECT_TRUE(Same(ui->getImage(), original.get()) && !ui->doc.Modified());
            EXPECT_EQ(DepthControls(), bpp == 8 ? 0 : 7);
            EXPECT_FALSE(PickAsUser(ui->menuBar, "&Image/&Annuler action"));
            Pick((std::string("&Image/&Rétablir ") + ui->doc.NextRedo()->label).c_str());
            EXPECT_TRUE(Same(ui->getImage(), want.get()) && ui->doc.Modified());
            EXPECT_FALSE(PickAsUser(ui->menuBar, "&Image/&Rétablir"));
        }
}

// A change whose refresh runs out of memory (for the thumbnail) is taken
// back with the alert: picture, point, sliders and history as before it,
// but for the steps a new change drops.
TEST_F(App, ChangeWhoseRefreshFailsIsTakenBack)
{
    const struct { const char *item, *redo; } rows[] = {
        {"&Image/R&otation/&90° horaire", nullptr}, {"&Traitements/Appliquer traitement courant", nullptr},
        {kAdjust, nullptr}, {"&Image/&Annuler Négatif", "Rotation 180°"}};
    for (const auto &row : rows) {
        SCOPED_TRACE(row.item);
        Open(*Pattern(23, 17, 24));
        Pick("&Traitements/Négatif"), Pick("&Traitements/Appliquer traitement courant");
        Pick("&Image/R&otation/&180°"), Pick("&Image/&Annuler Rotation 180°");
        ui->box_image->SetCurseur(3, 5), ui->sl_lum->value(-15);
        const CImage &now = *ui->getImage();
        auto before = std::make_unique<CImage>(now.data, now.width, now.height, now.bpp);
        failingArray = CImage::ByteCount(159, 120, 24);
        Pick(row.item);
        EXPECT_EQ(Fake().alerts, std::vector<std::string>{"Impossible de modifier l'image !\nMémoire insuffisante."});
        EXPECT_TRUE(Same(ui->getImage(), before.get()) && ui->box_image->GetImage() == ui->getImage());
        EXPECT_TRUE(Same(ui->box_preview->GetImage(), Thumbnail(before.get(), -15).get()));
        int x, y;
        ui->box_image->GetCurseur(&x, &y);
        EXPECT_TRUE(x == 3 && y == 5 && ui->sl_lum->value() == -15 && ui->doc.NextUndo()->name == std::string("negatif"));
        EXPECT_STREQ(ui->doc.NextRedo() ? ui->doc.NextRedo()->label : nullptr, row.redo);
        Fake() = FakeDialogs();
    }
}

TEST_F(App, ControlsFollowThePicture)
{
    const Fl_Menu_Item *const items[] = {ui->menuBar->find_item("&Image"),
                                         ui->menuBar->find_item("&Fichier/&Enregistrer sous"),
                                         ui->menuBar->find_item("&Fichier/&Fermer"),
                                         ui->menuBar->find_item("&Affichage"),
                                         ui->menuBar->find_item("&Traitements/Preview traitement courant"),
                                         ui->menuBar->find_item("&Traitements/Appliquer traitement courant"),
                                         ui->tb_histos->find_item("luminosité"),
                                         ui->tb_histos->find_item("bleu")};
    Fl_Widget *const widgets[] = {ui->bt_bmp, ui->bt_tga, ui->bt_reglages, ui->bt_previewTraitement,
                                  ui->bt_applyTraitement, ui->sl_zoom, ui->sl_lum, ui->sl_contraste,
                                  ui->box_preview, ui->sl_rouge, ui->sl_vert, ui->sl_bleu, ui->sl_saturation};
    // bpp 0: no picture; active: how many of the 8 items and 13 widgets above.
    const struct { int bpp, active; const char *status; } rows[] = {
        {0, 0, " "}, {8, 17, "pic.pgm (30x20 8bpp)"}, {24, 21, "pic.ppm (30x20 24bpp)"},
        {8, 17, "pic.pgm (30x20 8bpp)"}, {0, 0, " "}};
    for (const auto &row : rows) {
        SCOPED_TRACE(row.bpp);
        if (ui->getImage())  // moved by the user: the next open or close puts them back
            ui->sl_zoom->value(250), ui->sl_contraste->value(37);
        if (row.bpp)
            Open(*Pattern(30, 20, row.bpp));
        else if (ui->getImage())
            Pick("&Fichier/&Fermer");
        EXPECT_EQ(std::count_if(std::begin(items), std::end(items), std::mem_fn(&Fl_Menu_Item::active)) +
                      std::count_if(std::begin(widgets), std::end(widgets), std::mem_fn(&Fl_Widget::active)),
                  row.active);
        EXPECT_EQ(row.bpp ? DepthControls() : 0, row.bpp == 24 ? 7 : 0);
        EXPECT_TRUE(ui->bt_open->active() && Active("&Fichier/&Ouvrir") && Active("Ai&de/&Documentation"));
        EXPECT_STREQ(ui->box_infos->label(), row.status);
        EXPECT_TRUE(ui->sl_zoom->value() == 100 && ui->sl_contraste->value() == 0);
    }
}

TEST_F(App, ZoomCommands)
{
    // A null item: the slider alone; the others are what the user does
    // over the picture. floor: the slider's minimum afterwards, the lowest
    // zoom out (20, or the fit below it).
    static const char kWheelUp[] = "Ctrl+wheel up", kWheelDown[] = "Ctrl+wheel down", kCtrlEquals[] = "Ctrl+=",
                      kWider[] = "window 500 pixels wider";
    const char kIn[] = "&Affichage/&Agrandir", kOut[] = "&Affichage/Ré&duire", kFit[] = "&Affichage/Taill&e écran";
    const struct { int w, h; double from; const char *item; int to, floor; } rows[] = {
        {100, 80, 100, kIn, 110, 20},          {100, 80, 290, kIn, 300, 20},      {100, 80, 295, kIn, 295, 20},
        {100, 80, 123, kIn, 133, 20},          {100, 80, 100, kOut, 90, 20},      {100, 80, 30, kOut, 20, 20},
        {100, 80, 25, kOut, 20, 20},           {100, 80, 20, kOut, 20, 20},
        {100, 80, 150, "&Affichage/Taille réelle", 100, 20},                      {100, 80, 90.9, nullptr, 90, 20},
        {1024, 768, 100, kFit, 49, 20},        {100, 100, 100, kFit, 300, 20},    {2560, 100, 100, kFit, 19, 19},
        {10000, 100, 100, kFit, 4, 4},         {10000, 100, 20, kOut, 10, 4},     {10000, 100, 10, kOut, 4, 4},
        {10000, 100, 4, kOut, 4, 4},           {10000, 100, 4, nullptr, 4, 4},    {10000, 100, 12, kWheelDown, 4, 4},
        {10000, 100, 100, kWider, 100, 9},     {100, 80, 100, kWheelUp, 110, 20}, {100, 80, 100, kCtrlEquals, 110, 20},
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(std::string(row.item ? row.item : "slider") + " from " + std::to_string(row.from));
        SetUp();
        Open(*Pattern(row.w, row.h, 8));
        Slide(ui->sl_zoom, row.from);
        if (row.item == kWheelUp || row.item == kWheelDown) {
            Fl::e_state = FL_CTRL, Fl::e_dy = row.item == kWheelUp ? -1 : 1;
            Fl::e_x = ui->box_image->x() + 5, Fl::e_y = ui->box_image->y() + 5;
            ui->box_image->handle(FL_MOUSEWHEEL), Fl::e_state = 0;
        } else if (row.item == kCtrlEquals) {
            static char equals[] = "=";
            Fl::e_keysym = '=', Fl::e_state = FL_CTRL, Fl::e_text = equals, Fl::e_length = 1;
            Fl::handle(FL_KEYBOARD, ui->win_main), Fl::e_state = 0;
        } else if (row.item == kWider) {
            ui->win_main->size(712 + 500, 579);
        } else if (row.item)
            Pick(row.item);
        EXPECT_EQ(int(ui->sl_zoom->value()), row.to);
        EXPECT_EQ(ui->box_image->GetZoomPercent(), row.to);
        EXPECT_EQ(ui->sl_zoom->minimum(), row.floor);
    }
}

// Previews work on the thumbnail only, never on the picture or its undo copy.
TEST_F(App, PreviewsLeaveThePictureAlone)
{
    for (int bpp : {24, 8}) {
        auto original = Pattern(318, 480, bpp);
        Open(*original);
        Slide(ui->sl_lum, 20.7), Slide(ui->sl_contraste, 50), Slide(ui->sl_saturation, -40.2);
        EXPECT_TRUE(Same(ui->box_preview->GetImage(), Thumbnail(original.get(), 20, 50, -40).get()));
        Pick("&Image/Ré&glages/Remise à &zéro");
        EXPECT_TRUE(Same(ui->box_preview->GetImage(), Thumbnail(original.get()).get()));
        EXPECT_TRUE(ui->sl_lum->value() == 0 && ui->sl_contraste->value() == 0 && ui->sl_saturation->value() == 0);

        // The point is scaled from the picture to the thumbnail.
        Pick("&Traitements/Distances/Distance (8 connexité) fond/point ");
        ui->sl_R->value(10), ui->sl_G->value(200), ui->sl_B->value(30), ui->ct_valeur->value(4);
        ui->box_image->SetCurseur(300, 100);
        Pick("&Traitements/Preview traitement courant");
        auto thumb = Thumbnail(original.get());
        CTi::Traitement(thumb.get(), 3, sRGB{10, 200, 30}, 150, 25, 4.0f);
        EXPECT_TRUE(Same(ui->box_preview->GetImage(), thumb.get()));
        EXPECT_TRUE(Same(ui->getImage(), original.get()) && !ui->doc.NextUndo());
    }
}

// Quitting, closing or opening another picture with the picture unchanged,
// changed, or changed then saved, and each answer to the question.
TEST_F(App, ChangedPictureIsNeverDroppedWithoutAsking)
{
    enum Command { kQuit, kWindowClose, kClose, kOpen };
    const char *const items[] = {"&Fichier/&Quitter", nullptr, "&Fichier/&Fermer", "&Fichier/&Ouvrir"};
    enum State { kUnchanged, kChanged, kSaved };
    // answer -1: not asked; save_as: typed in the save chooser ("" cancels it);
    // through: quits, closes, or shows the other picture; first: the first
    // byte of save_as afterwards (0 a TGA, 'B' a BMP).
    const struct { Command command; State state; int answer; const char *save_as; bool through; int first; } rows[] = {
        {kQuit, kUnchanged, -1, "", true, EOF},      {kQuit, kSaved, -1, "", true, EOF},
        {kQuit, kChanged, 0, "", false, EOF},        {kQuit, kChanged, 2, "", true, EOF},
        {kQuit, kChanged, 1, "a.tga", true, 0},      {kQuit, kChanged, 1, "b.BMP", true, 'B'},
        {kQuit, kChanged, 1, "", false, EOF},        {kQuit, kChanged, 1, "no/such/a.tga", false, EOF},
        {kWindowClose, kChanged, 0, "", false, EOF}, {kWindowClose, kChanged, 2, "", true, EOF},
        {kClose, kUnchanged, -1, "", true, EOF},     {kClose, kChanged, 0, "", false, EOF},
        {kClose, kChanged, 1, "c.tga", true, 0},     {kOpen, kUnchanged, -1, "", true, EOF},
        {kOpen, kChanged, 0, "", false, EOF},        {kOpen, kChanged, 2, "", true, EOF},
        {kOpen, kChanged, 1, "d.bmp", true, 'B'},
    };
    auto other = Pattern(5, 4, 8);
    WritePNM(*other, Path("other.pgm"));
    for (const auto &row : rows) {
        SCOPED_TRACE(&row - rows);
        SetUp();
        Open(*Pattern(8, 6, 24));
        if (row.state != kUnchanged)
            Pick("&Image/Noir et &Blanc");
        if (row.state == kSaved)
            Fake().paths.push_back(Path("saved.tga")), Pick("&Fichier/&Enregistrer sous/Targa &TGA");
        EXPECT_TRUE(row.state != kSaved || std::strncmp(ui->box_infos->label(), "saved.tga (", 11) == 0);
        const CImage &now = *ui->getImage();
        auto before = std::make_unique<CImage>(now.data, now.width, now.height, now.bpp);
        Fake().answer = row.answer;
        if (row.answer == 1)
            Fake().paths.push_back(*row.save_as ? Path(row.save_as) : "");
        Fake().paths.push_back(Path("other.pgm"));
        Fake().questions.clear();
        if (row.command == kWindowClose)
            ui->win_main->do_callback();
        else
            Pick(items[row.command]);
        EXPECT_EQ(Fake().questions.size(), row.answer < 0 ? 0u : 1u);
        const bool through = row.command == kClose  ? !ui->getImage()
                             : row.command == kOpen ? Same(ui->getImage(), other.get())
                                                    : !ui->win_main->shown();
        EXPECT_EQ(through, row.through);
        EXPECT_TRUE(through || Same(ui->getImage(), before.get()));
        // An opened picture starts unchanged; a refused open keeps the changes.
        EXPECT_TRUE(row.command != kOpen || ui->doc.Modified() == !through);
        std::unique_ptr<FILE, int (*)(FILE *)> f(std::fopen(Path(row.save_as).c_str(), "rb"), std::fclose);
        EXPECT_EQ(f ? std::fgetc(f.get()) : EOF, row.first);
    }
}

// Saving as a desktop editor does: Ctrl+S writes back to a file of a format
// we write and asks for a name otherwise, proposing the picture's name with
// the format's extension and giving it to a name typed without one; a file
// is replaced only on the user's word; pending work is applied first on the
// user's word; a failed save says why; the title names the file and marks
// its changes.
TEST_F(App, SavesAsADesktopEditorDoes)
{
    const char kSave[] = "&Fichier/Enre&gistrer", kSaveTga[] = "&Fichier/&Enregistrer sous/Targa &TGA";
    auto reads = [this](const char *file) {
        std::unique_ptr<CImage> img(mirlan::ReadImageFile(Path(file).c_str()));
        return Same(img.get(), ui->getImage());
    };
    auto save = [this](const char *item, std::vector<std::string> paths, std::vector<int> answers) {
        Fake().paths = paths, Fake().answers = answers, Fake().questions.clear(), Fake().proposed.clear();
        Pick(item);
    };
    auto title = [this] { return std::string(ui->win_main->label()); };
    Open(*Pattern(9, 7, 24));
    Pick("&Image/R&otation/&180°");
    EXPECT_EQ(title(), "*pic.ppm — Mirlan");
    save(kSave, {Path("out")}, {});  // PNM is not written: a chooser, and PNG
    EXPECT_EQ(Fake().proposed, std::vector<std::string>{Path("pic.png")});
    EXPECT_TRUE(reads("out.png") && !ui->doc.Modified() && title() == "out.png — Mirlan");
    Pick("&Image/R&otation/&180°");
    save(kSave, {}, {});  // back to out.png
    EXPECT_TRUE(Fake().proposed.empty() && reads("out.png"));

    std::ofstream(Path("old.tga")) << "old";
    save(kSaveTga, {Path("old.tga")}, {0});  // "Annuler"
    EXPECT_EQ(Fake().proposed, std::vector<std::string>{Path("out.tga")});
    EXPECT_EQ(Fake().questions, std::vector<std::string>{"Le fichier « old.tga » existe déjà. Le remplacer ?"});
    EXPECT_FALSE(reads("old.tga"));
    save(kSaveTga, {Path("old.tga")}, {1});  // "Remplacer"
    EXPECT_TRUE(reads("old.tga"));

    // Pending work: applied ("Appliquer"), left out ("Enregistrer sans"), or
    // the save cancelled.
    auto before = std::make_unique<CImage>(ui->getImage()->data, 9, 7, 24);
    Slide(ui->sl_contraste, 30);
    save(kSave, {}, {1});
    EXPECT_TRUE(reads("old.tga") && !Same(ui->getImage(), before.get()) && ui->sl_contraste->value() == 0);
    Pick("&Image/&Annuler Réglages");
    Slide(ui->sl_contraste, 30);
    save(kSave, {}, {2});
    EXPECT_TRUE(reads("old.tga") && Same(ui->getImage(), before.get()) && ui->sl_contraste->value() == 30);
    std::ofstream(Path("old.tga")) << "old";
    save(kSave, {}, {0});
    EXPECT_TRUE(!reads("old.tga") && Fake().questions.size() == 1);

    save(kSaveTga, {Path("no/such/x.tga")}, {2});
    EXPECT_EQ(Fake().alerts, std::vector<std::string>{"Erreur lors de l'enregistrement de l'image !\nDossier introuvable."});
}

// What a drop names: the first line of a uri-list, or a path.
TEST(Drop, NamesTheFirstLocalFile)
{
    const std::pair<const char *, const char *> drops[] = {
        {"file:///tmp/a%20b.png\r\nfile:///tmp/c.png\r\n", "/tmp/a b.png"},
        {"file://localhost/tmp/%C3%A9t%C3%A9.jpg", "/tmp/été.jpg"},
        {"# comment\r\nfile:///x.tga", "/x.tga"},
        {"/plain/path name.bmp\n", "/plain/path name.bmp"},
        {"file://other-host/tmp/a.png", ""}, {"http://example.org/a.png", ""},
        {"file:///tmp/bad%2", ""}, {"file:///tmp/nul%00.png", ""}, {"relative.png", ""}, {"", ""}};
    for (const auto &drop : drops)
        EXPECT_EQ(DroppedPath(drop.first), drop.second) << drop.first;
}

// A drop opens its file wherever it lands on the window. The toolkit's order
// when a drag from another program ends: the pointer comes back into the
// window (the toolkit then points at the widget under it), then the drop
// arrives, then its text goes to the widget that took the drop.
TEST_F(App, DropOpensItsFileOverAnyWidget)
{
    auto img = Pattern(8, 6, 24);
    WritePNM(*img, Path("dropped.ppm"));
    Fl_Window *win = ui->win_main;
    Fl::e_x_root = win->x() + 300, Fl::e_y_root = win->y() + 250;  // over the picture
    ASSERT_TRUE(Fl::handle(FL_DND_ENTER, win) && Fl::handle(FL_DND_DRAG, win));
    Fl::handle(FL_ENTER, win);
    ASSERT_NE(Fl::belowmouse(), win);
    ASSERT_TRUE(Fl::handle(FL_DND_RELEASE, win));
    std::string uri = "file://" + Path("dropped.ppm");
    Fl::e_text = uri.data(), Fl::e_length = int(uri.size());
    Fl::belowmouse()->handle(FL_PASTE);
    Fl::wait(0.1);  // the file opens once the drop is over
    EXPECT_TRUE(Same(ui->getImage(), img.get()));
}

TEST_F(App, ResizeDialogAcceptsOnlySidesFrom1To32767)
{
    const double kNo = NAN;  // field left as the dialog filled it
    // keep: "Conserver les proportions".
    const struct { int w, h; bool keep; double typedW, typedH, shownW, shownH; bool accepted; } rows[] = {
        {640, 480, true, 100, kNo, 100, 75, true}, {640, 480, true, 101, kNo, 101, 75, true},
        {640, 480, true, kNo, 200, 266, 200, true}, {640, 480, true, 1, kNo, 1, 0, false},
        {25, 3, true, 25, kNo, 25, 2, true}, {64, 48, true, 32.9, kNo, 32.9, 24, true},
        {640, 480, true, 1e300, kNo, 1e300, 1610612735, false}, {64, 48, false, 32767.9, 3, 32767.9, 3, true},
        {64, 48, false, 1, 1, 1, 1, true}, {64, 48, false, 6000, 10, 6000, 10, true},
        {64, 48, false, 10, 32768, 10, 32768, false},
        {64, 48, false, 0, 10, 0, 10, false}, {64, 48, false, -3, 10, -3, 10, false},
        {64, 48, false, 10, 0.99, 10, 0.99, false},
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(std::to_string(row.typedW) + " x " + std::to_string(row.typedH));
        SetUp();
        auto original = Pattern(row.w, row.h, 24);
        Open(*original);
        ui->chk_proportions->value(row.keep);
        Pick("&Image/&Taille de l'image...");
        for (auto [field, typed] : {std::pair(ui->in_largeur, row.typedW), std::pair(ui->in_hauteur, row.typedH)})
            if (!std::isnan(typed))
                Slide(field, typed);
        EXPECT_EQ(ui->in_largeur->value(), row.shownW);
        EXPECT_EQ(ui->in_hauteur->value(), row.shownH);
        ui->bt_applyTaille->do_callback();
        std::unique_ptr<CImage> want(original->Copy());
        if (row.accepted)
            CTi::Redimensionne(want.get(), int(row.shownW), int(row.shownH));
        EXPECT_TRUE(Same(ui->getImage(), want.get()));
        EXPECT_EQ(ui->win_taille->shown() != 0, !row.accepted);
        EXPECT_EQ(Fake().alerts, std::vector<std::string>(!row.accepted, "Erreur : dimensions < 1 ou > 32767"));
    }
}

// The documentation opens on its first page, and each page button shows a
// page of its own, never the toolkit's error page.
TEST_F(App, HelpShowsItsPages)
{
    Pick("Ai&de/&Documentation");
    std::vector<std::string> pages = {ui->help_doc->filename()};
    for (int i = 0; i < 6; ++i) {
        ui->win_doc->child(1)->as_group()->child(i)->do_callback();
        EXPECT_EQ(std::strstr(ui->help_doc->value(), "Unable to follow"), nullptr) << i;
        pages.push_back(ui->help_doc->filename());
    }
    EXPECT_EQ(pages[0], pages[1]);
    EXPECT_EQ(std::set<std::string>(pages.begin(), pages.end()).size(), 6u);
}

// A long name loses its middle, never the picture's size.
TEST(StatusLine, LongNamesLoseTheirMiddle)
{
    const struct { const char *text; long characters; const char *shown; } rows[] = {
        {"photo_de_vacances.tga (640x480 24bpp)", 37, "photo_de_vacances.tga (640x480 24bpp)"},
        {"photo_de_vacances.tga (640x480 24bpp)", 30, "photo_d…es.tga (640x480 24bpp)"},
        {"photo_de_vacances.tga (640x480 24bpp)", 20, "ph…a (640x480 24bpp)"},
        {"photo_de_vacances.tga (640x480 24bpp)", 5, "… (640x480 24bpp)"},
        {"été_à_la_mer.tga (2x2 8bpp)", 20, "été_….tga (2x2 8bpp)"},
    };
    for (const auto &row : rows) {
        EXPECT_EQ(FitStatusText(row.text, [&](const std::string &s) {
                      return std::count_if(s.begin(), s.end(), [](char c) { return (c & 0xC0) != 0x80; }) <= row.characters;
                  }), row.shown) << row.characters;
    }
    // On screen: measured in the line's own font, within its margins.
    fl_open_display();
    CStatusLineFL line(0, 0, 250, 20);
    char buffer[256];
    line.SetText("un_nom_bien_trop_long_pour_la_ligne.tga (6000x4000 24bpp)", buffer, sizeof buffer);
    fl_font(line.labelfont(), line.labelsize());
    EXPECT_LE(fl_width(line.label()), 250 - 6);
    const std::string shown = line.label();
    EXPECT_TRUE(shown.find("…") != std::string::npos && shown.size() > 22 &&
                shown.compare(shown.size() - 22, 22, ".tga (6000x4000 24bpp)") == 0) << shown;
}

}  // namespace
