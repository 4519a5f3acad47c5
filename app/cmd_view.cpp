// cmd_view.cpp: the zoom commands (the slider, "Agrandir", "Réduire",
// "Taille écran", "Taille réelle"), the switch to the histogram page and the
// four layer toggles of that page.
#include "app/commands.h"

namespace {

const int kZoomMin = 20;
const int kZoomMax = 300;
const int kZoomStep = 10;

// Sets the slider to percent and zooms the view to the slider's value.
void ZoomTo(CMirlanUI *ui, int percent)
{
    ui->sl_zoom->value(percent);
    ui->box_image->Zoom(TruncToInt(ui->sl_zoom->value()));
    ui->grp_image->redraw();
}

int SliderZoom(CMirlanUI *ui) { return TruncToInt(ui->sl_zoom->value()); }

// The zoom one step in (steps < 0) or out from z, as the menu's commands
// take it; z itself at the limit.
int SteppedZoom(int z, int steps)
{
    if (steps < 0)
        return z <= kZoomMax - kZoomStep ? z + kZoomStep : z;
    return z >= kZoomMin + kZoomStep ? z - kZoomStep : z;
}

// The largest whole percent, less one, at which the image fits the view's
// area in both directions, within the zoom range.
int FitPercent(const Fl_Widget *area, const CImage *img)
{
    float rw = float(area->w()) / float(img->width);
    float rh = float(area->h()) / float(img->height);
    float ratio = rw < rh ? rw : rh;
    int percent = TruncToInt(ratio * 100.0f) - 1;
    if (percent < kZoomMin)
        return kZoomMin;
    return percent > kZoomMax ? kZoomMax : percent;
}

// Shows or hides one layer of the histogram page by its item's check mark.
void ToggleLayer(Fl_Widget *bar, int layer, const Fl_Menu_Item *item)
{
    CMirlanUI *ui = FromPanel(bar);
    ui->box_histos->SetAff(layer, item->flags & FL_MENU_VALUE);
    ui->scroll_histos->redraw();
}

}  // namespace

// Runs when the slider is released.
void CMirlanUI::cb_sl_zoom(Fl_Value_Slider *o, void *)
{
    CMirlanUI *ui = FromPanel(o);
    if (!ui->getImage())
        return;
    WaitCursor wait;
    ZoomTo(ui, SliderZoom(ui));
}

void CMirlanUI::cb_Agrandir(Fl_Menu_ *o, void *)
{
    CMirlanUI *ui = FromMenuBar(o);
    if (!ui->getImage())
        return;
    WaitCursor wait;
    int z = SliderZoom(ui);
    if (SteppedZoom(z, -1) != z)
        ZoomTo(ui, SteppedZoom(z, -1));
}

void CMirlanUI::cb_R(Fl_Menu_ *o, void *)
{
    CMirlanUI *ui = FromMenuBar(o);
    if (!ui->getImage())
        return;
    WaitCursor wait;
    int z = SliderZoom(ui);
    if (SteppedZoom(z, 1) != z)
        ZoomTo(ui, SteppedZoom(z, 1));
}

// Ctrl+wheel over the image: one menu step in or out, around the mouse.
void ZoomByWheel(Fl_Widget *view, void *)
{
    CMirlanUI *ui = static_cast<CMirlanUI *>(view->window()->user_data());
    CImageBoxFL *box = ui->box_image;
    if (!ui->getImage() || !ui->sl_zoom->active())
        return;
    const int z = SliderZoom(ui);
    const int to = SteppedZoom(z, box->WheelSteps());
    if (to == z)
        return;
    ui->sl_zoom->value(to);
    box->ZoomAround(to, Fl::event_x(), Fl::event_y());
    ui->grp_image->redraw();
}

// "Taille écran": always zooms, even to the same value.
void CMirlanUI::cb_Taill(Fl_Menu_ *o, void *)
{
    CMirlanUI *ui = FromMenuBar(o);
    const CImage *img = ui->getImage();
    if (!img)
        return;
    WaitCursor wait;
    ZoomTo(ui, FitPercent(ui->scroll_image, img));
}

// "Taille réelle".
void CMirlanUI::cb_Taille1(Fl_Menu_ *o, void *)
{
    CMirlanUI *ui = FromMenuBar(o);
    if (!ui->getImage())
        return;
    WaitCursor wait;
    if (SliderZoom(ui) != 100)
        ZoomTo(ui, 100);
}

// Brings up the histogram page; the histograms are always up to date.
void CMirlanUI::cb_Histogrammes(Fl_Menu_ *o, void *)
{
    CMirlanUI *ui = FromMenuBar(o);
    ui->tabs_main->value(ui->grp_histos);
}

void CMirlanUI::cb_rb_lum(Fl_Menu_ *o, void *) { ToggleLayer(o, 0, rb_lum); }
void CMirlanUI::cb_rb_rouge(Fl_Menu_ *o, void *) { ToggleLayer(o, 1, rb_rouge); }
void CMirlanUI::cb_rb_vert(Fl_Menu_ *o, void *) { ToggleLayer(o, 2, rb_vert); }
void CMirlanUI::cb_rb_bleu(Fl_Menu_ *o, void *) { ToggleLayer(o, 3, rb_bleu); }
