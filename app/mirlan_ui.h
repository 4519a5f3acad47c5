// mirlan_ui.h: CMirlanUI, the application object of Mirlan. It holds the
// document being edited, every window and widget of the user interface, the
// static menu tables with the item pointers that the availability rules
// switch, the thumbnail the preview shows, the status text and the current
// treatment. Commands are static callbacks that find the object
// through the user data of the window of the widget that fired.
#ifndef MIRLAN_APP_MIRLAN_UI_H
#define MIRLAN_APP_MIRLAN_UI_H

#include <FL/Fl.H>
#include <FL/Fl_Box.H>
#include <FL/Fl_Button.H>
#include <FL/Fl_Check_Button.H>
#include <FL/Fl_Counter.H>
#include <FL/Fl_Double_Window.H>
#include <FL/Fl_Group.H>
#include <FL/Fl_Help_View.H>
#include <FL/Fl_Menu_Bar.H>
#include <FL/Fl_Menu_Item.H>
#include <FL/Fl_Output.H>
#include <FL/Fl_Return_Button.H>
#include <FL/Fl_Scroll.H>
#include <FL/Fl_Tabs.H>
#include <FL/Fl_Value_Input.H>
#include <FL/Fl_Value_Slider.H>

#include <array>
#include <memory>
#include <vector>

#include "app/status_line.h"
#include "document/document.h"
#include "image/image.h"
#include "widgets/CHistoBoxFL.h"
#include "widgets/CImageBoxFL.h"
#include "widgets/CImgPreviewBoxFL.h"

class CMirlanUI {
public:
    // Main window, in construction order.
    Fl_Double_Window *win_main;
    Fl_Group *grp_leftPane;
    Fl_Group *grp_reglages;
    Fl_Value_Slider *sl_zoom;
    Fl_Value_Slider *sl_lum;
    Fl_Value_Slider *sl_rouge;
    Fl_Value_Slider *sl_vert;
    Fl_Value_Slider *sl_bleu;
    Fl_Value_Slider *sl_contraste;
    Fl_Value_Slider *sl_saturation;
    CImgPreviewBoxFL *box_preview;
    Fl_Button *bt_color;
    Fl_Value_Slider *sl_R;
    Fl_Value_Slider *sl_G;
    Fl_Value_Slider *sl_B;
    Fl_Counter *ct_valeur;
    Fl_Tabs *tabs_main;
    Fl_Group *grp_image;
    Fl_Scroll *scroll_image;
    CImageBoxFL *box_image;
    Fl_Group *grp_histos;
    Fl_Scroll *scroll_histos;
    CHistoBoxFL *box_histos;
    Fl_Menu_Bar *tb_histos;
    Fl_Menu_Bar *menuBar;
    Fl_Group *grp_status;
    CStatusLineFL *box_infos;
    Fl_Group *grp_toolbar;
    Fl_Group *grp_buttons;
    Fl_Button *bt_open;
    Fl_Output *out_traitement;
    Fl_Button *bt_bmp;
    Fl_Button *bt_tga;
    Fl_Button *bt_reglages;
    Fl_Button *bt_previewTraitement;
    Fl_Button *bt_applyTraitement;

    // Resize dialog.
    Fl_Double_Window *win_taille;
    Fl_Value_Input *in_largeur;
    Fl_Value_Input *in_hauteur;
    Fl_Check_Button *chk_proportions;
    Fl_Return_Button *bt_applyTaille;
    Fl_Button *bt_annulerTaille;

    // About window.
    Fl_Double_Window *win_about;
    Fl_Box *box_version;
    Fl_Box *box_build;

    // Documentation window.
    Fl_Double_Window *win_doc;
    Fl_Help_View *help_doc;

    // The status-line text: box_infos's label points at this array.
    char infos[128];
    // The picture, its file and its history.
    mirlan::Document doc;
    // What the preview shows: the picture reduced, with the pending
    // adjustments or the current treatment tried on it.
    std::unique_ptr<CImage> thumbnail;
    // The current treatment of the "Traitements" menu; null for none.
    const mirlan::Operation *traitement = nullptr;
    // Whether the preview shows the current treatment tried on the picture
    // ("Preview traitement courant") rather than the pending adjustments.
    bool treatmentPreviewed = false;

    // The smallest size of the main window: every control whole, and the
    // left pane above the status line.
    static constexpr int kMinWidth = 622, kMinHeight = 564;

    // Builds every window, hidden, in its no-image state.
    CMirlanUI();
    CMirlanUI(const CMirlanUI &) = delete;
    CMirlanUI &operator=(const CMirlanUI &) = delete;

    // Shows or hides the main window (the command line goes to the toolkit).
    void show(int argc, char **argv);
    void hide();

    // Formats the status line (printf style, cut to fit infos); null does nothing.
    void imageInfos(const char *format, ...)
#if defined(__GNUC__)
        __attribute__((format(printf, 2, 3)))
#endif
        ;
    // The picture being edited (owned by the document), or null.
    const CImage *getImage() const;
    // The six adjustment sliders, in the order of the adjustments' values.
    std::array<Fl_Value_Slider *, 6> adjustmentSliders() const;
    // The status line: the document's file name, the picture's size and depth.
    void showStatus();
    void redraw();
    // Opens a file into every view and enables what suits its depth.
    void loadImage(char *path);
    // Brings every view up to date after a command changed the image.
    void traiteImage();
    // Shows a fresh thumbnail of the picture with the pending adjustments.
    void showThumbnail();
    // Hands thumb to the preview, which shows it from now on.
    void showThumbnail(std::unique_ptr<CImage> thumb);
    // Undo and redo items: available when there is a step, labelled by it;
    // and the window's title: the file's name, marked while it has unsaved
    // changes.
    void historyItems();
    void activateAll();
    void deactivateAll();
    void activateLeftPane();
    void deactivateLeftPane();
    void activeHistos(bool on);
    void activeColors(bool on);
    // Grey or colour availability, by the current image's depth.
    void imageBits();
    // Adjustments moved but not applied, or a treatment previewed but not
    // applied.
    bool pendingWork() const;
    // Applies the pending work to the picture: the adjustments, then the
    // treatment previewed.
    void applyPending();
    // Before a save with pending work, asks whether to apply it first; false
    // when the user cancels.
    bool applyPendingWork();
    // Before a changed picture or pending work is dropped, asks whether to
    // save first; false when the user cancels (the command must then not go
    // on).
    bool askToSaveChanges();
    // Ends the program, once the user has had the chance to save.
    void quit();
    // Opens a file dropped on the window, once the user has had the chance
    // to save; the text is what the drop carried (file URIs or a path).
    void openDropped(const char *text);

    // The application object behind a widget that sits `steps` parent links
    // below its window.
    static CMirlanUI *FromWidget(Fl_Widget *w, int steps)
    {
        while (steps-- > 0 && w->parent())
            w = w->parent();
        return static_cast<CMirlanUI *>(w->user_data());
    }

    // Static menu tables, and the item pointers into them (for the menu bar,
    // into the object's own items, found when the window is built).
    static Fl_Menu_Item menu_menuBar[56];
    std::vector<Fl_Menu_Item> menuItems;
    static Fl_Menu_Item menu_tb_histos[5];
    static Fl_Menu_Item *mnu_open;
    static Fl_Menu_Item *mnu_save;
    static Fl_Menu_Item *mnu_saveas;
    static Fl_Menu_Item *mnu_close;
    static Fl_Menu_Item *mnu_image;
    static Fl_Menu_Item *mnu_undo;
    static Fl_Menu_Item *mnu_redo;
    static Fl_Menu_Item *mnu_BW;
    static Fl_Menu_Item *mnu_NG;
    static Fl_Menu_Item *mnu_RVB;
    static Fl_Menu_Item *mnu_previewTraitement;
    static Fl_Menu_Item *mnu_applyTraitement;
    static Fl_Menu_Item *mnu_affichage;
    static Fl_Menu_Item *rb_lum;
    static Fl_Menu_Item *rb_rouge;
    static Fl_Menu_Item *rb_vert;
    static Fl_Menu_Item *rb_bleu;

    // Sliders.
    static void cb_sl_zoom(Fl_Value_Slider *, void *);
    static void cb_sl_lum(Fl_Value_Slider *, void *);
    static void cb_sl_rouge(Fl_Value_Slider *, void *);
    static void cb_sl_vert(Fl_Value_Slider *, void *);
    static void cb_sl_bleu(Fl_Value_Slider *, void *);
    static void cb_sl_contraste(Fl_Value_Slider *, void *);
    static void cb_sl_saturation(Fl_Value_Slider *, void *);
    static void cb_sl_R(Fl_Value_Slider *, void *);
    static void cb_sl_G(Fl_Value_Slider *, void *);
    static void cb_sl_B(Fl_Value_Slider *, void *);

    // Buttons of the main window.
    static void cb_bt_color(Fl_Button *, void *);
    static void cb_bt_open(Fl_Button *, void *);
    static void cb_bt_bmp(Fl_Button *, void *);
    static void cb_bt_tga(Fl_Button *, void *);
    static void cb_bt_reglages(Fl_Button *, void *);
    static void cb_bt_previewTraitement(Fl_Button *, void *);
    static void cb_bt_applyTraitement(Fl_Button *, void *);

    // Buttons of the secondary windows.
    static void cb_bt_annulerTaille(Fl_Button *, void *);
    static void cb_Fermer(Fl_Button *, void *);
    static void cb_A1(Fl_Button *, void *);
    static void cb_Installer(Fl_Button *, void *);
    static void cb_Historique(Fl_Button *, void *);
    static void cb_Licence(Fl_Button *, void *);
    static void cb_Interface(Fl_Button *, void *);
    static void cb_Traitements(Fl_Button *, void *);
    static void cb_in_largeur(Fl_Value_Input *, void *);
    static void cb_in_hauteur(Fl_Value_Input *, void *);
    static void cb_bt_applyTaille(Fl_Return_Button *, void *);

    // Layer toggles of the histogram page.
    static void cb_rb_lum(Fl_Menu_ *, void *);
    static void cb_rb_rouge(Fl_Menu_ *, void *);
    static void cb_rb_vert(Fl_Menu_ *, void *);
    static void cb_rb_bleu(Fl_Menu_ *, void *);

    // Items of the main menu bar.
    static void cb_win_main(Fl_Double_Window *, void *);
    static void cb_mnu_open(Fl_Menu_ *, void *);
    static void cb_mnu_save(Fl_Menu_ *, void *);
    static void cb_SaveIn(Fl_Menu_ *, void *format);
    static void cb_mnu_close(Fl_Menu_ *, void *);
    static void cb_Quitter(Fl_Menu_ *, void *);
    static void cb_Annuler(Fl_Menu_ *, void *);
    static void cb_Retablir(Fl_Menu_ *, void *);
    // An item of the table of operations (given as the item's data): the
    // "Image" menu runs it, the "Traitements" menu selects it.
    static void cb_operation(Fl_Menu_ *, void *);
    static void cb_treatment(Fl_Menu_ *, void *);
    static void cb_Appliquer(Fl_Menu_ *, void *);
    static void cb_Remise(Fl_Menu_ *, void *);
    static void cb_Taille(Fl_Menu_ *, void *);
    static void cb_Histogrammes(Fl_Menu_ *, void *);
    static void cb_mnu_previewTraitement(Fl_Menu_ *, void *);
    static void cb_mnu_applyTraitement(Fl_Menu_ *, void *);
    static void cb_Pas(Fl_Menu_ *, void *);
    static void cb_Agrandir(Fl_Menu_ *, void *);
    static void cb_R(Fl_Menu_ *, void *);
    static void cb_Taill(Fl_Menu_ *, void *);
    static void cb_Taille1(Fl_Menu_ *, void *);
    static void cb_Documentation(Fl_Menu_ *, void *);
    static void cb_A(Fl_Menu_ *, void *);

private:
    // Builders of the three secondary windows, all hidden.
    void buildResizeDialog();
    void buildAboutWindow();
    void buildDocWindow();

    // Steps of the constructor.
    void buildLeftPane();
    void buildTabs();
    void buildStatusLine();
    void buildToolBar();
    void buildMenuItems();
    void findMenuItems();
    void setStartState();
};

// The one application object; set once before the event loop.
extern CMirlanUI *cvui;

// The base name of a path: the text after its last '/' (a pointer into path).
const char *name(const char *path);

#endif
