// cmd_file.cpp: the commands of the "Fichier" menu and their tool-bar twins:
// open through the file chooser, save back to the picture's file, save in
// each format the formats table writes, close, quit; the questions asked
// before a changed picture or pending work is dropped, and before a file is
// replaced. Also the default modal dialogs behind the hooks of commands.h.
#include <sys/stat.h>

#include <cstdlib>
#include <cstring>
#include <string>

#include <FL/fl_ask.H>

#include "app/commands.h"
#include "app/dropped_file.h"
#include "app/file_dialogs.h"
#include "app/mirlan_ui.h"
#include "image/formats.h"
#include "image/safe_file.h"

namespace {

void ToolkitAlert(const char *message) { fl_alert("%s", message); }

// Escape or closing the question answers its first button.
int ToolkitQuestion(const char *title, const char *question, const char *b0, const char *b1, const char *b2)
{
    fl_message_title(title);
    return fl_choice("%s", b0, b1, b2, question);
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

bool Exists(const std::string &path)
{
    struct stat st;
    return stat(path.c_str(), &st) == 0;
}

// path with its extension (after the last dot of its base name) replaced by
// format's, or added.
std::string WithExtension(const std::string &path, const mirlan::ImageFormat &format)
{
    const size_t slash = path.rfind('/'), dot = path.rfind('.');
    const bool hasDot = dot != std::string::npos && (slash == std::string::npos || dot > slash + 1);
    return (hasDot ? path.substr(0, dot) : path) + "." + mirlan::Extensions(format)[0];
}

// Writes the picture to path in format, asking the JPEG quality first; only
// a file actually written becomes the document's, unchanged since saved.
// Alerts with the reason on a failure. Returns whether the file was written.
bool WriteTo(CMirlanUI *ui, const std::string &path, const mirlan::ImageFormat *format)
{
    // The writers take a non-const picture but only read it.
    CImage *img = const_cast<CImage *>(ui->getImage());
    mirlan::WriteOptions options;
    if (format == mirlan::FormatNamed("JPEG")) {
        options.jpegQuality = jpeg_quality_dialog(kProposedJpegQuality);
        if (!options.jpegQuality)
            return false;
    }
    WaitCursor wait;
    int status = CImage::kWriteFailed;
    RunOrAlert(kSaveFailed, [&] {
        status = format->write(img, path.c_str(), options);
        if (status != CImage::kOk)
            alert_dialog((std::string(kSaveFailed) + "\n" + mirlan::DescribeSaveError(mirlan::LastSaveError())).c_str());
    });
    if (status != CImage::kOk)
        return false;
    ui->doc.Saved(path, format);
    ui->showStatus();
    ui->box_histos->SetImage(img);
    ui->box_histos->SetImagePath(path.c_str());
    ui->historyItems();
    return true;
}

// Asks for a path, proposing the picture's name with the format's extension,
// and writes the picture there in format (or, when null, in the format the
// chosen name's extension calls for, PNG for a name without one). A name
// typed without an extension gets the format's; an existing file is replaced
// only once the user agrees. Returns whether the file was written.
bool SaveAs(CMirlanUI *ui, const char *title, const mirlan::ImageFormat *format)
{
    if (!ui->getImage() || !ui->applyPendingWork())
        return false;
    // The format chosen, else the file's own if we write it, else PNG.
    const mirlan::ImageFormat *proposed = format ? format : ui->doc.Format();
    if (!proposed || !proposed->write)
        proposed = mirlan::FormatNamed("PNG");
    const std::string pattern = format ? mirlan::ChooserPattern({format}) : mirlan::ChooserPattern(mirlan::WritableFormats());
    const std::string current = ui->doc.Path().empty() ? "image" : ui->doc.Path();
    const char *chosen = choose_file_dialog(title, pattern.c_str(), WithExtension(current, *proposed).c_str(), 0);
    if (!chosen)
        return false;
    std::string path(chosen);  // the chooser reuses its buffer
    const mirlan::ImageFormat *named = mirlan::WritableFormatOfName(path.c_str());
    if (!format)
        format = named ? named : proposed;
    if (named != format)
        path = WithExtension(path, *format);
    const std::string question = "Le fichier « " + std::string(name(path.c_str())) + " » existe déjà. Le remplacer ?";
    if (Exists(path) && question_dialog("Enregistrer sous", question.c_str(), "Annuler", "Remplacer", nullptr) != 1)
        return false;
    return WriteTo(ui, path, format);
}

// "Enregistrer sous BMP", and so on for each format.
void SaveIn(CMirlanUI *ui, const mirlan::ImageFormat *format)
{
    SaveAs(ui, (std::string("Enregistrer sous ") + format->name).c_str(), format);
}

// Back to the picture's file in its format, where that format is written;
// otherwise as "Enregistrer sous".
bool Save(CMirlanUI *ui)
{
    const mirlan::ImageFormat *format = ui->doc.Format();
    if (!ui->getImage() || ui->doc.Path().empty() || !format || !format->write)
        return SaveAs(ui, "Enregistrer sous", nullptr);
    return ui->applyPendingWork() && WriteTo(ui, ui->doc.Path(), format);
}

}  // namespace

const char kChangeFailed[] = "Impossible de modifier l'image !";

void AlertShortMemory(const char *failure)
{
    alert_dialog((std::string(failure) + "\n" + kShortMemory).c_str());
}

char *(*choose_file_dialog)(const char *, const char *, const char *, int) = ChooseFile;
void (*alert_dialog)(const char *) = ToolkitAlert;
int (*question_dialog)(const char *, const char *, const char *, const char *, const char *) = ToolkitQuestion;
int (*jpeg_quality_dialog)(int) = ToolkitJpegQuality;

bool CMirlanUI::pendingWork() const
{
    for (const Fl_Value_Slider *slider : adjustmentSliders())
        if (slider->value() != 0)
            return true;
    return treatmentPreviewed;
}

bool CMirlanUI::applyPendingWork()
{
    if (!pendingWork())
        return true;
    const char question[] = "Des réglages ou un traitement en aperçu ne sont pas appliqués à l'image.\n"
                            "Les appliquer avant d'enregistrer ?";
    switch (question_dialog("Travail en attente", question, "Annuler", "Appliquer", "Enregistrer sans")) {
    case 1:
        applyPending();
        return !pendingWork();
    case 2:
        return true;
    default:
        return false;
    }
}

bool CMirlanUI::askToSaveChanges()
{
    const bool modified = doc.Modified(), pending = getImage() && pendingWork();
    if (!modified && !pending)
        return true;
    std::string question = "L'image « " + std::string(name(doc.Path().c_str())) + " »";
    question += modified ? " a été modifiée." : " a des réglages ou un traitement en aperçu non appliqués.";
    question += "\nEnregistrer les modifications ?";
    switch (question_dialog("Image modifiée", question.c_str(), "Annuler", "Enregistrer…", "Ne pas enregistrer")) {
    case 2:
        return true;
    case 1:
        return Save(this);
    default:
        return false;
    }
}

void choose_file(CMirlanUI *ui)
{
    if (!ui->askToSaveChanges())
        return;
    const std::string pattern = mirlan::ChooserPattern(mirlan::ReadableFormats());
    char *path = choose_file_dialog("Ouvrir image", pattern.c_str(), nullptr, 0);
    if (!path)
        return;
    // A failed opening keeps the picture, and with it its changes.
    ui->loadImage(path);
}

void CMirlanUI::openDropped(const char *text)
{
    // The question waits until the drop is over: the program that dragged
    // the file is still waiting for its answer.
    static std::string dropped;
    dropped = DroppedPath(text ? text : "");
    if (dropped.empty())
        return;
    Fl::add_timeout(0.0, [](void *data) {
        CMirlanUI *ui = static_cast<CMirlanUI *>(data);
        if (ui->askToSaveChanges())
            ui->loadImage(&dropped[0]);
    }, this);
}

void CMirlanUI::cb_mnu_open(Fl_Menu_ *o, void *) { choose_file(FromMenuBar(o)); }
void CMirlanUI::cb_bt_open(Fl_Button *o, void *) { choose_file(FromPanel(o)); }

void CMirlanUI::cb_mnu_save(Fl_Menu_ *o, void *) { Save(FromMenuBar(o)); }

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

void CMirlanUI::cb_Quitter(Fl_Menu_ *o, void *) { FromMenuBar(o)->quit(); }

// Escape and the window manager's close button.
void CMirlanUI::cb_win_main(Fl_Double_Window *o, void *) { FromWidget(o, 0)->quit(); }

// Hides every window, the help, About and resize windows too: the event
// loop, and the program, end once no window is shown.
void CMirlanUI::quit()
{
    if (!askToSaveChanges())
        return;
    for (Fl_Window *w : {win_taille, win_about, win_doc, win_main})
        w->hide();
}
