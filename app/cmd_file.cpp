// cmd_file.cpp: the commands of the "Fichier" menu and their tool-bar twins:
// open through the file chooser, save as BMP or TGA, close, quit. Also the
// default modal dialogs behind the hooks of commands.h.
#include <string>

#include <FL/Fl_File_Chooser.H>
#include <FL/fl_ask.H>

#include "app/commands.h"
#include "app/mirlan_ui.h"

namespace {

void ToolkitAlert(const char *message) { fl_alert("%s", message); }

const char kSaveFailed[] = "Erreur lors de l'enregistrement de l'image !";
const char kShortMemory[] = "Mémoire insuffisante.";

using Writer = int (*)(CImage *, const char *);

// Asks for a path and writes the image there with writer. Only a file
// actually written becomes the one the status line and the histogram page
// name; a failed write keeps the previous name.
void SaveAs(CMirlanUI *ui, const char *title, const char *pattern, Writer writer)
{
    CImage *img = ui->getImage();
    if (!img)
        return;
    WaitCursor wait;
    const char *chosen = choose_file_dialog(title, pattern, nullptr, 0);
    if (!chosen)
        return;
    std::string path(chosen);  // the chooser reuses its buffer
    int status = CImage::kWriteFailed;
    RunOrAlert(kSaveFailed, [&] {
        status = writer(img, path.c_str());
        if (status != CImage::kOk)
            alert_dialog(kSaveFailed);
    });
    if (status != CImage::kOk)
        return;
    ui->imageInfos("%s (%dx%d %dbpp)", name(path.c_str()), img->width, img->height, img->bpp);
    ui->box_histos->SetImage(img);
    ui->box_histos->SetImagePath(path.c_str());
}

void SaveBMP(CMirlanUI *ui) { SaveAs(ui, "Enregistrer sous BMP", "*.{bmp}", CImage::SaveBMP); }
void SaveTGA(CMirlanUI *ui) { SaveAs(ui, "Enregistrer sous TGA", "*.{tga}", CImage::SaveTGA); }

}  // namespace

const char kChangeFailed[] = "Impossible de modifier l'image !";

void AlertShortMemory(const char *failure)
{
    alert_dialog((std::string(failure) + "\n" + kShortMemory).c_str());
}

char *(*choose_file_dialog)(const char *, const char *, const char *, int) = fl_file_chooser;
void (*alert_dialog)(const char *) = ToolkitAlert;

void choose_file()
{
    char *path = choose_file_dialog("Ouvrir image", "*.{bm,bmp,pgm,ppm,tga}", nullptr, 0);
    if (!path)
        return;
    cvui->loadImage(path);
}

void CMirlanUI::cb_mnu_open(Fl_Menu_ *, void *) { choose_file(); }
void CMirlanUI::cb_bt_open(Fl_Button *, void *) { choose_file(); }

void CMirlanUI::cb_Bitmap(Fl_Menu_ *o, void *) { SaveBMP(FromMenuBar(o)); }
void CMirlanUI::cb_bt_bmp(Fl_Button *o, void *) { SaveBMP(FromPanel(o)); }
void CMirlanUI::cb_Targa(Fl_Menu_ *o, void *) { SaveTGA(FromMenuBar(o)); }
void CMirlanUI::cb_bt_tga(Fl_Button *o, void *) { SaveTGA(FromPanel(o)); }

// Drops the image from every view and returns to the no-image state; nothing
// asks to save first.
void CMirlanUI::cb_mnu_close(Fl_Menu_ *o, void *)
{
    CMirlanUI *ui = FromMenuBar(o);
    ui->box_image->Close();
    ui->box_histos->Close();
    ui->box_preview->Close();
    ui->deactivateAll();
    ui->redraw();
}

// Hides the main window; the event loop ends once no window is shown.
void CMirlanUI::cb_Quitter(Fl_Menu_ *o, void *) { FromMenuBar(o)->win_main->hide(); }
