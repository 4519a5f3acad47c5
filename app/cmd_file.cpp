// cmd_file.cpp: the commands of the "Fichier" menu and their tool-bar twins:
// open through the file chooser, save as BMP or TGA, close, quit; the
// question asked before a changed picture is dropped. Also the default modal
// dialogs behind the hooks of commands.h.
#include <cstring>
#include <string>
#include <strings.h>

#include <FL/fl_ask.H>

#include "app/commands.h"
#include "app/file_dialogs.h"
#include "app/mirlan_ui.h"

namespace {

void ToolkitAlert(const char *message) { fl_alert("%s", message); }

enum SaveAnswer { kCancel = 0, kSave = 1, kDiscard = 2 };

// Escape or closing the question answers its first button: cancel.
int ToolkitSaveQuestion(const char *question)
{
    fl_message_title("Image modifiée");
    return fl_choice("%s", "Annuler", "Enregistrer…", "Ne pas enregistrer", question);
}

const char kSaveFailed[] = "Erreur lors de l'enregistrement de l'image !";
const char kShortMemory[] = "Mémoire insuffisante.";

using Writer = int (*)(CImage *, const char *);

bool EndsWith(const std::string &path, const char *suffix)
{
    const size_t n = std::strlen(suffix);
    return path.size() >= n && strcasecmp(path.c_str() + path.size() - n, suffix) == 0;
}

// Asks for a path and writes the image there with writer (by default, the one
// the chosen name's extension calls for). Only a file actually written becomes
// the one the status line and the histogram page name, and leaves the picture
// unchanged since saved. Returns whether the file was written.
bool SaveAs(CMirlanUI *ui, const char *title, const char *pattern, Writer writer)
{
    // The writers take a non-const picture but only read it.
    CImage *img = const_cast<CImage *>(ui->getImage());
    if (!img)
        return false;
    WaitCursor wait;
    const char *chosen = choose_file_dialog(title, pattern, nullptr, 0);
    if (!chosen)
        return false;
    std::string path(chosen);  // the chooser reuses its buffer
    if (!writer)
        writer = EndsWith(path, ".bmp") ? CImage::SaveBMP : CImage::SaveTGA;
    int status = CImage::kWriteFailed;
    RunOrAlert(kSaveFailed, [&] {
        status = writer(img, path.c_str());
        if (status != CImage::kOk)
            alert_dialog(kSaveFailed);
    });
    if (status != CImage::kOk)
        return false;
    ui->imageInfos("%s (%dx%d %dbpp)", name(path.c_str()), img->width, img->height, img->bpp);
    ui->box_histos->SetImage(img);
    ui->box_histos->SetImagePath(path.c_str());
    ui->doc.Saved(path, writer == CImage::SaveBMP ? "BMP" : "TGA");
    return true;
}

void SaveBMP(CMirlanUI *ui) { SaveAs(ui, "Enregistrer sous BMP", "*.{bmp}", CImage::SaveBMP); }
void SaveTGA(CMirlanUI *ui) { SaveAs(ui, "Enregistrer sous TGA", "*.{tga}", CImage::SaveTGA); }

}  // namespace

const char kChangeFailed[] = "Impossible de modifier l'image !";

void AlertShortMemory(const char *failure)
{
    alert_dialog((std::string(failure) + "\n" + kShortMemory).c_str());
}

char *(*choose_file_dialog)(const char *, const char *, const char *, int) = ChooseFile;
void (*alert_dialog)(const char *) = ToolkitAlert;
int (*save_question_dialog)(const char *) = ToolkitSaveQuestion;

bool CMirlanUI::askToSaveChanges()
{
    if (!doc.Modified())
        return true;
    const std::string question = std::string("L'image « ") + name(doc.Path().c_str()) +
                                 " » a été modifiée.\nEnregistrer les modifications ?";
    switch (save_question_dialog(question.c_str())) {
    case kDiscard:
        return true;
    case kSave:
        return SaveAs(this, "Enregistrer sous", "*.{tga,bmp}", nullptr);
    default:
        return false;
    }
}

void choose_file()
{
    if (!cvui->askToSaveChanges())
        return;
    char *path = choose_file_dialog("Ouvrir image", "*.{bm,bmp,pgm,ppm,tga}", nullptr, 0);
    if (!path)
        return;
    // A failed opening keeps the picture, and with it its changes.
    cvui->loadImage(path);
}

void CMirlanUI::cb_mnu_open(Fl_Menu_ *, void *) { choose_file(); }
void CMirlanUI::cb_bt_open(Fl_Button *, void *) { choose_file(); }

void CMirlanUI::cb_Bitmap(Fl_Menu_ *o, void *) { SaveBMP(FromMenuBar(o)); }
void CMirlanUI::cb_bt_bmp(Fl_Button *o, void *) { SaveBMP(FromPanel(o)); }
void CMirlanUI::cb_Targa(Fl_Menu_ *o, void *) { SaveTGA(FromMenuBar(o)); }
void CMirlanUI::cb_bt_tga(Fl_Button *o, void *) { SaveTGA(FromPanel(o)); }

// Drops the image from every view and returns to the no-image state, once
// the user has had the chance to save a changed picture.
void CMirlanUI::cb_mnu_close(Fl_Menu_ *o, void *)
{
    CMirlanUI *ui = FromMenuBar(o);
    if (!ui->askToSaveChanges())
        return;
    ui->box_image->Close();
    ui->box_histos->Close();
    ui->box_preview->SetImage(nullptr);
    ui->thumbnail.reset();
    ui->doc.Close();
    ui->historyItems();
    ui->deactivateAll();
    ui->redraw();
}

// Hides the main window; the event loop ends once no window is shown.
void CMirlanUI::cb_Quitter(Fl_Menu_ *o, void *) { FromMenuBar(o)->quit(); }

// Escape and the window manager's close button.
void CMirlanUI::cb_win_main(Fl_Double_Window *o, void *) { FromWidget(o, 0)->quit(); }

void CMirlanUI::quit()
{
    if (askToSaveChanges())
        win_main->hide();
}
