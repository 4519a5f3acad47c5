// state.cpp: keeping the main window consistent with the image being edited:
// loading a file into every view, the refresh after each change of the
// image, the status line, and which controls are available with no image,
// a grey image or a colour image.
#include "app/mirlan_ui.h"

#include <cstdarg>
#include <cstdio>
#include <string>

#include <FL/fl_draw.H>

#include "processing/ti.h"

namespace {

const char kStatusFormat[] = "%s (%dx%d %dbpp)";

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

CImage *CMirlanUI::getImage() { return box_image->GetImage(); }

void CMirlanUI::redraw() { win_main->redraw(); }

void CMirlanUI::loadImage(char *path)
{
    fl_cursor(FL_CURSOR_WAIT, FL_BLACK, FL_WHITE);
    // The view reads the whole file before it lets the old image go; on a
    // failure it has shown why and every view keeps what it had.
    if (box_image->SetImage(path)) {
        CImage *img = getImage();
        imageInfos(kStatusFormat, name(path), img->width, img->height, img->bpp);
        box_histos->SetImage(img);
        box_histos->SetImagePath(path);
        box_preview->SetImage(img);
        scroll_histos->scroll_to(0, 0);
        scroll_image->scroll_to(0, 0);
        activateAll();
        redraw();
    }
    fl_cursor(FL_CURSOR_DEFAULT, FL_BLACK, FL_WHITE);
}

void CMirlanUI::traiteImage()
{
    CImage *img = getImage();
    if (!img)
        return;
    modified = true;
    box_image->ImageChange();
    box_histos->SetImage(img);
    box_preview->SetImage(img);
    CImage *thumb = box_preview->GetImage();
    CTi::Luminosite(thumb, int(sl_lum->value()), int(sl_rouge->value()), int(sl_vert->value()),
                    int(sl_bleu->value()));
    CTi::Contraste(thumb, int(sl_contraste->value()));
    CTi::Saturation(thumb, int(sl_saturation->value()));
    box_preview->redraw();
    const char *path = box_histos->GetImagePath();
    imageInfos(kStatusFormat, path ? name(path) : "", img->width, img->height, img->bpp);
    redraw();
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
// out of the no-image situation puts back to 100 and 0.
void resetLeftPaneSliders(CMirlanUI *ui)
{
    ui->sl_zoom->value(100);
    Fl_Value_Slider *const adjustments[] = {ui->sl_lum,  ui->sl_rouge,     ui->sl_vert,
                                            ui->sl_bleu, ui->sl_contraste, ui->sl_saturation};
    for (Fl_Value_Slider *s : adjustments)
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
    Fl_Menu_Item *const items[] = {CMirlanUI::mnu_image,     CMirlanUI::mnu_saveas,
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
    CImage *img = getImage();
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
