// state.cpp: keeping the main window consistent with the document: loading
// a file into every view, the refresh after each change of the picture, the
// thumbnail, the status line, the undo and redo items, and which controls
// are available with no image, a grey image or a colour image.
#include "app/mirlan_ui.h"

#include <cstdarg>
#include <cstdio>
#include <string>

#include <FL/fl_draw.H>

#include "app/commands.h"
#include "image/formats.h"
#include "processing/nearest.h"
#include "processing/operations.h"

namespace {

const char kStatusFormat[] = "%s (%dx%d %dbpp)";

// The open alert: its first line, then why, naming the format the file's
// content showed.
std::string LoadFailedMessage(mirlan::ReadError error, const mirlan::ImageFormat *format)
{
    const std::string first = "Impossible de charger cette image !\n";
    switch (error) {
    case mirlan::ReadError::kUnreadable:
        return first + "Fichier introuvable ou illisible.";
    case mirlan::ReadError::kNoMemory:
        return first + "Mémoire insuffisante pour ouvrir cette image.";
    case mirlan::ReadError::kTooLarge:
        return first + "Image trop grande : plus de 32767 pixels de côté.";
    default:
        return first + (format ? std::string("Fichier ") + format->name + " endommagé ou incomplet." : "Format invalide.");
    }
}

// The undo and redo items' texts (plain buffers: the first object is built
// during static initialisation).
char undoText[160], redoText[160];

// Sets (inactive) or clears FL_MENU_INACTIVE on a menu item.
void setInactive(Fl_Menu_Item *item, bool inactive)
{
    if (inactive)
        item->deactivate();
    else
        item->activate();
}

void setActive(Fl_Widget *w, bool on)
{
    if (on)
        w->activate();
    else
        w->deactivate();
}

}  // namespace

void CMirlanUI::show(int argc, char **argv) { win_main->show(argc, argv); }

void CMirlanUI::hide() { win_main->hide(); }

void CMirlanUI::imageInfos(const char *format, ...)
{
    if (!format)
        return;
    va_list args;
    va_start(args, format);
    va_list again;
    va_copy(again, args);
    std::string text(std::vsnprintf(nullptr, 0, format, args), '\0');
    std::vsnprintf(&text[0], text.size() + 1, format, again);
    va_end(again);
    va_end(args);
    // A long file name is shortened in its middle to the width of the line.
    box_infos->SetText(text, infos, sizeof infos);
}

const CImage *CMirlanUI::getImage() const { return doc.Picture(); }

void CMirlanUI::showStatus()
{
    const CImage *img = getImage();
    imageInfos(kStatusFormat, name(doc.Path().c_str()), img->width, img->height, img->bpp);
}

void CMirlanUI::redraw() { win_main->redraw(); }

void CMirlanUI::loadImage(char *path)
{
    fl_cursor(FL_CURSOR_WAIT, FL_BLACK, FL_WHITE);
    // The document reads the whole file before it lets the old picture go;
    // on a failure every view keeps what it had.
    const mirlan::ImageFormat *format = nullptr;
    const mirlan::ReadError error = doc.Open(path, &format);
    if (error == mirlan::ReadError::kNone) {
        const CImage *img = getImage();
        box_image->SetImage(img);
        showStatus();
        box_histos->SetImage(img);
        box_histos->SetImagePath(path);
        scroll_histos->scroll_to(0, 0);
        scroll_image->scroll_to(0, 0);
        activateAll();
        RunOrAlert(kChangeFailed, [this] { showThumbnail(); });
        historyItems();
        redraw();
    }
    fl_cursor(FL_CURSOR_DEFAULT, FL_BLACK, FL_WHITE);
    if (error != mirlan::ReadError::kNone)
        alert_dialog(LoadFailedMessage(error, format).c_str());
}

void CMirlanUI::traiteImage()
{
    const CImage *img = getImage();
    if (!img)
        return;
    // The views first: they must never keep a picture the document dropped.
    box_image->ImageChanged(img);
    box_histos->SetImage(img);
    FollowZoomFloor(this);
    historyItems();
    showStatus();
    showThumbnail();
    redraw();
}

void CMirlanUI::showThumbnail()
{
    const CImage *img = getImage();
    if (!img)
        return;
    std::unique_ptr<CImage> thumb(
        mirlan::ScaleNearest(*img, CImgPreviewBoxFL::kThumbWidth, CImgPreviewBoxFL::kThumbHeight));
    const mirlan::Operation &adjustments = *mirlan::FindOperation("reglages");
    double pending[mirlan::kMaxParams];
    EditorValues(this, adjustments, pending);
    adjustments.run(thumb.get(), pending);
    showThumbnail(std::move(thumb));
}

void CMirlanUI::showThumbnail(std::unique_ptr<CImage> thumb)
{
    box_preview->SetImage(thumb.get());
    thumbnail = std::move(thumb);
    treatmentPreviewed = false;
}

void CMirlanUI::historyItems()
{
    const mirlan::Operation *undo = doc.NextUndo(), *redo = doc.NextRedo();
    std::snprintf(undoText, sizeof undoText, "&Annuler %s", undo ? undo->label : "action");
    std::snprintf(redoText, sizeof redoText, "&Rétablir%s%s", redo ? " " : "", redo ? redo->label : "");
    mnu_undo->label(undoText);
    mnu_redo->label(redoText);
    setInactive(mnu_undo, !undo);
    setInactive(mnu_redo, !redo);
    const std::string file = getImage() ? name(doc.Path().c_str()) : "";
    win_main->copy_label(file.empty() ? "Mirlan" : ((doc.Modified() ? "*" : "") + file + " — Mirlan").c_str());
}

void CMirlanUI::activeHistos(bool on)
{
    setInactive(rb_lum, !on);
    setInactive(rb_rouge, !on);
    setInactive(rb_vert, !on);
    setInactive(rb_bleu, !on);
}

void CMirlanUI::activeColors(bool on)
{
    setActive(bt_color, on);
    setActive(sl_R, on);
    setActive(sl_G, on);
    setActive(sl_B, on);
}

namespace {

// The zoom slider and the six adjustment sliders, which every entry into or
// out of the no-image situation puts back to 100 and 0; the zoom's floor
// is the new picture's.
void resetLeftPaneSliders(CMirlanUI *ui)
{
    ui->sl_zoom->value(100);
    FollowZoomFloor(ui);
    for (Fl_Value_Slider *s : ui->adjustmentSliders())
        s->value(0);
}

void setLeftPaneActive(CMirlanUI *ui, bool on)
{
    Fl_Widget *const pane[] = {ui->sl_zoom,     ui->sl_lum,       ui->sl_rouge,
                               ui->sl_vert,     ui->sl_bleu,      ui->sl_contraste,
                               ui->sl_saturation, ui->box_preview};
    for (Fl_Widget *w : pane)
        setActive(w, on);
}

}  // namespace

void CMirlanUI::deactivateLeftPane()
{
    resetLeftPaneSliders(this);
    setLeftPaneActive(this, false);
}

void CMirlanUI::activateLeftPane()
{
    setLeftPaneActive(this, true);
    resetLeftPaneSliders(this);
}

namespace {

// The menu entries and tool-bar buttons that need an image, whatever its depth.
void setImageControls(CMirlanUI *ui, bool on)
{
    Fl_Menu_Item *const items[] = {CMirlanUI::mnu_image,     CMirlanUI::mnu_save,      CMirlanUI::mnu_saveas,
                                   CMirlanUI::mnu_close,     CMirlanUI::mnu_affichage,
                                   CMirlanUI::mnu_previewTraitement,
                                   CMirlanUI::mnu_applyTraitement};
    for (Fl_Menu_Item *item : items)
        setInactive(item, !on);
    Fl_Widget *const buttons[] = {ui->bt_bmp, ui->bt_tga, ui->bt_reglages,
                                  ui->bt_previewTraitement, ui->bt_applyTraitement};
    for (Fl_Widget *w : buttons)
        setActive(w, on);
}

}  // namespace

void CMirlanUI::deactivateAll()
{
    activeHistos(false);
    deactivateLeftPane();
    imageInfos(" ");
    setImageControls(this, false);
}

void CMirlanUI::activateAll()
{
    activeHistos(true);
    activateLeftPane();
    setImageControls(this, true);
    imageBits();
}

void CMirlanUI::imageBits()
{
    const CImage *img = getImage();
    if (!img)
        return;
    const bool colour = img->bpp != 8;
    setActive(sl_rouge, colour);
    setActive(sl_vert, colour);
    setActive(sl_bleu, colour);
    setActive(sl_saturation, colour);
    setInactive(mnu_NG, !colour);
    setInactive(mnu_RVB, colour);
}
