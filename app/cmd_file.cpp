// cmd_file.cpp: the commands of the "Fichier" menu and their tool-bar twins:
// open through the file chooser, save in each format the formats table
// writes, close, quit; the question asked before a changed picture is
// dropped. Also the default modal dialogs behind the hooks of commands.h.
#include <cstdlib>
#include <cstring>
#include <string>

#include <FL/fl_ask.H>

#include "app/commands.h"
#include "app/file_dialogs.h"
#include "app/mirlan_ui.h"
#include "image/formats.h"

namespace {

void ToolkitAlert(const char *message) { fl_alert("%s", message); }

enum SaveAnswer { kCancel = 0, kSave = 1, kDiscard = 2 };

// Escape or closing the question answers its first button: cancel.
int ToolkitSaveQuestion(const char *question)
{
    fl_message_title("Image modifiée");
    return fl_choice("%s", "Annuler", "Enregistrer…", "Ne pas enregistrer", question);
}

// Asks again until the answer is a whole number from 1 to 100.
int ToolkitJpegQuality(int proposed)
{
    std::string answer = std::to_string(proposed);
    for (;;) {
        fl_message_title("Qualité JPEG");
        const char *typed = fl_input("Qualité de l'image JPEG (1 à 100) :", answer.c_str());
        if (!typed)
            return 0;
        answer = typed;
        char *end = nullptr;
        const long quality = std::strtol(typed, &end, 10);
        if (end != typed && !*end && quality >= 1 && quality <= 100)
            return int(quality);
        fl_message_title("Qualité JPEG");
        fl_alert("La qualité doit être un nombre entier de 1 à 100.");
    }
}

const char kSaveFailed[] = "Erreur lors de l'enregistrement de l'image !";
const char kShortMemory[] = "Mémoire insuffisante.";
const int kProposedJpegQuality = 90;

// Asks for a path and writes the image there in format (or, when null, in the
// format the chosen name's extension calls for, TGA for an unknown one). Only
// a file actually written becomes the one the status line and the histogram
// page name, and leaves the picture unchanged since saved. Returns whether
// the file was written.
bool SaveAs(CMirlanUI *ui, const char *title, const mirlan::ImageFormat *format)
{
    // The writers take a non-const picture but only read it.
    CImage *img = const_cast<CImage *>(ui->getImage());
    if (!img)
        return false;
    WaitCursor wait;
    const std::string pattern = format ? mirlan::ChooserPattern({format}) : mirlan::ChooserPattern(mirlan::WritableFormats());
    const char *chosen = choose_file_dialog(title, pattern.c_str(), nullptr, 0);
    if (!chosen)
        return false;
    std::string path(chosen);  // the chooser reuses its buffer
    if (!format)
        format = mirlan::WritableFormatOfName(path.c_str());
    if (!format)
        format = mirlan::FormatNamed("TGA");
    mirlan::WriteOptions options;
    if (format == mirlan::FormatNamed("JPEG")) {
        options.jpegQuality = jpeg_quality_dialog(kProposedJpegQuality);
        if (!options.jpegQuality)
            return false;
    }
    int status = CImage::kWriteFailed;
    RunOrAlert(kSaveFailed, [&] {
        status = format->write(img, path.c_str(), options);
        if (status != CImage::kOk)
            alert_dialog(kSaveFailed);
    });
    if (status != CImage::kOk)
        return false;
    ui->imageInfos("%s (%dx%d %dbpp)", name(path.c_str()), img->width, img->height, img->bpp);
    ui->box_histos->SetImage(img);
    ui->box_histos->SetImagePath(path.c_str());
    ui->doc.Saved(path, format);
    return true;
}

// "Enregistrer sous BMP", and so on for each format.
void SaveIn(CMirlanUI *ui, const mirlan::ImageFormat *format)
{
    SaveAs(ui, (std::string("Enregistrer sous ") + format->name).c_str(), format);
}

}  // namespace

const char kChangeFailed[] = "Impossible de modifier l'image !";

void AlertShortMemory(const char *failure)
{
    alert_dialog((std::string(failure) + "\n" + kShortMemory).c_str());
}

char *(*choose_file_dialog)(const char *, const char *, const char *, int) = ChooseFile;
void (*alert_dialog)(const char *) = ToolkitAlert;
int (*save_question_dialog)(const char *) = ToolkitSaveQuestion;
int (*jpeg_quality_dialog)(int) = ToolkitJpegQuality;

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
        return SaveAs(this, "Enregistrer sous", nullptr);
    default:
        return false;
    }
}

void choose_file()
{
    if (!cvui->askToSaveChanges())
        return;
    const std::string pattern = mirlan::ChooserPattern(mirlan::ReadableFormats());
    char *path = choose_file_dialog("Ouvrir image", pattern.c_str(), nullptr, 0);
    if (!path)
        return;
    // A failed opening keeps the picture, and with it its changes.
    cvui->loadImage(path);
}

void CMirlanUI::cb_mnu_open(Fl_Menu_ *, void *) { choose_file(); }
void CMirlanUI::cb_bt_open(Fl_Button *, void *) { choose_file(); }

void CMirlanUI::cb_SaveIn(Fl_Menu_ *o, void *format)
{
    SaveIn(FromMenuBar(o), static_cast<const mirlan::ImageFormat *>(format));
}
void CMirlanUI::cb_bt_bmp(Fl_Button *o, void *) { SaveIn(FromPanel(o), mirlan::FormatNamed("BMP")); }
void CMirlanUI::cb_bt_tga(Fl_Button *o, void *) { SaveIn(FromPanel(o), mirlan::FormatNamed("TGA")); }

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
