// main_window.cpp: the construction of Mirlan's main window (left pane, tabs,
// menu bar, status line, tool bar), the two static menu tables with their
// item pointers, and the start state the window is left in.
#include "app/mirlan_ui.h"

#include <FL/Enumerations.H>

#include <cstring>
#include <string>

#include "app/commands.h"
#include "app/icons.h"
#include "image/formats.h"
#include "processing/operations.h"
#include "version.h"

// Every labelled item of the menu bar: normal label, font 0, size 12, black.
#define MIRLAN_ITEM(label, key, cb, flags) \
    { label, key, (Fl_Callback *)(cb), 0, flags, FL_NORMAL_LABEL, 0, 12, FL_BLACK }
#define MIRLAN_END { 0, 0, 0, 0, 0, 0, 0, 0, 0 }
// An item of the table of operations: its text comes from the table, and the
// operation is the item's data.
#define MIRLAN_OPERATION(name, key, cb, flags)                                                         \
    { mirlan::FindOperation(name)->menu, key, (Fl_Callback *)(cb),                                   \
      const_cast<mirlan::Operation *>(mirlan::FindOperation(name)), flags, FL_NORMAL_LABEL, 0, 12, FL_BLACK }
#define MIRLAN_TREATMENT(name, flags) MIRLAN_OPERATION(name, 0, CMirlanUI::cb_treatment, flags)

// "Enregistrer sous" gets an item a writable format at construction
// (buildMenuItems), from the formats table. The operations' rows are read at
// start-up from a table that is initialised before any code runs.
Fl_Menu_Item CMirlanUI::menu_menuBar[56] = {
    MIRLAN_ITEM("&Fichier", 0, 0, FL_SUBMENU),
    MIRLAN_ITEM("&Ouvrir", FL_CTRL + 'o', CMirlanUI::cb_mnu_open, 0),
    MIRLAN_ITEM("Enre&gistrer", FL_CTRL + 's', CMirlanUI::cb_mnu_save, 0),
    MIRLAN_ITEM("&Enregistrer sous", 0, 0, FL_SUBMENU),
    MIRLAN_END,
    MIRLAN_ITEM("&Fermer", FL_CTRL + 'd', CMirlanUI::cb_mnu_close, 0),
    MIRLAN_ITEM("&Quitter", FL_CTRL + 'q', CMirlanUI::cb_Quitter, 0),
    MIRLAN_END,
    MIRLAN_ITEM("&Image", 0, 0, FL_SUBMENU),
    MIRLAN_ITEM("&Annuler action", FL_CTRL + 'z', CMirlanUI::cb_Annuler, 0),
    MIRLAN_ITEM("&Rétablir", FL_CTRL + 'y', CMirlanUI::cb_Retablir, FL_MENU_DIVIDER),
    MIRLAN_OPERATION("noiretblanc", FL_ALT + 'b', CMirlanUI::cb_operation, 0),
    MIRLAN_OPERATION("niveauxgris", FL_ALT + 'n', CMirlanUI::cb_operation, 0),
    MIRLAN_OPERATION("couleursrvb", FL_ALT + 'c', CMirlanUI::cb_operation, FL_MENU_DIVIDER),
    MIRLAN_ITEM("Ré&glages", 0, 0, FL_SUBMENU | FL_MENU_DIVIDER),
    MIRLAN_OPERATION("reglages", FL_ALT + 'r', CMirlanUI::cb_Appliquer, 0),
    MIRLAN_ITEM("Remise à &zéro", FL_ALT + 'z', CMirlanUI::cb_Remise, 0),
    MIRLAN_END,
    MIRLAN_ITEM("&Taille de l'image...", FL_CTRL + 't', CMirlanUI::cb_Taille, 0),
    MIRLAN_ITEM("R&otation", 0, 0, FL_SUBMENU | FL_MENU_DIVIDER),
    MIRLAN_OPERATION("rot180", 0, CMirlanUI::cb_operation, 0),
    MIRLAN_OPERATION("rot90h", 0, CMirlanUI::cb_operation, 0),
    MIRLAN_OPERATION("rot90a", 0, CMirlanUI::cb_operation, FL_MENU_DIVIDER),
    MIRLAN_OPERATION("symetriev", 0, CMirlanUI::cb_operation, 0),
    MIRLAN_OPERATION("symetrieh", 0, CMirlanUI::cb_operation, 0),
    MIRLAN_END,
    MIRLAN_ITEM("&Histogrammes", 0, CMirlanUI::cb_Histogrammes, 0),
    MIRLAN_END,
    MIRLAN_ITEM("&Traitements", 0, 0, FL_SUBMENU),
    MIRLAN_ITEM("Preview traitement courant", FL_F + 3, CMirlanUI::cb_mnu_previewTraitement, 0),
    MIRLAN_ITEM("Appliquer traitement courant", FL_F + 4, CMirlanUI::cb_mnu_applyTraitement, FL_MENU_DIVIDER),
    MIRLAN_ITEM("Histogrammes", 0, 0, FL_SUBMENU),
    MIRLAN_TREATMENT("egalisation", 0),
    MIRLAN_TREATMENT("etirement", 0),
    MIRLAN_END,
    MIRLAN_ITEM("Distances", 0, 0, FL_SUBMENU),
    MIRLAN_TREATMENT("distance4", 0),
    MIRLAN_TREATMENT("distance8", 0),
    MIRLAN_END,
    MIRLAN_TREATMENT("negatif", 0),
    MIRLAN_TREATMENT("dentsdescie", 0),
    MIRLAN_TREATMENT("seuillagefixe", 0),
    MIRLAN_TREATMENT("seuillagealeatoire", FL_MENU_DIVIDER),
    MIRLAN_ITEM("Pas de traitement", 0, CMirlanUI::cb_Pas, 0),
    MIRLAN_END,
    MIRLAN_ITEM("&Affichage", 0, 0, FL_SUBMENU),
    MIRLAN_ITEM("&Agrandir", FL_CTRL + '+', CMirlanUI::cb_Agrandir, 0),
    MIRLAN_ITEM("Ré&duire", FL_CTRL + '-', CMirlanUI::cb_R, 0),
    MIRLAN_ITEM("Taill&e écran", FL_CTRL + 'e', CMirlanUI::cb_Taill, 0),
    MIRLAN_ITEM("Taille réelle", FL_CTRL + 'r', CMirlanUI::cb_Taille1, 0),
    MIRLAN_END,
    MIRLAN_ITEM("Ai&de", 0, 0, FL_SUBMENU),
    MIRLAN_ITEM("&Documentation", FL_F + 1, CMirlanUI::cb_Documentation, 0),
    MIRLAN_ITEM("A &propos de Mirlan...", 0, CMirlanUI::cb_A, 0),
    MIRLAN_END,
    MIRLAN_END,
};

// The four layer toggles: check boxes at label size 11, unchecked as stored.
#define MIRLAN_LAYER(label, cb) \
    { label, 0, (Fl_Callback *)(cb), 0, FL_MENU_TOGGLE, FL_NORMAL_LABEL, 0, 11, FL_BLACK }

Fl_Menu_Item CMirlanUI::menu_tb_histos[5] = {
    MIRLAN_LAYER("luminosité", CMirlanUI::cb_rb_lum),
    MIRLAN_LAYER("rouge", CMirlanUI::cb_rb_rouge),
    MIRLAN_LAYER("vert", CMirlanUI::cb_rb_vert),
    MIRLAN_LAYER("bleu", CMirlanUI::cb_rb_bleu),
    MIRLAN_END,
};

#undef MIRLAN_ITEM
#undef MIRLAN_LAYER
#undef MIRLAN_END
#undef MIRLAN_OPERATION
#undef MIRLAN_TREATMENT

Fl_Menu_Item *CMirlanUI::mnu_open;
Fl_Menu_Item *CMirlanUI::mnu_save;
Fl_Menu_Item *CMirlanUI::mnu_saveas;
Fl_Menu_Item *CMirlanUI::mnu_close;
Fl_Menu_Item *CMirlanUI::mnu_image;
Fl_Menu_Item *CMirlanUI::mnu_undo;
Fl_Menu_Item *CMirlanUI::mnu_redo;
Fl_Menu_Item *CMirlanUI::mnu_BW;
Fl_Menu_Item *CMirlanUI::mnu_NG;
Fl_Menu_Item *CMirlanUI::mnu_RVB;
Fl_Menu_Item *CMirlanUI::mnu_previewTraitement;
Fl_Menu_Item *CMirlanUI::mnu_applyTraitement;
Fl_Menu_Item *CMirlanUI::mnu_affichage;
Fl_Menu_Item *CMirlanUI::rb_lum = CMirlanUI::menu_tb_histos + 0;
Fl_Menu_Item *CMirlanUI::rb_rouge = CMirlanUI::menu_tb_histos + 1;
Fl_Menu_Item *CMirlanUI::rb_vert = CMirlanUI::menu_tb_histos + 2;
Fl_Menu_Item *CMirlanUI::rb_bleu = CMirlanUI::menu_tb_histos + 3;

namespace {

// The keys of the save commands that have one.
int SaveShortcut(const mirlan::ImageFormat &format)
{
    if (std::strcmp(format.name, "BMP") == 0)
        return FL_F + 6;
    return std::strcmp(format.name, "TGA") == 0 ? FL_F + 7 : 0;
}

}  // namespace

// The menu bar's items: the static table, with an item a writable format
// under "Enregistrer sous". The object owns them: the toolkit's own way of
// adding items shares one array between menus and moves it when another
// menu (a file chooser's) adds items of its own.
void CMirlanUI::buildMenuItems()
{
    menuItems.clear();
    for (const Fl_Menu_Item &item : menu_menuBar) {
        menuItems.push_back(item);
        if (item.label() && std::strcmp(item.label(), "&Enregistrer sous") == 0)
            for (const mirlan::ImageFormat *format : mirlan::WritableFormats())
                menuItems.push_back({format->saveLabel, SaveShortcut(*format), (Fl_Callback *)cb_SaveIn,
                                     const_cast<mirlan::ImageFormat *>(format), 0, FL_NORMAL_LABEL, 0, 12, FL_BLACK});
    }
    menuBar->menu(menuItems.data());
}

// The items the availability rules and commands reach, found among the
// menu bar's items by their callback, their operation, or their label for a
// submenu.
void CMirlanUI::findMenuItems()
{
    auto byCallback = [this](Fl_Callback *cb) { return const_cast<Fl_Menu_Item *>(menuBar->find_item(cb)); };
    auto byLabel = [this](const char *path) { return const_cast<Fl_Menu_Item *>(menuBar->find_item(path)); };
    mnu_open = byCallback((Fl_Callback *)cb_mnu_open);
    mnu_save = byCallback((Fl_Callback *)cb_mnu_save);
    mnu_saveas = byLabel("&Fichier/&Enregistrer sous");
    mnu_close = byCallback((Fl_Callback *)cb_mnu_close);
    mnu_image = byLabel("&Image");
    auto byOperation = [this](const char *name) {
        const mirlan::Operation *op = mirlan::FindOperation(name);
        for (int i = 0; i < menuBar->size(); ++i)
            if (menuBar->menu()[i].user_data() == op)
                return const_cast<Fl_Menu_Item *>(menuBar->menu() + i);
        return static_cast<Fl_Menu_Item *>(nullptr);
    };
    mnu_undo = byCallback((Fl_Callback *)cb_Annuler);
    mnu_redo = byCallback((Fl_Callback *)cb_Retablir);
    mnu_BW = byOperation("noiretblanc");
    mnu_NG = byOperation("niveauxgris");
    mnu_RVB = byOperation("couleursrvb");
    mnu_previewTraitement = byCallback((Fl_Callback *)cb_mnu_previewTraitement);
    mnu_applyTraitement = byCallback((Fl_Callback *)cb_mnu_applyTraitement);
    mnu_affichage = byLabel("&Affichage");
}

namespace {

// The second keys of menu items (an item has one), when no widget took
// them: Ctrl+Shift+Z for "Rétablir", and Ctrl+= for "Agrandir", the key of
// Ctrl++ without Shift.
int SecondKeys(int event)
{
    static const struct { unsigned key; Fl_Callback *command; } keys[] = {
        {FL_CTRL | FL_SHIFT | 'z', (Fl_Callback *)CMirlanUI::cb_Retablir},
        {FL_CTRL | '=', (Fl_Callback *)CMirlanUI::cb_Agrandir},
    };
    if (event != FL_SHORTCUT || !cvui)
        return 0;
    for (const auto &k : keys) {
        if (!Fl::test_shortcut(k.key))
            continue;
        const Fl_Menu_Item *item = cvui->menuBar->find_item(k.command);
        if (item && item->active())
            cvui->menuBar->picked(item);
        return 1;
    }
    return 0;
}

// An empty group that only serves as its parent's resizable.
Fl_Group *makeStretchStrip(int x, int y, int w, int h)
{
    Fl_Group *g = new Fl_Group(x, y, w, h);
    g->end();
    return g;
}

// The adjustment sliders share everything but their place, label and colour.
Fl_Value_Slider *makeAdjustSlider(int y, const char *label)
{
    // Far enough right that "Saturation" at the default font clears the pane's edge.
    Fl_Value_Slider *s = new Fl_Value_Slider(67, y, 123, 15, label);
    s->type(FL_HOR_NICE_SLIDER);
    s->minimum(-100);
    s->maximum(100);
    s->step(1);
    s->value(0);
    s->labelsize(11);
    s->align(FL_ALIGN_LEFT);
    return s;
}

// The current-colour sliders R, G, B.
Fl_Value_Slider *makeColourSlider(int y, const char *label, double value, Fl_Color selection)
{
    Fl_Value_Slider *s = new Fl_Value_Slider(20, y, 167, 15, label);
    s->type(FL_HOR_FILL_SLIDER);
    s->minimum(0);
    s->maximum(255);
    s->step(1);
    s->value(value);
    s->selection_color(selection);
    s->labelsize(11);
    s->align(FL_ALIGN_LEFT);
    return s;
}

// A 36 × 34 tool-bar button drawn with its icon (and inactive icon, if any).
Fl_Button *makeToolButton(int x, int w, const char *tip, Fl_Image *image, Fl_Image *inactive)
{
    Fl_Button *b = new Fl_Button(x, 25, w, 34);
    b->tooltip(tip);
    b->box(FL_THIN_UP_BOX);
    b->image(image);
    if (inactive)
        b->deimage(inactive);
    return b;
}

// The main window takes files dropped on it, whatever lies under the mouse.
// The drop itself may reach a child (see DropOnAChild).
class MainWindow : public Fl_Double_Window {
public:
    MainWindow(int w, int h, const char *title) : Fl_Double_Window(w, h, title) {}

    int handle(int event) override
    {
        switch (event) {
        case FL_DND_ENTER:
        case FL_DND_DRAG:
            // The drop's text then comes to this window, not to a child.
            Fl::belowmouse(this);
            return 1;
        case FL_DND_LEAVE:
        case FL_DND_RELEASE:
            return 1;
        case FL_PASTE:
            static_cast<CMirlanUI *>(user_data())->openDropped(Fl::event_text());
            return 1;
        default:
            return Fl_Double_Window::handle(event);
        }
    }
};

// When the drag source lets the pointer go, the window under it hears the
// pointer come back before it hears the drop, and the toolkit then sends the
// drop to the widget under the pointer, which refuses it: a drop refused
// inside the main window comes here and is the window's, and so is its text.
int DropOnAChild(int event)
{
    Fl_Widget *under = Fl::belowmouse();
    if (event != FL_DND_RELEASE || !under || !dynamic_cast<MainWindow *>(under->top_window()))
        return 0;
    Fl::belowmouse(under->top_window());
    return 1;
}

}  // namespace

CMirlanUI::CMirlanUI()
{
    win_main = new MainWindow(712, 579, "Mirlan");
    // The class the desktop groups the window and finds its icon by.
    win_main->xclass("Mirlan");
    win_main->user_data(this);
    win_main->callback((Fl_Callback *)cb_win_main);
    buildLeftPane();
    buildTabs();
    menuBar = new Fl_Menu_Bar(2, 1, 708, 20);
    menuBar->box(FL_THIN_UP_BOX);
    menuBar->labelsize(12);
    buildMenuItems();
    findMenuItems();
    buildStatusLine();
    buildToolBar();
    win_main->end();
    // The tool-bar buttons stay whole, and the left pane, which keeps its
    // height, stays above the status line.
    win_main->size_range(kMinWidth, kMinHeight);

    buildResizeDialog();
    buildAboutWindow();
    buildDocWindow();

    setStartState();
}

void CMirlanUI::buildLeftPane()
{
    grp_leftPane = new Fl_Group(2, 65, 193, 485);
    // Opens the window with the left pane under the pointer, kept on screen.
    win_main->hotspot(grp_leftPane, 0);

    grp_reglages = new Fl_Group(2, 65, 193, 470);
    grp_reglages->box(FL_THIN_UP_BOX);

    sl_zoom = new Fl_Value_Slider(42, 76, 148, 15, "Zoom");
    sl_zoom->type(FL_HOR_SLIDER);
    sl_zoom->minimum(20);
    sl_zoom->maximum(300);
    sl_zoom->step(1);
    sl_zoom->value(100);
    sl_zoom->labelsize(11);
    sl_zoom->align(FL_ALIGN_LEFT);
    sl_zoom->when(FL_WHEN_RELEASE);
    sl_zoom->callback((Fl_Callback *)cb_sl_zoom);

    sl_lum = makeAdjustSlider(244, "Gamma");
    sl_lum->callback((Fl_Callback *)cb_sl_lum);
    sl_lum->selection_color((Fl_Color)45);
    sl_rouge = makeAdjustSlider(267, "Rouge");
    sl_rouge->callback((Fl_Callback *)cb_sl_rouge);
    sl_rouge->selection_color(FL_RED);
    sl_vert = makeAdjustSlider(290, "Vert");
    sl_vert->callback((Fl_Callback *)cb_sl_vert);
    sl_vert->selection_color((Fl_Color)61);
    sl_bleu = makeAdjustSlider(313, "Bleu");
    sl_bleu->callback((Fl_Callback *)cb_sl_bleu);
    sl_bleu->selection_color((Fl_Color)176);
    sl_contraste = makeAdjustSlider(336, "Contraste");
    sl_contraste->callback((Fl_Callback *)cb_sl_contraste);
    sl_saturation = makeAdjustSlider(359, "Saturation");
    sl_saturation->callback((Fl_Callback *)cb_sl_saturation);

    box_preview = new CImgPreviewBoxFL(16, 108, 165, 126, "Preview");
    box_preview->box(FL_THIN_DOWN_BOX);
    box_preview->color(FL_GRAY);
    box_preview->selection_color(FL_GRAY);
    box_preview->labeltype(FL_NORMAL_LABEL);
    box_preview->labelfont(0);
    box_preview->labelsize(11);
    box_preview->labelcolor(FL_BLACK);
    box_preview->align(FL_ALIGN_TOP);
    box_preview->when(FL_WHEN_RELEASE);

    bt_color = new Fl_Button(26, 396, 145, 29, "Couleur courante");
    bt_color->tooltip("Changer couleur courante");
    bt_color->box(FL_THIN_UP_BOX);
    bt_color->color((Fl_Color)1);
    bt_color->labelsize(11);
    bt_color->align(FL_ALIGN_TOP);
    bt_color->callback((Fl_Callback *)cb_bt_color);

    sl_R = makeColourSlider(431, "R", 255, (Fl_Color)128);
    sl_G = makeColourSlider(451, "G", 0, (Fl_Color)61);
    sl_B = makeColourSlider(471, "B", 0, FL_BLUE);
    sl_R->callback((Fl_Callback *)cb_sl_R);
    sl_G->callback((Fl_Callback *)cb_sl_G);
    sl_B->callback((Fl_Callback *)cb_sl_B);

    ct_valeur = new Fl_Counter(13, 508, 170, 18, "Valeur pour les traitements");
    ct_valeur->minimum(0.1);
    ct_valeur->maximum(10);
    ct_valeur->value(2);
    ct_valeur->labelsize(11);
    ct_valeur->align(FL_ALIGN_TOP);
    ct_valeur->textsize(12);
    grp_reglages->end();

    grp_leftPane->resizable(makeStretchStrip(2, 540, 193, 10));
    grp_leftPane->end();
}

void CMirlanUI::buildTabs()
{
    tabs_main = new Fl_Tabs(198, 65, 512, 485);
    tabs_main->labelsize(12);

    grp_image = new Fl_Group(198, 85, 512, 465, "Image");
    grp_image->labelsize(12);
    scroll_image = new Fl_Scroll(198, 85, 512, 465);
    scroll_image->box(FL_THIN_UP_BOX);
    scroll_image->when(FL_WHEN_CHANGED);
    box_image = new CImageBoxFL(199, 87, 20, 20);
    box_image->box(FL_NO_BOX);
    box_image->color(FL_GRAY);
    box_image->selection_color(FL_GRAY);
    box_image->labeltype(FL_NORMAL_LABEL);
    box_image->labelfont(0);
    box_image->labelsize(14);
    box_image->labelcolor(FL_BLACK);
    box_image->align(FL_ALIGN_CENTER);
    box_image->when(FL_WHEN_RELEASE);
    box_image->callback(ViewChanged);
    scroll_image->end();
    grp_image->end();
    tabs_main->resizable(grp_image);

    grp_histos = new Fl_Group(198, 85, 512, 465, "Histogrammes");
    grp_histos->labelsize(12);
    grp_histos->hide();
    scroll_histos = new Fl_Scroll(198, 115, 512, 435);
    scroll_histos->box(FL_THIN_UP_BOX);
    scroll_histos->when(FL_WHEN_CHANGED);
    box_histos = new CHistoBoxFL(199, 115, 49, 25);
    box_histos->box(FL_NO_BOX);
    box_histos->color((Fl_Color)173);
    box_histos->selection_color(FL_GRAY);
    box_histos->labeltype(FL_NORMAL_LABEL);
    box_histos->labelfont(0);
    box_histos->labelsize(14);
    box_histos->labelcolor(FL_BLACK);
    box_histos->align(FL_ALIGN_CENTER);
    box_histos->when(FL_WHEN_RELEASE);
    scroll_histos->end();
    grp_histos->resizable(scroll_histos);

    tb_histos = new Fl_Menu_Bar(198, 88, 512, 25, "Couches");
    tb_histos->box(FL_THIN_UP_BOX);
    tb_histos->labelsize(10);
    tb_histos->align(FL_ALIGN_INSIDE | FL_ALIGN_RIGHT);
    tb_histos->menu(menu_tb_histos);
    grp_histos->end();
    tabs_main->end();
    win_main->resizable(tabs_main);
}

void CMirlanUI::buildStatusLine()
{
    grp_status = new Fl_Group(2, 555, 708, 21);
    grp_status->box(FL_THIN_DOWN_BOX);
    box_infos = new CStatusLineFL(200, 555, 499, 20);
    box_infos->labelsize(12);
    box_infos->align(FL_ALIGN_CLIP | FL_ALIGN_INSIDE | FL_ALIGN_RIGHT);
    grp_status->resizable(box_infos);
    grp_status->end();
}

void CMirlanUI::buildToolBar()
{
    grp_toolbar = new Fl_Group(2, 23, 708, 39);
    grp_toolbar->box(FL_THIN_UP_BOX);
    grp_toolbar->labelsize(12);
    grp_buttons = new Fl_Group(2, 23, 688, 39);

    bt_open = makeToolButton(9, 34, "Ouvrir", &image_open, 0);
    bt_open->callback((Fl_Callback *)cb_bt_open);

    out_traitement = new Fl_Output(248, 29, 287, 26, "Traitement :");
    out_traitement->box(FL_THIN_DOWN_BOX);
    out_traitement->labelsize(12);
    out_traitement->textsize(12);

    bt_bmp = makeToolButton(51, 36, "Enregistrer sous BMP", &image_bmp, &image_bmp_i);
    bt_tga = makeToolButton(90, 36, "Enregistrer sous TGA", &image_tga, &image_tga_i);
    bt_bmp->callback((Fl_Callback *)cb_bt_bmp);
    bt_tga->callback((Fl_Callback *)cb_bt_tga);
    bt_reglages = makeToolButton(134, 36, "Applquer les réglages", &image_reglages,
                                 &image_reglages_i);
    bt_reglages->callback((Fl_Callback *)cb_bt_reglages);
    bt_previewTraitement = makeToolButton(542, 36, "Preview du traitement courant",
                                          &image_previewtraitement,
                                          &image_previewtraitement_i);
    bt_applyTraitement = makeToolButton(581, 36, "Appliquer traitement courant",
                                        &image_applytraitement, &image_applytraitement_i);
    bt_previewTraitement->callback((Fl_Callback *)cb_bt_previewTraitement);
    bt_applyTraitement->callback((Fl_Callback *)cb_bt_applyTraitement);
    grp_buttons->end();

    grp_toolbar->resizable(makeStretchStrip(690, 23, 20, 39));
    grp_toolbar->end();
}

void CMirlanUI::setStartState()
{
    box_version->label("v" MIRLAN_VERSION);
    box_version->redraw_label();
    box_build->label("build " MIRLAN_BUILD);
    box_build->redraw_label();

    rb_lum->set();
    rb_rouge->set();
    rb_vert->set();
    rb_bleu->set();

    // Fl_Scroll::scroll_to: in this toolkit release position() moves the widget.
    scroll_histos->scroll_to(0, 0);
    deactivateAll();
    out_traitement->value("");
    traitement = nullptr;
    activeColors(false);
    ct_valeur->deactivate();
    historyItems();
    static bool handlersAdded = false;
    if (!handlersAdded) {
        Fl::add_handler(SecondKeys);
        Fl::add_handler(DropOnAChild);
    }
    handlersAdded = true;
}
