// secondary_windows.cpp: the three windows besides the main one (the resize
// dialog, the About window, the documentation window), the callbacks that
// live in them, and the two commands of the "Aide" menu that open them.
#include <cmath>
#include <climits>
#include <cstdlib>
#include <string>

#include <unistd.h>

#include <FL/Fl_Box.H>

#include "app/commands.h"
#include "app/icons.h"
#include "app/mirlan_ui.h"

namespace {

// Help pages, by their names under the working directory.
const char kPageAbout[] = "doc/about.htm";
const char kPageInstall[] = "doc/install.htm";
const char kPageHistory[] = "doc/history.htm";
const char kPageLicence[] = "doc/gnu.htm";
const char kPageInterface[] = "doc/ui.htm";
const char kPageFilters[] = "doc/filters.htm";

// The folder of the running program's file, empty if it cannot be read.
std::string ProgramFolder()
{
    char self[PATH_MAX];
    const ssize_t n = readlink("/proc/self/exe", self, sizeof self - 1);
    if (n <= 0)
        return std::string();
    const std::string path(self, size_t(n));
    return path.substr(0, path.rfind('/'));
}

// Where a help page is read: "doc/..." under the working directory when it is
// there, as in the source folder; otherwise the pages installed beside the
// program, PREFIX/share/mirlan/doc for PREFIX/bin/mirlan (the build copies
// them likewise next to build/app). With neither, the name under the
// working directory, so that the help view shows its error page.
std::string HelpPage(const char *page)
{
    const std::string folder = ProgramFolder();
    if (access(page, R_OK) == 0 || folder.empty())
        return page;
    const std::string installed = folder + "/../share/mirlan/" + page;
    char resolved[PATH_MAX];
    if (realpath(installed.c_str(), resolved) && access(resolved, R_OK) == 0)
        return resolved;
    return page;
}

void LoadPage(Fl_Help_View *view, const char *page) { view->load(HelpPage(page).c_str()); }

// Sides the resize accepts, those of the table's resize: the typed number is
// truncated, and must then be a side a picture can have.
bool ValidSide(double side)
{
    const mirlan::ParamRange sides = mirlan::RangeOf(mirlan::ParamKind::kSide);
    return side >= sides.min && side < sides.max + 1;
}

// The other side of the image, in its own proportions: the typed side is
// truncated, the ratio held in single precision, the product in double.
int ProportionalSide(double typed, int other_dim, int typed_dim)
{
    float ratio = float(other_dim) / float(typed_dim);
    return TruncToInt(double(TruncToInt(typed)) * double(ratio));
}

// The application object behind a widget of the resize dialog or the About
// window (one step below the window) or a page button (two steps).
CMirlanUI *FromDialog(Fl_Widget *w) { return CMirlanUI::FromWidget(w, 1); }
CMirlanUI *FromPageButton(Fl_Widget *w) { return CMirlanUI::FromWidget(w, 2); }

// A label box with the given size, alignment and font.
Fl_Box *LabelBox(int x, int y, int w, int h, const char *text, int size,
                 Fl_Align align = FL_ALIGN_CENTER, Fl_Font font = FL_HELVETICA)
{
    Fl_Box *box = new Fl_Box(x, y, w, h, text);
    box->labelsize(size);
    box->labelfont(font);
    box->align(align);
    return box;
}

// One of the six page buttons of the documentation window.
void PageButton(int y, const char *label, Fl_Callback *cb)
{
    Fl_Button *o = new Fl_Button(4, y, 140, 15, label);
    o->box(FL_FLAT_BOX);
    o->color(Fl_Color(46));
    o->labelsize(12);
    o->callback(cb);
}

}  // namespace

void ShowCentredOn(const Fl_Window *owner, Fl_Window *win)
{
    int x = owner->x() + owner->w() / 2 - win->w() / 2;
    int y = owner->y() + owner->h() / 2 - win->h() / 2;
    win->resize(x < 0 ? 0 : x, y < 0 ? 0 : y, win->w(), win->h());
    win->show();
}

void CMirlanUI::buildResizeDialog()
{
    win_taille = new Fl_Double_Window(220, 129, "Taille de l'image");
    win_taille->user_data(this);
    in_largeur = new Fl_Value_Input(65, 12, 100, 25, "Largeur : ");
    in_largeur->labelsize(12);
    in_largeur->callback((Fl_Callback *)cb_in_largeur);
    in_hauteur = new Fl_Value_Input(65, 41, 100, 25, "Hauteur : ");
    in_hauteur->labelsize(12);
    in_hauteur->callback((Fl_Callback *)cb_in_hauteur);
    chk_proportions = new Fl_Check_Button(10, 70, 160, 25, " Conserver les proportions");
    chk_proportions->down_box(FL_DOWN_BOX);
    chk_proportions->value(1);
    chk_proportions->labelsize(12);
    bt_applyTaille = new Fl_Return_Button(115, 100, 90, 20, "Appliquer");
    bt_applyTaille->box(FL_THIN_UP_BOX);
    bt_applyTaille->labelsize(12);
    bt_applyTaille->callback((Fl_Callback *)cb_bt_applyTaille);
    bt_annulerTaille = new Fl_Button(25, 100, 70, 20, "Annuler");
    bt_annulerTaille->box(FL_THIN_UP_BOX);
    bt_annulerTaille->labelsize(12);
    bt_annulerTaille->callback((Fl_Callback *)cb_bt_annulerTaille);
    LabelBox(166, 15, 50, 20, "pixels", 12);
    LabelBox(166, 43, 50, 20, "pixels", 12);
    win_taille->set_modal();
    win_taille->end();
}

void CMirlanUI::buildAboutWindow()
{
    win_about = new Fl_Double_Window(334, 134, "A propos de Mirlan");
    win_about->user_data(this);
    Fl_Button *fermer = new Fl_Button(278, 109, 50, 20, "Fermer");
    fermer->box(FL_THIN_UP_BOX);
    fermer->labelsize(12);
    fermer->callback((Fl_Callback *)cb_Fermer);
    Fl_Box *logo = new Fl_Box(5, 5, 130, 125);
    logo->image(&image_mirlan);
    // The name, the version and the build do not fit side by side on the
    // title line (they ran together as "Mirlanv1.0build 030829"): the name
    // keeps to the left of its box, which leaves room for the version, and
    // the build has a line of its own under the others, beside "Fermer".
    const Fl_Align left = FL_ALIGN_INSIDE | FL_ALIGN_LEFT;
    LabelBox(135, 15, 70, 25, "Mirlan", 16, left, FL_HELVETICA_BOLD);
    box_version = LabelBox(196, 15, 41, 25, "X.X", 15, FL_ALIGN_CENTER, FL_HELVETICA_BOLD);
    LabelBox(140, 41, 190, 22, "© 2026 les auteurs de Mirlan", 12, left);
    // "Licence GNU GPL v2 ou ultérieure" is wider than the window and was
    // cut to "ultérieu"; the licence page says the rest.
    LabelBox(140, 60, 180, 20, "GNU GPL v2 ou ultérieure", 12, left);
    box_build = LabelBox(140, 96, 130, 20, "build XXXXXX", 12, left);
    LabelBox(140, 78, 180, 20, "https://www.fltk.org", 12, left);
    win_about->set_modal();
    win_about->end();
}

void CMirlanUI::buildDocWindow()
{
    win_doc = new Fl_Double_Window(536, 398, "Documentation Mirlan");
    win_doc->user_data(this);
    help_doc = new Fl_Help_View(150, 0, 386, 398);
    help_doc->box(FL_THIN_DOWN_BOX);
    Fl_Group *column = new Fl_Group(0, -5, 150, 400);
    PageButton(6, "A propos de Mirlan", (Fl_Callback *)cb_A1);
    PageButton(31, "Installer Mirlan", (Fl_Callback *)cb_Installer);
    PageButton(56, "Historique des versions", (Fl_Callback *)cb_Historique);
    PageButton(81, "Licence GNU", (Fl_Callback *)cb_Licence);
    PageButton(106, "Interface utilisateur", (Fl_Callback *)cb_Interface);
    PageButton(131, "Traitements et filtres", (Fl_Callback *)cb_Traitements);
    Fl_Group *stretch = new Fl_Group(0, 370, 145, 12);
    stretch->end();
    column->resizable(stretch);
    column->end();
    win_doc->resizable(help_doc);
    win_doc->end();
}

// Typing a width gives the height in the image's proportions.
void CMirlanUI::cb_in_largeur(Fl_Value_Input *o, void *)
{
    CMirlanUI *ui = FromDialog(o);
    const CImage *img = ui->getImage();
    if (!ui->chk_proportions->value() || !img)
        return;
    ui->in_hauteur->value(ProportionalSide(o->value(), img->height, img->width));
}

// Typing a height gives the width in the image's proportions.
void CMirlanUI::cb_in_hauteur(Fl_Value_Input *o, void *)
{
    CMirlanUI *ui = FromDialog(o);
    const CImage *img = ui->getImage();
    if (!ui->chk_proportions->value() || !img)
        return;
    ui->in_largeur->value(ProportionalSide(o->value(), img->width, img->height));
}

// Resizes the image to the typed size, unless a side is out of range (then
// the dialog stays open with the numbers as typed).
void CMirlanUI::cb_bt_applyTaille(Fl_Return_Button *o, void *)
{
    CMirlanUI *ui = FromDialog(o);
    if (!ui->getImage())
        return;
    double w = ui->in_largeur->value(), h = ui->in_hauteur->value();
    if (!ValidSide(w) || !ValidSide(h)) {
        alert_dialog("Erreur : dimensions < 1 ou > 32767");
        return;
    }
    const mirlan::Operation &resize = *mirlan::FindOperation("redim");
    double sides[mirlan::kMaxParams];
    EditorValues(ui, resize, sides);
    ApplyOperation(ui, resize, sides);
    ui->win_taille->hide();
}

void CMirlanUI::cb_bt_annulerTaille(Fl_Button *o, void *)
{
    FromDialog(o)->win_taille->hide();
}

void CMirlanUI::cb_Fermer(Fl_Button *o, void *)
{
    FromDialog(o)->win_about->hide();
}

void CMirlanUI::cb_A1(Fl_Button *o, void *) { LoadPage(FromPageButton(o)->help_doc, kPageAbout); }
void CMirlanUI::cb_Installer(Fl_Button *o, void *) { LoadPage(FromPageButton(o)->help_doc, kPageInstall); }
void CMirlanUI::cb_Historique(Fl_Button *o, void *) { LoadPage(FromPageButton(o)->help_doc, kPageHistory); }
void CMirlanUI::cb_Licence(Fl_Button *o, void *) { LoadPage(FromPageButton(o)->help_doc, kPageLicence); }
void CMirlanUI::cb_Interface(Fl_Button *o, void *) { LoadPage(FromPageButton(o)->help_doc, kPageInterface); }
void CMirlanUI::cb_Traitements(Fl_Button *o, void *) { LoadPage(FromPageButton(o)->help_doc, kPageFilters); }

// "Documentation": always opens on the About page.
void CMirlanUI::cb_Documentation(Fl_Menu_ *o, void *)
{
    CMirlanUI *ui = CMirlanUI::FromWidget(o, 1);
    LoadPage(ui->help_doc, kPageAbout);
    ShowCentredOn(ui->win_main, ui->win_doc);
}

// "A propos de Mirlan...".
void CMirlanUI::cb_A(Fl_Menu_ *o, void *)
{
    CMirlanUI *ui = CMirlanUI::FromWidget(o, 1);
    ShowCentredOn(ui->win_main, ui->win_about);
}
