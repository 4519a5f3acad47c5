// test_window.cpp: the main window as the constructor leaves it: its widgets
// and their settings; the two menu tables and their item pointers; the icons;
// the layout from the smallest size up; the no-image start state; the
// base-name function.
#include <gtest/gtest.h>

#include <FL/Fl.H>
#include <FL/Fl_Shared_Image.H>
#include <FL/fl_draw.H>
#include <FL/x.H>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "app/icons.h"
#include "app/mirlan_ui.h"

namespace {

// One application object per test process, as in the program.
CMirlanUI *App()
{
    if (!cvui) {
        fl_register_images();
        cvui = new CMirlanUI;
    }
    return cvui;
}

template <class T>
bool Is(Fl_Widget *w)
{
    return dynamic_cast<T *>(w) != nullptr;
}

TEST(MainWindow, TopLevelWindow)
{
    CMirlanUI *ui = App();
    ASSERT_NE(ui->win_main, nullptr);
    EXPECT_TRUE(Is<Fl_Double_Window>(ui->win_main));
    EXPECT_EQ(ui->win_main->parent(), nullptr);
    EXPECT_EQ(ui->win_main->w(), 712);
    EXPECT_EQ(ui->win_main->h(), 579);
    EXPECT_STREQ(ui->win_main->label(), "Mirlan");
    EXPECT_EQ(ui->win_main->user_data(), ui);
    EXPECT_EQ(ui->win_main->resizable(), ui->tabs_main);
    EXPECT_FALSE(ui->win_main->shown());
    // The hotspot keeps the whole window on the 1280 x 1024 test screen.
    EXPECT_GE(ui->win_main->x(), 0);
    EXPECT_GE(ui->win_main->y(), 0);
    EXPECT_LE(ui->win_main->x() + 712, Fl::w());
    EXPECT_LE(ui->win_main->y() + 579, Fl::h());
}

TEST(MainWindow, ChildrenAreInConstructionOrder)
{
    CMirlanUI *ui = App();
    ASSERT_EQ(ui->win_main->children(), 5);
    EXPECT_EQ(ui->win_main->child(0), ui->grp_leftPane);
    EXPECT_EQ(ui->win_main->child(1), ui->tabs_main);
    EXPECT_EQ(ui->win_main->child(2), ui->menuBar);
    EXPECT_EQ(ui->win_main->child(3), ui->grp_status);
    EXPECT_EQ(ui->win_main->child(4), ui->grp_toolbar);

    Fl_Widget *const reglages[] = {ui->sl_zoom, ui->sl_lum,   ui->sl_rouge,      ui->sl_vert,
                                   ui->sl_bleu, ui->sl_contraste, ui->sl_saturation,
                                   ui->box_preview, ui->bt_color, ui->sl_R, ui->sl_G, ui->sl_B,
                                   ui->ct_valeur};
    ASSERT_EQ(ui->grp_reglages->children(), 13);
    for (int i = 0; i < 13; ++i)
        EXPECT_EQ(ui->grp_reglages->child(i), reglages[i]) << i;

    Fl_Widget *const buttons[] = {ui->bt_open, ui->out_traitement, ui->bt_bmp, ui->bt_tga,
                                  ui->bt_reglages, ui->bt_previewTraitement,
                                  ui->bt_applyTraitement};
    ASSERT_EQ(ui->grp_buttons->children(), 7);
    for (int i = 0; i < 7; ++i)
        EXPECT_EQ(ui->grp_buttons->child(i), buttons[i]) << i;

    ASSERT_EQ(ui->tabs_main->children(), 2);
    EXPECT_EQ(ui->tabs_main->child(0), ui->grp_image);
    EXPECT_EQ(ui->tabs_main->child(1), ui->grp_histos);
    ASSERT_EQ(ui->grp_histos->children(), 2);
    EXPECT_EQ(ui->grp_histos->child(0), ui->scroll_histos);
    EXPECT_EQ(ui->grp_histos->child(1), ui->tb_histos);
}

TEST(MainWindow, ToolBarButtonsCarryTheirIconsAndTooltips)
{
    CMirlanUI *ui = App();
    struct Tool {
        Fl_Button *b;
        const char *tip;
        Fl_Image *image;
        Fl_Image *inactive;
    } const tools[] = {
        {ui->bt_open, "Ouvrir", &image_open, nullptr},
        {ui->bt_bmp, "Enregistrer sous BMP", &image_bmp, &image_bmp_i},
        {ui->bt_tga, "Enregistrer sous TGA", &image_tga, &image_tga_i},
        {ui->bt_reglages, "Applquer les réglages", &image_reglages, &image_reglages_i},
        {ui->bt_previewTraitement, "Preview du traitement courant", &image_previewtraitement,
         &image_previewtraitement_i},
        {ui->bt_applyTraitement, "Appliquer traitement courant", &image_applytraitement,
         &image_applytraitement_i},
    };
    for (const Tool &t : tools) {
        SCOPED_TRACE(t.tip);
        EXPECT_STREQ(t.b->tooltip(), t.tip);
        EXPECT_EQ(t.b->box(), FL_THIN_UP_BOX);
        EXPECT_EQ(t.b->image(), t.image);
        EXPECT_EQ(t.b->deimage(), t.inactive);
    }
}

// The callbacks find the application object through their window's user data.
TEST(MainWindow, CallbacksReachTheApplicationThroughTheirWindow)
{
    CMirlanUI *ui = App();
    for (Fl_Widget *w : {static_cast<Fl_Widget *>(ui->sl_zoom), static_cast<Fl_Widget *>(ui->ct_valeur),
                         static_cast<Fl_Widget *>(ui->tb_histos),
                         static_cast<Fl_Widget *>(ui->bt_open),
                         static_cast<Fl_Widget *>(ui->bt_applyTraitement)})
        EXPECT_EQ(CMirlanUI::FromWidget(w, 3), ui);
    EXPECT_EQ(CMirlanUI::FromWidget(ui->menuBar, 1), ui);
}

// From its smallest size up, the window keeps every control whole, the left
// pane above the status line, and the pane's labels clear of its edge at the
// default font.
TEST(MainWindow, NothingOverlapsFromTheSmallestSizeUp)
{
    fl_open_display();
    CMirlanUI *ui = App();
    Fl_Double_Window *win = ui->win_main;
    const int sizes[][2] = {{CMirlanUI::kMinWidth, CMirlanUI::kMinHeight}, {712, 579}, {1100, 900}};
    for (const auto &size : sizes) {
        win->resize(win->x(), win->y(), size[0], size[1]);
        SCOPED_TRACE(std::to_string(size[0]) + " x " + std::to_string(size[1]));
        Fl_Group *pane = ui->grp_reglages;
        EXPECT_LE(ui->grp_leftPane->y() + ui->grp_leftPane->h(), ui->grp_status->y());
        EXPECT_LE(pane->y() + pane->h(), ui->grp_leftPane->y() + ui->grp_leftPane->h());
        EXPECT_LE(ui->tabs_main->y() + ui->tabs_main->h(), ui->grp_status->y());
        EXPECT_LE(ui->grp_status->y() + ui->grp_status->h(), win->h());
        for (int i = 0; i < ui->grp_buttons->children(); ++i) {
            Fl_Widget *b = ui->grp_buttons->child(i);
            EXPECT_LE(b->x() + b->w(), win->w() - 2) << i;
        }
        for (int i = 0; i < pane->children(); ++i) {
            Fl_Widget *w = pane->child(i);
            EXPECT_LE(w->x() + w->w(), pane->x() + pane->w()) << w->label();
            if (w->align() != FL_ALIGN_LEFT)
                continue;
            // Drawn right-aligned 3 pixels left of the widget; 2 pixels of
            // room inside the pane's frame.
            fl_font(w->labelfont(), w->labelsize());
            EXPECT_LE(pane->x() + Fl::box_dx(pane->box()) + 2 + fl_width(w->label()), w->x() - 3)
                << w->label();
        }
    }
    win->resize(win->x(), win->y(), 712, 579);
}

// ---------------------------------------------------------------- menus

struct MenuRow {
    const char *label;
    int shortcut;
    Fl_Callback *callback;
    int flags;
};

#define CB(f) reinterpret_cast<Fl_Callback *>(CMirlanUI::f)
const MenuRow kMenuBar[56] = {
    {"&Fichier", 0, nullptr, FL_SUBMENU},
    {"&Ouvrir", FL_CTRL + 'o', CB(cb_mnu_open), 0},
    {"&Enregistrer sous", 0, nullptr, FL_SUBMENU},
    {"Bitmap &BMP", FL_F + 6, CB(cb_Bitmap), 0},
    {"Targa &TGA", FL_F + 7, CB(cb_Targa), 0},
    {nullptr, 0, nullptr, 0},
    {"&Fermer", FL_CTRL + 'd', CB(cb_mnu_close), 0},
    {"&Quitter", FL_CTRL + 'q', CB(cb_Quitter), 0},
    {nullptr, 0, nullptr, 0},
    {"&Image", 0, nullptr, FL_SUBMENU},
    {"&Annuler action", FL_CTRL + 'z', CB(cb_Annuler), FL_MENU_DIVIDER},
    {"Noir et &Blanc", FL_ALT + 'b', CB(cb_mnu_BW), 0},
    {"Niveaux de &gris", FL_ALT + 'n', CB(cb_mnu_NG), 0},
    {"Couleurs &RVB", FL_ALT + 'c', CB(cb_mnu_RVB), FL_MENU_DIVIDER},
    {"Ré&glages", 0, nullptr, FL_SUBMENU | FL_MENU_DIVIDER},
    {"&Appliquer à l'image", FL_ALT + 'r', CB(cb_Appliquer), 0},
    {"Remise à &zéro", FL_ALT + 'z', CB(cb_Remise), 0},
    {nullptr, 0, nullptr, 0},
    {"&Taille de l'image...", FL_CTRL + 't', CB(cb_Taille), 0},
    {"R&otation", 0, nullptr, FL_SUBMENU | FL_MENU_DIVIDER},
    {"&180°", 0, CB(cb_180), 0},
    {"&90° horaire", 0, CB(cb_90), 0},
    {"9&0° antihoraire", 0, CB(cb_9), FL_MENU_DIVIDER},
    {"Symétrie d'axe &verticale", 0, CB(cb_Sym), 0},
    {"Symétrie d'axe &horizontale", 0, CB(cb_Sym1), 0},
    {nullptr, 0, nullptr, 0},
    {"&Histogrammes", 0, CB(cb_Histogrammes), 0},
    {nullptr, 0, nullptr, 0},
    {"&Traitements", 0, nullptr, FL_SUBMENU},
    {"Preview traitement courant", FL_F + 3, CB(cb_mnu_previewTraitement), 0},
    {"Appliquer traitement courant", FL_F + 4, CB(cb_mnu_applyTraitement), FL_MENU_DIVIDER},
    {"Histogrammes", 0, nullptr, FL_SUBMENU},
    {"Egalisation ", 0, CB(cb_Egalisation), 0},
    {"Etirement ", 0, CB(cb_Etirement), 0},
    {nullptr, 0, nullptr, 0},
    {"Distances", 0, nullptr, FL_SUBMENU},
    {"Distance (4 connexité) fond/point ", 0, CB(cb_Distance), 0},
    {"Distance (8 connexité) fond/point ", 0, CB(cb_Distance1), 0},
    {nullptr, 0, nullptr, 0},
    {"Négatif", 0, CB(cb_N), 0},
    {"Dents de scie", 0, CB(cb_Dents), 0},
    {"Seuillage fixe", 0, CB(cb_Seuillage), 0},
    {"Seuillage aléatoire", 0, CB(cb_Seuillage1), FL_MENU_DIVIDER},
    {"Pas de traitement", 0, CB(cb_Pas), 0},
    {nullptr, 0, nullptr, 0},
    {"&Affichage", 0, nullptr, FL_SUBMENU},
    {"&Agrandir", FL_CTRL + '+', CB(cb_Agrandir), 0},
    {"Ré&duire", FL_CTRL + '-', CB(cb_R), 0},
    {"Taill&e écran", FL_CTRL + 'e', CB(cb_Taill), 0},
    {"Taille réelle", FL_CTRL + 'r', CB(cb_Taille1), 0},
    {nullptr, 0, nullptr, 0},
    {"Ai&de", 0, nullptr, FL_SUBMENU},
    {"&Documentation", FL_F + 1, CB(cb_Documentation), 0},
    {"A &propos de Mirlan...", 0, CB(cb_A), 0},
    {nullptr, 0, nullptr, 0},
    {nullptr, 0, nullptr, 0},
};

// Flags that the availability rules change while the program runs.
const int kStateFlags = FL_MENU_INACTIVE | FL_MENU_VALUE;

void ExpectItem(const Fl_Menu_Item &item, const MenuRow &row, int labelsize, int index)
{
    SCOPED_TRACE("item " + std::to_string(index));
    if (!row.label) {
        EXPECT_EQ(item.text, nullptr);
        EXPECT_EQ(item.shortcut_, 0);
        EXPECT_EQ(item.callback_, nullptr);
        EXPECT_EQ(item.flags, 0);
        return;
    }
    EXPECT_STREQ(item.text, row.label);
    EXPECT_EQ(item.shortcut_, row.shortcut);
    EXPECT_EQ(item.callback_, row.callback);
    EXPECT_EQ(item.user_data_, nullptr);
    EXPECT_EQ(item.flags & ~kStateFlags, row.flags);
    EXPECT_EQ(item.labeltype_, FL_NORMAL_LABEL);
    EXPECT_EQ(item.labelfont_, 0);
    EXPECT_EQ(item.labelsize_, labelsize);
    EXPECT_EQ(item.labelcolor_, FL_BLACK);
}

TEST(MainMenu, EveryItemHasItsLabelShortcutCallbackAndFlags)
{
    App();
    for (int i = 0; i < 56; ++i)
        ExpectItem(CMirlanUI::menu_menuBar[i], kMenuBar[i], 12, i);
}

TEST(MainMenu, LayerBarHoldsFourCheckedToggles)
{
    App();
    const MenuRow layers[5] = {
        {"luminosité", 0, CB(cb_rb_lum), FL_MENU_TOGGLE},
        {"rouge", 0, CB(cb_rb_rouge), FL_MENU_TOGGLE},
        {"vert", 0, CB(cb_rb_vert), FL_MENU_TOGGLE},
        {"bleu", 0, CB(cb_rb_bleu), FL_MENU_TOGGLE},
        {nullptr, 0, nullptr, 0},
    };
    for (int i = 0; i < 5; ++i)
        ExpectItem(CMirlanUI::menu_tb_histos[i], layers[i], 11, i);
    for (int i = 0; i < 4; ++i)
        EXPECT_TRUE(CMirlanUI::menu_tb_histos[i].value()) << i;
}
#undef CB

TEST(MainMenu, ItemPointersPointAtTheirItems)
{
    struct Pointer {
        Fl_Menu_Item *item;
        int index;
    } const bar[] = {
        {CMirlanUI::mnu_file, 0},         {CMirlanUI::mnu_open, 1},
        {CMirlanUI::mnu_saveas, 2},       {CMirlanUI::mnu_close, 6},
        {CMirlanUI::mnu_image, 9},        {CMirlanUI::mnu_BW, 11},
        {CMirlanUI::mnu_NG, 12},          {CMirlanUI::mnu_RVB, 13},
        {CMirlanUI::mnu_traitements, 28}, {CMirlanUI::mnu_previewTraitement, 29},
        {CMirlanUI::mnu_applyTraitement, 30}, {CMirlanUI::mnu_affichage, 45},
        {CMirlanUI::mnu_help, 51},
    };
    for (const Pointer &p : bar)
        EXPECT_EQ(p.item, &CMirlanUI::menu_menuBar[p.index]) << p.index;
    EXPECT_EQ(CMirlanUI::rb_lum, &CMirlanUI::menu_tb_histos[0]);
    EXPECT_EQ(CMirlanUI::rb_rouge, &CMirlanUI::menu_tb_histos[1]);
    EXPECT_EQ(CMirlanUI::rb_vert, &CMirlanUI::menu_tb_histos[2]);
    EXPECT_EQ(CMirlanUI::rb_bleu, &CMirlanUI::menu_tb_histos[3]);
}

// ---------------------------------------------------------------- start state

TEST(StartState, WindowOpensWithNoImage)
{
    CMirlanUI *ui = App();
    EXPECT_STREQ(ui->infos, " ");
    EXPECT_EQ(ui->box_infos->label(), ui->infos);
    EXPECT_EQ(ui->traitement, 0);
    EXPECT_EQ(ui->getImage(), nullptr);
    EXPECT_STREQ(ui->box_version->label(), "v1.0");
    EXPECT_STREQ(ui->box_build->label(), "build 030829");

    for (Fl_Menu_Item *item : {CMirlanUI::mnu_image, CMirlanUI::mnu_saveas, CMirlanUI::mnu_close,
                               CMirlanUI::mnu_affichage, CMirlanUI::mnu_previewTraitement,
                               CMirlanUI::mnu_applyTraitement, CMirlanUI::rb_lum,
                               CMirlanUI::rb_rouge, CMirlanUI::rb_vert, CMirlanUI::rb_bleu})
        EXPECT_FALSE(item->active()) << item->label();
    // Always available.
    for (Fl_Menu_Item *item : {CMirlanUI::mnu_file, CMirlanUI::mnu_open, CMirlanUI::mnu_traitements,
                               CMirlanUI::mnu_help})
        EXPECT_TRUE(item->active()) << item->label();
    EXPECT_TRUE(CMirlanUI::menu_menuBar[7].active());  // "&Quitter"
    EXPECT_TRUE(ui->bt_open->active());
    EXPECT_TRUE(ui->tb_histos->active());

    for (Fl_Widget *w : {static_cast<Fl_Widget *>(ui->bt_bmp), static_cast<Fl_Widget *>(ui->bt_tga),
                         static_cast<Fl_Widget *>(ui->bt_reglages),
                         static_cast<Fl_Widget *>(ui->bt_previewTraitement),
                         static_cast<Fl_Widget *>(ui->bt_applyTraitement),
                         static_cast<Fl_Widget *>(ui->sl_zoom), static_cast<Fl_Widget *>(ui->sl_lum),
                         static_cast<Fl_Widget *>(ui->sl_rouge), static_cast<Fl_Widget *>(ui->sl_vert),
                         static_cast<Fl_Widget *>(ui->sl_bleu),
                         static_cast<Fl_Widget *>(ui->sl_contraste),
                         static_cast<Fl_Widget *>(ui->sl_saturation),
                         static_cast<Fl_Widget *>(ui->box_preview),
                         static_cast<Fl_Widget *>(ui->bt_color), static_cast<Fl_Widget *>(ui->sl_R),
                         static_cast<Fl_Widget *>(ui->sl_G), static_cast<Fl_Widget *>(ui->sl_B),
                         static_cast<Fl_Widget *>(ui->ct_valeur)})
        EXPECT_FALSE(w->active()) << (w->label() ? w->label() : w->tooltip());
}

// The item that a key press would pick from the menu bar's table.
const Fl_Menu_Item *ItemForKey(int state, int key)
{
    static char noText[] = "";
    Fl::e_state = state;
    Fl::e_keysym = key;
    Fl::e_text = noText;
    Fl::e_length = 0;
    return CMirlanUI::menu_menuBar->test_shortcut();
}

// A shortcut of an item in a disabled menu does nothing; open, quit and the
// documentation answer whatever the state.
TEST(StartState, ShortcutsSkipDisabledMenus)
{
    CMirlanUI *ui = App();
    EXPECT_EQ(ItemForKey(FL_CTRL, 'o'), CMirlanUI::mnu_open);
    EXPECT_EQ(ItemForKey(FL_CTRL, 'q'), &CMirlanUI::menu_menuBar[7]);
    EXPECT_EQ(ItemForKey(0, FL_F + 1), &CMirlanUI::menu_menuBar[52]);
    EXPECT_EQ(ItemForKey(0, FL_F + 3), nullptr);      // preview treatment
    EXPECT_EQ(ItemForKey(FL_CTRL, 'z'), nullptr);     // undo, in "&Image"
    EXPECT_EQ(ItemForKey(FL_ALT, 'n'), nullptr);      // grey levels, in "&Image"
    EXPECT_EQ(ItemForKey(FL_CTRL, 'd'), nullptr);     // close
    EXPECT_EQ(ItemForKey(0, FL_F + 6), nullptr);      // save as BMP
    EXPECT_EQ(ItemForKey(FL_CTRL, 'e'), nullptr);     // fit, in "&Affichage"
    (void)ui;
}

// ---------------------------------------------------------------- icons

// Reads an icon's compressed pixmap data back and checks its layout.
void ExpectCompressedIcon(const char *const *data, const char *what)
{
    SCOPED_TRACE(what);
    int w = 0, h = 0, n = 0, cpp = 0;
    ASSERT_EQ(std::sscanf(data[0], "%d %d %d %d", &w, &h, &n, &cpp), 4);
    EXPECT_EQ(w, 32);
    EXPECT_EQ(h, 32);
    EXPECT_EQ(cpp, 1);
    ASSERT_LT(n, 0) << "colour table announced by a negative count";
    const int colours = -n;
    ASSERT_GE(colours, 2);
    ASSERT_LE(colours, 256);
    const unsigned char *table = reinterpret_cast<const unsigned char *>(data[1]);
    bool used[256] = {};
    for (int i = 0; i < colours; ++i) {
        unsigned char key = table[4 * i];
        EXPECT_EQ(key, (32 + i) % 256) << "entry " << i;
        used[key] = true;
    }
    int opaque = 0;
    for (int y = 0; y < 32; ++y) {
        const unsigned char *row = reinterpret_cast<const unsigned char *>(data[2 + y]);
        for (int x = 0; x < 32; ++x) {
            ASSERT_TRUE(used[row[x]]) << "row " << y << " column " << x;
            opaque += row[x] != 32;
        }
    }
    // A real picture: most of the square is drawn, not transparent.
    EXPECT_GT(opaque, 32 * 32 / 2);
}

TEST(Icons, ElevenCompressedPixmapsOf32By32)
{
    struct Icon {
        const char *const *data;
        Fl_Pixmap *image;
        const char *name;
    } const icons[] = {
        {idata_open, &image_open, "open"},
        {idata_bmp, &image_bmp, "bmp"},
        {idata_bmp_i, &image_bmp_i, "bmp_i"},
        {idata_tga, &image_tga, "tga"},
        {idata_tga_i, &image_tga_i, "tga_i"},
        {idata_reglages, &image_reglages, "reglages"},
        {idata_reglages_i, &image_reglages_i, "reglages_i"},
        {idata_previewtraitement, &image_previewtraitement, "previewtraitement"},
        {idata_previewtraitement_i, &image_previewtraitement_i, "previewtraitement_i"},
        {idata_applytraitement, &image_applytraitement, "applytraitement"},
        {idata_applytraitement_i, &image_applytraitement_i, "applytraitement_i"},
    };
    for (const Icon &icon : icons) {
        ExpectCompressedIcon(icon.data, icon.name);
        EXPECT_EQ(icon.image->w(), 32) << icon.name;
        EXPECT_EQ(icon.image->h(), 32) << icon.name;
        EXPECT_EQ(icon.image->data(), icon.data) << icon.name;
    }
}

// An inactive icon holds greys only.
TEST(Icons, InactiveVersionsAreGrey)
{
    for (const char *const *data : {idata_bmp_i, idata_tga_i, idata_reglages_i,
                                    idata_previewtraitement_i, idata_applytraitement_i}) {
        int n = 0;
        std::sscanf(data[0], "%*d %*d %d", &n);
        const unsigned char *table = reinterpret_cast<const unsigned char *>(data[1]);
        for (int i = 1; i < -n; ++i) {
            EXPECT_EQ(table[4 * i + 1], table[4 * i + 2]);
            EXPECT_EQ(table[4 * i + 2], table[4 * i + 3]);
        }
    }
}

TEST(Icons, LogoIsPackedRgb116By115)
{
    EXPECT_EQ(image_mirlan.w(), 116);
    EXPECT_EQ(image_mirlan.h(), 115);
    EXPECT_EQ(image_mirlan.d(), 3);
    EXPECT_EQ(image_mirlan.ld(), 0);
    EXPECT_EQ(reinterpret_cast<const unsigned char *>(image_mirlan.data()[0]), idata_mirlan);
    EXPECT_EQ(sizeof idata_mirlan, 40020u);
}

// ---------------------------------------------------------------- name

TEST(BaseName, IsTheTextAfterTheLastSlash)
{
    EXPECT_STREQ(name("/home/user/photo.tga"), "photo.tga");
    EXPECT_STREQ(name("/a/b/c.bmp"), "c.bmp");
    EXPECT_STREQ(name("/a/b/"), "");
    EXPECT_STREQ(name("/photo.tga"), "photo.tga");
    EXPECT_STREQ(name("photo.tga"), "photo.tga");
    EXPECT_STREQ(name(""), "");
    const char *path = "/x/y.ppm";
    EXPECT_EQ(name(path), path + 3);
}

}  // namespace
