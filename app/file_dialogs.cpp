// file_dialogs.cpp: the toolkit's file chooser tamed for Mirlan, and the
// toolkit's stock texts in French.
//
// The toolkit's chooser previews the highlighted file with the toolkit's own
// image readers, which hostile files crash or hang: the preview is turned off
// and its switch hidden, whatever the user's toolkit preferences say. Its
// field also rewrites itself at every key (a name typed over the whole field
// becomes a path rebuilt from the working folder), so the field is read only
// when the user confirms it, and resolved against the folder shown.
#include "app/file_dialogs.h"

#include <FL/Fl.H>
#include <FL/Fl_Box.H>
#include <FL/Fl_Button.H>
#include <FL/Fl_Choice.H>
#include <FL/Fl_Color_Chooser.H>
#include <FL/Fl_Double_Window.H>
#include <FL/Fl_File_Chooser.H>
#include <FL/Fl_File_Input.H>
#include <FL/Fl_Return_Button.H>
#include <FL/filename.H>
#include <FL/fl_ask.H>

#include <unistd.h>

#include <climits>
#include <vector>

std::string ResolveTypedPath(const std::string &folder, const std::string &typed)
{
    if (typed.empty() || typed[0] == '/')
        return typed;
    if (folder.empty() || folder.back() == '/')
        return folder + typed;
    return folder + "/" + typed;
}

namespace {

// The folder of the last chosen file, where the next chooser opens.
std::string lastFolder;

std::string StartFolder()
{
    if (!lastFolder.empty())
        return lastFolder;
    char cwd[PATH_MAX];
    return getcwd(cwd, sizeof cwd) ? cwd : "/";
}

template <class T>
T *FindIn(Fl_Group *group)
{
    for (int i = 0; i < group->children(); ++i) {
        Fl_Widget *w = group->child(i);
        if (T *found = dynamic_cast<T *>(w))
            return found;
        if (Fl_Group *g = w->as_group())
            if (T *found = FindIn<T>(g))
                return found;
    }
    return nullptr;
}

// The chooser's window, reached through an extra widget that it adopts for a
// moment (the window itself is private to the chooser).
Fl_Window *WindowOf(Fl_File_Chooser &chooser)
{
    Fl_Box probe(0, 0, 0, 0);
    chooser.add_extra(&probe);
    Fl_Window *win = probe.window();
    chooser.add_extra(nullptr);
    return win;
}

class TypedChooser {
public:
    // Opens in proposed's folder with its name in the field, when given.
    TypedChooser(const char *title, const char *pattern, const std::string &proposed)
        : chooser_(FolderOf(proposed).c_str(), pattern, Fl_File_Chooser::CREATE, title),
          proposedName_(proposed.substr(proposed.rfind('/') + 1))
    {
        chooser_.preview(0);
        chooser_.previewButton->hide();
        Fl_Window *win = WindowOf(chooser_);
        field_ = FindIn<Fl_File_Input>(win);
        ok_ = FindIn<Fl_Return_Button>(win);
        field_->callback(FieldCallback, this);
        field_->when(FL_WHEN_CHANGED | FL_WHEN_ENTER_KEY_ALWAYS);
        ok_->callback(OkCallback, this);
    }

    // Runs the dialog; true when the user chose a file, then in path.
    bool Run(std::string &path)
    {
        ShowFolderInField();
        chooser_.show();
        while (chooser_.shown())
            Fl::wait();
        if (!accepted_) {
            // A double click in the list puts the file's whole path in the field.
            const char *picked = chooser_.value();
            if (!picked)
                return false;
            chosen_ = ResolveTypedPath(Folder(), picked);
        }
        path = chosen_;
        return true;
    }

private:
    Fl_File_Chooser chooser_;
    Fl_File_Input *field_;
    Fl_Return_Button *ok_;
    std::string proposedName_;
    std::string chosen_;
    bool accepted_ = false;

    static std::string FolderOf(const std::string &proposed)
    {
        const size_t slash = proposed.rfind('/');
        if (slash == std::string::npos)
            return StartFolder();
        return slash == 0 ? "/" : proposed.substr(0, slash);
    }

    std::string Folder()
    {
        const char *folder = chooser_.directory();
        return folder ? folder : "";
    }

    // The folder shown, ending in '/', selected so that typing replaces it
    // and a name typed after it names a file of it; or, with a proposed
    // name, the folder and that name with the name's stem selected, so that
    // typing renames it and keeps its extension.
    void ShowFolderInField()
    {
        std::string folder = Folder();
        if (folder.empty() || folder.back() != '/')
            folder += '/';
        field_->value((folder + proposedName_).c_str());
        const size_t dot = proposedName_.rfind('.');
        const int stemEnd = int(folder.size() + (dot == std::string::npos || dot == 0 ? proposedName_.size() : dot));
        if (proposedName_.empty())
            field_->position(field_->size(), 0);
        else
            field_->position(stemEnd, int(folder.size()));
        ok_->activate();
    }

    // The text of the field, confirmed: a folder is entered, a file chosen.
    void Confirm()
    {
        if (!field_->size())
            return;
        std::string path = ResolveTypedPath(Folder(), field_->value());
        if (fl_filename_isdir(path.c_str())) {
            chooser_.directory(path.c_str());
            ShowFolderInField();
            return;
        }
        chosen_ = path;
        accepted_ = true;
        chooser_.hide();
    }

    static void FieldCallback(Fl_Widget *, void *data)
    {
        TypedChooser *self = static_cast<TypedChooser *>(data);
        const bool enter = Fl::event() == FL_KEYBOARD &&
                           (Fl::event_key() == FL_Enter || Fl::event_key() == FL_KP_Enter);
        if (enter)
            self->Confirm();
        else if (self->field_->size())
            self->ok_->activate();
        else
            self->ok_->deactivate();
    }

    static void OkCallback(Fl_Widget *, void *data) { static_cast<TypedChooser *>(data)->Confirm(); }
};

}  // namespace

namespace {

// The chooser's modes, in the toolkit's order: 0 to 1, 0 to 255, hexadecimal,
// hue-saturation-value.
Fl_Menu_Item frenchColourModes[] = {
    {"rvb", 0, nullptr, nullptr, 0, 0, 0, 0, 0},
    {"octets", 0, nullptr, nullptr, 0, 0, 0, 0, 0},
    {"hex", 0, nullptr, nullptr, 0, 0, 0, 0, 0},
    {"tsv", 0, nullptr, nullptr, 0, 0, 0, 0, 0},
    {nullptr, 0, nullptr, nullptr, 0, 0, 0, 0, 0},
};

// A box showing one colour, flat, framed.
void PaintChip(Fl_Box &chip, double r, double g, double b)
{
    chip.color(fl_rgb_color(uchar(r * 255 + 0.5), uchar(g * 255 + 0.5), uchar(b * 255 + 0.5)));
    chip.redraw();
}

}  // namespace

// The layout of the toolkit's own colour dialog: the chooser, the new colour
// over "OK", the starting colour over "Annuler".
int ChooseColour(const char *title, unsigned char &r, unsigned char &g, unsigned char &b)
{
    Fl_Double_Window win(215, 200, title);
    Fl_Color_Chooser chooser(10, 10, 195, 115);
    Fl_Box chosen(10, 130, 95, 25), start(110, 130, 95, 25);
    Fl_Return_Button ok(10, 165, 95, 25, fl_ok);
    Fl_Button cancel(110, 165, 95, 25, fl_cancel);
    win.end();
    if (Fl_Choice *modes = FindIn<Fl_Choice>(&chooser))
        modes->menu(frenchColourModes);
    chosen.box(FL_THIN_DOWN_BOX);
    start.box(FL_THIN_DOWN_BOX);
    start.color(fl_rgb_color(r, g, b));
    chooser.rgb(r / 255.0, g / 255.0, b / 255.0);
    PaintChip(chosen, chooser.r(), chooser.g(), chooser.b());
    chooser.callback([](Fl_Widget *w, void *chip) {
        Fl_Color_Chooser *c = static_cast<Fl_Color_Chooser *>(w);
        PaintChip(*static_cast<Fl_Box *>(chip), c->r(), c->g(), c->b());
    }, &chosen);
    bool accepted = false;
    ok.callback([](Fl_Widget *w, void *done) {
        *static_cast<bool *>(done) = true;
        w->window()->hide();
    }, &accepted);
    cancel.callback([](Fl_Widget *w, void *) { w->window()->hide(); });
    win.resizable(chooser);
    win.set_modal();
    win.hotspot(&win);
    win.show();
    while (win.shown())
        Fl::wait();
    if (!accepted)
        return 0;
    r = uchar(chooser.r() * 255 + 0.5);
    g = uchar(chooser.g() * 255 + 0.5);
    b = uchar(chooser.b() * 255 + 0.5);
    return 1;
}

char *ChooseFile(const char *title, const char *pattern, const char *fname, int)
{
    static std::vector<char> result;
    std::string path;
    {
        TypedChooser chooser(title, pattern, fname ? fname : "");
        if (!chooser.Run(path))
            return nullptr;
    }
    const size_t slash = path.rfind('/');
    lastFolder = slash == 0 ? "/" : path.substr(0, slash);
    result.assign(path.begin(), path.end());
    result.push_back('\0');
    return result.data();
}

void SetFrenchToolkitTexts()
{
    fl_ok = "OK";
    fl_cancel = "Annuler";
    fl_close = "Fermer";
    fl_yes = "Oui";
    fl_no = "Non";
    Fl_File_Chooser::add_favorites_label = "Ajouter aux favoris";
    Fl_File_Chooser::all_files_label = "Tous les fichiers (*)";
    Fl_File_Chooser::custom_filter_label = "Filtre personnalisé";
    Fl_File_Chooser::existing_file_label = "Choisissez un fichier existant !";
    Fl_File_Chooser::favorites_label = "Favoris";
    Fl_File_Chooser::filename_label = "Nom :";
    Fl_File_Chooser::filesystems_label = "Systèmes de fichiers";
    Fl_File_Chooser::manage_favorites_label = "Gérer les favoris";
    Fl_File_Chooser::new_directory_label = "Nom du nouveau dossier ?";
    Fl_File_Chooser::new_directory_tooltip = "Créer un dossier";
    Fl_File_Chooser::preview_label = "Aperçu";
    Fl_File_Chooser::save_label = "Enregistrer";
    Fl_File_Chooser::show_label = "Type :";
    Fl_File_Chooser::hidden_label = "Fichiers cachés";
}
