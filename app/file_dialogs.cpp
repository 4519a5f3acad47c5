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
    TypedChooser(const char *title, const char *pattern)
        : chooser_(StartFolder().c_str(), pattern, Fl_File_Chooser::CREATE, title)
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
    std::string chosen_;
    bool accepted_ = false;

    std::string Folder()
    {
        const char *folder = chooser_.directory();
        return folder ? folder : "";
    }

    // The folder shown, ending in '/', selected so that typing replaces it
    // and a name typed after it names a file of it.
    void ShowFolderInField()
    {
        std::string folder = Folder();
        if (folder.empty() || folder.back() != '/')
            folder += '/';
        field_->value(folder.c_str());
        field_->position(field_->size(), 0);
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

char *ChooseFile(const char *title, const char *pattern, const char *, int)
{
    static std::vector<char> result;
    std::string path;
    {
        TypedChooser chooser(title, pattern);
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
