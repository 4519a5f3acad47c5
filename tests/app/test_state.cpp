// test_state.cpp: the window kept in step with the image: loading files into
// every view, the refresh after a change, the status line, and which
// controls are available with no image, a grey image and a colour image.
#include <gtest/gtest.h>

#include <FL/Fl.H>
#include <FL/Fl_Shared_Image.H>
#include <FL/fl_draw.H>
#include <FL/x.H>

#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "app/mirlan_ui.h"
#include "image/image.h"
#include "processing/histogramme.h"
#include "processing/ti.h"

namespace {

std::vector<std::string> &Alerts()
{
    static std::vector<std::string> alerts;
    return alerts;
}

void RecordAlert(const char *message) { Alerts().push_back(message); }

CMirlanUI *App()
{
    if (!cvui) {
        fl_register_images();
        CImageBoxFL::alert_function = RecordAlert;
        cvui = new CMirlanUI;
    }
    return cvui;
}

// A private folder for the files a test writes.
std::string TempDir()
{
    static std::string dir;
    if (dir.empty()) {
        char pattern[] = "/tmp/mirlan_state_XXXXXX";
        const char *made = mkdtemp(pattern);
        EXPECT_NE(made, nullptr);
        dir = made ? made : "/tmp";
    }
    return dir;
}

// Every byte differs from its neighbours, so a misplaced pixel shows.
std::unique_ptr<CImage> Pattern(int w, int h, int bpp)
{
    auto img = std::make_unique<CImage>(w, h, bpp);
    for (size_t i = 0; i < img->ByteCount(); ++i)
        img->data[i] = static_cast<unsigned char>((i * 37 + i / 5) & 255);
    return img;
}

// Writes img under the given file name in the private folder; returns the path.
std::string Write(CImage *img, const std::string &file)
{
    std::string path = TempDir() + "/" + file;
    int status = file.size() > 4 && file.compare(file.size() - 4, 4, ".bmp") == 0
                     ? CImage::SaveBMP(img, path.c_str())
                     : CImage::SaveTGA(img, path.c_str());
    EXPECT_EQ(status, CImage::kOk) << path;
    return path;
}

// loadImage takes the chooser's own writable buffer.
void Load(CMirlanUI *ui, const std::string &path)
{
    std::vector<char> buffer(path.begin(), path.end());
    buffer.push_back('\0');
    ui->loadImage(buffer.data());
}

bool SameImage(const CImage *a, const CImage *b)
{
    return a && b && a->width == b->width && a->height == b->height && a->bpp == b->bpp &&
           std::memcmp(a->data, b->data, a->ByteCount()) == 0;
}

// ---------------------------------------------------------------- availability

enum class Situation { NoImage, Grey, Colour };

// The availability table, row by row.
void ExpectSituation(CMirlanUI *ui, Situation s)
{
    const bool image = s != Situation::NoImage;
    const bool colour = s == Situation::Colour;
    for (Fl_Menu_Item *item : {CMirlanUI::mnu_image, CMirlanUI::mnu_saveas, CMirlanUI::mnu_close,
                               CMirlanUI::mnu_affichage, CMirlanUI::mnu_previewTraitement,
                               CMirlanUI::mnu_applyTraitement, CMirlanUI::rb_lum,
                               CMirlanUI::rb_rouge, CMirlanUI::rb_vert, CMirlanUI::rb_bleu})
        EXPECT_EQ(item->active() != 0, image) << item->label();
    Fl_Widget *const withImage[] = {ui->bt_bmp, ui->bt_tga, ui->bt_reglages,
                                    ui->bt_previewTraitement, ui->bt_applyTraitement,
                                    ui->sl_zoom, ui->sl_lum, ui->sl_contraste, ui->box_preview};
    for (Fl_Widget *w : withImage)
        EXPECT_EQ(w->active() != 0, image) << (w->label() ? w->label() : w->tooltip());
    Fl_Widget *const withColour[] = {ui->sl_rouge, ui->sl_vert, ui->sl_bleu, ui->sl_saturation};
    for (Fl_Widget *w : withColour)
        EXPECT_EQ(w->active() != 0, colour) << w->label();
    if (image) {
        EXPECT_EQ(CMirlanUI::mnu_NG->active() != 0, colour);
        EXPECT_EQ(CMirlanUI::mnu_RVB->active() != 0, !colour);
    }
    // Never touched by the rules.
    EXPECT_TRUE(ui->bt_open->active());
    EXPECT_TRUE(ui->tb_histos->active());
    EXPECT_TRUE(CMirlanUI::mnu_file->active());
    EXPECT_TRUE(CMirlanUI::mnu_traitements->active());
    EXPECT_TRUE(CMirlanUI::mnu_help->active());
}

void MoveEverySlider(CMirlanUI *ui)
{
    ui->sl_zoom->value(250);
    for (Fl_Value_Slider *s : {ui->sl_lum, ui->sl_rouge, ui->sl_vert, ui->sl_bleu,
                               ui->sl_contraste, ui->sl_saturation})
        s->value(37);
}

void ExpectSlidersAtRest(CMirlanUI *ui)
{
    EXPECT_EQ(ui->sl_zoom->value(), 100);
    for (Fl_Value_Slider *s : {ui->sl_lum, ui->sl_rouge, ui->sl_vert, ui->sl_bleu,
                               ui->sl_contraste, ui->sl_saturation})
        EXPECT_EQ(s->value(), 0) << s->label();
}

TEST(Availability, ConstructionLeavesTheNoImageSituation)
{
    CMirlanUI *ui = App();
    ExpectSituation(ui, Situation::NoImage);
    ExpectSlidersAtRest(ui);
    EXPECT_STREQ(ui->infos, " ");
}

TEST(Availability, GreyThenColourThenClosedAgain)
{
    CMirlanUI *ui = App();
    auto grey = Pattern(40, 30, 8);
    auto colour = Pattern(50, 20, 24);
    std::string greyPath = Write(grey.get(), "grey.tga");
    std::string colourPath = Write(colour.get(), "colour.tga");

    Load(ui, greyPath);
    ExpectSituation(ui, Situation::Grey);
    Load(ui, colourPath);
    ExpectSituation(ui, Situation::Colour);
    Load(ui, greyPath);
    ExpectSituation(ui, Situation::Grey);

    ui->deactivateAll();
    ExpectSituation(ui, Situation::NoImage);
    EXPECT_STREQ(ui->infos, " ");
}

// The colour controls follow the treatment only, never the image.
TEST(Availability, ColourControlsFollowOnlyTheirOwnSwitch)
{
    CMirlanUI *ui = App();
    auto colour = Pattern(8, 8, 24);
    Load(ui, Write(colour.get(), "c.tga"));
    EXPECT_FALSE(ui->bt_color->active());
    EXPECT_FALSE(ui->ct_valeur->active());
    ui->activeColors(true);
    for (Fl_Widget *w : {static_cast<Fl_Widget *>(ui->bt_color), static_cast<Fl_Widget *>(ui->sl_R),
                         static_cast<Fl_Widget *>(ui->sl_G), static_cast<Fl_Widget *>(ui->sl_B)})
        EXPECT_TRUE(w->active());
    EXPECT_FALSE(ui->ct_valeur->active());
    ui->deactivateAll();
    EXPECT_TRUE(ui->bt_color->active());
    ui->activeColors(false);
    EXPECT_FALSE(ui->sl_G->active());
}

// The layer items keep their check marks while they are switched off and on.
TEST(Availability, LayerItemsKeepTheirMarks)
{
    CMirlanUI *ui = App();
    CMirlanUI::rb_rouge->clear();
    ui->activeHistos(true);
    EXPECT_TRUE(CMirlanUI::rb_lum->value());
    EXPECT_FALSE(CMirlanUI::rb_rouge->value());
    ui->activeHistos(false);
    EXPECT_FALSE(CMirlanUI::rb_rouge->active());
    EXPECT_FALSE(CMirlanUI::rb_rouge->value());
    EXPECT_TRUE(CMirlanUI::rb_bleu->value());
    CMirlanUI::rb_rouge->set();
}

// ---------------------------------------------------------------- loading

TEST(LoadImage, ColourTgaReachesEveryView)
{
    CMirlanUI *ui = App();
    auto img = Pattern(200, 100, 24);
    std::string path = Write(img.get(), "flower.tga");
    MoveEverySlider(ui);

    Load(ui, path);
    ASSERT_NE(ui->getImage(), nullptr);
    EXPECT_TRUE(SameImage(ui->getImage(), img.get()));
    EXPECT_STREQ(ui->infos, "flower.tga (200x100 24bpp)");
    EXPECT_EQ(ui->box_infos->label(), ui->infos);
    EXPECT_EQ(ui->box_image->w(), 200);
    EXPECT_EQ(ui->box_image->h(), 100);
    ASSERT_NE(ui->box_histos->GetImagePath(), nullptr);
    EXPECT_EQ(std::string(ui->box_histos->GetImagePath()), path);
    EXPECT_STREQ(ui->box_histos->GetInfos(), "Width = 200, Height = 100, Bits per pixel = 24");
    const CImage *thumb = ui->box_preview->GetImage();
    ASSERT_NE(thumb, nullptr);
    EXPECT_EQ(thumb->width, 159);
    EXPECT_EQ(thumb->height, 120);
    EXPECT_EQ(thumb->bpp, 24);
    ExpectSlidersAtRest(ui);
    ExpectSituation(ui, Situation::Colour);
}

// The toolkit reads a grey PGM as one byte a pixel, and an 8-bit BMP as RGB.
TEST(LoadImage, ToolkitReadersGiveGreyPgmAndColourBmp)
{
    CMirlanUI *ui = App();
    auto img = Pattern(33, 17, 8);
    std::string pgm = TempDir() + "/ramp.pgm";
    FILE *f = std::fopen(pgm.c_str(), "wb");
    ASSERT_NE(f, nullptr);
    std::fprintf(f, "P5\n33 17\n255\n");
    ASSERT_EQ(std::fwrite(img->data, 1, img->ByteCount(), f), img->ByteCount());
    ASSERT_EQ(std::fclose(f), 0);

    Load(ui, pgm);
    ASSERT_NE(ui->getImage(), nullptr);
    EXPECT_TRUE(SameImage(ui->getImage(), img.get()));
    EXPECT_STREQ(ui->infos, "ramp.pgm (33x17 8bpp)");
    ASSERT_NE(ui->box_preview->GetImage(), nullptr);
    EXPECT_EQ(ui->box_preview->GetImage()->bpp, 8);
    ExpectSituation(ui, Situation::Grey);

    Load(ui, Write(img.get(), "ramp.bmp"));
    ASSERT_NE(ui->getImage(), nullptr);
    EXPECT_STREQ(ui->infos, "ramp.bmp (33x17 24bpp)");
    ExpectSituation(ui, Situation::Colour);
}

// A second load scrolls both pages back to their origin and resets the zoom.
TEST(LoadImage, SecondLoadScrollsBackAndResetsTheZoom)
{
    CMirlanUI *ui = App();
    auto big = Pattern(900, 800, 24);
    std::string path = Write(big.get(), "big.tga");
    Load(ui, path);
    ui->tabs_main->value(ui->grp_histos);
    ui->scroll_histos->scroll_to(0, 200);
    ui->tabs_main->value(ui->grp_image);
    ui->box_image->Zoom(250);
    ui->sl_zoom->value(250);
    ui->scroll_image->scroll_to(100, 150);
    ASSERT_EQ(ui->scroll_image->xposition(), 100);

    Load(ui, path);
    EXPECT_EQ(ui->sl_zoom->value(), 100);
    EXPECT_EQ(ui->box_image->GetZoomPercent(), 100);
    EXPECT_EQ(ui->scroll_image->xposition(), 0);
    EXPECT_EQ(ui->scroll_image->yposition(), 0);
    EXPECT_EQ(ui->scroll_histos->xposition(), 0);
    EXPECT_EQ(ui->scroll_histos->yposition(), 0);
}

// What a failed opening must leave alone.
struct Kept {
    CImage *image;
    const CImage *undo;
    std::string status, histoPath;
    CImage *thumb;
    double zoom;
    int pointX, pointY, scrollX, scrollY;
    bool operator==(const Kept &o) const
    {
        return image == o.image && undo == o.undo && status == o.status && histoPath == o.histoPath &&
               thumb == o.thumb && zoom == o.zoom && pointX == o.pointX && pointY == o.pointY &&
               scrollX == o.scrollX && scrollY == o.scrollY;
    }
};

Kept WhatIsShown(CMirlanUI *ui)
{
    Kept k{ui->getImage(), ui->box_image->GetUndoImage(), ui->infos,
           ui->box_histos->GetImagePath() ? ui->box_histos->GetImagePath() : "", ui->box_preview->GetImage(),
           ui->sl_zoom->value(), 0, 0, ui->scroll_image->xposition(), ui->scroll_image->yposition()};
    ui->box_image->GetCurseur(&k.pointX, &k.pointY);
    return k;
}

void CloseImage(CMirlanUI *ui)
{
    ui->box_image->Close();
    ui->box_histos->Close();
    ui->box_preview->Close();
    ui->deactivateAll();
}

// A file that cannot be read shows why and changes nothing, with or without
// a picture open.
TEST(LoadImage, FailureKeepsEverything)
{
    const std::string dir = TempDir();
    const struct {
        std::string path, alert;
    } cases[] = {
        {dir + "/missing.tga", "Impossible de charger cette image !\nFichier introuvable ou illisible."},
        {Write(Pattern(3, 3, 24).get(), "picture.gif"), "Impossible de charger cette image !\nFormat invalide."},
    };
    CMirlanUI *ui = App();
    auto img = Pattern(600, 500, 24);
    const std::string path = Write(img.get(), "ok.tga");
    for (bool open : {false, true}) {
        CloseImage(ui);
        if (open) {
            Load(ui, path);
            ui->box_image->SaveUndo();
            ui->sl_zoom->value(200);
            CMirlanUI::cb_sl_zoom(ui->sl_zoom, nullptr);
            ui->scroll_image->scroll_to(300, 200);
            ui->box_image->SetCurseur(70, 80);
        }
        const Kept before = WhatIsShown(ui);
        for (const auto &c : cases) {
            Alerts().clear();
            Load(ui, c.path);
            EXPECT_EQ(Alerts(), std::vector<std::string>{c.alert}) << c.path;
            EXPECT_TRUE(WhatIsShown(ui) == before) << c.path;
            ExpectSituation(ui, open ? Situation::Colour : Situation::NoImage);
        }
    }
}

// The histogram page takes its size as soon as a picture is opened, also
// after closing one or a failed opening.
TEST(LoadImage, HistogramPageShowsAfterCloseAndReopen)
{
    CMirlanUI *ui = App();
    const std::string path = Write(Pattern(30, 20, 24).get(), "h.tga");
    Load(ui, path);
    CloseImage(ui);
    Load(ui, TempDir() + "/missing.tga");
    Load(ui, path);
    EXPECT_EQ(ui->box_histos->w(), ui->box_histos->GetLargeur());
    EXPECT_EQ(ui->box_histos->h(), ui->box_histos->GetHauteur());
    EXPECT_GT(ui->box_histos->h(), 0);
}

// ---------------------------------------------------------------- status line

TEST(StatusLine, NullFormatLeavesTheTextAlone)
{
    CMirlanUI *ui = App();
    ui->imageInfos("%s (%dx%d %dbpp)", "photo.tga", 640, 480, 24);
    EXPECT_STREQ(ui->infos, "photo.tga (640x480 24bpp)");
    ui->imageInfos(nullptr);
    EXPECT_STREQ(ui->infos, "photo.tga (640x480 24bpp)");
    EXPECT_EQ(ui->box_infos->label(), ui->infos);
}

// A long name loses its middle, never the picture's size: first as counted
// in characters, then on the real line at two widths, in its own font.
TEST(StatusLine, LongNamesLoseTheirMiddle)
{
    struct Row {
        const char *text;
        size_t characters;
        const char *shown;
    } const rows[] = {
        {"photo_de_vacances.tga (640x480 24bpp)", 37, "photo_de_vacances.tga (640x480 24bpp)"},
        {"photo_de_vacances.tga (640x480 24bpp)", 30, "photo_d…es.tga (640x480 24bpp)"},
        {"photo_de_vacances.tga (640x480 24bpp)", 20, "ph…a (640x480 24bpp)"},
        {"photo_de_vacances.tga (640x480 24bpp)", 5, "… (640x480 24bpp)"},
        {"été_à_la_mer.tga (2x2 8bpp)", 20, "été_….tga (2x2 8bpp)"},
    };
    for (const Row &row : rows) {
        auto fits = [&](const std::string &s) {
            size_t n = 0;
            for (char c : s)
                n += (static_cast<unsigned char>(c) & 0xC0) != 0x80;
            return n <= row.characters;
        };
        EXPECT_EQ(FitStatusText(row.text, fits), row.shown) << row.characters;
    }

    fl_open_display();
    CMirlanUI *ui = App();
    const std::string longName = std::string(300, 'n') + ".tga";
    for (int width : {712, 400}) {
        ui->win_main->size(width, 579);
        ui->imageInfos("%s (%dx%d %dbpp)", longName.c_str(), 1, 2, 8);
        const std::string shown = ui->infos;
        EXPECT_NE(shown.find("…"), std::string::npos) << width;
        EXPECT_EQ(shown.substr(shown.size() - 15), ".tga (1x2 8bpp)") << width;
        fl_font(ui->box_infos->labelfont(), ui->box_infos->labelsize());
        EXPECT_LE(fl_width(ui->infos), ui->box_infos->w() - 6) << width;
        EXPECT_GT(fl_width(ui->infos), ui->box_infos->w() - 20) << width;
    }
    ui->win_main->size(712, 579);
}

// ---------------------------------------------------------------- traiteImage

TEST(TraiteImage, FollowsAQuarterTurn)
{
    CMirlanUI *ui = App();
    auto img = Pattern(200, 100, 24);
    Load(ui, Write(img.get(), "flower.tga"));
    CTi::Rot90h(ui->getImage());
    ui->traiteImage();
    EXPECT_STREQ(ui->infos, "flower.tga (100x200 24bpp)");
    EXPECT_EQ(ui->box_image->w(), 100);
    EXPECT_EQ(ui->box_image->h(), 200);
    EXPECT_STREQ(ui->box_histos->GetInfos(), "Width = 100, Height = 200, Bits per pixel = 24");
    ExpectSituation(ui, Situation::Colour);
}

// The preview shows a fresh thumbnail of the changed image with the pending
// adjustments applied in order: luminosity, contrast, saturation.
TEST(TraiteImage, PreviewCarriesThePendingAdjustments)
{
    CMirlanUI *ui = App();
    auto img = Pattern(64, 48, 24);
    Load(ui, Write(img.get(), "adj.tga"));
    ui->sl_lum->value(20.9);
    ui->sl_rouge->value(-10);
    ui->sl_vert->value(5);
    ui->sl_bleu->value(-7.5);
    ui->sl_contraste->value(30);
    ui->sl_saturation->value(-40);
    CTi::Negatif(ui->getImage());
    ui->traiteImage();

    CImgPreviewBoxFL expected(0, 0, 165, 126);
    expected.SetImage(ui->getImage());
    CImage *thumb = expected.GetImage();
    CTi::Luminosite(thumb, 20, -10, 5, -7);
    CTi::Contraste(thumb, 30);
    CTi::Saturation(thumb, -40);
    EXPECT_TRUE(SameImage(ui->box_preview->GetImage(), thumb));
    // The sliders themselves stay where the user left them.
    EXPECT_EQ(ui->sl_contraste->value(), 30);
}

// The histograms follow the changed image.
TEST(TraiteImage, RecomputesTheHistograms)
{
    CMirlanUI *ui = App();
    auto img = Pattern(10, 10, 8);
    Load(ui, Write(img.get(), "h.tga"));
    std::memset(ui->getImage()->data, 100, ui->getImage()->ByteCount());
    ui->traiteImage();
    const CHistogramme *h = ui->box_histos->GetHistogramme();
    EXPECT_EQ(h->histos[0][100], 100);
    EXPECT_EQ(h->min[0], 100);
    EXPECT_EQ(h->max[0], 100);
}

TEST(TraiteImage, WithoutAnImageDoesNothing)
{
    CMirlanUI *ui = App();
    ui->box_image->Close();
    ui->deactivateAll();
    ui->traiteImage();
    ui->imageBits();
    EXPECT_STREQ(ui->infos, " ");
    ExpectSituation(ui, Situation::NoImage);
}

// ---------------------------------------------------------------- on screen

// What the window draws after a load: the image at 100 % in the view.
TEST(OnScreen, LoadedImageIsDrawnInTheView)
{
    CMirlanUI *ui = App();
    const int w = 120, h = 90;
    CImage img(w, h, 24);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            unsigned char *p = img.data + (size_t(y) * w + x) * 3;
            p[0] = static_cast<unsigned char>(x * 2);
            p[1] = static_cast<unsigned char>(y * 2);
            p[2] = 77;
        }
    Load(ui, Write(&img, "screen.tga"));
    ui->win_main->position(0, 0);
    ui->win_main->show();
    ui->win_main->wait_for_expose();
    Fl::flush();
    Fl::check();

    // Read a corner of the picture, away from the cursor mark in its centre.
    const int rw = 30, rh = 20;
    std::vector<unsigned char> screen(size_t(rw) * rh * 3);
    ui->win_main->make_current();
    fl_read_image(screen.data(), ui->box_image->x(), ui->box_image->y(), rw, rh);
    int wrong = 0;
    for (int y = 0; y < rh; ++y)
        for (int x = 0; x < rw; ++x) {
            const unsigned char *s = &screen[(size_t(y) * rw + x) * 3];
            const unsigned char *p = img.data + (size_t(y) * w + x) * 3;
            wrong += s[0] != p[0] || s[1] != p[1] || s[2] != p[2];
        }
    EXPECT_EQ(wrong, 0);
    ui->win_main->hide();
    Fl::check();
}

}  // namespace
